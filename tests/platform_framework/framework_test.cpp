#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "platform/framework/data_exchange.h"
#include "platform/framework/win_app.h"
#include "platform/framework/wnd.h"
#include "platform_win/loop_watchdog.h"
#include "platform_win/test_window_class.h"

using namespace std::chrono_literals;

namespace {

constexpr UINT kNmCustomDraw = static_cast<UINT>(-12);
constexpr UINT kEnVScroll = 0x0602;

std::vector<std::string> g_calls;

class CBaseWnd : public CWnd {
  public:
    LRESULT OnPing(WPARAM w, LPARAM) {
        g_calls.push_back("base ping");
        return static_cast<LRESULT>(w) + 1;
    }
    LRESULT OnOverridden(WPARAM, LPARAM) {
        g_calls.push_back("base overridden");
        return 1;
    }
    void OnClose() { g_calls.push_back("base close"); }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBaseWnd, CWnd)
ON_MESSAGE(WM_USER + 1, &CBaseWnd::OnPing)
ON_MESSAGE(WM_USER + 2, &CBaseWnd::OnOverridden)
ON_WM_CLOSE()
END_MESSAGE_MAP()

class CDerivedWnd : public CBaseWnd {
  public:
    LRESULT OnOverriddenHere(WPARAM, LPARAM) {
        g_calls.push_back("derived overridden");
        return 2;
    }
    void OnNext() { g_calls.push_back("next clicked"); }
    void OnCancelCommand() { g_calls.push_back("cancel command"); }
    void OnListDraw(NMHDR* header, LRESULT* result) {
        g_calls.push_back("list draw " + std::to_string(header->idFrom));
        *result = 4;
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDerivedWnd, CBaseWnd)
ON_MESSAGE(WM_USER + 2, &CDerivedWnd::OnOverriddenHere)
ON_BN_CLICKED(1, &CDerivedWnd::OnNext)
ON_COMMAND(2, &CDerivedWnd::OnCancelCommand)
ON_NOTIFY(kNmCustomDraw, 1006, &CDerivedWnd::OnListDraw)
END_MESSAGE_MAP()

// A control that takes its own notifications back from the parent.
class CReflectingControl : public CWnd {
  public:
    void OnCustomDraw(NMHDR*, LRESULT* result) {
        g_calls.push_back("control custom draw");
        *result = 0x20;
    }
    void OnScrolled() { g_calls.push_back("control scrolled"); }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CReflectingControl, CWnd)
ON_NOTIFY_REFLECT(kNmCustomDraw, &CReflectingControl::OnCustomDraw)
ON_CONTROL_REFLECT(kEnVScroll, &CReflectingControl::OnScrolled)
END_MESSAGE_MAP()

class FrameworkTest : public ::testing::Test {
  protected:
    void SetUp() override {
        g_calls.clear();
        MessageLog::Instance().ClearHandlers();
        MessageLog::Instance().Take();
    }
};

TEST_F(FrameworkTest, MessageMapRoutesMessagesCommandsAndNotifications) {
    CDerivedWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, u"map", WS_POPUP, RECT{0, 0, 100, 100}, nullptr, 0));
    EXPECT_EQ(CWnd::FromHandlePermanent(wnd.m_hWnd), &wnd);
    NMHDR header{nullptr, 1006, kNmCustomDraw};
    NMHDR otherId{nullptr, 1007, kNmCustomDraw};
    struct Case {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        LRESULT result;
        std::vector<std::string> calls;
    };
    const Case cases[] = {
        {WM_USER + 1, 41, 0, 42, {"base ping"}},
        {WM_USER + 2, 0, 0, 2, {"derived overridden"}},
        {WM_CLOSE, 0, 0, 0, {"base close"}},
        {WM_COMMAND, MAKEWPARAM(1, 0), 0, 0, {"next clicked"}},
        {WM_COMMAND, MAKEWPARAM(1, 5), 0, 0, {}},  // another notification code of the button
        {WM_COMMAND, MAKEWPARAM(2, 0), 0, 0, {"cancel command"}},
        {WM_COMMAND, MAKEWPARAM(3, 0), 0, 0, {}},
        {WM_NOTIFY, 1006, reinterpret_cast<LPARAM>(&header), 4, {"list draw 1006"}},
        {WM_NOTIFY, 1007, reinterpret_cast<LPARAM>(&otherId), 0, {}},
    };
    int row = 0;
    for (const auto& c : cases) {
        g_calls.clear();
        EXPECT_EQ(wnd.SendMessage(c.message, c.wParam, c.lParam), c.result) << "row " << row;
        EXPECT_EQ(g_calls, c.calls) << "row " << row;
        ++row;
    }
    EXPECT_TRUE(IsWindow(wnd.m_hWnd)) << "the map's WM_CLOSE replaced the default destruction";
}

TEST_F(FrameworkTest, NotificationsAreReflectedToTheControlThatSentThem) {
    CDerivedWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, nullptr, u"parent", WS_POPUP, RECT{0, 0, 100, 100}, nullptr, 0));
    CReflectingControl control;
    ASSERT_TRUE(control.Create(nullptr, u"", WS_CHILD, RECT{0, 0, 10, 10}, &parent, 1006));
    NMHDR fromControl{control.m_hWnd, 1006, kNmCustomDraw};
    EXPECT_EQ(parent.SendMessage(WM_NOTIFY, 1006, reinterpret_cast<LPARAM>(&fromControl)), 0x20);
    EXPECT_EQ(g_calls, std::vector<std::string>{"control custom draw"});
    g_calls.clear();
    parent.SendMessage(WM_COMMAND, MAKEWPARAM(1006, kEnVScroll),
                       reinterpret_cast<LPARAM>(control.m_hWnd));
    EXPECT_EQ(g_calls, std::vector<std::string>{"control scrolled"});
    g_calls.clear();
    // A notification the control does not take reaches the parent's map.
    NMHDR otherCode{control.m_hWnd, 1006, 0x1234};
    EXPECT_EQ(parent.SendMessage(WM_NOTIFY, 1006, reinterpret_cast<LPARAM>(&otherCode)), 0);
    EXPECT_TRUE(g_calls.empty());
}

TEST_F(FrameworkTest, ControlBindingSubclassesAnExistingChild) {
    HWND dialog = MakeTopLevel(u"dialog");
    HWND edit = MakeChild(dialog, 1004, RECT{0, 0, 50, 20});
    CWnd dialogWnd;
    ASSERT_TRUE(dialogWnd.Attach(dialog));
    CReflectingControl bound;
    CDataExchange exchange(&dialogWnd, FALSE);
    DDX_Control(&exchange, 1004, bound);
    EXPECT_TRUE(exchange.ok);
    EXPECT_EQ(bound.m_hWnd, edit);
    EXPECT_EQ(CWnd::FromHandlePermanent(edit), &bound);
    // Messages the map does not take still reach the window's own procedure.
    MessageLog::Instance().Take();
    SendMessageW(edit, WM_USER + 9, 0, 0);
    EXPECT_EQ(MessageLog::Instance().MessagesOf(edit, {WM_USER + 9}),
              std::vector<UINT>{WM_USER + 9});
    CReflectingControl missing;
    DDX_Control(&exchange, 4242, missing);
    EXPECT_FALSE(exchange.ok);
    EXPECT_EQ(bound.UnsubclassWindow(), edit);
    EXPECT_EQ(CWnd::FromHandlePermanent(edit), nullptr);
    dialogWnd.Detach();
    DestroyWindow(dialog);
}

TEST_F(FrameworkTest, BoundControlDeletedWhileItsParentGoesStillSeesItsOwnEnd) {
    HWND dialog = MakeTopLevel(u"dialog");
    HWND edit = MakeChild(dialog, 1004, RECT{0, 0, 50, 20});
    auto* bound = new CReflectingControl;
    ASSERT_TRUE(bound->SubclassWindow(edit));
    // The parent's destruction deletes the bound object, as a dialog that
    // owns its pages does; the child cannot be destroyed on its own then.
    MessageLog::Instance().SetHandler(WM_DESTROY, [&](HWND hwnd, WPARAM, LPARAM) -> LRESULT {
        if (hwnd == dialog && bound != nullptr) {
            delete bound;
            bound = nullptr;
        }
        return 0;
    });
    MessageLog::Instance().Take();
    EXPECT_TRUE(DestroyWindow(dialog));
    EXPECT_EQ(bound, nullptr);
    // The child's own procedure frees what it holds on this message.
    EXPECT_EQ(MessageLog::Instance().MessagesOf(edit, {WM_NCDESTROY}),
              std::vector<UINT>{WM_NCDESTROY});
    MessageLog::Instance().ClearHandlers();
}

class CSelfDeleting : public CWnd {
  public:
    explicit CSelfDeleting(bool* deleted) : deleted_(deleted) {}
    ~CSelfDeleting() override { *deleted_ = true; }
    void PostNcDestroy() override { delete this; }

  private:
    bool* deleted_;
};

TEST_F(FrameworkTest, ObjectsDeleteThemselvesAfterTheirWindowIsGone) {
    bool deleted = false;
    auto* wnd = new CSelfDeleting(&deleted);
    ASSERT_TRUE(wnd->CreateEx(0, nullptr, u"self", WS_POPUP, RECT{0, 0, 5, 5}, nullptr, 0));
    HWND hwnd = wnd->m_hWnd;
    EXPECT_TRUE(DestroyWindow(hwnd));
    EXPECT_TRUE(deleted);
    EXPECT_EQ(CWnd::FromHandlePermanent(hwnd), nullptr);
}

TEST_F(FrameworkTest, DestroyingTheObjectDestroysItsWindow) {
    HWND hwnd = nullptr;
    {
        CWnd wnd;
        ASSERT_TRUE(wnd.CreateEx(0, nullptr, u"scoped", WS_POPUP, RECT{0, 0, 5, 5}, nullptr, 0));
        hwnd = wnd.m_hWnd;
    }
    EXPECT_FALSE(IsWindow(hwnd));
}

TEST_F(FrameworkTest, TemporaryObjectsForForeignWindows) {
    HWND plain = MakeTopLevel(u"plain");
    EXPECT_EQ(CWnd::FromHandlePermanent(plain), nullptr);
    CWnd* temporary = CWnd::FromHandle(plain);
    ASSERT_NE(temporary, nullptr);
    EXPECT_EQ(temporary->m_hWnd, plain);
    EXPECT_EQ(CWnd::FromHandle(plain), temporary);
    EXPECT_TRUE(temporary->ModifyStyleEx(0, 0x08000188, 0));
    EXPECT_EQ(GetWindowLongPtrW(plain, GWL_EXSTYLE) & 0x08000188, 0x08000188);
    EXPECT_FALSE(temporary->ModifyStyleEx(0, 0x08000188, 0)) << "nothing changed";
    temporary->SetWindowTextW(u"retitled");
    EXPECT_EQ(temporary->GetWindowTextString(), u"retitled");
    EXPECT_EQ(CWnd::FromHandle(nullptr), nullptr);
    CWnd::DeleteTempMap();
    DestroyWindow(plain);
}

// The application's loop: ends when the main window is destroyed, or on WM_QUIT.
class CTestApp : public CWinApp {
  public:
    enum class Ending { kDestroyMain, kQuit, kRefuseStart };
    explicit CTestApp(Ending ending) : ending_(ending) {}
    BOOL InitInstance() override {
        if (ending_ == Ending::kRefuseStart) return FALSE;
        main_.CreateEx(0, nullptr, u"main", WS_POPUP, RECT{0, 0, 10, 10}, nullptr, 0);
        m_pMainWnd = &main_;
        if (ending_ == Ending::kDestroyMain) main_.PostMessage(WM_CLOSE);
        if (ending_ == Ending::kQuit) PostQuitMessage(5);
        return TRUE;
    }
    int ExitInstance() override {
        exited_ = true;
        return CWinApp::ExitInstance();
    }
    bool exited_ = false;
    CWnd main_;

  private:
    Ending ending_;
};

TEST_F(FrameworkTest, ApplicationLoopEnds) {
    struct Case {
        CTestApp::Ending ending;
        int exitCode;
        bool mainWindowLeft;
    };
    const Case cases[] = {{CTestApp::Ending::kDestroyMain, 0, false},
                          {CTestApp::Ending::kQuit, 5, true},
                          {CTestApp::Ending::kRefuseStart, 0, false}};
    int row = 0;
    for (const auto& c : cases) {
        LoopWatchdog watchdog(20s, "application loop");
        CTestApp app(c.ending);
        EXPECT_EQ(AfxGetApp(), &app);
        EXPECT_EQ(AfxWinMain(), c.exitCode) << "row " << row;
        EXPECT_TRUE(app.exited_) << "row " << row;
        EXPECT_EQ(app.main_.m_hWnd != nullptr, c.mainWindowLeft) << "row " << row;
        ++row;
    }
}

}  // namespace
