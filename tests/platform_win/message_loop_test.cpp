#include "platform/win/message_loop.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "loop_watchdog.h"
#include "platform/win/paint.h"
#include "platform/win/window.h"
#include "test_window_class.h"

using namespace std::chrono_literals;

namespace {

class MessageLoopTest : public ::testing::Test {
  protected:
    void SetUp() override {
        MessageLog::Instance().ClearHandlers();
        MessageLog::Instance().Take();
        Drain();
    }
    void TearDown() override {
        MessageLog::Instance().ClearHandlers();
        Drain();
    }
    // Leaves nothing queued for the next test of this thread.
    static void Drain() {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
    LoopWatchdog watchdog_{20s};
};

TEST_F(MessageLoopTest, PostedMessagesComeInOrderAndQuitComesLast) {
    HWND hwnd = MakeTopLevel(u"q");
    PostMessageW(hwnd, WM_USER + 1, 10, 11);
    PostQuitMessage(7);
    PostMessageW(hwnd, WM_USER + 2, 20, 21);
    PostMessageW(nullptr, WM_USER + 3, 30, 31);
    struct Expected {
        BOOL result;
        HWND hwnd;
        UINT message;
        WPARAM wParam;
    };
    const Expected expected[] = {{TRUE, hwnd, WM_USER + 1, 10},
                                 {TRUE, hwnd, WM_USER + 2, 20},
                                 {TRUE, nullptr, WM_USER + 3, 30},
                                 {FALSE, nullptr, WM_QUIT, 7}};
    int row = 0;
    for (const auto& e : expected) {
        MSG msg;
        EXPECT_EQ(GetMessageW(&msg, nullptr, 0, 0), e.result) << "row " << row;
        EXPECT_EQ(msg.hwnd, e.hwnd) << "row " << row;
        EXPECT_EQ(msg.message, e.message) << "row " << row;
        EXPECT_EQ(msg.wParam, e.wParam) << "row " << row;
        ++row;
    }
    DestroyWindow(hwnd);
}

TEST_F(MessageLoopTest, DispatchCallsTheProcedureAndQuitPostedToAWindowEndsTheLoop) {
    HWND hwnd = MakeTopLevel(u"d");
    MessageLog::Instance().SetHandler(WM_USER + 9, [](HWND, WPARAM w, LPARAM) { return w + 1; });
    PostMessageW(hwnd, WM_USER + 9, 41, 0);
    PostMessageW(hwnd, WM_QUIT, 3, 0);
    MSG msg;
    int dispatched = 0;
    LRESULT last = 0;
    while (GetMessageW(&msg, nullptr, 0, 0)) {
        last = DispatchMessageW(&msg);
        ++dispatched;
    }
    EXPECT_EQ(dispatched, 1);
    EXPECT_EQ(last, 42);
    EXPECT_EQ(msg.message, WM_QUIT);
    EXPECT_EQ(msg.wParam, 3u);
    DestroyWindow(hwnd);
}

TEST_F(MessageLoopTest, PeekRemovesOnlyWhenAsked) {
    HWND hwnd = MakeTopLevel(u"p");
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    PostMessageW(hwnd, WM_USER, 1, 0);
    EXPECT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 1u);
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    DestroyWindow(hwnd);
}

TEST_F(MessageLoopTest, FiltersByWindowWithChildrenAndByRange) {
    HWND a = MakeTopLevel(u"a");
    HWND b = MakeTopLevel(u"b");
    HWND aChild = MakeChild(a, 1, RECT{0, 0, 5, 5}, WS_CHILD);
    PostMessageW(b, WM_USER + 1, 0, 0);
    PostMessageW(aChild, WM_USER + 2, 0, 0);
    PostMessageW(a, WM_USER + 3, 0, 0);
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, a, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_USER + 2u);
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_USER + 3, WM_USER + 3, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, a);
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, b);
    EXPECT_EQ(GetMessageW(&msg, HwndFromInt(0x7FFFFF00), 0, 0), -1) << "filter that is no window";
    DestroyWindow(a);
    DestroyWindow(b);
}

TEST_F(MessageLoopTest, PostedMessagesOfADestroyedWindowAreDropped) {
    HWND doomed = MakeTopLevel(u"doomed");
    HWND other = MakeTopLevel(u"other");
    PostMessageW(doomed, WM_USER + 1, 0, 0);
    PostMessageW(other, WM_USER + 2, 0, 0);
    DestroyWindow(doomed);
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, other);
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    DestroyWindow(other);
}

// Retrieves WM_PAINT messages until none is due and returns their windows;
// the procedure validates through DefWindowProcW.
std::vector<HWND> PaintRound() {
    std::vector<HWND> painted;
    MSG msg;
    for (int guard = 0; guard < 100 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++guard) {
        if (msg.message == WM_PAINT) painted.push_back(msg.hwnd);
        DispatchMessageW(&msg);
    }
    return painted;
}

TEST_F(MessageLoopTest, PaintComesAfterPostedMessagesParentsFirstAndOnlyWhenVisible) {
    HWND top = MakeTopLevel(u"paint", WS_POPUP);
    HWND child = MakeChild(top, 1, RECT{10, 10, 40, 40});
    EXPECT_TRUE(PaintRound().empty()) << "a hidden window paints nothing";
    InvalidateRect(top, nullptr, TRUE);
    EXPECT_TRUE(PaintRound().empty()) << "still hidden";
    ShowWindow(top, SW_SHOW);
    PostMessageW(top, WM_USER, 0, 0);
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_USER) << "posted messages go before WM_PAINT";
    EXPECT_EQ(PaintRound(), (std::vector<HWND>{top, child}));
    EXPECT_TRUE(PaintRound().empty()) << "validated windows do not paint again";
    RECT inside{12, 12, 20, 20};
    InvalidateRect(top, &inside, FALSE);
    EXPECT_EQ(PaintRound(), (std::vector<HWND>{top, child})) << "the child lies under the area";
    RECT outside{100, 100, 120, 120};
    InvalidateRect(top, &outside, FALSE);
    EXPECT_EQ(PaintRound(), (std::vector<HWND>{top}));
    DestroyWindow(top);
}

TEST_F(MessageLoopTest, InvalidAreaAccumulatesAndUpdateWindowPaintsAtOnce) {
    HWND top = MakeTopLevel(u"u", WS_POPUP | WS_VISIBLE);
    PaintRound();
    RECT a{1, 2, 3, 4};
    RECT b{10, 20, 30, 40};
    InvalidateRect(top, &a, FALSE);
    InvalidateRect(top, &b, FALSE);
    RECT update;
    ASSERT_TRUE(GetUpdateRect(top, &update, FALSE));
    EXPECT_EQ(update, (RECT{1, 2, 30, 40}));
    MessageLog::Instance().Take();
    UpdateWindow(top);
    EXPECT_EQ(MessageLog::Instance().MessagesOf(top, {WM_PAINT}), std::vector<UINT>{WM_PAINT});
    EXPECT_FALSE(GetUpdateRect(top, &update, FALSE));
    EXPECT_TRUE(PaintRound().empty());
    DestroyWindow(top);
}

TEST_F(MessageLoopTest, ThreadMessagesReachTheThread) {
    DWORD threadId = 0;
    std::atomic<bool> ready{false};
    UINT got = 0;
    WPARAM gotParam = 0;
    std::thread receiver([&] {
        threadId = GetCurrentThreadId();
        ready = true;
        MSG msg;
        if (GetMessageW(&msg, nullptr, 0, 0) > 0) {
            got = msg.message;
            gotParam = msg.wParam;
        }
    });
    while (!ready) std::this_thread::yield();
    while (!PostThreadMessageW(threadId, WM_APP + 1, 5, 0)) std::this_thread::yield();
    receiver.join();
    EXPECT_EQ(got, WM_APP + 1);
    EXPECT_EQ(gotParam, 5u);
    EXPECT_FALSE(PostThreadMessageW(threadId, WM_APP, 0, 0)) << "the thread has ended";
}

}  // namespace
