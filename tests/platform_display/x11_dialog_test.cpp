// The update wizard's dialog on a real X server: its Next button clicked
// with xdotool, Esc typed, and the screen compared with what it painted.

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "platform/controls/control_classes.h"
#include "platform/display/x11_display.h"
#include "platform/framework/dialog.h"
#include "platform/gdi/device_context.h"
#include "platform/resource/resource_table.h"
#include "platform/win/painting.h"
#include "platform/win/thread_queue.h"
#include "platform_display/x11_test_window.h"
#include "platform_win/loop_watchdog.h"
#include "resources/resource_ids.h"
#include "resources/tevorin_resources.h"
#include "support/x_server.h"
// Xlib last: its macros (None, Status, Bool) would break the headers above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include "platform_display/x11_server_fixture.h"

namespace {

using namespace std::chrono_literals;

class WizardDialog : public CDialog {
  public:
    std::vector<std::string> calls;
    void OnNext() { calls.push_back("next"); }
    void OnCancel() override {
        calls.push_back("cancel");
        CDialog::OnCancel();
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(WizardDialog, CDialog)
ON_BN_CLICKED(IDOK, &WizardDialog::OnNext)
END_MESSAGE_MAP()

// One round of the framework's loop: the dialog's keys first.
void PumpDialogOnce() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        bool taken = false;
        for (HWND hwnd = msg.hwnd; hwnd != nullptr && !taken; hwnd = GetParent(hwnd)) {
            if (CWnd* wnd = CWnd::FromHandlePermanent(hwnd))
                taken = wnd->PreTranslateMessage(&msg) != FALSE;
            if ((GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CHILD) == 0) break;
        }
        if (taken) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    tevorin::win::CurrentThreadQueue()->Wait(10, true);
}

template <typename Condition>
bool PumpDialogUntil(Condition done, std::chrono::milliseconds limit = 5s) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        PumpDialogOnce();
    }
    return true;
}

class X11DialogTest : public x11_test::X11ServerFixture {
  protected:
    void SetUp() override {
        X11ServerFixture::SetUp();
        if (SetUpStopped()) return;
        ASSERT_TRUE(tevorin::controls::RegisterControlClasses());
        previous_ = InstallResourceTable(&TevorinResourceTable());
    }
    void TearDown() override {
        X11ServerFixture::TearDown();
        InstallResourceTable(previous_);
    }

    const ResourceTable* previous_ = nullptr;
    LoopWatchdog watchdog_{60s, "X11 dialog test"};
};

TEST_F(X11DialogTest, WizardShowsItsPixelsTakesAClickOnNextAndEscapeCancels) {
    WizardDialog dialog;
    ASSERT_TRUE(dialog.Create(IDD_DOWNLOAD_DLG, nullptr));
    dialog.ShowWindow(SW_SHOW);
    auto& backend = static_cast<tevorin::display::X11Display&>(tevorin::display::ActiveDisplay());
    const int handle = HwndToInt(dialog.m_hWnd);
    auto viewable = [&] {
        XWindowAttributes attributes;
        const Window window = backend.XWindowOf(handle);
        return window != 0 && XGetWindowAttributes(inspector_, window, &attributes) != 0 &&
               attributes.map_state == IsViewable;
    };
    ASSERT_TRUE(PumpDialogUntil(viewable));
    const Window window = backend.XWindowOf(handle);

    // The screen shows exactly the dialog's framebuffer.
    RECT client;
    GetClientRect(dialog.m_hWnd, &client);
    POINT origin{0, 0};
    ClientToScreen(dialog.m_hWnd, &origin);
    auto screenMatches = [&](std::string* mismatch) {
        XImage* shot = XGetImage(inspector_, DefaultRootWindow(inspector_), origin.x, origin.y,
                                 static_cast<unsigned>(client.right),
                                 static_cast<unsigned>(client.bottom), AllPlanes, ZPixmap);
        if (shot == nullptr) return false;
        HDC dc = GetDC(dialog.m_hWnd);
        bool same = true;
        for (int y = 0; y < client.bottom && same; ++y) {
            for (int x = 0; x < client.right && same; ++x) {
                const auto painted = PixelFromColorRef(GetPixel(dc, x, y));
                const auto shown = static_cast<std::uint32_t>(XGetPixel(shot, x, y)) & 0xFFFFFF;
                if (painted != shown) {
                    same = false;
                    *mismatch =
                        "first difference at " + std::to_string(x) + "," + std::to_string(y);
                }
            }
        }
        ReleaseDC(dialog.m_hWnd, dc);
        XDestroyImage(shot);
        return same;
    };
    std::string mismatch;
    EXPECT_TRUE(PumpDialogUntil([&] { return screenMatches(&mismatch); })) << mismatch;

    // A real click in the middle of Next.
    RECT next;
    GetWindowRect(dialog.GetDlgItem(IDOK)->m_hWnd, &next);
    const int x = (next.left + next.right) / 2 - origin.x;
    const int y = (next.top + next.bottom) / 2 - origin.y;
    auto click = [&] {
        return x11_test::Xdotool({"mousemove", "--window", std::to_string(window),
                                  std::to_string(x), std::to_string(y), "click", "1"},
                                 &PumpDialogOnce);
    };
    ASSERT_EQ(click().exitCode, 0);
    ASSERT_TRUE(PumpDialogUntil([&] { return !dialog.calls.empty(); }));
    EXPECT_EQ(dialog.calls, (std::vector<std::string>{"next"}));

    // Esc on the keyboard is Cancel, which hides the modeless wizard.
    dialog.calls.clear();
    ASSERT_EQ(x11_test::Xdotool({"windowfocus", "--sync", std::to_string(window)}, &PumpDialogOnce)
                  .exitCode,
              0);
    ASSERT_EQ(x11_test::Xdotool({"key", "Escape"}, &PumpDialogOnce).exitCode, 0);
    ASSERT_TRUE(PumpDialogUntil([&] { return !dialog.calls.empty(); }));
    EXPECT_EQ(dialog.calls, (std::vector<std::string>{"cancel"}));
    EXPECT_TRUE(PumpDialogUntil([&] { return !viewable(); })) << "hidden on the screen too";
    dialog.DestroyWindow();
}

}  // namespace
