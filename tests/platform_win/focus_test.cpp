#include "platform/win/focus.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "platform/win/window.h"
#include "test_window_class.h"

namespace {

TEST(Focus, MovesWithKillAndSetMessagesNamingEachOther) {
    HWND top = MakeTopLevel(u"focus");
    HWND first = MakeChild(top, 1, RECT{0, 0, 10, 10});
    HWND second = MakeChild(top, 2, RECT{10, 0, 20, 10});
    MessageLog::Instance().Take();

    EXPECT_EQ(SetFocus(first), nullptr);
    EXPECT_EQ(SetFocus(second), first);
    EXPECT_EQ(GetFocus(), second);
    EXPECT_EQ(SetFocus(second), second) << "no messages for the window that has it";
    const auto log = MessageLog::Instance().Take();
    struct Expected {
        HWND hwnd;
        UINT message;
        HWND other;
    };
    const Expected expected[] = {
        {first, WM_SETFOCUS, nullptr}, {first, WM_KILLFOCUS, second}, {second, WM_SETFOCUS, first}};
    std::vector<ReceivedMessage> focusMessages;
    for (const auto& m : log)
        if (m.message == WM_SETFOCUS || m.message == WM_KILLFOCUS) focusMessages.push_back(m);
    ASSERT_EQ(focusMessages.size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(focusMessages[i].hwnd, expected[i].hwnd) << i;
        EXPECT_EQ(focusMessages[i].message, expected[i].message) << i;
        EXPECT_EQ(reinterpret_cast<HWND>(focusMessages[i].wParam), expected[i].other) << i;
    }

    // A destroyed focus window leaves no focus behind.
    DestroyWindow(second);
    EXPECT_EQ(GetFocus(), nullptr);
    EXPECT_EQ(SetFocus(first), nullptr);
    EXPECT_EQ(SetFocus(nullptr), first);
    EXPECT_EQ(GetFocus(), nullptr);
    DestroyWindow(top);
}

TEST(Focus, AWindowOfAnotherThreadIsRefused) {
    HWND mine = MakeTopLevel(u"mine");
    SetFocus(mine);
    HWND theirs = nullptr;
    std::thread other([&] {
        theirs = MakeTopLevel(u"theirs");
        EXPECT_EQ(SetFocus(mine), nullptr);
        EXPECT_EQ(GetFocus(), nullptr) << "focus is per thread";
        DestroyWindow(theirs);
    });
    other.join();
    EXPECT_EQ(GetFocus(), mine);
    DestroyWindow(mine);
}

}  // namespace
