// Installation cases of the whole update cycle, from the launch of the real
// updater to the end of its process: the deferred installation that starts a
// setup program, pending files that do not fit the installation, a main
// program that will not die, and files that cannot be put in place.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <array>
#include <string>
#include <vector>

#include "install_cycle_helpers.h"
#include "update_cycle_fixture.h"

namespace {

using namespace update_cycle;
using namespace std::chrono_literals;

constexpr char kInstallCaption[] = "Tevorin自动升级";

class InstallCycle : public UpdateCycle {
  protected:
    void PublishFiles(const std::string& action, const std::vector<ReleaseFile>& files) {
        const std::string problem = PublishRelease("C1A2C", action, files, root_ / "input",
                                                   root_ / "site", server_->Url(""));
        ASSERT_TRUE(problem.empty()) << problem;
    }

    std::unique_ptr<BackgroundProcess> StartUpdater(bool userUpgrade, const std::string& log) {
        auto updater = std::make_unique<BackgroundProcess>(
            App("TevorinLiveUpdate.exe"), UpdaterArguments(userUpgrade), root_ / log);
        EXPECT_TRUE(updater->Started());
        return updater;
    }

    // The lines `tevorin-desktop tree` prints for a window.
    std::vector<std::string> TreeLines(const std::string& handle) const {
        const ProcessResult tree = RunProcess(TEVORIN_DESKTOP_EXE, {"tree", handle}, 10s);
        std::vector<std::string> lines;
        std::istringstream in(tree.out);
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }

    // The text of a message box: its static control without an id of its own.
    std::string MessageText(const std::string& handle) const {
        for (const std::string& line : TreeLines(handle)) {
            const std::size_t tab = line.find('\t');
            const std::string id = line.substr(0, tab);
            if (id != "65535" && id != "-1") continue;
            const std::size_t textStart = line.rfind('\t');
            return line.substr(textStart + 1);
        }
        return "<no text>";
    }

    // The next message box of the installation that is not `previous`.
    std::optional<DesktopWindow> WaitForMessageBox(const std::string& previous) const {
        const auto end = std::chrono::steady_clock::now() + 30s;
        do {
            for (const DesktopWindow& window : Windows()) {
                if (window.title == kInstallCaption && window.visible &&
                    window.handle != previous) {
                    return window;
                }
            }
            std::this_thread::sleep_for(50ms);
        } while (std::chrono::steady_clock::now() < end);
        return std::nullopt;
    }

    bool AnyWindowTitled(const std::string& title) const {
        for (const DesktopWindow& window : Windows()) {
            if (window.title == title) return true;
        }
        return false;
    }

    std::string Upgrade(const std::string& name) const { return App("upgrade/C1A2C/" + name); }
};

// A setup program that records how it was started, then stays until the test
// lets it go, so that an updater that waited for it would still be running.
std::string SetupProgram(const std::string& records) {
    return "#!/bin/sh\n"
           "{ printf '%s\\n' \"$0\"; printf '%s\\n' \"$#\"; } > '" +
           records +
           "/setup.part'\n"
           "mv '" +
           records + "/setup.part' '" + records +
           "/setup'\n"
           "i=0\n"
           "while [ ! -e '" +
           records + "/release' ] && [ $i -lt 800 ]; do sleep 0.05; i=$((i+1)); done\n";
}

TEST_F(InstallCycle, TheSecondSilentRunStartsTheSetupProgramAndInstallsTheRestWithoutStamping) {
    // The stored name carries capitals: the setup program is recognised
    // whatever its case and started under exactly that name.
    ASSERT_NO_FATAL_FAILURE(
        PublishFiles("Default", {{"Setup.EXE", SetupProgram(root_ / "records"), 0755},
                                 {"codec.dll", "new codec.dll"},
                                 {"ring.wav:sound", "new ring.wav"}}));

    auto first = StartMainProgram("--check", "main1.log");
    ASSERT_TRUE(WaitForFile(Upgrade("update.lock"), 60s)) << "nothing was stored";
    ASSERT_TRUE(WaitForUpdaterToEnd(20s));
    EXPECT_FALSE(Exists(root_ / "records/setup")) << "a silent download starts nothing";
    EXPECT_EQ(Stamp(), kInstalled);
    EXPECT_FALSE(Exists(App("codec.dll")));
    (void)first->WaitForExit(5s);

    auto second = StartMainProgram("--check", "main2.log");
    ASSERT_TRUE(WaitForFile(root_ / "records/setup", 60s)) << "the setup program was not started";
    // The setup program waits for us for 40 seconds: only an updater that
    // does not wait for it ends within the limit.
    const bool ended = WaitForUpdaterToEnd(20s);
    ASSERT_TRUE(WriteFile(root_ / "records/release", ""));
    ASSERT_TRUE(ended) << "the updater waited for the setup program";

    EXPECT_EQ(Content(root_ / "records/setup"), Upgrade("Setup.EXE") + "\n0\n")
        << "started from the download folder under its stored name, without arguments";
    EXPECT_EQ(Content(App("codec.dll")), "new codec.dll");
    EXPECT_EQ(Content(App("sound/ring.wav")), "new ring.wav");
    EXPECT_EQ(Stamp(), kInstalled) << "the setup program stamps the version, not the updater";
    EXPECT_FALSE(Exists(App("Setup.EXE"))) << "the setup program is not installed";
    EXPECT_TRUE(Exists(Upgrade("Setup.EXE"))) << "the setup program stays where it was started";
    EXPECT_TRUE(Exists(Upgrade("update.lock")));
    EXPECT_FALSE(SnapshotsTitled(kNoticeCaption).empty()) << "the notice was not shown";
    EXPECT_EQ(second->WaitForExit(5s), -1) << "the main program is stopped for the installation";
    EXPECT_FALSE(AnyWindowTitled(kMainTitle)) << "the updater restarted the main program";
}

struct ForeignPendingFile {
    const char* name;
    DWORD storedInstalled;
    DWORD storedServer;
};

void PrintTo(const ForeignPendingFile& row, std::ostream* out) {
    *out << row.name;
}

class IgnoredPendingFile : public InstallCycle,
                           public ::testing::WithParamInterface<ForeignPendingFile> {};

TEST_P(IgnoredPendingFile, InstallsNothingFromItAndTheSilentCheckGoesOn) {
    const ForeignPendingFile& row = GetParam();
    ASSERT_NO_FATAL_FAILURE(PublishFiles("Default", {{"codec.dll", "new codec.dll"}}));
    ASSERT_EQ(mkdir(App("upgrade").c_str(), 0755), 0);
    ASSERT_EQ(mkdir(App("upgrade/C1A2C").c_str(), 0755), 0);
    ASSERT_TRUE(WriteFile(Upgrade("stale.dll"), "stale"));
    ASSERT_TRUE(
        WriteFile(Upgrade("update.lock"),
                  PendingUpdateBytes(row.storedInstalled, row.storedServer, {"stale.dll"})));

    auto main = StartMainProgram("--check", "main.log");
    // The silent download that follows writes its own pending file.
    std::string lock;
    const auto end = std::chrono::steady_clock::now() + 60s;
    while (std::chrono::steady_clock::now() < end &&
           !(ReadFile(Upgrade("update.lock"), lock) && lock.size() >= 16 &&
             LittleEndianAt(lock, 4) == kInstalled && LittleEndianAt(lock, 8) == kOffered)) {
        std::this_thread::sleep_for(50ms);
    }
    ASSERT_TRUE(WaitForUpdaterToEnd(20s));

    ASSERT_GE(lock.size(), 16u);
    EXPECT_EQ(LittleEndianAt(lock, 4), kInstalled)
        << "the silent download did not store its update";
    EXPECT_EQ(LittleEndianAt(lock, 8), kOffered);
    EXPECT_EQ(LittleEndianAt(lock, 12), 1u);
    EXPECT_FALSE(Exists(App("stale.dll"))) << "a file of the foreign pending update was installed";
    EXPECT_EQ(Content(Upgrade("stale.dll")), "stale");
    EXPECT_EQ(Content(Upgrade("codec.dll")), "new codec.dll");
    EXPECT_FALSE(Exists(App("codec.dll"))) << "a silent download installs nothing";
    EXPECT_EQ(Stamp(), kInstalled);
    EXPECT_FALSE(SnapshotsTitled(kNoticeCaption).empty()) << "the notice is shown before the check";
}

INSTANTIATE_TEST_SUITE_P(
    Headers, IgnoredPendingFile,
    ::testing::Values(ForeignPendingFile{"OlderInstalledVersion", 0xC1A2A, kOffered},
                      ForeignPendingFile{"OtherServerVersion", kInstalled, 0xC1A2D}),
    [](const ::testing::TestParamInfo<ForeignPendingFile>& info) { return info.param.name; });

TEST_F(InstallCycle, AMainProgramThatWillNotDieLeavesEveryFileAsItWas) {
    ASSERT_NO_FATAL_FAILURE(PublishFiles("Default", {{"codec.dll", "new codec.dll"}}));
    ASSERT_TRUE(WriteFile(App("codec.dll"), "old codec.dll"));
    ASSERT_EQ(mkdir(App("upgrade").c_str(), 0755), 0);
    ASSERT_EQ(mkdir(App("upgrade/C1A2C").c_str(), 0755), 0);
    ASSERT_TRUE(WriteFile(Upgrade("codec.dll"), "new codec.dll"));
    const std::string pending = PendingUpdateBytes(kInstalled, kOffered, {"codec.dll"});
    ASSERT_TRUE(WriteFile(Upgrade("update.lock"), pending));
    const std::string launcher = Content(App("Tevorin.exe"));
    struct stat before {};
    ASSERT_EQ(stat(App("codec.dll").c_str(), &before), 0);

    UndyingMainProgram main;
    ASSERT_TRUE(main.Started());
    auto updater = StartUpdater(false, "updater.log");
    // The deferred installation gives up after its stop loop; the silent
    // download that follows runs its own, and ends by storing the update.
    EXPECT_EQ(updater->WaitForExit(60s), 0);

    EXPECT_EQ(main.Deaths(), 2 * 52) << "one stop loop of 52 attempts before the installation "
                                        "and one before the download";
    EXPECT_FALSE(SnapshotsTitled(kNoticeCaption).empty()) << "the notice was not shown";
    struct stat after {};
    ASSERT_EQ(stat(App("codec.dll").c_str(), &after), 0);
    EXPECT_EQ(Content(App("codec.dll")), "old codec.dll");
    EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
    EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
    EXPECT_EQ(after.st_ino, before.st_ino) << "the installed file was replaced";
    EXPECT_TRUE(Content(App("Tevorin.exe")) == launcher) << "the main program was changed";
    EXPECT_EQ(Stamp(), kInstalled);
    const std::string lock = Content(Upgrade("update.lock"));
    ASSERT_EQ(lock.size(), 16u + 876u) << "the download stores the update again";
    EXPECT_EQ(LittleEndianAt(lock, 4), kInstalled);
    EXPECT_EQ(LittleEndianAt(lock, 8), kOffered);
    EXPECT_EQ(Content(Upgrade("codec.dll")), "new codec.dll");
}

TEST_F(InstallCycle, TwoFilesThatCannotBeReplacedAreReportedAndTheDownloadPageOpens) {
    ASSERT_NO_FATAL_FAILURE(PublishFiles("UserPrompt", {{"codec.dll", "new codec.dll"},
                                                        {"locked.dll", "new locked.dll"},
                                                        {"ring.wav:sound", "new ring.wav"},
                                                        {"deep.dat:missing/deeper", "new deep.dat"},
                                                        {"notes.txt", "new notes.txt"}}));
    // A directory where a file should go, and a folder whose parent is missing.
    ASSERT_EQ(mkdir(App("locked.dll").c_str(), 0755), 0);

    auto main = StartMainProgram("--update", "main.log");
    const std::array<std::string, 3> expectedMessages = {
        "locked.dll更新失败！", "deep.dat更新失败！",
        "自动升级失败，请重新再试，如果还有问题，请到Tevorin官方网站下载最新版本。"};
    std::string previous;
    for (std::size_t i = 0; i < expectedMessages.size(); ++i) {
        const auto box = WaitForMessageBox(previous);
        ASSERT_TRUE(box.has_value()) << "message " << i << " did not come";
        EXPECT_EQ(MessageText(box->handle), expectedMessages[i]) << "message " << i;
        EXPECT_FALSE(Exists(root_ / "records/opened")) << "the page opened before message " << i;
        const ProcessResult clicked =
            RunProcess(TEVORIN_DESKTOP_EXE, {"click", box->handle, "1"}, 10s);
        ASSERT_EQ(clicked.exitCode, 0) << clicked.err;
        previous = box->handle;
    }
    ASSERT_TRUE(WaitForFile(root_ / "records/opened", 20s)) << "the download page was not opened";
    ASSERT_TRUE(WaitForUpdaterToEnd(20s));

    const std::string opened = Content(root_ / "records/opened");
    const std::string address = opened.substr(0, opened.find('\n'));
    EXPECT_EQ(address.rfind("http://", 0), 0u) << address;
    EXPECT_EQ(address.substr(address.find('/', 7)), "/download") << address;
    EXPECT_EQ(Content(App("codec.dll")), "new codec.dll");
    EXPECT_EQ(Content(App("sound/ring.wav")), "new ring.wav");
    EXPECT_EQ(Content(App("notes.txt")), "new notes.txt");
    EXPECT_FALSE(Exists(App("missing"))) << "only one missing folder level is created";
    EXPECT_EQ(Content(Upgrade("locked.dll")), "new locked.dll") << "a failed file stays downloaded";
    EXPECT_EQ(Content(Upgrade("deep.dat")), "new deep.dat");
    EXPECT_FALSE(Exists(Upgrade("codec.dll")));
    EXPECT_EQ(Stamp(), kInstalled) << "a failed installation is not stamped";
    EXPECT_EQ(main->WaitForExit(5s), -1) << "the main program is stopped for the download";
    EXPECT_FALSE(AnyWindowTitled(kMainTitle)) << "the main program was started after a failure";
}

}  // namespace
