// The updating notice on the headless display: where it sits, what it
// refuses, and what painting it once by hand puts on screen.

#include "install/default_upgrade_message_dlg.h"

#include <gtest/gtest.h>

#include "platform/core/window_styles.h"
#include "platform/gdi/system_palette.h"
#include "platform/win/messages.h"
#include "resources/resource_ids.h"
#include "ui/ui_test_support.h"

namespace {

RECT ControlRect(const CWnd& notice, int id) {
    RECT rect{};
    const CWnd* control = notice.GetDlgItem(id);
    if (control == nullptr) return rect;
    control->GetWindowRect(&rect);
    notice.ScreenToClient(&rect);
    return rect;
}

// Pixels of `rect` that differ from the dialog's background.
int PaintedPixels(HWND window, const RECT& rect) {
    const int all = (rect.right - rect.left) * (rect.bottom - rect.top);
    return all - CountOf(window, rect, GetSysColor(COLOR_3DFACE));
}

class NoticeTest : public ::testing::Test {
  protected:
    void SetUp() override { PrepareProgramResources(); }
};

TEST_F(NoticeTest, ComesUpHiddenTopMostUnactivatedAndCentredOnTheScreen) {
    CDefaultUpgradeMessageDlg notice(CWnd::FromHandle(GetDesktopWindow()));
    ASSERT_NE(notice.m_hWnd, nullptr);
    EXPECT_FALSE(notice.IsWindowVisible());
    EXPECT_EQ(notice.GetWindowTextString(), u"Tevorin网络电话");
    const DWORD exStyle = notice.GetExStyle();
    EXPECT_EQ(exStyle & WS_EX_NOACTIVATE, WS_EX_NOACTIVATE);
    EXPECT_EQ(exStyle & WS_EX_TOPMOST, WS_EX_TOPMOST);

    RECT window{};
    notice.GetWindowRect(&window);
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_LE(std::abs((window.left + window.right) / 2 - screenWidth / 2), 1);
    EXPECT_LE(std::abs((window.top + window.bottom) / 2 - screenHeight / 2), 1);

    // Neither Enter nor Esc closes it.
    for (const int command : {IDOK, IDCANCEL}) {
        notice.SendMessage(WM_COMMAND, static_cast<WPARAM>(command), 0);
        EXPECT_TRUE(IsWindow(notice.m_hWnd)) << command;
    }
    EXPECT_TRUE(notice.DestroyWindow());
}

TEST_F(NoticeTest, PaintingByHandDrawsTheTextAndTheIconWithoutAMessageLoop) {
    CDefaultUpgradeMessageDlg notice(CWnd::FromHandle(GetDesktopWindow()));
    ASSERT_NE(notice.m_hWnd, nullptr);
    notice.ShowWindow(SW_SHOW);
    const RECT text = ControlRect(notice, IDC_STATIC);
    const RECT icon = ControlRect(notice, IDC_UPGRADE_ICON);
    ASSERT_GT(text.right - text.left, 0);
    ASSERT_GT(icon.right - icon.left, 0);

    notice.PaintByHand();

    EXPECT_GT(PaintedPixels(notice.m_hWnd, text), 20) << "no notice text";
    EXPECT_GT(CountOf(notice.m_hWnd, text, GetSysColor(COLOR_WINDOWTEXT)), 0)
        << "the text is drawn in the default text colour";
    const RECT iconArea{icon.left, icon.top, icon.left + GetSystemMetrics(SM_CXICON),
                        icon.top + GetSystemMetrics(SM_CYICON)};
    EXPECT_GT(PaintedPixels(notice.m_hWnd, iconArea), 50) << "no icon";
    EXPECT_TRUE(notice.DestroyWindow());
}

}  // namespace
