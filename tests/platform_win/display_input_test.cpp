// What the screen's input becomes: the router turns display events into
// window messages for the right window, with the right coordinates.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win/display_link.h"
#include "platform/win/focus.h"
#include "platform/win/message_loop.h"
#include "platform/win/window.h"
#include "test_window_class.h"

namespace {

using tevorin::display::InputEvent;
using tevorin::win::DisplayInputRouter;

void PumpPosted() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

std::vector<ReceivedMessage> Received(UINT message) {
    std::vector<ReceivedMessage> found;
    for (const auto& m : MessageLog::Instance().Take())
        if (m.message == message) found.push_back(m);
    return found;
}

InputEvent Event(InputEvent::Kind kind, HWND top, int x = 0, int y = 0) {
    InputEvent event;
    event.kind = kind;
    event.handle = HwndToInt(top);
    event.x = x;
    event.y = y;
    event.button = InputEvent::kLeft;
    return event;
}

class DisplayInputTest : public ::testing::Test {
  protected:
    void SetUp() override {
        static const bool groupBoxClass = [] {
            // Stands in for the button class: group boxes let clicks through.
            WNDCLASSW windowClass;
            windowClass.lpfnWndProc = [](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
                MessageLog::Instance().Add({h, m, w, l});
                return DefWindowProcW(h, m, w, l);
            };
            windowClass.lpszClassName = u"Button";
            return RegisterClassW(windowClass);
        }();
        ASSERT_TRUE(groupBoxClass);
        top_ = MakeTopLevel(u"input", WS_POPUP | WS_VISIBLE, RECT{100, 100, 400, 300});
        a_ = MakeChild(top_, 1, RECT{10, 10, 110, 60});
        a1_ = MakeChild(a_, 11, RECT{5, 5, 35, 25});
        disabled_ = MakeChild(top_, 2, RECT{150, 10, 250, 60}, WS_CHILD | WS_VISIBLE | WS_DISABLED);
        group_ = CreateWindowExW(0, u"Button", u"group", WS_CHILD | WS_VISIBLE | BS_GROUPBOX, 0,
                                 100, 300, 100, top_, ChildIdMenu(3), nullptr);
        inGroup_ = MakeChild(top_, 4, RECT{20, 120, 80, 160});
        hidden_ = MakeChild(top_, 5, RECT{200, 120, 280, 180}, WS_CHILD);
        ASSERT_TRUE(top_ && a_ && a1_ && disabled_ && group_ && inGroup_ && hidden_);
        PumpPosted();
        MessageLog::Instance().Take();
    }
    void TearDown() override {
        SetFocus(nullptr);
        DestroyWindow(top_);
        MessageLog::Instance().Take();
    }

  public:  // the table of cases names its target by member
    HWND top_ = nullptr;
    HWND a_ = nullptr;
    HWND a1_ = nullptr;
    HWND disabled_ = nullptr;
    HWND group_ = nullptr;
    HWND inGroup_ = nullptr;
    HWND hidden_ = nullptr;
};

TEST_F(DisplayInputTest, ClickGoesToTheDeepestEnabledVisibleWindowUnderThePointer) {
    struct Case {
        const char* name;
        POINT at;  // in the top-level client area
        HWND DisplayInputTest::*target;
        POINT client;
    };
    const Case cases[] = {
        {"child", {60, 40}, &DisplayInputTest::a_, {50, 30}},
        {"grandchild", {16, 16}, &DisplayInputTest::a1_, {1, 1}},
        {"disabled child: its parent", {160, 20}, &DisplayInputTest::top_, {160, 20}},
        {"through a group box", {30, 130}, &DisplayInputTest::inGroup_, {10, 10}},
        {"group box alone", {10, 110}, &DisplayInputTest::top_, {10, 110}},
        {"hidden child", {210, 130}, &DisplayInputTest::top_, {210, 130}},
        {"bare corner", {299, 199}, &DisplayInputTest::top_, {299, 199}},
    };
    for (const auto& c : cases) {
        DisplayInputRouter().Deliver(Event(InputEvent::Kind::kButtonDown, top_, c.at.x, c.at.y));
        DisplayInputRouter().Deliver(Event(InputEvent::Kind::kButtonUp, top_, c.at.x, c.at.y));
        PumpPosted();
        const auto log = MessageLog::Instance().Take();
        std::vector<ReceivedMessage> downs;
        std::vector<ReceivedMessage> ups;
        for (const auto& m : log) {
            if (m.message == WM_LBUTTONDOWN) downs.push_back(m);
            if (m.message == WM_LBUTTONUP) ups.push_back(m);
        }
        ASSERT_EQ(downs.size(), 1u) << c.name;
        ASSERT_EQ(ups.size(), 1u) << c.name;
        EXPECT_EQ(downs[0].hwnd, this->*c.target) << c.name;
        EXPECT_EQ(ups[0].hwnd, this->*c.target) << c.name;
        EXPECT_EQ(downs[0].lParam, MAKELPARAM(c.client.x, c.client.y)) << c.name;
        EXPECT_EQ(downs[0].wParam & MK_LBUTTON, MK_LBUTTON) << c.name;
        EXPECT_EQ(ups[0].wParam & MK_LBUTTON, 0u) << c.name;
    }
}

TEST_F(DisplayInputTest, ReleaseAndMovesGoToTheWindowThatTookThePress) {
    DisplayInputRouter().Deliver(Event(InputEvent::Kind::kButtonDown, top_, 60, 40));
    DisplayInputRouter().Deliver(Event(InputEvent::Kind::kPointerMove, top_, 250, 190));
    DisplayInputRouter().Deliver(Event(InputEvent::Kind::kButtonUp, top_, 250, 190));
    DisplayInputRouter().Deliver(Event(InputEvent::Kind::kPointerMove, top_, 250, 190));
    PumpPosted();
    std::vector<std::pair<UINT, HWND>> seen;
    std::vector<LPARAM> where;
    for (const auto& m : MessageLog::Instance().Take()) {
        if (m.message != WM_LBUTTONDOWN && m.message != WM_LBUTTONUP && m.message != WM_MOUSEMOVE)
            continue;
        seen.emplace_back(m.message, m.hwnd);
        where.push_back(m.lParam);
    }
    const std::vector<std::pair<UINT, HWND>> expected = {
        {WM_LBUTTONDOWN, a_}, {WM_MOUSEMOVE, a_}, {WM_LBUTTONUP, a_}, {WM_MOUSEMOVE, top_}};
    EXPECT_EQ(seen, expected);
    ASSERT_EQ(where.size(), 4u);
    EXPECT_EQ(where[2], MAKELPARAM(240, 180)) << "outside the child, in its coordinates";
}

TEST_F(DisplayInputTest, NegativePositionsKeepTheirSign) {
    DisplayInputRouter().Deliver(Event(InputEvent::Kind::kButtonDown, top_, 60, 40));
    DisplayInputRouter().Deliver(Event(InputEvent::Kind::kButtonUp, top_, 2, 3));
    PumpPosted();
    const auto ups = Received(WM_LBUTTONUP);
    ASSERT_EQ(ups.size(), 1u);
    EXPECT_EQ(static_cast<std::int16_t>(LOWORD(ups[0].lParam)), -8);
    EXPECT_EQ(static_cast<std::int16_t>(HIWORD(ups[0].lParam)), -7);
}

TEST_F(DisplayInputTest, WheelGoesUnderThePointerWithScreenPosition) {
    InputEvent wheel = Event(InputEvent::Kind::kWheel, top_, 60, 40);
    wheel.wheelSteps = -2;
    wheel.modifiers = InputEvent::kControl;
    DisplayInputRouter().Deliver(wheel);
    PumpPosted();
    const auto got = Received(WM_MOUSEWHEEL);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].hwnd, a_);
    EXPECT_EQ(static_cast<std::int16_t>(HIWORD(got[0].wParam)), -240);
    EXPECT_EQ(LOWORD(got[0].wParam), MK_CONTROL);
    EXPECT_EQ(got[0].lParam, MAKELPARAM(160, 140));
}

TEST_F(DisplayInputTest, KeysGoToTheFocusWindowAndTranslateToCharacters) {
    struct Case {
        const char* name;
        unsigned virtualKey;
        char32_t character;
        WPARAM expectedKey;
        std::u16string expectedChars;
    };
    const Case cases[] = {
        {"letter", 'A', U'a', 'A', u"a"},
        {"Enter", 0x0D, U'\r', 0x0D, u"\r"},
        {"Escape", 0x1B, 0x1B, 0x1B, u"\x1B"},
        {"arrow types nothing", 0x25, 0, 0x25, u""},
        {"Chinese", 0, U'中', VK_PACKET, u"中"},
        {"beyond the BMP", 0, U'\U0001F600', VK_PACKET, u"\U0001F600"},
    };
    SetFocus(a1_);
    MessageLog::Instance().Take();
    for (const auto& c : cases) {
        InputEvent key = Event(InputEvent::Kind::kKeyDown, top_);
        key.virtualKey = c.virtualKey;
        key.character = c.character;
        DisplayInputRouter().Deliver(key);
        PumpPosted();
        std::vector<ReceivedMessage> downs;
        std::u16string chars;
        for (const auto& m : MessageLog::Instance().Take()) {
            if (m.message == WM_KEYDOWN) downs.push_back(m);
            if (m.message == WM_CHAR) {
                EXPECT_EQ(m.hwnd, a1_) << c.name;
                chars += static_cast<char16_t>(m.wParam);
            }
        }
        ASSERT_EQ(downs.size(), 1u) << c.name;
        EXPECT_EQ(downs[0].hwnd, a1_) << c.name;
        EXPECT_EQ(downs[0].wParam, c.expectedKey) << c.name;
        EXPECT_EQ(chars, c.expectedChars) << c.name;
    }
}

TEST_F(DisplayInputTest, KeysWithoutFocusHereGoToTheTopLevelWindow) {
    HWND elsewhere = MakeTopLevel(u"elsewhere", WS_POPUP | WS_VISIBLE);
    SetFocus(elsewhere);
    MessageLog::Instance().Take();
    InputEvent key = Event(InputEvent::Kind::kKeyDown, top_);
    key.virtualKey = 0x09;
    key.character = U'\t';
    DisplayInputRouter().Deliver(key);
    PumpPosted();
    const auto downs = Received(WM_KEYDOWN);
    ASSERT_EQ(downs.size(), 1u);
    EXPECT_EQ(downs[0].hwnd, top_);
    DestroyWindow(elsewhere);
}

TEST_F(DisplayInputTest, ActivationFocusesTheWindowUnlessItHoldsTheFocusAlready) {
    DisplayInputRouter().Deliver(Event(InputEvent::Kind::kActivated, top_));
    EXPECT_EQ(GetFocus(), top_);
    SetFocus(a1_);
    DisplayInputRouter().Deliver(Event(InputEvent::Kind::kActivated, top_));
    EXPECT_EQ(GetFocus(), a1_) << "a focused control keeps the focus";
}

TEST_F(DisplayInputTest, CloseBoxClosesAnEnabledWindowOnly) {
    DisplayInputRouter().Deliver(Event(InputEvent::Kind::kCloseRequest, top_));
    PumpPosted();
    const auto log = MessageLog::Instance().MessagesOf(top_, {WM_SYSCOMMAND, WM_CLOSE});
    EXPECT_EQ(log, (std::vector<UINT>{WM_SYSCOMMAND, WM_CLOSE}));
    MessageLog::Instance().Take();

    // A window disabled under a modal box takes no input at all.
    EnableWindow(top_, FALSE);
    DisplayInputRouter().Deliver(Event(InputEvent::Kind::kCloseRequest, top_));
    DisplayInputRouter().Deliver(Event(InputEvent::Kind::kButtonDown, top_, 20, 20));
    InputEvent key = Event(InputEvent::Kind::kKeyDown, top_);
    key.virtualKey = 0x1B;
    DisplayInputRouter().Deliver(key);
    PumpPosted();
    EXPECT_TRUE(MessageLog::Instance()
                    .MessagesOf(nullptr, {WM_SYSCOMMAND, WM_CLOSE, WM_LBUTTONDOWN, WM_KEYDOWN})
                    .empty());
}

TEST_F(DisplayInputTest, WindowManagerMinimiseAndRestoreChangeTheWindowState) {
    DisplayInputRouter().Deliver(Event(InputEvent::Kind::kMinimized, top_));
    EXPECT_TRUE(IsIconic(top_));
    DisplayInputRouter().Deliver(Event(InputEvent::Kind::kRestored, top_));
    EXPECT_FALSE(IsIconic(top_));
}

}  // namespace
