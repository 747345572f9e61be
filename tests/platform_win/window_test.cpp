#include "platform/win/window.h"

#include <gtest/gtest.h>

#include <climits>
#include <set>
#include <thread>

#include "loop_watchdog.h"
#include "platform/win/message_loop.h"
#include "test_window_class.h"

namespace {

class WindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        MessageLog::Instance().ClearHandlers();
        MessageLog::Instance().Take();
    }
    void TearDown() override { MessageLog::Instance().ClearHandlers(); }
};

const std::vector<UINT> kLifecycle = {WM_NCCREATE, WM_CREATE,  WM_SIZE,
                                      WM_MOVE,     WM_DESTROY, WM_NCDESTROY};

TEST_F(WindowTest, CreationRunsCreateMessagesAndGivesUniquePositiveHandles) {
    std::set<int> seen;
    std::vector<HWND> windows;
    for (int i = 0; i < 20; ++i) {
        HWND hwnd = MakeTopLevel(u"one");
        ASSERT_NE(hwnd, nullptr);
        EXPECT_GT(HwndToInt(hwnd), 0);
        EXPECT_TRUE(seen.insert(HwndToInt(hwnd)).second) << "handle given twice";
        windows.push_back(hwnd);
    }
    EXPECT_EQ(MessageLog::Instance().MessagesOf(windows[0], kLifecycle),
              (std::vector<UINT>{WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE}));
    for (HWND hwnd : windows) EXPECT_TRUE(DestroyWindow(hwnd));
}

TEST_F(WindowTest, CreateStructCarriesTheArguments) {
    CREATESTRUCTW seen;
    std::u16string seenName;
    MessageLog::Instance().SetHandler(WM_CREATE, [&](HWND, WPARAM, LPARAM l) -> LRESULT {
        seen = *reinterpret_cast<CREATESTRUCTW*>(l);
        seenName = seen.lpszName;
        return 0;
    });
    int param = 42;
    HWND hwnd = CreateWindowExW(WS_EX_TOOLWINDOW, TestClassName(), u"标题", WS_POPUP, 3, 4, 50, 60,
                                nullptr, nullptr, &param);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(seen.lpCreateParams, &param);
    EXPECT_EQ(seen.x, 3);
    EXPECT_EQ(seen.y, 4);
    EXPECT_EQ(seen.cx, 50);
    EXPECT_EQ(seen.cy, 60);
    EXPECT_EQ(seen.dwExStyle, WS_EX_TOOLWINDOW);
    EXPECT_EQ(seenName, u"标题");
    DestroyWindow(hwnd);
}

TEST_F(WindowTest, RefusedCreations) {
    struct Case {
        const char* name;
        std::function<HWND()> create;
    };
    HWND parent = MakeTopLevel(u"parent");
    const Case cases[] = {
        {"unknown class",
         [] {
             return CreateWindowExW(0, u"NoSuchClass", u"", WS_POPUP, 0, 0, 10, 10, nullptr,
                                    nullptr, nullptr);
         }},
        {"child without parent",
         [] {
             return CreateWindowExW(0, TestClassName(), u"", WS_CHILD, 0, 0, 10, 10, nullptr,
                                    nullptr, nullptr);
         }},
        {"parent is no window",
         [] {
             return MakeChild(HwndFromInt(INT_MAX - 7), 1, RECT{0, 0, 5, 5});
         }},
        {"WM_NCCREATE refuses",
         [] {
             MessageLog::Instance().SetHandler(WM_NCCREATE, [](HWND, WPARAM, LPARAM) { return 0; });
             return MakeTopLevel(u"refused");
         }},
        {"WM_CREATE refuses",
         [] {
             MessageLog::Instance().SetHandler(WM_CREATE, [](HWND, WPARAM, LPARAM) { return -1; });
             return MakeTopLevel(u"refused");
         }},
    };
    for (const auto& c : cases) {
        MessageLog::Instance().ClearHandlers();
        EXPECT_EQ(c.create(), nullptr) << c.name;
        EXPECT_EQ(FindWindowW(nullptr, u"refused"), nullptr) << c.name;
    }
    MessageLog::Instance().ClearHandlers();
    DestroyWindow(parent);
}

TEST_F(WindowTest, DestructionOrderAndAfterwards) {
    HWND parent = MakeTopLevel(u"tree");
    HWND child = MakeChild(parent, 7, RECT{0, 0, 50, 50});
    HWND grandchild = MakeChild(child, 8, RECT{0, 0, 10, 10});
    ASSERT_TRUE(parent && child && grandchild);
    MessageLog::Instance().Take();
    ASSERT_TRUE(DestroyWindow(parent));
    std::vector<std::pair<HWND, UINT>> order;
    for (const auto& m : MessageLog::Instance().Take())
        if (m.message == WM_DESTROY || m.message == WM_NCDESTROY)
            order.emplace_back(m.hwnd, m.message);
    const std::vector<std::pair<HWND, UINT>> expected = {
        {parent, WM_DESTROY},       {child, WM_DESTROY},   {grandchild, WM_DESTROY},
        {grandchild, WM_NCDESTROY}, {child, WM_NCDESTROY}, {parent, WM_NCDESTROY}};
    EXPECT_EQ(order, expected);
    for (HWND gone : {parent, child, grandchild}) {
        EXPECT_FALSE(IsWindow(gone));
        EXPECT_EQ(SendMessageW(gone, WM_USER, 1, 2), 0);
        EXPECT_FALSE(PostMessageW(gone, WM_USER, 1, 2));
        EXPECT_FALSE(DestroyWindow(gone));
    }
    EXPECT_TRUE(MessageLog::Instance().Take().empty()) << "a destroyed window was called";
}

TEST_F(WindowTest, DestroyingAChildLeavesTheParent) {
    HWND parent = MakeTopLevel(u"p");
    HWND first = MakeChild(parent, 1, RECT{0, 0, 5, 5});
    HWND second = MakeChild(parent, 2, RECT{0, 0, 5, 5});
    ASSERT_TRUE(DestroyWindow(first));
    EXPECT_TRUE(IsWindow(parent));
    EXPECT_EQ(GetFirstChild(parent), second);
    EXPECT_EQ(GetDlgItem(parent, 1), nullptr);
    DestroyWindow(parent);
}

TEST_F(WindowTest, OnlyTheOwningThreadDestroys) {
    HWND hwnd = MakeTopLevel(u"mine");
    BOOL fromOther = TRUE;
    std::thread([&] { fromOther = DestroyWindow(hwnd); }).join();
    EXPECT_FALSE(fromOther);
    EXPECT_TRUE(IsWindow(hwnd));
    EXPECT_TRUE(DestroyWindow(hwnd));
}

TEST_F(WindowTest, TreeQueries) {
    HWND top = MakeTopLevel(u"dialog");
    HWND a = MakeChild(top, 1001, RECT{0, 0, 5, 5});
    HWND b = MakeChild(top, 1002, RECT{0, 0, 5, 5});
    HWND inner = MakeChild(b, 1003, RECT{0, 0, 5, 5});
    EXPECT_EQ(GetParent(a), top);
    EXPECT_EQ(GetParent(top), nullptr);
    EXPECT_EQ(GetDlgItem(top, 1002), b);
    EXPECT_EQ(GetDlgItem(top, 1003), nullptr) << "only direct children count";
    EXPECT_EQ(GetDlgCtrlID(b), 1002);
    EXPECT_TRUE(IsChild(top, inner));
    EXPECT_FALSE(IsChild(a, inner));
    EXPECT_EQ(GetTopLevelWindow(inner), top);
    EXPECT_EQ(GetFirstChild(top), a);
    EXPECT_EQ(GetNextSibling(a), b);
    EXPECT_EQ(GetNextSibling(b), nullptr);
    EXPECT_EQ(GetPrevSibling(b), a);
    DestroyWindow(top);
}

TEST_F(WindowTest, TextGoesThroughMessagesAndTruncates) {
    HWND hwnd = MakeTopLevel(u"start");
    MessageLog::Instance().Take();
    ASSERT_TRUE(SetWindowTextW(hwnd, u"Tevorin有新版本了！"));
    EXPECT_EQ(MessageLog::Instance().MessagesOf(hwnd, {WM_SETTEXT}), std::vector<UINT>{WM_SETTEXT});
    struct Case {
        int capacity;
        std::u16string expected;
        int count;
    };
    const Case cases[] = {{100, u"Tevorin有新版本了！", 13}, {8, u"Tevorin", 7}, {1, u"", 0}};
    for (const auto& c : cases) {
        char16_t buffer[100] = {u'x'};
        EXPECT_EQ(GetWindowTextW(hwnd, buffer, c.capacity), c.count) << c.capacity;
        EXPECT_EQ(std::u16string(buffer), c.expected) << c.capacity;
    }
    EXPECT_EQ(GetWindowTextLengthW(hwnd), 13);
    std::u16string fromOther;
    std::thread([&] { fromOther = GetWindowTextString(hwnd); }).join();
    EXPECT_EQ(fromOther, u"Tevorin有新版本了！");
    HWND child = MakeChild(hwnd, 1003, RECT{0, 0, 5, 5});
    EXPECT_TRUE(SetDlgItemTextW(hwnd, 1003, u"下一步"));
    EXPECT_EQ(GetWindowTextString(child), u"下一步");
    EXPECT_FALSE(SetDlgItemTextW(hwnd, 999, u"x"));
    DestroyWindow(hwnd);
}

TEST_F(WindowTest, RectanglesAndCoordinateConversion) {
    // Caption and dialog frame: 3 pixels around, 18 more on top.
    HWND top = MakeTopLevel(u"r", WS_POPUP | WS_CAPTION, RECT{100, 50, 300, 250});
    HWND child = MakeChild(top, 5, RECT{10, 20, 60, 45}, WS_CHILD | WS_VISIBLE | WS_BORDER);
    RECT rect;
    ASSERT_TRUE(GetWindowRect(top, &rect));
    EXPECT_EQ(rect, (RECT{100, 50, 300, 250}));
    ASSERT_TRUE(GetClientRect(top, &rect));
    EXPECT_EQ(rect, (RECT{0, 0, 194, 176}));
    ASSERT_TRUE(GetWindowRect(child, &rect));
    EXPECT_EQ(rect, (RECT{113, 91, 163, 116}));
    ASSERT_TRUE(GetClientRect(child, &rect));
    EXPECT_EQ(rect, (RECT{0, 0, 48, 23}));

    POINT p{113, 91};
    ASSERT_TRUE(ScreenToClient(top, &p));
    EXPECT_EQ(p.x, 10);
    EXPECT_EQ(p.y, 20);
    ASSERT_TRUE(ClientToScreen(child, &p));
    EXPECT_EQ(p.x, 124);
    EXPECT_EQ(p.y, 112);
    POINT q{0, 0};
    MapWindowPoints(child, top, &q, 1);
    EXPECT_EQ(q.x, 11);
    EXPECT_EQ(q.y, 21);

    ASSERT_TRUE(MoveWindow(child, 0, 0, 30, 30, TRUE));
    ASSERT_TRUE(GetWindowRect(child, &rect));
    EXPECT_EQ(rect, (RECT{103, 71, 133, 101}));
    RECT adjusted{0, 0, 194, 176};
    AdjustWindowRectEx(&adjusted, WS_POPUP | WS_CAPTION, FALSE, 0);
    EXPECT_EQ(adjusted, (RECT{-3, -21, 197, 179}));
    DestroyWindow(top);
}

TEST_F(WindowTest, MovingSendsSizeOnlyWhenTheSizeChanges) {
    HWND top = MakeTopLevel(u"m", WS_POPUP);
    MessageLog::Instance().Take();
    MoveWindow(top, 1, 1, 200, 150, FALSE);
    EXPECT_EQ(MessageLog::Instance().MessagesOf(top, {WM_SIZE, WM_MOVE}),
              std::vector<UINT>{WM_MOVE});
    MessageLog::Instance().Take();
    SetWindowPos(top, nullptr, 0, 0, 80, 90, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(MessageLog::Instance().MessagesOf(top, {WM_SIZE, WM_MOVE}),
              std::vector<UINT>{WM_SIZE});
    RECT rect;
    GetWindowRect(top, &rect);
    EXPECT_EQ(rect, (RECT{1, 1, 81, 91}));
    SetWindowPos(top, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_NE(GetWindowLongPtrW(top, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    DestroyWindow(top);
}

TEST_F(WindowTest, ShowWindowStates) {
    HWND top = MakeTopLevel(u"v");
    HWND child = MakeChild(top, 1, RECT{0, 0, 5, 5});
    struct Step {
        int command;
        BOOL returnsWasVisible;
        BOOL visible;
        BOOL iconic;
    };
    const Step steps[] = {
        {SW_HIDE, FALSE, FALSE, FALSE},        {SW_SHOW, FALSE, TRUE, FALSE},
        {SW_SHOW, TRUE, TRUE, FALSE},          {SW_MINIMIZE, TRUE, TRUE, TRUE},
        {SW_RESTORE, TRUE, TRUE, FALSE},       {SW_HIDE, TRUE, FALSE, FALSE},
        {SW_SHOWMINIMIZED, FALSE, TRUE, TRUE},
    };
    int row = 0;
    for (const auto& s : steps) {
        EXPECT_EQ(ShowWindow(top, s.command), s.returnsWasVisible) << "row " << row;
        EXPECT_EQ(IsWindowVisible(top), s.visible) << "row " << row;
        EXPECT_EQ(IsIconic(top), s.iconic) << "row " << row;
        ++row;
    }
    ShowWindow(top, SW_HIDE);
    EXPECT_FALSE(IsWindowVisible(child)) << "a child of a hidden window is not visible";
    EXPECT_NE(GetWindowLongPtrW(child, GWL_STYLE) & WS_VISIBLE, 0);
    MessageLog::Instance().Take();
    ShowWindow(top, SW_HIDE);
    EXPECT_TRUE(MessageLog::Instance().MessagesOf(top, {WM_SHOWWINDOW}).empty())
        << "no WM_SHOWWINDOW without a change";
    ShowWindow(top, SW_SHOW);
    EXPECT_EQ(MessageLog::Instance().MessagesOf(top, {WM_SHOWWINDOW}),
              std::vector<UINT>{WM_SHOWWINDOW});
    BOOL fromOther = TRUE;
    std::thread other([&] { fromOther = ShowWindow(top, SW_HIDE); });
    // The other thread's ShowWindow runs here, on the window's thread.
    {
        LoopWatchdog watchdog(std::chrono::seconds(20), "cross-thread ShowWindow");
        MSG msg;
        while (IsWindowVisible(top)) PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);
    }
    other.join();
    EXPECT_TRUE(fromOther);
    EXPECT_FALSE(IsWindowVisible(top));
    DestroyWindow(top);
}

TEST_F(WindowTest, EnablingAndStyles) {
    HWND hwnd = MakeTopLevel(u"e");
    MessageLog::Instance().Take();
    EXPECT_FALSE(EnableWindow(hwnd, FALSE)) << "was enabled";
    EXPECT_FALSE(IsWindowEnabled(hwnd));
    EXPECT_TRUE(EnableWindow(hwnd, TRUE)) << "was disabled";
    EXPECT_TRUE(IsWindowEnabled(hwnd));
    EXPECT_EQ(MessageLog::Instance().MessagesOf(hwnd, {WM_ENABLE}),
              (std::vector<UINT>{WM_ENABLE, WM_ENABLE}));
    const LONG_PTR before = GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
    EXPECT_EQ(SetWindowLongPtrW(hwnd, GWL_EXSTYLE, before | 0x08000188), before);
    EXPECT_EQ(GetWindowLongPtrW(hwnd, GWL_EXSTYLE), before | 0x08000188);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 77);
    SetWindowLongPtrW(hwnd, 16, 99);
    EXPECT_EQ(GetWindowLongPtrW(hwnd, GWLP_USERDATA), 77);
    EXPECT_EQ(GetWindowLongPtrW(hwnd, 16), 99);
    DestroyWindow(hwnd);
}

WNDPROC g_previous = nullptr;
int g_subclassCalls = 0;
LRESULT Subclass(HWND hwnd, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_USER + 5) {
        ++g_subclassCalls;
        return 1000 + CallWindowProcW(g_previous, hwnd, message, w, l);
    }
    return CallWindowProcW(g_previous, hwnd, message, w, l);
}

TEST_F(WindowTest, SubclassingReplacesTheProcedure) {
    HWND hwnd = MakeTopLevel(u"s");
    MessageLog::Instance().SetHandler(WM_USER + 5, [](HWND, WPARAM, LPARAM) { return 5; });
    g_previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Subclass)));
    ASSERT_NE(g_previous, nullptr);
    EXPECT_EQ(SendMessageW(hwnd, WM_USER + 5, 0, 0), 1005);
    EXPECT_EQ(g_subclassCalls, 1);
    EXPECT_EQ(SetWindowLongPtrW(hwnd, GWLP_WNDPROC, 0), 0) << "a null procedure is refused";
    DestroyWindow(hwnd);
}

TEST_F(WindowTest, FindWindowFindsHiddenTopLevelsByExactTitle) {
    HWND hidden = MakeTopLevel(u"tevorin_abe87_liveupdate_window_xxycy");
    HWND parent = MakeTopLevel(u"other");
    HWND child = CreateWindowExW(0, TestClassName(), u"child title", WS_CHILD, 0, 0, 1, 1, parent,
                                 ChildIdMenu(1), nullptr);
    ASSERT_TRUE(hidden && child);
    EXPECT_FALSE(IsWindowVisible(hidden));
    EXPECT_EQ(FindWindowW(nullptr, u"tevorin_abe87_liveupdate_window_xxycy"), hidden);
    EXPECT_EQ(FindWindowW(TestClassName(), u"tevorin_abe87_liveupdate_window_xxycy"), hidden);
    EXPECT_EQ(FindWindowW(u"OtherClass", u"tevorin_abe87_liveupdate_window_xxycy"), nullptr);
    EXPECT_EQ(FindWindowW(nullptr, u"TEVORIN_abe87_liveupdate_window_xxycy"), nullptr);
    EXPECT_EQ(FindWindowW(nullptr, u"child title"), nullptr);
    DestroyWindow(hidden);
    EXPECT_EQ(FindWindowW(nullptr, u"tevorin_abe87_liveupdate_window_xxycy"), nullptr);
    DestroyWindow(parent);
}

TEST_F(WindowTest, OwnerThreadAndProcess) {
    HWND hwnd = MakeTopLevel(u"o");
    DWORD pid = 0;
    EXPECT_EQ(GetWindowThreadProcessId(hwnd, &pid), GetCurrentThreadId());
    EXPECT_EQ(pid, GetCurrentProcessId());
    DestroyWindow(hwnd);
    EXPECT_EQ(GetWindowThreadProcessId(hwnd, &pid), 0u);
    EXPECT_EQ(pid, 0u);
}

TEST_F(WindowTest, ClassRegistration) {
    WNDCLASSW windowClass;
    windowClass.lpfnWndProc = &DefWindowProcW;
    windowClass.lpszClassName = u"TwiceRegistered";
    EXPECT_TRUE(RegisterClassW(windowClass));
    windowClass.lpszClassName = u"twiceregistered";
    EXPECT_FALSE(RegisterClassW(windowClass)) << "names compare without case";
    WNDCLASSW info;
    ASSERT_TRUE(GetClassInfoW(u"TWICEREGISTERED", &info));
    EXPECT_EQ(std::u16string(info.lpszClassName), u"TwiceRegistered");
    windowClass.lpfnWndProc = nullptr;
    windowClass.lpszClassName = u"NoProcedure";
    EXPECT_FALSE(RegisterClassW(windowClass));
    EXPECT_TRUE(UnregisterClassW(u"TwiceRegistered"));
}

}  // namespace
