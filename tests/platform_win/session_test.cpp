#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "loop_watchdog.h"
#include "platform/win/desktop_session.h"
#include "platform/win/message_loop.h"
#include "platform/win/session_directory.h"
#include "platform/win/session_protocol.h"
#include "platform/win/window.h"
#include "test_window_class.h"

extern char** environ;
using namespace std::chrono_literals;
using namespace tevorin::win;
namespace fs = std::filesystem;

namespace {

// The peer program, started with its stdout on a pipe.
class Peer {
  public:
    explicit Peer(const std::string& title) {
        int fds[2];
        if (::pipe(fds) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        const std::string program =
            TEVORIN_BINARY_DIR "/tests/platform_win/platform_win_session_peer";
        char* argv[] = {const_cast<char*>(program.c_str()), const_cast<char*>(title.c_str()),
                        nullptr};
        if (posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv, environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        ::close(fds[1]);
        FILE* out = ::fdopen(fds[0], "r");
        if (out != nullptr) {
            if (std::fscanf(out, "%d %d", &top_, &button_) != 2) top_ = button_ = 0;
            std::fclose(out);
        }
    }
    ~Peer() {
        if (pid_ > 0 && !waited_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    HWND Top() const { return HwndFromInt(top_); }
    HWND Button() const { return HwndFromInt(button_); }
    pid_t Pid() const { return pid_; }
    int WaitExitCode() {
        int status = 0;
        waited_ = ::waitpid(pid_, &status, 0) == pid_;
        return waited_ && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    void Kill() {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
        waited_ = true;
    }

  private:
    pid_t pid_ = -1;
    int top_ = 0;
    int button_ = 0;
    bool waited_ = false;
};

TEST(DesktopSession, TheSessionDirectoryIsPrivate) {
    ASSERT_TRUE(EnsureDesktopSession()) << DesktopSessionError();
    struct stat info;
    ASSERT_EQ(::stat(DesktopSessionDirectory()->Path().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
}

TEST(DesktopSession, FindShowAndPostAcrossProcesses) {
    LoopWatchdog watchdog(30s, "peer process");
    Peer peer("main program window");
    ASSERT_GT(HwndToInt(peer.Top()), 0);
    // Handles come from one counter: none of ours equals the peer's.
    HWND mine = MakeTopLevel(u"mine");
    EXPECT_NE(mine, peer.Top());
    EXPECT_NE(mine, peer.Button());

    EXPECT_EQ(FindWindowW(nullptr, u"main program window"), peer.Top()) << "hidden windows count";
    EXPECT_TRUE(IsWindow(peer.Top()));
    EXPECT_EQ(GetWindowTextString(peer.Top()), u"main program window");
    DWORD pid = 0;
    EXPECT_NE(GetWindowThreadProcessId(peer.Top(), &pid), 0u);
    EXPECT_EQ(pid, static_cast<DWORD>(peer.Pid()));
    RECT rect;
    ASSERT_TRUE(GetWindowRect(peer.Top(), &rect));
    EXPECT_EQ(rect, (RECT{5, 6, 105, 86}));

    std::string tree;
    ASSERT_TRUE(RequestWindowTree(peer.Top(), &tree, 5000));
    EXPECT_NE(tree.find("0 " + std::to_string(HwndToInt(peer.Top())) + " "), std::string::npos)
        << tree;
    EXPECT_NE(tree.find("1 " + std::to_string(HwndToInt(peer.Button())) + " 1 SessionPeer"),
              std::string::npos)
        << tree;
    ASSERT_TRUE(RequestClick(peer.Top(), peer.Button(), 5000));

    EXPECT_FALSE(ShowWindow(peer.Top(), SW_MINIMIZE)) << "it was hidden";
    // The minimise is done before the quit arrives: both travel on one socket, in order.
    ASSERT_TRUE(PostMessageW(peer.Top(), WM_QUIT, 0, 0));
    EXPECT_EQ(peer.WaitExitCode(), 23);
    DestroyWindow(mine);
}

// Showing another process's window returns once that process has done it,
// so that the caller can end the process right after and still find it done.
TEST(DesktopSession, ShowingAnotherProcesssWindowWaitsUntilItIsDone) {
    LoopWatchdog watchdog(30s, "peer process");
    Peer peer("window shown from outside");
    ASSERT_GT(HwndToInt(peer.Top()), 0);
    const struct {
        int command;
        BOOL wasVisible;
        BOOL visibleAfter;
        BOOL iconicAfter;
    } steps[] = {
        {SW_SHOW, FALSE, TRUE, FALSE},
        {SW_MINIMIZE, TRUE, TRUE, TRUE},
        {SW_RESTORE, TRUE, TRUE, FALSE},
        {SW_HIDE, TRUE, FALSE, FALSE},
    };
    for (const auto& step : steps) {
        EXPECT_EQ(ShowWindow(peer.Top(), step.command), step.wasVisible)
            << "command " << step.command;
        // No waiting here: the change must already be there.
        EXPECT_EQ(IsWindowVisible(peer.Top()), step.visibleAfter) << "command " << step.command;
        EXPECT_EQ(IsIconic(peer.Top()), step.iconicAfter) << "command " << step.command;
    }
    ASSERT_TRUE(PostMessageW(peer.Top(), WM_QUIT, 0, 0));
    EXPECT_EQ(peer.WaitExitCode(), 20);
}

TEST(DesktopSession, WindowsOfADeadProcessAreNeverFound) {
    LoopWatchdog watchdog(30s, "peer process");
    Peer peer("doomed window");
    ASSERT_GT(HwndToInt(peer.Top()), 0);
    ASSERT_EQ(FindWindowW(nullptr, u"doomed window"), peer.Top());
    peer.Kill();
    EXPECT_EQ(FindWindowW(nullptr, u"doomed window"), nullptr);
    EXPECT_FALSE(IsWindow(peer.Top()));
    EXPECT_FALSE(PostMessageW(peer.Top(), WM_QUIT, 0, 0));
    EXPECT_FALSE(ShowWindow(peer.Top(), SW_MINIMIZE));
    EXPECT_FALSE(fs::exists(DesktopSessionDirectory()->Path() + "/window-" +
                            std::to_string(HwndToInt(peer.Top()))))
        << "the stale entry is cleaned";
    std::string tree;
    EXPECT_FALSE(RequestWindowTree(peer.Top(), &tree, 500));
}

TEST(DesktopSession, ForeignAndBrokenEntriesAreSkipped) {
    ASSERT_TRUE(EnsureDesktopSession());
    const std::string dir = DesktopSessionDirectory()->Path();
    // A well-formed entry of a process that does not exist, garbage, a
    // directory in an entry's place, and an entry that claims a live process
    // (ours) with a wrong start time.
    SessionWindowEntry ghost;
    ghost.handle = 0x7FFF0001;
    ghost.pid = 0x3FFFFFF0;
    ghost.title = u"ghost";
    SessionWindowEntry impostor = ghost;
    impostor.handle = 0x7FFF0002;
    impostor.pid = ::getppid();
    impostor.processStart = 1;
    ASSERT_TRUE(DesktopSessionDirectory()->WriteWindow(ghost));
    ASSERT_TRUE(DesktopSessionDirectory()->WriteWindow(impostor));
    std::ofstream(dir + "/window-2147418115") << "tevorin-window 1\nhandle 12\ntitle zz\n";
    std::ofstream(dir + "/window-nonsense") << "\x01\x02";
    fs::create_directory(dir + "/window-2147418116");
    std::ofstream(dir + "/unrelated.txt") << "hello";
    EXPECT_EQ(FindWindowW(nullptr, u"ghost"), nullptr);
    EXPECT_FALSE(IsWindow(HwndFromInt(0x7FFF0001)));
    EXPECT_FALSE(PostMessageW(HwndFromInt(0x7FFF0002), WM_CLOSE, 0, 0));
    EXPECT_FALSE(fs::exists(dir + "/window-" + std::to_string(0x7FFF0001)));
    fs::remove(dir + "/window-2147418116");
}

TEST(DesktopSessionDirectory, RefusesUnsafeDirectories) {
    const fs::path base =
        fs::temp_directory_path() / ("tevorin-session-test-" + std::to_string(::getpid()));
    fs::create_directories(base);
    fs::create_directory(base / "real");
    fs::create_symlink(base / "real", base / "link");
    std::ofstream(base / "file") << "x";
    struct Case {
        std::string path;
        bool opens;
    };
    const Case cases[] = {{(base / "link").string(), false},
                          {(base / "file").string(), false},
                          {"relative/path", false},
                          {(base / "fresh" / "deeper").string(), true},
                          {(base / "real").string(), true}};
    for (const auto& c : cases) {
        SessionDirectory directory;
        std::string error;
        EXPECT_EQ(directory.Open(c.path, &error), c.opens) << c.path << " " << error;
        if (!c.opens) {
            EXPECT_FALSE(error.empty()) << c.path;
        }
    }
    fs::remove_all(base);
}

TEST(DesktopSessionDirectory, HandleCounterGivesDisjointBlocksAndSurvivesDamage) {
    const fs::path base =
        fs::temp_directory_path() / ("tevorin-counter-test-" + std::to_string(::getpid()));
    SessionDirectory directory;
    ASSERT_TRUE(directory.Open(base.string(), nullptr));
    const int first = directory.AllocateHandles(16);
    const int second = directory.AllocateHandles(16);
    EXPECT_GT(first, 0);
    EXPECT_EQ(second, first + 16);
    SessionWindowEntry published;
    published.handle = 5000;
    published.pid = ::getpid();
    published.processStart = ProcessStartTime(::getpid());
    ASSERT_TRUE(directory.WriteWindow(published));
    std::ofstream(base / "handles", std::ios::trunc) << "garbage";
    const int afterDamage = directory.AllocateHandles(16);
    EXPECT_GT(afterDamage, 5000) << "restarts above every published handle";
    fs::remove_all(base);
}

TEST(DesktopSessionProtocol, RoundTripsAndRejectsMalformedDatagrams) {
    SessionDatagram post;
    post.command = SessionCommand::kPost;
    post.handle = 918;
    post.message = WM_QUIT;
    post.wParam = 7;
    post.lParam = -3;
    const auto bytes = EncodeSessionDatagram(post);
    auto back = DecodeSessionDatagram(bytes.data(), bytes.size());
    ASSERT_TRUE(back);
    EXPECT_EQ(back->handle, 918);
    EXPECT_EQ(back->message, WM_QUIT);
    EXPECT_EQ(back->wParam, 7u);
    EXPECT_EQ(back->lParam, -3);

    SessionDatagram snapshot;
    snapshot.command = SessionCommand::kSnapshot;
    snapshot.handle = 5;
    snapshot.replyTo = "/tmp/x";
    snapshot.path = "/tmp/y.png";
    const auto good = EncodeSessionDatagram(snapshot);

    auto mutate = [](std::vector<std::uint8_t> b, std::size_t at, std::uint8_t value) {
        if (at < b.size()) b[at] = value;
        return b;
    };
    auto cut = [](std::vector<std::uint8_t> b, std::size_t size) {
        b.resize(std::min(size, b.size()));
        return b;
    };
    auto extend = [](std::vector<std::uint8_t> b) {
        b.push_back(0);
        return b;
    };
    struct Case {
        const char* name;
        std::vector<std::uint8_t> bytes;
    };
    const Case cases[] = {
        {"empty", {}},
        {"bad magic", mutate(good, 0, 0)},
        {"bad version", mutate(good, 4, 9)},
        {"unknown command", mutate(good, 6, 77)},
        {"handle zero", mutate(mutate(mutate(mutate(good, 8, 0), 9, 0), 10, 0), 11, 0)},
        {"cut in the header", cut(good, 10)},
        {"cut in a text", cut(good, good.size() - 3)},
        {"trailing byte", extend(good)},
        {"text longer than the datagram", mutate(good, 16, 0xFF)},
        {"show command out of range",
         [] {
             SessionDatagram show;
             show.command = SessionCommand::kShow;
             show.handle = 5;
             show.value = 99;
             return EncodeSessionDatagram(show);
         }()},
    };
    for (const auto& c : cases)
        EXPECT_FALSE(DecodeSessionDatagram(c.bytes.data(), c.bytes.size())) << c.name;
    EXPECT_TRUE(DecodeSessionDatagram(good.data(), good.size()));
}

// Garbage on a live process's socket: the loop stays responsive.
TEST(DesktopSession, GarbageOnTheSocketIsDropped) {
    LoopWatchdog watchdog(20s);
    HWND mine = MakeTopLevel(u"garbage target");
    const std::string socketPath = DesktopSessionDirectory()->SocketPath(::getpid());
    int fd = ::socket(AF_UNIX, SOCK_DGRAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", socketPath.c_str());
    const char junk[] = "\x53\x44\x56\x54garbage";
    ASSERT_GT(
        ::sendto(fd, junk, sizeof junk, 0, reinterpret_cast<sockaddr*>(&address), sizeof address),
        0);
    ::close(fd);
    PostMessageW(mine, WM_USER + 4, 0, 0);
    MSG msg;
    ASSERT_EQ(GetMessageW(&msg, nullptr, 0, 0), TRUE);
    EXPECT_EQ(msg.message, WM_USER + 4u);
    DestroyWindow(mine);
}

}  // namespace
