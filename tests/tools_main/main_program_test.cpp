// The installed stand-in main program, run for real in a session of its own
// and driven with tevorin-desktop.

#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "app/version_stamp.h"
#include "platform/process/process_list.h"
#include "platform/win/desktop_session.h"
#include "platform/win/session_directory.h"
#include "platform/win/window.h"
#include "support/background_process.h"
#include "support/machine_wide_turn.h"
#include "support/run_process.h"
#include "support/scratch_dir.h"

using namespace std::chrono_literals;
using test_support::BackgroundProcess;
using test_support::ProcessResult;
using test_support::RunProcess;
namespace fs = std::filesystem;

namespace {

constexpr int kWmQuit = 0x0012;

ProcessResult Desktop(const std::vector<std::string>& args) {
    return RunProcess(TEVORIN_DESKTOP_EXE, args, 20s);
}

ProcessResult MainTool(const std::vector<std::string>& args) {
    return RunProcess(TEVORIN_MAIN_EXE, args, 20s);
}

std::set<std::string> Names(const std::string& dir) {
    std::set<std::string> names;
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator(dir, ignored))
        names.insert(entry.path().filename().string());
    return names;
}

// Processes whose parent is `pid`, with their state letters.
std::vector<std::pair<int, char>> ChildrenOf(pid_t pid) {
    std::vector<std::pair<int, char>> children;
    DIR* proc = opendir("/proc");
    if (proc == nullptr) return children;
    while (const dirent* item = readdir(proc)) {
        if (item->d_name[0] < '1' || item->d_name[0] > '9') continue;
        std::string stat;
        if (!tevorin_test::ReadFile(std::string("/proc/") + item->d_name + "/stat", stat)) continue;
        const std::size_t close = stat.rfind(')');
        if (close == std::string::npos || close + 4 >= stat.size()) continue;
        const char state = stat[close + 2];
        const int parent = std::atoi(stat.c_str() + close + 4);
        if (parent == pid) children.emplace_back(std::atoi(item->d_name), state);
    }
    closedir(proc);
    return children;
}

class MainProgramTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(turn_.Take()) << "a test of another checkout kept the main program's turn";
        ASSERT_TRUE(scratch_.Valid());
        ASSERT_EQ(setenv("TEVORIN_DESKTOP", (scratch_ / "session").c_str(), 1), 0);
        appDir_ = scratch_ / "app";
    }

    void Install(const std::string& version) {
        const ProcessResult r = MainTool({"--install", appDir_, "--version", version});
        ASSERT_EQ(r.exitCode, 0) << r.err;
    }

    std::string Launcher() const { return appDir_ + "/Tevorin.exe"; }

    // Starts Tevorin.exe with `args` and waits for its window; the handle,
    // or empty.
    std::string Run(const std::vector<std::string>& args) {
        main_ = std::make_unique<BackgroundProcess>(Launcher(), args, scratch_ / "main.log");
        if (!main_->Started()) return "";
        const ProcessResult wait = Desktop({"wait", "Tevorin", "15"});
        if (wait.exitCode != 0 || wait.out.size() < 2) return "";
        return wait.out.substr(0, wait.out.size() - 1);
    }

    std::string MainLog() const {
        std::string log;
        (void)tevorin_test::ReadFile(scratch_ / "main.log", log);
        return log;
    }

    tevorin_test::ScratchDir scratch_;
    std::string appDir_;
    std::unique_ptr<BackgroundProcess> main_;
    tevorin_test::MachineWideTurn turn_;
};

TEST_F(MainProgramTest, InstallCopiesTheProgramAndStampsTheLauncher) {
    const struct {
        std::vector<std::string> versionArgs;
        DWORD expected;
    } cases[] = {
        {{}, 1u},
        {{"--version", "C1A2B"}, 0xC1A2Bu},
        {{"--version", "0x0"}, 0u},
        {{"--version", "FFFFFFFF"}, 0xFFFFFFFFu},
        {{"--version", "0a0a0a0a"}, 0x0A0A0A0Au},
    };
    std::string program;
    ASSERT_TRUE(tevorin_test::ReadFile(TEVORIN_MAIN_EXE, program));
    // Each row installs over the previous one.
    for (const auto& c : cases) {
        std::vector<std::string> args{"--install", appDir_};
        args.insert(args.end(), c.versionArgs.begin(), c.versionArgs.end());
        const ProcessResult r = MainTool(args);
        ASSERT_EQ(r.exitCode, 0) << "row: " << c.expected << ": " << r.err;
        DWORD stamp = 0x5A5A5A5A;
        ASSERT_TRUE(ReadVersionStamp(tevorin_test::U16(Launcher()), stamp));
        EXPECT_EQ(stamp, c.expected);
        std::string copied;
        ASSERT_TRUE(tevorin_test::ReadFile(appDir_ + "/tevorin-main", copied));
        EXPECT_TRUE(copied == program) << "row: " << c.expected;
        EXPECT_EQ(Names(appDir_), (std::set<std::string>{"Tevorin.exe", "tevorin-main"}));
        for (const char* name : {"/Tevorin.exe", "/tevorin-main"})
            EXPECT_EQ(access((appDir_ + name).c_str(), X_OK), 0) << name;
    }
}

TEST_F(MainProgramTest, InstallReportsWhatItCannotDo) {
    ASSERT_TRUE(tevorin_test::WriteFile(scratch_ / "file", "x"));
    const struct {
        std::vector<std::string> args;
        int exitCode;
    } cases[] = {
        {{"--install"}, 2},
        {{"--install", appDir_, "--version", "123456789"}, 2},
        {{"--install", appDir_, "--version", "xyz"}, 2},
        {{"--install", appDir_, "--version"}, 2},
        {{"--bogus"}, 2},
        {{"--install", scratch_ / "file"}, 1},
        {{"--install", scratch_ / "missing/deeper"}, 1},
    };
    for (const auto& c : cases) {
        std::string row;
        for (const auto& a : c.args) row += a + " ";
        const ProcessResult r = MainTool(c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << "row: " << row;
        EXPECT_FALSE(r.err.empty()) << "row: " << row;
    }
    EXPECT_FALSE(tevorin_test::Exists(appDir_));
}

TEST_F(MainProgramTest, RunsAsTevorinExeHoldingItsStampUntilQuit) {
    Install("C1A2B");
    const std::string handle = Run({});
    ASSERT_FALSE(handle.empty()) << MainLog();

    const ProcessResult list = Desktop({"list"});
    ASSERT_EQ(list.exitCode, 0);
    const std::string prefix = handle + "\t" + std::to_string(main_->Pid()) + "\t1\t";
    EXPECT_TRUE(list.out.starts_with(prefix)) << list.out;
    EXPECT_TRUE(list.out.ends_with("\tTevorin\n")) << list.out;
    EXPECT_EQ(std::count(list.out.begin(), list.out.end(), '\n'), 1) << list.out;

    // The launcher's shell has made way for the program itself.
    std::error_code error;
    EXPECT_EQ(fs::read_symlink("/proc/" + std::to_string(main_->Pid()) + "/exe", error),
              fs::path(appDir_ + "/tevorin-main"));
    std::vector<ProcessEntry> processes;
    ASSERT_TRUE(TakeProcessSnapshot(processes));
    bool listed = false;
    for (const auto& p : processes)
        if (static_cast<pid_t>(p.processId) == main_->Pid()) listed = p.exeFile == u"Tevorin.exe";
    EXPECT_TRUE(listed);
    // No shell of the launcher lingers beside it.
    for (const auto& child : ChildrenOf(getpid())) {
        std::string name;
        if (child.first != main_->Pid() &&
            tevorin_test::ReadFile("/proc/" + std::to_string(child.first) + "/comm", name))
            EXPECT_NE(name, "Tevorin.exe\n") << "process " << child.first;
    }
    std::string comm;
    ASSERT_TRUE(tevorin_test::ReadFile("/proc/" + std::to_string(main_->Pid()) + "/comm", comm));
    EXPECT_EQ(comm, "Tevorin.exe\n");

    DWORD stamp = 0;
    EXPECT_TRUE(ReadVersionStamp(tevorin_test::U16(Launcher()), stamp));
    EXPECT_EQ(stamp, 0xC1A2Bu);
    EXPECT_FALSE(WriteVersionStampAt(tevorin_test::U16(Launcher()), 0xC1A2C));

    const ProcessResult quit = Desktop({"post", handle, std::to_string(kWmQuit), "0", "0"});
    EXPECT_EQ(quit.exitCode, 0) << quit.err;
    EXPECT_EQ(main_->WaitForExit(15s), 0) << MainLog();
    EXPECT_TRUE(WriteVersionStampAt(tevorin_test::U16(Launcher()), 0xC1A2C));
    EXPECT_EQ(Desktop({"list"}).out, "");
}

TEST_F(MainProgramTest, CloseBoxEndsIt) {
    Install("1");
    const std::string handle = Run({});
    ASSERT_FALSE(handle.empty()) << MainLog();
    const ProcessResult close = Desktop({"close", handle});
    EXPECT_EQ(close.exitCode, 0) << close.err;
    EXPECT_EQ(main_->WaitForExit(15s), 0) << MainLog();
    EXPECT_EQ(MainLog(), "") << "a closed window was not told to quit from outside";
}

TEST_F(MainProgramTest, MinimisesWhenTheUpdaterAsks) {
    Install("1");
    const std::string handle = Run({});
    ASSERT_FALSE(handle.empty()) << MainLog();
    ASSERT_TRUE(tevorin::win::EnsureDesktopSession()) << tevorin::win::DesktopSessionError();
    const HWND window = HwndFromInt(std::atoi(handle.c_str()));
    EXPECT_TRUE(ShowWindow(window, SW_MINIMIZE));  // it was visible
    auto* session = tevorin::win::DesktopSessionDirectory();
    ASSERT_NE(session, nullptr);
    bool iconic = false;
    const auto end = std::chrono::steady_clock::now() + 10s;
    while (!iconic && std::chrono::steady_clock::now() < end) {
        auto entry = session->ReadWindow(std::atoi(handle.c_str()));
        ASSERT_TRUE(entry.has_value());
        iconic = entry->iconic;
        if (!iconic) std::this_thread::sleep_for(10ms);
    }
    EXPECT_TRUE(iconic);
    EXPECT_EQ(Desktop({"post", handle, std::to_string(kWmQuit), "0", "0"}).exitCode, 0);
    EXPECT_EQ(main_->WaitForExit(15s), 0);
    EXPECT_EQ(MainLog(), "minimised\ntold to quit\n") << "it tells what it received";
}

TEST_F(MainProgramTest, CheckAndUpdateStartTheUpdaterWithTheWindowHandle) {
    const struct {
        const char* option;
        bool userUpgrade;
    } cases[] = {{"--check", false}, {"--update", true}};
    for (const auto& c : cases) {
        Install("2");
        const std::string record = scratch_ / (std::string("updater") + c.option);
        ASSERT_TRUE(tevorin_test::WriteFile(appDir_ + "/TevorinLiveUpdate.exe",
                                            tevorin_test::ArgumentRecorderScript(record), 0755));
        const std::string handle = Run({c.option});
        ASSERT_FALSE(handle.empty()) << "row: " << c.option << ": " << MainLog();
        ASSERT_TRUE(tevorin_test::WaitForFile(record)) << "row: " << c.option;
        std::string recorded;
        ASSERT_TRUE(tevorin_test::ReadFile(record, recorded));
        std::string expected = "<handle>" + handle + "</handle>\n";
        if (c.userUpgrade) expected += "<userupgrade>TRUE</userupgrade>\n";
        expected += fs::canonical(appDir_).string() + "\n";
        EXPECT_EQ(recorded, expected) << "row: " << c.option;

        // The updater was not the main program's child: nothing to reap, no zombie.
        const auto end = std::chrono::steady_clock::now() + 5s;
        std::vector<std::pair<int, char>> children = ChildrenOf(main_->Pid());
        while (!children.empty() && std::chrono::steady_clock::now() < end) {
            std::this_thread::sleep_for(10ms);
            children = ChildrenOf(main_->Pid());
        }
        EXPECT_TRUE(children.empty()) << "row: " << c.option << ": child " << children[0].first
                                      << " in state " << children[0].second;
        EXPECT_EQ(Desktop({"post", handle, std::to_string(kWmQuit), "0", "0"}).exitCode, 0);
        EXPECT_EQ(main_->WaitForExit(15s), 0) << "row: " << c.option;
    }
}

TEST_F(MainProgramTest, AMissingUpdaterLeavesTheMainProgramRunning) {
    Install("3");
    const std::string handle = Run({"--update"});
    ASSERT_FALSE(handle.empty()) << MainLog();
    EXPECT_EQ(Desktop({"post", handle, std::to_string(kWmQuit), "0", "0"}).exitCode, 0);
    EXPECT_EQ(main_->WaitForExit(15s), 0);
    EXPECT_NE(MainLog().find("TevorinLiveUpdate.exe"), std::string::npos) << MainLog();
}

}  // namespace
