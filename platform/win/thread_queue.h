#pragma once
// The message queue of one thread: messages posted to it, messages that other
// threads send to it and wait for, its quit request, and the wake-up that lets
// the thread sleep in poll() until one of these, or one of its other file
// descriptors (the desktop session's socket, a display connection), needs it.

#include <atomic>
#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <vector>

#include "platform/core/win_types.h"
#include "platform/win/messages.h"

namespace tevorin::win {

class ThreadQueue;

// A message handed to another thread. The sender keeps its own reference and
// waits for done; the receiving thread, or whoever finds the message
// undeliverable, completes it exactly once.
struct SentMessage {
    HWND hwnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    // When set, runs on the receiving thread instead of a window procedure;
    // used for operations that must happen on a window's own thread.
    std::function<LRESULT()> task;
    std::shared_ptr<ThreadQueue> sender;  // null when nobody waits for the result

    void Complete(LRESULT value);
    bool IsDone() const { return done_.load(std::memory_order_acquire); }
    LRESULT Result() const { return result_; }

  private:
    std::atomic<bool> claimed_{false};
    std::atomic<bool> done_{false};
    LRESULT result_ = 0;
};

// Decides which posted messages a retrieval takes.
struct MessageFilter {
    std::vector<HWND> windows;  // empty: every message of the thread
    UINT first = 0;
    UINT last = 0;  // first == last == 0: every message number
    bool Accepts(const MSG& msg) const;
};

class ThreadQueue {
  public:
    explicit ThreadQueue(DWORD threadId);
    ~ThreadQueue();
    ThreadQueue(const ThreadQueue&) = delete;
    ThreadQueue& operator=(const ThreadQueue&) = delete;

    DWORD ThreadId() const { return threadId_; }
    // False once the thread has ended or the queue is full.
    [[nodiscard]] bool Post(const MSG& msg);
    [[nodiscard]] bool Deliver(std::shared_ptr<SentMessage> message);
    void PostQuit(int exitCode);

    // The following are called by the owning thread only.
    std::shared_ptr<SentMessage> TakeSent();
    bool TakePosted(const MessageFilter& filter, bool remove, MSG* out);
    bool TakeQuit(bool remove, int* exitCode);
    // Records that this thread has just handled a sent message or had one of
    // its own answered, so that its next wait first spins briefly.
    void NoteSentTraffic();
    // Sleeps until woken, or until one of the thread's wait sources is
    // readable (and then runs its handler), or until timeoutMs passes
    // (-1: no limit). Sources run only when runSources is true. A thread
    // that has just exchanged sent messages first spins briefly; ForAnswer
    // says it waits for the answer to its own message.
    enum class Spin { ForMessage, ForAnswer };
    void Wait(int timeoutMs, bool runSources, Spin spin = Spin::ForMessage);

    // Completes every waiting sent message for the window with 0 and drops
    // its posted messages; used when the window is destroyed.
    void ForgetWindow(HWND hwnd);
    // The thread has ended: releases every waiting sender, refuses new mail.
    void Close();
    bool IsClosed();
    void Wake();

    // Extra file descriptors the thread's message loop watches. beforeWait,
    // when given, runs before every sleep: a connection that reads ahead
    // (Xlib) may hold events in memory while its descriptor is quiet.
    int AddWaitSource(int fd, std::function<void()> onReadable,
                      std::function<void()> beforeWait = {});
    void RemoveWaitSource(int sourceId);

    // Windows of this thread with an invalid area; guarded by the window
    // registry's lock, not by this queue's.
    std::set<int> needsPaint;

  private:
    struct WaitSource {
        int id;
        int fd;
        std::function<void()> onReadable;
        std::function<void()> beforeWait;
    };

    // Spins for a short while when the thread has just exchanged sent
    // messages: the answer or the next report usually arrives within
    // microseconds, and sleeping in poll() would cost two context switches.
    // True when a wake ended the spin.
    bool SpinForWake(Spin spin);

    const DWORD threadId_;
    int wakeFd_ = -1;
    std::atomic<unsigned> wakes_{0};
    std::atomic<bool> sleeping_{false};
    unsigned seenWakes_ = 0;  // wakes_ when the owner last returned from Wait; owner only
    std::chrono::steady_clock::time_point lastSentTraffic_{};  // owner thread only
    std::chrono::steady_clock::time_point lastSourcePoll_{};   // owner thread only
    std::chrono::steady_clock::time_point lastContention_{};   // owner thread only
    std::mutex mutex_;
    std::deque<MSG> posted_;
    std::deque<std::shared_ptr<SentMessage>> sent_;
    bool quitPosted_ = false;
    int quitCode_ = 0;
    bool closed_ = false;
    std::vector<WaitSource> sources_;  // owner thread only
    int nextSourceId_ = 1;
};

// The calling thread's queue, made on first use and closed when the thread
// ends.
std::shared_ptr<ThreadQueue> CurrentThreadQueue();
// The queue of a live thread that has one, else null.
std::shared_ptr<ThreadQueue> FindThreadQueue(DWORD threadId);
// Called as the thread ends, before its queue closes: lets the window system
// drop the thread's windows.
void SetThreadExitHandler(void (*handler)(DWORD threadId));

}  // namespace tevorin::win
