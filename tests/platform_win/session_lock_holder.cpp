// Usage: platform_win_session_lock_holder DIR NAME hold
//            takes the lock, prints "taken", "held" or "unavailable", and
//            when taken keeps it until its standard input ends
//        platform_win_session_lock_holder DIR NAME start-and-exit
//            takes the lock, starts /bin/sleep 30, prints "taken <pid>" and
//            exits, leaving the sleeping program behind
#include <spawn.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "platform/win/session_lock.h"

extern char** environ;

using tevorin::win::SessionLock;
using tevorin::win::SessionLockResult;

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s DIR NAME hold|start-and-exit\n", argv[0]);
        return 2;
    }
    SessionLock lock;
    const SessionLockResult result = lock.TryTake(argv[1], argv[2]);
    if (result != SessionLockResult::kTaken) {
        std::printf("%s\n", result == SessionLockResult::kHeldElsewhere ? "held" : "unavailable");
        return 0;
    }
    if (std::strcmp(argv[3], "start-and-exit") == 0) {
        pid_t child = 0;
        char program[] = "/bin/sleep";
        char seconds[] = "30";
        char* childArgs[] = {program, seconds, nullptr};
        if (posix_spawn(&child, program, nullptr, nullptr, childArgs, environ) != 0) return 1;
        std::printf("taken %d\n", static_cast<int>(child));
        return 0;
    }
    std::printf("taken\n");
    std::fflush(stdout);
    char buffer[64];
    while (::read(0, buffer, sizeof buffer) > 0) {
    }
    return 0;
}
