#include "install/install_downloaded_files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <deque>
#include <string>
#include <vector>

#include "app/version_stamp.h"
#include "platform/core/text.h"
#include "platform/core/window_styles.h"
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

constexpr DWORD kOldVersion = 0xC1A2B;
constexpr DWORD kNewVersion = 0xC1A2C;

// What the message boxes showed, and the buttons the "user" presses in turn
// (OK once the list runs out).
struct ShownBox {
    std::u16string text;
    std::u16string caption;
    UINT type;
    HWND owner;
};
std::vector<ShownBox> shownBoxes;
std::deque<int> answers;

int RecordingMessageBox(HWND owner, const char16_t* text, const char16_t* caption, UINT type) {
    shownBoxes.push_back({text, caption, type, owner});
    if (answers.empty()) return IDOK;
    const int answer = answers.front();
    answers.pop_front();
    return answer;
}

// A process list in which the main program runs for the first `lookups`
// looks at it.
class MainProgramRunning final : public ProcessServices {
  public:
    explicit MainProgramRunning(int lookups) : remaining_(lookups) {}
    bool TakeSnapshot(std::vector<ProcessEntry>& entries) override {
        ++lookups_;
        entries = {{100, u"bash"}};
        if (remaining_ > 0) {
            --remaining_;
            entries.push_back({200, u"Tevorin.exe"});
        }
        return true;
    }
    bool Terminate(DWORD, UINT) override {
        ++terminations_;
        return false;
    }
    void Sleep(DWORD) override {}
    int lookups_ = 0;
    int terminations_ = 0;

  private:
    int remaining_;
};

struct FileSpec {
    const char* name;
    const char* localdir;
    bool downloaded;  // present in the download directory
};

struct Case {
    const char* name;
    int runningLookups;
    std::vector<int> answers;
    std::vector<FileSpec> files;
    bool mainProgramPresent;
    bool result;
    std::vector<std::u16string> boxes;  // texts in the order shown
    bool pageOpened;
    bool mainProgramStarted;
};

// An installation with the stand-in launcher Tevorin.exe (stamped with the
// old version) whose program only leaves a mark that it was started, a
// download directory, and an xdg-open on PATH that records what it opens.
class Scene {
  public:
    Scene() {
        EXPECT_TRUE(root_.Valid());
        for (const char* dir : {"install", "upgrade", "bin"}) {
            EXPECT_EQ(mkdir((root_ / dir).c_str(), 0755), 0);
        }
        EXPECT_TRUE(
            WriteFile(root_ / "bin/xdg-open", ArgumentRecorderScript(root_ / "opened"), 0755));
        savedPath_ = std::getenv("PATH") ? std::getenv("PATH") : "/usr/bin:/bin";
        setenv("PATH", (root_ / "bin:" + savedPath_).c_str(), 1);
        shownBoxes.clear();
        answers.clear();
    }
    ~Scene() { setenv("PATH", savedPath_.c_str(), 1); }

    void Prepare(const Case& c) {
        if (c.mainProgramPresent) {
            ASSERT_TRUE(WriteFile(root_ / "install/Tevorin.exe",
                                  main_stand_in::LauncherScript(kOldVersion), 0755));
            ASSERT_TRUE(WriteFile(root_ / "install/tevorin-main",
                                  ArgumentRecorderScript(root_ / "started"), 0755));
        }
        for (const FileSpec& f : c.files) {
            auto entry = std::make_unique<UpdateFileEntry>();
            CopyToSlot(entry->filename, U16(f.name));
            CopyToSlot(entry->localdir, U16(f.localdir));
            state_.files.push_back(std::move(entry));
            if (f.downloaded) {
                ASSERT_TRUE(WriteFile(root_ / "upgrade/" + f.name, std::string("new ") + f.name));
            }
        }
        state_.installedVersion = kOldVersion;
        state_.serverVersion = kNewVersion;
    }

    InteractiveInstallation Installation(ProcessServices& processes) {
        InteractiveInstallation installation;
        installation.owner = reinterpret_cast<HWND>(0x1234);
        installation.upgradeDir = U16(root_ / "upgrade/");
        installation.installDir = U16(root_ / "install/");
        installation.messageBox = RecordingMessageBox;
        installation.processes = &processes;
        return installation;
    }

    DWORD Stamp() {
        DWORD stamp = 0;
        return ReadVersionStamp(U16(root_ / "install/Tevorin.exe"), stamp) ? stamp : 0;
    }
    std::string operator/(const std::string& name) const { return root_ / name; }

    ScratchDir root_;
    std::string savedPath_;
    UpdateState state_;
};

std::u16string FileFailed(const char16_t* name) {
    return FormatText(kFileFailedFormat, name);
}

TEST(InstallDownloadedFiles, AsksToCloseTheMainProgramInstallsStampsAndRestarts) {
    const Case cases[] = {
        {"not running: no question",
         0,
         {},
         {{"a.dll", "", true}, {"b.wav", "sound", true}},
         true,
         true,
         {},
         false,
         true},
        {"running until the second OK",
         2,
         {IDOK, IDOK},
         {{"a.dll", "", true}},
         true,
         true,
         {kCloseMainProgramText, kCloseMainProgramText},
         false,
         true},
        {"empty list: stamp and restart", 0, {}, {}, true, true, {}, false, true},
        {"setup.exe is copied like any file",
         0,
         {},
         {{"setup.exe", "", true}},
         true,
         true,
         {},
         false,
         true},
        {"cancel while running",
         5,
         {IDOK, IDCANCEL},
         {{"a.dll", "", true}},
         true,
         false,
         {kCloseMainProgramText, kCloseMainProgramText},
         false,
         false},
        {"two of five fail",
         0,
         {},
         {{"a.dll", "", true},
          {"b.dll", "", false},
          {"c.dll", "", true},
          {"d.dll", "../escape", true},
          {"e.dll", "", true}},
         true,
         false,
         {FileFailed(u"b.dll"), FileFailed(u"d.dll"), kInstallFailedText},
         true,
         false},
        {"stamp fails: only the overall message",
         0,
         {},
         {{"a.dll", "", true}},
         false,
         false,
         {kInstallFailedText},
         true,
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Scene scene;
        const Scene& root_ = scene;
        scene.Prepare(c);
        answers.assign(c.answers.begin(), c.answers.end());
        MainProgramRunning processes(c.runningLookups);

        EXPECT_EQ(InstallDownloadedFiles(scene.Installation(processes), scene.state_), c.result);

        EXPECT_EQ(processes.terminations_, 0) << "the user closes the main program, not we";
        ASSERT_EQ(shownBoxes.size(), c.boxes.size());
        for (std::size_t i = 0; i < c.boxes.size(); ++i) {
            EXPECT_EQ(Utf16ToUtf8(shownBoxes[i].text), Utf16ToUtf8(c.boxes[i])) << "box " << i;
            EXPECT_EQ(shownBoxes[i].caption, kInstallCaption);
            EXPECT_EQ(shownBoxes[i].owner, reinterpret_cast<HWND>(0x1234));
            EXPECT_EQ(shownBoxes[i].type, c.boxes[i] == kCloseMainProgramText
                                              ? kCloseMainProgramBoxType
                                              : kFailureBoxType);
        }
        const bool cancelled = c.runningLookups > 0 && !c.result;
        for (const FileSpec& f : c.files) {
            const std::string placed =
                root_ / "install/" +
                (f.localdir[0] && f.downloaded && !cancelled ? std::string(f.localdir) + "/"
                                                             : std::string()) +
                f.name;
            const bool shouldBeInstalled = f.downloaded && !cancelled &&
                                           std::string(f.localdir).find("..") == std::string::npos;
            std::string content;
            EXPECT_EQ(ReadFile(placed, content) && content == std::string("new ") + f.name,
                      shouldBeInstalled)
                << f.name;
            EXPECT_EQ(Exists(root_ / "upgrade/" + f.name), f.downloaded && !shouldBeInstalled)
                << f.name << ": a downloaded file goes once it is installed";
        }
        if (c.mainProgramPresent) {
            EXPECT_EQ(scene.Stamp(), c.result ? kNewVersion : kOldVersion);
        }
        if (c.pageOpened) {
            ASSERT_TRUE(WaitForFile(root_ / "opened"));
            std::string opened;
            ASSERT_TRUE(ReadFile(root_ / "opened", opened));
            EXPECT_EQ(opened.substr(0, opened.find('\n')), Utf16ToUtf8(kProductDownloadPage));
        }
        if (c.mainProgramStarted) {
            EXPECT_TRUE(WaitForFile(root_ / "started")) << "the main program was not started";
        } else {
            EXPECT_FALSE(Exists(root_ / "started"));
            if (!c.pageOpened) EXPECT_FALSE(Exists(root_ / "opened"));
        }
    }
}

}  // namespace
