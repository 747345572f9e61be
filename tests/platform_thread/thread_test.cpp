#include "platform/thread/thread.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <thread>

#include "support/private_desktop_session.h"
#include "platform/thread/thread_wait.h"
#include "platform/win/message_loop.h"
#include "platform/win/window.h"
#include "platform_win/loop_watchdog.h"

namespace {

using namespace std::chrono_literals;

// A gate a thread waits at until the test opens it.
struct Gate {
    std::atomic<bool> open{false};
    std::atomic<int> arrived{0};
    void Wait() {
        arrived.fetch_add(1);
        while (!open.load()) std::this_thread::sleep_for(1ms);
    }
};

DWORD WaitAtGateThenReturn(LPVOID parameter) {
    static_cast<Gate*>(parameter)->Wait();
    return 42;
}

DWORD ReturnParameter(LPVOID parameter) {
    return static_cast<DWORD>(reinterpret_cast<std::uintptr_t>(parameter));
}

TEST(Thread, RunsTheRoutineAndReportsItsEnd) {
    LoopWatchdog watchdog(20s, "thread start and end");
    Gate gate;
    DWORD id = 0;
    HANDLE thread = CreateThread(nullptr, 0, &WaitAtGateThenReturn, &gate, 0, &id);
    ASSERT_NE(thread, nullptr);
    EXPECT_NE(id, 0u);
    DWORD code = 0;
    EXPECT_EQ(WaitForSingleObject(thread, 20), WAIT_TIMEOUT);
    EXPECT_FALSE(GetExitCodeThread(thread, &code));
    gate.open = true;
    EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
    EXPECT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, 42u);
    EXPECT_TRUE(CloseHandle(thread));

    HANDLE second = CreateThread(nullptr, 64 * 1024, &ReturnParameter,
                                 reinterpret_cast<LPVOID>(std::uintptr_t{7}), 0, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(WaitForSingleObject(second, INFINITE), WAIT_OBJECT_0);
    EXPECT_TRUE(GetExitCodeThread(second, &code));
    EXPECT_EQ(code, 7u);
    EXPECT_TRUE(CloseHandle(second));
}

TEST(Thread, RefusesWhatItCannotDo) {
    int dummy = 0;
    EXPECT_EQ(CreateThread(&dummy, 0, &ReturnParameter, nullptr, 0, nullptr), nullptr);
    EXPECT_EQ(CreateThread(nullptr, 0, &ReturnParameter, nullptr, 4 /* suspended */, nullptr),
              nullptr);
    EXPECT_EQ(CreateThread(nullptr, 0, nullptr, nullptr, 0, nullptr), nullptr);
    EXPECT_FALSE(SetThreadPriority(nullptr, THREAD_PRIORITY_LOWEST));
    EXPECT_EQ(WaitForSingleObject(nullptr, 0), WAIT_FAILED);
    EXPECT_FALSE(CloseHandle(nullptr));
}

// The thread reads its own nice value while the test holds it at the gate.
struct NiceProbe {
    Gate gate;
    std::atomic<int> nice{-100};
};

DWORD ReadOwnNice(LPVOID parameter) {
    auto* probe = static_cast<NiceProbe*>(parameter);
    probe->gate.Wait();
    errno = 0;
    probe->nice = ::getpriority(PRIO_PROCESS, 0);
    return 0;
}

TEST(Thread, LowestPriorityIsTheThreadsOwnNiceNineteen) {
    LoopWatchdog watchdog(20s, "thread priority");
    NiceProbe probe;
    DWORD id = 0;
    HANDLE thread = CreateThread(nullptr, 0, &ReadOwnNice, &probe, 0, &id);
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(GetThreadPriority(thread), THREAD_PRIORITY_NORMAL);
    EXPECT_TRUE(SetThreadPriority(thread, THREAD_PRIORITY_LOWEST));
    EXPECT_EQ(GetThreadPriority(thread), THREAD_PRIORITY_LOWEST);
    EXPECT_FALSE(SetThreadPriority(thread, 12345));
    EXPECT_EQ(::getpriority(PRIO_PROCESS, 0), 0) << "the calling thread keeps its priority";
    probe.gate.open = true;
    ASSERT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(probe.nice.load(), 19);
    // An ended thread has no priority left to change.
    EXPECT_TRUE(SetThreadPriority(thread, THREAD_PRIORITY_LOWEST));
    CloseHandle(thread);
}

// Outlives the test: the released thread may still be on its way out.
Gate g_releasedGate;
std::atomic<bool> g_releasedFinished{false};

DWORD FinishAfterGate(LPVOID) {
    g_releasedGate.Wait();
    g_releasedFinished = true;
    return 0;
}

TEST(Thread, ClosedHandleLetsARunningThreadFinishOnItsOwn) {
    LoopWatchdog watchdog(20s, "released thread");
    HANDLE thread = CreateThread(nullptr, 0, &FinishAfterGate, nullptr, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    EXPECT_TRUE(CloseHandle(thread));
    while (g_releasedGate.arrived.load() == 0) std::this_thread::sleep_for(1ms);
    g_releasedGate.open = true;
    // The thread frees its own record; the leak checker reports it otherwise.
    while (!g_releasedFinished.load()) std::this_thread::sleep_for(1ms);
}

// A window of the test's thread and a worker blocked sending to it.
constexpr UINT kReport = WM_USER + 3;
std::atomic<int> g_reportsHandled{0};

LRESULT CountReports(HWND hwnd, UINT message, WPARAM w, LPARAM l) {
    if (message == kReport) {
        g_reportsHandled.fetch_add(1);
        return 1;
    }
    return DefWindowProcW(hwnd, message, w, l);
}

HWND MakeReportWindow() {
    static const bool registered = [] {
        WNDCLASSW c;
        c.lpfnWndProc = &CountReports;
        c.lpszClassName = u"ThreadWaitReportWindow";
        return RegisterClassW(c);
    }();
    (void)registered;
    return CreateWindowExW(0, u"ThreadWaitReportWindow", u"", WS_POPUP, 0, 0, 1, 1, nullptr,
                           nullptr, nullptr);
}

struct Sender {
    HWND window = nullptr;
    int count = 0;
    std::atomic<int> answeredWithZero{0};
};

DWORD SendReports(LPVOID parameter) {
    auto* sender = static_cast<Sender*>(parameter);
    for (int i = 0; i < sender->count; ++i)
        if (SendMessageW(sender->window, kReport, 0, 0) == 0) sender->answeredWithZero++;
    return 0;
}

TEST(ThreadWait, ClosingWindowAnswersItsSendersWithoutRunningItsProcedure) {
    LoopWatchdog watchdog(30s, "waiting for senders");
    g_reportsHandled = 0;
    HWND window = MakeReportWindow();
    ASSERT_NE(window, nullptr);
    Sender senders[4];
    std::vector<HANDLE> threads;
    for (Sender& s : senders) {
        s.window = window;
        s.count = 200;
        HANDLE thread = CreateThread(nullptr, 0, &SendReports, &s, 0, nullptr);
        ASSERT_NE(thread, nullptr);
        threads.push_back(thread);
    }
    // Nobody runs a message loop: without the wait answering them, every
    // sender would stay blocked for good.
    EXPECT_TRUE(WaitForThreadsAnsweringSenders(threads, window, INFINITE));
    EXPECT_EQ(g_reportsHandled.load(), 0);
    for (Sender& s : senders) EXPECT_EQ(s.answeredWithZero.load(), 200);
    for (HANDLE thread : threads) CloseHandle(thread);
    DestroyWindow(window);
}

TEST(ThreadWait, OtherWindowsKeepBeingServedAndTheWaitCanTimeOut) {
    LoopWatchdog watchdog(30s, "waiting for senders");
    g_reportsHandled = 0;
    HWND window = MakeReportWindow();
    ASSERT_NE(window, nullptr);
    Sender sender;
    sender.window = window;
    sender.count = 50;
    HANDLE thread = CreateThread(nullptr, 0, &SendReports, &sender, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    EXPECT_TRUE(WaitForThreadsAnsweringSenders({thread}, nullptr, INFINITE));
    EXPECT_EQ(g_reportsHandled.load(), 50);
    EXPECT_EQ(sender.answeredWithZero.load(), 0);
    CloseHandle(thread);

    Gate gate;
    HANDLE waiting = CreateThread(nullptr, 0, &WaitAtGateThenReturn, &gate, 0, nullptr);
    ASSERT_NE(waiting, nullptr);
    EXPECT_FALSE(WaitForThreadsAnsweringSenders({waiting}, window, 30));
    gate.open = true;
    EXPECT_TRUE(WaitForThreadsAnsweringSenders({waiting}, window, INFINITE));
    CloseHandle(waiting);
    DestroyWindow(window);
}

}  // namespace
