#pragma once
// Ends the test process with a failure when a message-loop test does not
// finish in time, so that a deadlock shows as a failed test, not a hung run.

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

class LoopWatchdog {
  public:
    explicit LoopWatchdog(std::chrono::milliseconds limit, std::string what = "message loop")
        : what_(std::move(what)), thread_([this, limit] { Watch(limit); }) {}
    ~LoopWatchdog() {
        {
            std::lock_guard lock(mutex_);
            done_ = true;
        }
        wake_.notify_all();
        thread_.join();
    }
    LoopWatchdog(const LoopWatchdog&) = delete;
    LoopWatchdog& operator=(const LoopWatchdog&) = delete;

  private:
    void Watch(std::chrono::milliseconds limit) {
        std::unique_lock lock(mutex_);
        if (wake_.wait_for(lock, limit, [this] { return done_; })) return;
        std::fprintf(stderr, "watchdog: %s did not finish in time; failing the test\n",
                     what_.c_str());
        std::fflush(stderr);
        std::_Exit(3);
    }

    std::string what_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool done_ = false;
    std::thread thread_;
};
