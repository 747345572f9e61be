#pragma once
// The updater stops every process named Tevorin.exe on the machine, so a test
// of another checkout, run at the same time, would stop this test's main
// program or keep its installation waiting for one that is not its own. Tests
// that run the updater or the main program therefore take turns, across every
// checkout of the machine, through one lock file. Within one process the turn
// is shared, so that nested holders never wait for each other. The descriptor
// is not inherited: a program the test starts must not keep the turn.

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <chrono>
#include <mutex>
#include <thread>

namespace tevorin_test {

class MachineWideTurn {
public:
    MachineWideTurn() = default;
    MachineWideTurn(const MachineWideTurn&) = delete;
    MachineWideTurn& operator=(const MachineWideTurn&) = delete;
    ~MachineWideTurn() {
        if (!held_) return;
        std::lock_guard lock(Shared().mutex);
        if (--Shared().holders == 0) {
            ::close(Shared().fd);
            Shared().fd = -1;
        }
    }

    // False when the turn did not come within `limit`.
    [[nodiscard]] bool Take(std::chrono::milliseconds limit = std::chrono::minutes(4)) {
        if (held_) return true;
        std::lock_guard lock(Shared().mutex);
        if (Shared().holders == 0) {
            const int fd = ::open("/tmp/tevorin-main-program-processes.lock",
                                  O_RDWR | O_CREAT | O_CLOEXEC, 0666);
            if (fd < 0) return false;
            const auto end = std::chrono::steady_clock::now() + limit;
            while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
                if (std::chrono::steady_clock::now() >= end) {
                    ::close(fd);
                    return false;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            }
            Shared().fd = fd;
        }
        ++Shared().holders;
        held_ = true;
        return true;
    }

private:
    struct State {
        std::mutex mutex;
        int holders = 0;
        int fd = -1;
    };
    static State& Shared() {
        static State state;
        return state;
    }

    bool held_ = false;
};

}  // namespace tevorin_test
