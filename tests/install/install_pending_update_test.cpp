#include "install/install_pending_update.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/version_stamp.h"
#include "install/pending_update.h"
#include "support/scratch_dir.h"
#include "tools/main/launcher_script.h"

namespace {

using tevorin_test::ArgumentRecorderScript;
using tevorin_test::Exists;
using tevorin_test::ReadFile;
using tevorin_test::ScratchDir;
using tevorin_test::U16;
using tevorin_test::WaitForFile;
using tevorin_test::WriteFile;

constexpr DWORD kOld = 0xC1A2B;
constexpr DWORD kNew = 0xC1A2C;

// A process list where the main program runs until it has been asked to end
// `survives` times (-1: it never ends); records the pauses.
class MainProgram final : public ProcessServices {
  public:
    MainProgram(bool running, int survives) : running_(running), survives_(survives) {}
    bool TakeSnapshot(std::vector<ProcessEntry>& entries) override {
        ++lookups;
        entries = {{100, u"bash"}};
        if (running_) entries.push_back({200, u"Tevorin.exe"});
        return true;
    }
    bool Terminate(DWORD, UINT) override {
        ++terminations;
        if (survives_ >= 0 && terminations > survives_) running_ = false;
        return true;
    }
    void Sleep(DWORD milliseconds) override { sleeps.push_back(milliseconds); }
    int lookups = 0;
    int terminations = 0;
    std::vector<DWORD> sleeps;

  private:
    bool running_;
    int survives_;
};

struct NoticeLog {
    int shown = 0;
    int open = 0;
};

class FakeNotice final : public UpdateNotice {
  public:
    explicit FakeNotice(NoticeLog& log) : log_(log) {
        ++log_.shown;
        ++log_.open;
    }
    ~FakeNotice() override { --log_.open; }

  private:
    NoticeLog& log_;
};

struct Record {
    const char* filename;
    bool downloaded;
};

struct Case {
    const char* name;
    bool lockFile;
    DWORD storedInstalled;
    std::vector<Record> records;
    std::size_t cutAfter;  // bytes of the file kept; 0: all
    bool mainRunning;
    int mainSurvives;  // terminations survived; -1: never ends
    bool mainProgramPresent;
    bool result;
    bool noticeShown;
    std::vector<const char*> installed;  // files expected in the installation
    bool stamped;
    bool restarted;
    bool setupStarted;
    bool lingered;  // the 2.2 s pause
};

class Installation {
  public:
    Installation() {
        for (const char* dir : {"install", "upgrade"}) {
            EXPECT_EQ(mkdir((root_ / dir).c_str(), 0755), 0);
        }
    }
    void Prepare(const Case& c) {
        if (c.mainProgramPresent) {
            ASSERT_TRUE(WriteFile(root_ / "install/Tevorin.exe",
                                  main_stand_in::LauncherScript(kOld), 0755));
            ASSERT_TRUE(WriteFile(root_ / "install/tevorin-main",
                                  ArgumentRecorderScript(root_ / "restarted"), 0755));
        }
        UpdateFileList files;
        for (const Record& r : c.records) {
            auto entry = std::make_unique<UpdateFileEntry>();
            CopyToSlot(entry->filename, U16(r.filename));
            files.push_back(std::move(entry));
            if (!r.downloaded) continue;
            const bool setup = std::string(r.filename).find("SETUP") != std::string::npos;
            ASSERT_TRUE(WriteFile(root_ / "upgrade/" + r.filename,
                                  setup ? ArgumentRecorderScript(root_ / "setup-ran")
                                        : std::string("new ") + r.filename,
                                  0644));
        }
        if (!c.lockFile) return;
        std::string image = PendingUpdateImage(c.storedInstalled, kNew, files);
        if (c.cutAfter != 0) image.resize(c.cutAfter);
        ASSERT_TRUE(WriteFile(root_ / "upgrade/update.lock", image));
    }
    DeferredInstallation Describe(MainProgram& processes, NoticeLog& notices) const {
        DeferredInstallation installation;
        installation.upgradeDir = U16(root_ / "upgrade/");
        installation.installDir = U16(root_ / "install/");
        installation.installedVersion = kOld;
        installation.serverVersion = kNew;
        installation.showNotice = [&notices] { return std::make_unique<FakeNotice>(notices); };
        installation.processes = &processes;
        return installation;
    }
    std::string operator/(const std::string& name) const { return root_ / name; }

  private:
    ScratchDir root_;
};

TEST(InstallPendingUpdate, InstallsWhatTheLockFileDescribesForTheseVersionsOnly) {
    const std::size_t record = sizeof(UpdateFileEntry);
    const Case cases[] = {
        {"no lock file",
         false,
         kOld,
         {},
         0,
         false,
         0,
         true,
         false,
         false,
         {},
         false,
         false,
         false,
         false},
        {"written for an older installation",
         true,
         kOld - 1,
         {{"a.dll", true}},
         0,
         true,
         0,
         true,
         false,
         true,
         {},
         false,
         false,
         false,
         false},
        {"no file count",
         true,
         kOld,
         {},
         12,
         true,
         0,
         true,
         false,
         true,
         {},
         false,
         false,
         false,
         false},
        {"no records: stop, stamp, restart, pause",
         true,
         kOld,
         {},
         0,
         true,
         0,
         true,
         true,
         true,
         {},
         true,
         true,
         false,
         true},
        {"two files",
         true,
         kOld,
         {{"a.dll", true}, {"b.wav", true}},
         0,
         false,
         0,
         true,
         true,
         true,
         {"a.dll", "b.wav"},
         true,
         true,
         false,
         true},
        {"setup program in capitals with a blank",
         true,
         kOld,
         {{" SETUP.EXE", true}, {"a.dll", true}},
         0,
         false,
         0,
         true,
         true,
         true,
         {"a.dll"},
         false,
         false,
         true,
         true},
        {"first of two fails",
         true,
         kOld,
         {{"a.dll", false}, {"b.wav", true}},
         0,
         false,
         0,
         true,
         false,
         true,
         {"b.wav"},
         false,
         false,
         false,
         false},
        {"cut inside the third record",
         true,
         kOld,
         {{"a.dll", true}, {"b.wav", true}, {"c.txt", true}},
         16 + 2 * record + 100,
         false,
         0,
         true,
         false,
         true,
         {"a.dll", "b.wav"},
         false,
         false,
         false,
         false},
        {"main program never ends",
         true,
         kOld,
         {{"a.dll", true}},
         0,
         true,
         -1,
         true,
         false,
         true,
         {},
         false,
         false,
         false,
         false},
        {"main program ends on the third attempt",
         true,
         kOld,
         {{"a.dll", true}},
         0,
         true,
         2,
         true,
         true,
         true,
         {"a.dll"},
         true,
         true,
         false,
         true},
        {"stamp cannot be written",
         true,
         kOld,
         {{"a.dll", true}},
         0,
         false,
         0,
         false,
         false,
         true,
         {"a.dll"},
         false,
         false,
         false,
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Installation scene;
        scene.Prepare(c);
        MainProgram processes(c.mainRunning, c.mainSurvives);
        NoticeLog notices;

        EXPECT_EQ(InstallPendingUpdate(scene.Describe(processes, notices)), c.result);

        EXPECT_EQ(notices.shown, c.noticeShown ? 1 : 0);
        EXPECT_EQ(notices.open, 0) << "the notice is gone when the call returns";
        for (const Record& r : c.records) {
            const bool expected =
                std::find_if(c.installed.begin(), c.installed.end(), [&](const char* name) {
                    return std::string(name) == r.filename;
                }) != c.installed.end();
            std::string content;
            EXPECT_EQ(ReadFile(scene / "install/" + r.filename, content), expected) << r.filename;
            if (expected) {
                EXPECT_EQ(content, std::string("new ") + r.filename);
            }
        }
        if (c.mainRunning && c.mainSurvives < 0) {
            EXPECT_EQ(processes.terminations, kStopMainProgramAttempts);
        }
        if (!c.mainRunning || !c.noticeShown) EXPECT_EQ(processes.terminations, 0);
        const bool headerRejected = c.storedInstalled != kOld || c.cutAfter == 12;
        if (headerRejected) EXPECT_EQ(processes.lookups, 0) << "nothing stopped";
        const int lingers = static_cast<int>(
            std::count(processes.sleeps.begin(), processes.sleeps.end(), kNoticeLingerMs));
        EXPECT_EQ(lingers, c.lingered ? 1 : 0);

        if (c.mainProgramPresent) {
            DWORD stamp = 0;
            ASSERT_TRUE(ReadVersionStamp(U16(scene / "install/Tevorin.exe"), stamp));
            EXPECT_EQ(stamp, c.stamped ? kNew : kOld);
        }
        if (c.setupStarted) {
            ASSERT_TRUE(WaitForFile(scene / "setup-ran"));
            EXPECT_TRUE(Exists(scene / "upgrade/ SETUP.EXE"))
                << "a setup program stays where it is";
            EXPECT_FALSE(Exists(scene / "install/ SETUP.EXE"));
        }
        if (c.restarted) {
            EXPECT_TRUE(WaitForFile(scene / "restarted"));
        } else {
            EXPECT_FALSE(Exists(scene / "restarted"));
        }
        if (c.lockFile) EXPECT_TRUE(Exists(scene / "upgrade/update.lock")) << "never removed";
    }
}

}  // namespace
