// tevorin-desktop against a real program of the session (the peer).

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "support/background_process.h"
#include "support/run_process.h"
#include "support/scratch_dir.h"

using namespace std::chrono_literals;
using test_support::BackgroundProcess;
using test_support::ProcessResult;
using test_support::RunProcess;

namespace {

ProcessResult Desktop(const std::vector<std::string>& args) {
    return RunProcess(TEVORIN_DESKTOP_EXE, args, 20s);
}

// Waits until `path` holds a line equal to `line`; false after the limit.
bool WaitForLine(const std::string& path, const std::string& line,
                 std::chrono::milliseconds limit = 10s) {
    const auto end = std::chrono::steady_clock::now() + limit;
    for (;;) {
        std::string content;
        if (tevorin_test::ReadFile(path, content) &&
            ("\n" + content).find("\n" + line + "\n") != std::string::npos)
            return true;
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(10ms);
    }
}

class DesktopToolTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(scratch_.Valid());
        // Every program started by this test meets in a session of its own.
        ASSERT_EQ(setenv("TEVORIN_DESKTOP", (scratch_ / "session").c_str(), 1), 0);
    }

    // Starts the peer with `title` and waits for its window's handle.
    std::string StartPeer(const std::string& title) {
        peer_ = std::make_unique<BackgroundProcess>(TEVORIN_DESKTOP_PEER,
                                                    std::vector<std::string>{title}, PeerLog());
        if (!peer_->Started()) return "";
        const auto end = std::chrono::steady_clock::now() + 10s;
        while (std::chrono::steady_clock::now() < end) {
            std::string content;
            if (tevorin_test::ReadFile(PeerLog(), content) && content.starts_with("ready ") &&
                content.find('\n') != std::string::npos)
                return content.substr(6, content.find('\n') - 6);
            std::this_thread::sleep_for(10ms);
        }
        return "";
    }

    std::string PeerLog() const { return scratch_ / "peer.log"; }

    tevorin_test::ScratchDir scratch_;
    std::unique_ptr<BackgroundProcess> peer_;
};

TEST_F(DesktopToolTest, ListShowsEveryTopLevelWindowWithEscapedTitle) {
    const std::string handle = StartPeer("Peer\tA\\B");
    ASSERT_FALSE(handle.empty());
    const ProcessResult list = Desktop({"list"});
    ASSERT_EQ(list.exitCode, 0) << list.err;
    const std::string expected =
        handle + "\t" + std::to_string(peer_->Pid()) + "\t1\t100,50,200,120\tPeer\\tA\\\\B\n";
    EXPECT_EQ(list.out, expected);
}

TEST_F(DesktopToolTest, TreeListsChildrenInScreenCoordinates) {
    const std::string handle = StartPeer("tree");
    ASSERT_FALSE(handle.empty());
    const ProcessResult tree = Desktop({"tree", handle});
    ASSERT_EQ(tree.exitCode, 0) << tree.err;
    EXPECT_EQ(tree.out,
              "1\tButton\t1\t1\t110,70,20,10\tOK\\tgo\\\\\n"
              "2\tStatic\t0\t1\t140,70,30,10\t\n"
              "3\tButton\t1\t0\t110,90,20,10\t下一步\n");
}

TEST_F(DesktopToolTest, ClickReachesOnlyAVisibleEnabledButton) {
    const std::string handle = StartPeer("click");
    ASSERT_FALSE(handle.empty());
    const ProcessResult click = Desktop({"click", handle, "1"});
    EXPECT_EQ(click.exitCode, 0) << click.err;
    EXPECT_TRUE(WaitForLine(PeerLog(), "click 1"));

    const struct {
        const char* id;
        int exitCode;
    } refused[] = {{"2", 1}, {"3", 1}, {"99", 2}, {"x", 2}};
    for (const auto& c : refused) {
        const ProcessResult r = Desktop({"click", handle, c.id});
        EXPECT_EQ(r.exitCode, c.exitCode) << "row: id " << c.id;
        EXPECT_FALSE(r.err.empty()) << "row: id " << c.id;
    }
    std::string log;
    ASSERT_TRUE(tevorin_test::ReadFile(PeerLog(), log));
    EXPECT_EQ(log.find("click 2"), std::string::npos);
    EXPECT_EQ(log.find("click 3"), std::string::npos);
}

TEST_F(DesktopToolTest, PostDeliversNumbersInEveryWrittenForm) {
    const std::string handle = StartPeer("post");
    ASSERT_FALSE(handle.empty());
    const ProcessResult post = Desktop({"post", handle, "0x405", "7", "-3"});
    EXPECT_EQ(post.exitCode, 0) << post.err;
    EXPECT_TRUE(WaitForLine(PeerLog(), "post 1029 7 -3"));
    const ProcessResult hex = Desktop({"post", handle, "1030", "0x10", "0xFF"});
    EXPECT_EQ(hex.exitCode, 0) << hex.err;
    EXPECT_TRUE(WaitForLine(PeerLog(), "post 1030 16 255"));
}

TEST_F(DesktopToolTest, CloseDoesWhatTheCloseBoxDoes) {
    const std::string handle = StartPeer("close");
    ASSERT_FALSE(handle.empty());
    const ProcessResult close = Desktop({"close", handle});
    EXPECT_EQ(close.exitCode, 0) << close.err;
    EXPECT_EQ(peer_->WaitForExit(10s), 0);
    EXPECT_TRUE(WaitForLine(PeerLog(), "close", 0ms));
    // The window is gone from the session with its process.
    const ProcessResult list = Desktop({"list"});
    EXPECT_EQ(list.exitCode, 0);
    EXPECT_EQ(list.out, "");
    EXPECT_EQ(Desktop({"close", handle}).exitCode, 2);
}

TEST_F(DesktopToolTest, WaitPrintsTheHandleOrTimesOut) {
    const std::string handle = StartPeer("Waited for");
    ASSERT_FALSE(handle.empty());
    const ProcessResult found = Desktop({"wait", "Waited for", "5"});
    EXPECT_EQ(found.exitCode, 0) << found.err;
    EXPECT_EQ(found.out, handle + "\n");

    const auto start = std::chrono::steady_clock::now();
    const ProcessResult missing = Desktop({"wait", "Waited", "0.2"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.out, "");
    EXPECT_FALSE(missing.err.empty());
    EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
}

TEST_F(DesktopToolTest, WaitSeesAWindowThatAppearsLater) {
    std::thread later([this] {
        std::this_thread::sleep_for(200ms);
        StartPeer("late");
    });
    const ProcessResult found = Desktop({"wait", "late", "10"});
    later.join();
    EXPECT_EQ(found.exitCode, 0) << found.err;
    EXPECT_FALSE(found.out.empty());
}

TEST_F(DesktopToolTest, BadArgumentsAndUnknownWindowsExitWithTwo) {
    const std::string handle = StartPeer("errors");
    ASSERT_FALSE(handle.empty());
    const std::vector<std::string> cases[] = {
        {},
        {"frobnicate"},
        {"list", "extra"},
        {"tree"},
        {"tree", "999999"},
        {"tree", "0"},
        {"tree", "-1"},
        {"tree", "abc"},
        {"click", "999999", "1"},
        {"post", "999999", "1024", "0", "0"},
        {"post", handle, "WM_CLOSE", "0", "0"},
        {"post", handle, "0x100000000", "0", "0"},
        {"post", handle, "1024", "zero", "0"},
        {"post", handle, "1024", "0", "1.5"},
        {"post", handle, "1024", "0"},
        {"close", "999999"},
        {"snapshot", "999999", "x.png"},
        {"wait"},
        {"wait", "x", "soon"},
    };
    for (const auto& args : cases) {
        std::string row;
        for (const auto& a : args) row += a + " ";
        const ProcessResult r = Desktop(args);
        EXPECT_EQ(r.exitCode, 2) << "row: " << row;
        EXPECT_FALSE(r.err.empty()) << "row: " << row;
        EXPECT_EQ(r.out, "") << "row: " << row;
    }
    // Nothing of that reached the window.
    std::string log;
    ASSERT_TRUE(tevorin_test::ReadFile(PeerLog(), log));
    EXPECT_EQ(log, "ready " + handle + "\n");
}

}  // namespace
