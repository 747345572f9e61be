#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <map>
#include <thread>
#include <vector>

#include "loop_watchdog.h"
#include "platform/win/message_loop.h"
#include "platform/win/thread_queue.h"
#include "platform/win/window.h"

using namespace std::chrono_literals;

namespace {

constexpr UINT kSize = WM_USER + 1;
constexpr UINT kDone = WM_USER + 2;
constexpr UINT kProgress = WM_USER + 3;
constexpr UINT kPing = WM_USER + 10;

// What the window thread saw, per sender; touched only on the window's thread.
struct Tally {
    std::map<WPARAM, std::vector<UINT>> sequence;
    int progress = 0;
    int done = 0;
    int expectedDone = 0;
};
Tally* g_tally = nullptr;

LRESULT CountingProc(HWND hwnd, UINT message, WPARAM w, LPARAM l) {
    switch (message) {
        case kSize:
        case kProgress:
            g_tally->sequence[w].push_back(message);
            if (message == kProgress) ++g_tally->progress;
            return static_cast<LRESULT>(l) * 2;
        case kDone:
            g_tally->sequence[w].push_back(message);
            if (++g_tally->done == g_tally->expectedDone) PostQuitMessage(0);
            return 0;
        case kPing:
            return static_cast<LRESULT>(w) + 1;
        default:
            return DefWindowProcW(hwnd, message, w, l);
    }
}

const char16_t* CountingClass() {
    static const bool registered = [] {
        WNDCLASSW c;
        c.lpfnWndProc = &CountingProc;
        c.lpszClassName = u"CountingWindow";
        return RegisterClassW(c);
    }();
    (void)registered;
    return u"CountingWindow";
}

HWND MakeCountingWindow() {
    return CreateWindowExW(0, CountingClass(), u"counting", WS_POPUP, 0, 0, 10, 10, nullptr,
                           nullptr, nullptr);
}

void RunLoop() {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
}

// The download workers' protocol: one size, progress per chunk, all sent;
// then one posted done. Thousands of messages from several threads at once.
TEST(SendMessageConcurrency, WorkersSendThousandsAndDoneIsAlwaysLast) {
    LoopWatchdog watchdog(120s, "workers sending to the window thread");
    constexpr int kWorkers = 6;
    constexpr int kChunks = 800;
    Tally tally;
    tally.expectedDone = kWorkers;
    g_tally = &tally;
    HWND window = MakeCountingWindow();
    ASSERT_NE(window, nullptr);
    std::atomic<int> wrongReplies{0};
    std::vector<std::thread> workers;
    for (int index = 0; index < kWorkers; ++index) {
        workers.emplace_back([&, index] {
            if (SendMessageW(window, kSize, index, 100) != 200) ++wrongReplies;
            for (int chunk = 0; chunk < kChunks; ++chunk)
                if (SendMessageW(window, kProgress, index, chunk) != chunk * 2) ++wrongReplies;
            PostMessageW(window, kDone, index, 1);
        });
    }
    RunLoop();
    for (auto& t : workers) t.join();
    EXPECT_EQ(wrongReplies.load(), 0);
    EXPECT_EQ(tally.progress, kWorkers * kChunks);
    for (int index = 0; index < kWorkers; ++index) {
        const auto& seq = tally.sequence[index];
        ASSERT_EQ(seq.size(), static_cast<std::size_t>(kChunks + 2)) << "worker " << index;
        EXPECT_EQ(seq.front(), kSize) << "worker " << index;
        EXPECT_EQ(seq.back(), kDone) << "worker " << index;
    }
    DestroyWindow(window);
    g_tally = nullptr;
}

// A thread that is always woken again before it waits, as by a stream of
// sent messages, still serves its other sources (the display's connection,
// the desktop session's socket) instead of only looking at its queue.
TEST(SendMessageConcurrency, ConstantWakesDoNotShutOutTheOtherSources) {
    LoopWatchdog watchdog(60s, "a wait source behind constant wakes");
    auto queue = tevorin::win::CurrentThreadQueue();
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    bool sourceRan = false;
    const int source = queue->AddWaitSource(pipeFds[0], [&] {
        char byte = 0;
        (void)::read(pipeFds[0], &byte, 1);
        sourceRan = true;
    });
    // As after handling a sent message while the next one has come: the
    // thread has just had sent traffic and is woken before it waits.
    auto waitOnce = [&] {
        queue->NoteSentTraffic();
        queue->Wake();
        queue->Wait(-1, true);
    };
    for (int i = 0; i < 100; ++i) waitOnce();
    const char byte = 1;
    ASSERT_EQ(::write(pipeFds[1], &byte, 1), 1);
    const auto deadline = std::chrono::steady_clock::now() + 2s;
    while (!sourceRan && std::chrono::steady_clock::now() < deadline) waitOnce();
    EXPECT_TRUE(sourceRan);
    queue->RemoveWaitSource(source);
    ::close(pipeFds[0]);
    ::close(pipeFds[1]);
}

TEST(SendMessageConcurrency, SendingToNoWindowReturnsAtOnce) {
    LoopWatchdog watchdog(20s);
    for (int handle : {0, 1, 0x7FFFFFF0, -5})
        EXPECT_EQ(SendMessageW(HwndFromInt(handle), kPing, 1, 0), 0);
}

// A worker keeps sending while the window's thread destroys the window: the
// sends that come after return 0, nothing hangs, nothing touches the dead window.
TEST(SendMessageConcurrency, SendingWhileTheWindowIsDestroyed) {
    LoopWatchdog watchdog(60s, "send during destruction");
    Tally tally;
    g_tally = &tally;
    for (int round = 0; round < 20; ++round) {
        HWND window = MakeCountingWindow();
        std::atomic<bool> sawZero{false};
        std::atomic<int> answered{0};
        std::thread worker([&] {
            for (;;) {
                const LRESULT r = SendMessageW(window, kPing, 1, 0);
                if (r == 0) break;
                ++answered;
            }
            sawZero = true;
        });
        MSG msg;
        // Let some sends through, then destroy the window from its thread.
        while (answered.load() < round * 3) PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);
        DestroyWindow(window);
        worker.join();
        EXPECT_TRUE(sawZero.load());
    }
    g_tally = nullptr;
}

// The window's thread is busy (not in its message loop) when the sender
// starts waiting, and then destroys the window: the sender is released with 0
// instead of waiting forever.
TEST(SendMessageConcurrency, BlockedSenderIsReleasedWhenTheWindowGoes) {
    LoopWatchdog watchdog(30s, "sender waiting on a destroyed window");
    Tally tally;
    g_tally = &tally;
    HWND window = MakeCountingWindow();
    std::atomic<bool> started{false};
    LRESULT result = -1;
    std::thread worker([&] {
        started = true;
        result = SendMessageW(window, kPing, 5, 0);
    });
    while (!started) std::this_thread::yield();
    std::this_thread::sleep_for(
        50ms);  // most likely the send is queued by now; both orders must work
    DestroyWindow(window);
    worker.join();
    EXPECT_EQ(result, 0);
    g_tally = nullptr;
}

// The window's thread ends without destroying its window while a sender waits.
TEST(SendMessageConcurrency, BlockedSenderIsReleasedWhenTheWindowThreadEnds) {
    LoopWatchdog watchdog(30s, "sender waiting on an ended thread");
    std::atomic<HWND> window{nullptr};
    std::atomic<bool> leave{false};
    std::thread owner([&] {
        window = MakeCountingWindow();
        while (!leave) std::this_thread::sleep_for(1ms);
    });
    while (window.load() == nullptr) std::this_thread::yield();
    LRESULT result = -1;
    std::thread sender([&] { result = SendMessageW(window.load(), kPing, 5, 0); });
    std::this_thread::sleep_for(30ms);
    leave = true;
    owner.join();
    sender.join();
    EXPECT_EQ(result, 0);
    EXPECT_FALSE(IsWindow(window.load())) << "the thread's windows go with it";
}

// Two window threads send to each other while each waits for the other: a
// waiting sender handles what is sent to it, so neither blocks.
LRESULT RelayProc(HWND hwnd, UINT message, WPARAM w, LPARAM l) {
    if (message == kPing) {
        HWND partner = reinterpret_cast<HWND>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (w == 0 || partner == nullptr) return 1;
        return 1 + SendMessageW(partner, kPing, w - 1, 0);
    }
    return DefWindowProcW(hwnd, message, w, l);
}

TEST(SendMessageConcurrency, MutualSendsBetweenTwoWindowThreadsDoNotDeadlock) {
    LoopWatchdog watchdog(30s, "mutual sends");
    static const bool registered = [] {
        WNDCLASSW c;
        c.lpfnWndProc = &RelayProc;
        c.lpszClassName = u"RelayWindow";
        return RegisterClassW(c);
    }();
    ASSERT_TRUE(registered);
    HWND a =
        CreateWindowExW(0, u"RelayWindow", u"a", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr);
    std::atomic<HWND> b{nullptr};
    std::thread other([&] {
        HWND mine = CreateWindowExW(0, u"RelayWindow", u"b", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                    nullptr);
        SetWindowLongPtrW(mine, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(a));
        b = mine;
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
        DestroyWindow(mine);
    });
    while (b.load() == nullptr) std::this_thread::yield();
    SetWindowLongPtrW(a, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(b.load()));
    // Ten hops back and forth: each answer adds one.
    EXPECT_EQ(SendMessageW(b.load(), kPing, 10, 0), 11);
    DWORD otherThread = GetWindowThreadProcessId(b.load(), nullptr);
    PostThreadMessageW(otherThread, WM_QUIT, 0, 0);
    other.join();
    DestroyWindow(a);
}

}  // namespace
