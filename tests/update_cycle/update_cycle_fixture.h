// A scratch installation for the whole update cycle with the real programs:
// the stand-in main program installed and running, the updater beside it, a
// release built by tevorin-publish make and served from 127.0.0.1, and the
// desktop tool to watch and drive the windows.
#pragma once

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app/version_stamp.h"
#include "support/background_process.h"
#include "support/machine_wide_turn.h"
#include "support/run_process.h"
#include "support/scratch_dir.h"
#include "support/test_http_server.h"

namespace update_cycle {

using namespace std::chrono_literals;
using tevorin_test::ArgumentRecorderScript;
using tevorin_test::Exists;
using tevorin_test::ReadFile;
using tevorin_test::ScratchDir;
using tevorin_test::U16;
using tevorin_test::WaitForFile;
using tevorin_test::WriteFile;
using test_support::BackgroundProcess;
using test_support::HttpRequest;
using test_support::ProcessResult;
using test_support::ResponseScript;
using test_support::RunProcess;
using test_support::TestHttpServer;

constexpr DWORD kInstalled = 0xC1A2B;
constexpr DWORD kOffered = 0xC1A2C;
constexpr char kMainTitle[] = "Tevorin";
constexpr char kNoticeCaption[] = "Tevorin网络电话";

struct DesktopWindow {
    std::string handle;
    pid_t pid = 0;
    bool visible = false;
    std::string title;
};

// Serves the files below `root`, as any static web server would; the query
// of the manifest request is ignored.
TestHttpServer::Handler StaticSite(std::string root) {
    return [root](const HttpRequest& request) {
        std::string path = request.target.substr(0, request.target.find('?'));
        std::string decoded;
        for (std::size_t i = 0; i < path.size(); ++i) {
            if (path[i] == '%' && i + 2 < path.size()) {
                decoded += static_cast<char>(std::stoi(path.substr(i + 1, 2), nullptr, 16));
                i += 2;
            } else {
                decoded += path[i];
            }
        }
        std::string body;
        if (decoded.find("..") != std::string::npos || !ReadFile(root + decoded, body)) {
            return ResponseScript().Send(test_support::HttpResponseWithLength(404, "missing"));
        }
        return ResponseScript().Send(test_support::HttpResponseWithLength(200, body));
    };
}

// A scratch installation of the stand-in main program at version C1A2B with
// the updater beside it, a desktop session, a system directory with a
// recording regsvr32, an xdg-open that records what it opens, and a web
// server for the release.
class UpdateCycle : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(turn_.Take()) << "a test of another checkout kept the main program's turn";
        ASSERT_TRUE(root_.Valid());
        for (const char* dir : {"app", "app/data", "site", "session", "snapshots", "system", "bin",
                                "input", "records"}) {
            ASSERT_EQ(mkdir((root_ / dir).c_str(), 0755), 0) << dir;
        }
        server_ = std::make_unique<TestHttpServer>(StaticSite(root_ / "site"));
        ASSERT_TRUE(server_->Started());
        ProcessResult installed =
            RunProcess(TEVORIN_MAIN_EXE, {"--install", App(""), "--version", "C1A2B"});
        ASSERT_EQ(installed.exitCode, 0) << installed.err;
        std::filesystem::copy_file(TEVORIN_UPDATER_EXE, App("TevorinLiveUpdate.exe"));
        ASSERT_TRUE(WriteFile(App("data/pro.ini"), "[Window]\nlang=ch\n"));
        ASSERT_TRUE(WriteFile(root_ / "bin/xdg-open",
                              ArgumentRecorderScript(root_ / "records/opened"), 0755));
        ASSERT_TRUE(WriteFile(root_ / "system/regsvr32",
                              ArgumentRecorderScript(root_ / "records/registered"), 0755));

        for (const char* name : {"TEVORIN_DESKTOP", "TEVORIN_DISPLAY", "TEVORIN_SNAPSHOT_DIR",
                                 "TEVORIN_UPDATE_SERVER", "TEVORIN_SYSTEM_DIR", "PATH"}) {
            const char* value = std::getenv(name);
            saved_.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
        }
        setenv("TEVORIN_DESKTOP", (root_ / "session").c_str(), 1);
        setenv("TEVORIN_DISPLAY", "headless", 1);
        setenv("TEVORIN_SNAPSHOT_DIR", (root_ / "snapshots").c_str(), 1);
        setenv("TEVORIN_UPDATE_SERVER", server_->Url("").c_str(), 1);
        setenv("TEVORIN_SYSTEM_DIR", (root_ / "system").c_str(), 1);
        const std::string path = root_ / "bin:" + (saved_.back().second ? *saved_.back().second : "/usr/bin:/bin");
        setenv("PATH", path.c_str(), 1);
    }

    void TearDown() override {
        // Whatever still runs of this installation goes with the test.
        for (const DesktopWindow& window : Windows()) {
            if (window.pid > 0) ::kill(window.pid, SIGKILL);
        }
        for (const auto& [name, value] : saved_) {
            if (value) {
                setenv(name.c_str(), value->c_str(), 1);
            } else {
                unsetenv(name.c_str());
            }
        }
        server_.reset();
    }

    std::string App(const std::string& name) const { return root_ / ("app/" + name); }

    // The release C1A2C: a new main program launcher is not among the files,
    // so the restarted main program is the installed one with its new stamp.
    void Publish(const std::string& action, const std::vector<std::string>& files) {
        std::vector<std::string> args = {"make",        "--version", "C1A2C", "--action",
                                         action,        "--description", "Clearer calls.\nFaster start.",
                                         "--base-url",  server_->Url(""), "--out", root_ / "site"};
        for (const std::string& file : files) {
            const std::string name = file.substr(0, file.find(':'));
            EXPECT_TRUE(WriteFile(root_ / "input/" + name, "new " + name));
            args.push_back(root_ / "input/" + file);
        }
        ProcessResult made = RunProcess(TEVORIN_PUBLISH_EXE, args);
        ASSERT_EQ(made.exitCode, 0) << made.err;
    }

    std::vector<DesktopWindow> Windows() const {
        ProcessResult listed = RunProcess(TEVORIN_DESKTOP_EXE, {"list"}, 10s);
        std::vector<DesktopWindow> windows;
        std::istringstream lines(listed.out);
        std::string line;
        while (std::getline(lines, line)) {
            std::vector<std::string> fields;
            std::size_t start = 0;
            for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1) {
                fields.push_back(line.substr(start, tab - start));
            }
            fields.push_back(line.substr(start));
            if (fields.size() < 5) continue;
            windows.push_back({fields[0], static_cast<pid_t>(std::stol(fields[1])), fields[2] == "1",
                               fields[4]});
        }
        return windows;
    }

    // The first window titled `title` whose process is not `notPid`.
    std::optional<DesktopWindow> WaitForWindow(const std::string& title, pid_t notPid,
                                               std::chrono::milliseconds limit) const {
        const auto end = std::chrono::steady_clock::now() + limit;
        do {
            for (const DesktopWindow& window : Windows()) {
                if (window.title == title && window.pid != notPid) return window;
            }
            std::this_thread::sleep_for(50ms);
        } while (std::chrono::steady_clock::now() < end);
        return std::nullopt;
    }

    DWORD Stamp() const {
        DWORD stamp = 0;
        return ReadVersionStamp(U16(App("Tevorin.exe")), stamp) ? stamp : 0;
    }

    bool WaitForStamp(DWORD version, std::chrono::milliseconds limit) const {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (Stamp() != version && std::chrono::steady_clock::now() < end) {
            std::this_thread::sleep_for(20ms);
        }
        return Stamp() == version;
    }

    // Starts the installed main program; it starts the updater once its
    // window exists.
    std::unique_ptr<BackgroundProcess> StartMainProgram(const std::string& how,
                                                        const std::string& log) {
        auto main = std::make_unique<BackgroundProcess>(App("Tevorin.exe"),
                                                        std::vector<std::string>{how}, root_ / log);
        EXPECT_TRUE(main->Started());
        return main;
    }

    // Waits until no updater of this session has a window any more.
    bool WaitForUpdaterToEnd(std::chrono::milliseconds limit) const {
        const auto end = std::chrono::steady_clock::now() + limit;
        do {
            bool running = false;
            for (const DesktopWindow& window : Windows()) {
                if (window.title == "tevorin_abe87_liveupdate_window_xxycy") running = true;
            }
            if (!running) return true;
            std::this_thread::sleep_for(50ms);
        } while (std::chrono::steady_clock::now() < end);
        return false;
    }

    std::string Content(const std::string& path) const {
        std::string content;
        return ReadFile(path, content) ? content : "<missing>";
    }

    std::vector<std::string> SnapshotsTitled(const std::string& title) const {
        std::vector<std::string> found;
        for (const auto& entry : std::filesystem::directory_iterator(root_ / "snapshots")) {
            const std::string name = entry.path().filename().string();
            if (name.size() > title.size() + 4 &&
                name.compare(name.size() - title.size() - 4, title.size(), title) == 0) {
                found.push_back(name);
            }
        }
        return found;
    }

    ScratchDir root_;
    std::unique_ptr<TestHttpServer> server_;
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
    tevorin_test::MachineWideTurn turn_;
};

}  // namespace update_cycle
