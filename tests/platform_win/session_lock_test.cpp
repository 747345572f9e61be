#include "platform/win/session_lock.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

#include "support/scratch_dir.h"

extern char** environ;
using namespace tevorin::win;
using tevorin_test::ScratchDir;

namespace {

// A holder process with a pipe to its standard input (closing it ends the
// holder) and one from its standard output.
class Holder {
  public:
    Holder(const std::string& dir, const std::string& name, const char* mode) {
        int in[2], out[2];
        if (::pipe2(in, O_CLOEXEC) != 0) return;
        if (::pipe2(out, O_CLOEXEC) != 0) {
            ::close(in[0]);
            ::close(in[1]);
            return;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, in[0], 0);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        const std::string program =
            TEVORIN_BINARY_DIR "/tests/platform_win/platform_win_session_lock_holder";
        std::vector<std::string> args = {program, dir, name, mode};
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        if (posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ) != 0)
            pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        ::close(in[0]);
        ::close(out[1]);
        stdin_ = in[1];
        stdout_ = out[0];
    }
    ~Holder() {
        End();
        if (stdout_ >= 0) ::close(stdout_);
    }
    Holder(const Holder&) = delete;
    Holder& operator=(const Holder&) = delete;

    // The first line the holder printed; "" when none came within the limit.
    std::string Line(std::chrono::milliseconds limit = std::chrono::seconds(10)) {
        std::string line;
        const auto end = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < end) {
            pollfd fd{stdout_, POLLIN, 0};
            if (::poll(&fd, 1, 50) <= 0) continue;
            char c;
            if (::read(stdout_, &c, 1) != 1) break;
            if (c == '\n') return line;
            line += c;
        }
        return "";
    }
    // Ends the holder: closes its input, then waits (killing it after a limit).
    void End() {
        if (stdin_ >= 0) ::close(stdin_);
        stdin_ = -1;
        if (pid_ <= 0) return;
        for (int i = 0; i < 500; ++i) {
            if (::waitpid(pid_, nullptr, WNOHANG) == pid_) {
                pid_ = -1;
                return;
            }
            ::usleep(10'000);
        }
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }
    void Kill() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

  private:
    pid_t pid_ = -1;
    int stdin_ = -1;
    int stdout_ = -1;
};

TEST(SessionLock, OneHolderPerNameWithinAProcess) {
    ScratchDir dir;
    ASSERT_TRUE(dir.Valid());
    const std::string path = dir / "";
    SessionLock first, second, other;
    EXPECT_EQ(first.TryTake(path, "updater"), SessionLockResult::kTaken);
    EXPECT_TRUE(first.Held());
    EXPECT_EQ(second.TryTake(path, "updater"), SessionLockResult::kHeldElsewhere);
    EXPECT_FALSE(second.Held());
    EXPECT_EQ(other.TryTake(path, "another-name"), SessionLockResult::kTaken);
    first.Release();
    EXPECT_FALSE(first.Held());
    EXPECT_EQ(second.TryTake(path, "updater"), SessionLockResult::kTaken);
}

TEST(SessionLock, RefusesBadNamesAndMissingDirectories) {
    ScratchDir dir;
    ASSERT_TRUE(dir.Valid());
    struct Case {
        std::string directory;
        std::string name;
        SessionLockResult expected;
    } cases[] = {
        {dir / "", "ok.name_1-2", SessionLockResult::kTaken},
        {dir / "", "", SessionLockResult::kUnavailable},
        {dir / "", ".hidden", SessionLockResult::kUnavailable},
        {dir / "", "../escape", SessionLockResult::kUnavailable},
        {dir / "", "a/b", SessionLockResult::kUnavailable},
        {dir / "", "blank name", SessionLockResult::kUnavailable},
        {dir / "missing", "name", SessionLockResult::kUnavailable},
        {"", "name", SessionLockResult::kUnavailable},
    };
    for (const auto& c : cases) {
        SessionLock lock;
        EXPECT_EQ(lock.TryTake(c.directory, c.name), c.expected) << c.directory << " " << c.name;
        EXPECT_EQ(lock.Held(), c.expected == SessionLockResult::kTaken) << c.name;
    }
    EXPECT_FALSE(tevorin_test::Exists(dir / "lock-..") || tevorin_test::Exists(dir / "../escape"));
}

TEST(SessionLock, AnotherProcessHoldsItUntilItEnds) {
    ScratchDir dir;
    ASSERT_TRUE(dir.Valid());
    Holder holder(dir / "", "updater", "hold");
    ASSERT_EQ(holder.Line(), "taken");
    SessionLock mine;
    EXPECT_EQ(mine.TryTake(dir / "", "updater"), SessionLockResult::kHeldElsewhere);
    // Killed, not ended cleanly: the lock must still be freed.
    holder.Kill();
    EXPECT_EQ(mine.TryTake(dir / "", "updater"), SessionLockResult::kTaken);
    Holder late(dir / "", "updater", "hold");
    EXPECT_EQ(late.Line(), "held");
}

TEST(SessionLock, ProgramsStartedByTheHolderDoNotKeepIt) {
    ScratchDir dir;
    ASSERT_TRUE(dir.Valid());
    Holder holder(dir / "", "updater", "start-and-exit");
    const std::string line = holder.Line();
    ASSERT_EQ(line.rfind("taken ", 0), 0u) << line;
    const pid_t sleeper = std::stoi(line.substr(6));
    holder.End();
    SessionLock mine;
    EXPECT_EQ(mine.TryTake(dir / "", "updater"), SessionLockResult::kTaken);
    ASSERT_GT(sleeper, 0);
    ::kill(sleeper, SIGKILL);
}

TEST(SessionLock, ProcessesStartedTogetherNeverBothTakeIt) {
    ScratchDir dir;
    ASSERT_TRUE(dir.Valid());
    for (int round = 0; round < 12; ++round) {
        const std::string name = "round" + std::to_string(round);
        Holder a(dir / "", name, "hold");
        Holder b(dir / "", name, "hold");
        const std::string lines[] = {a.Line(), b.Line()};
        int taken = 0;
        for (const auto& line : lines) {
            ASSERT_TRUE(line == "taken" || line == "held") << "round " << round << ": " << line;
            taken += line == "taken" ? 1 : 0;
        }
        EXPECT_EQ(taken, 1) << "round " << round;
    }
}

}  // namespace
