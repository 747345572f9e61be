#include "platform/framework/dialog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "platform/controls/control_classes.h"
#include "platform/gdi/image_resources.h"
#include "platform/gdi/system_palette.h"
#include "platform/gdi/text_drawing.h"
#include "platform/resource/resource_table.h"
#include "platform/win/painting.h"
#include "platform_win/loop_watchdog.h"
#include "resources/resource_ids.h"
#include "resources/tevorin_resources.h"

using namespace std::chrono_literals;

namespace {

class DialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(tevorin::controls::RegisterControlClasses());
        previous_ = InstallResourceTable(&TevorinResourceTable());
    }
    void TearDown() override { InstallResourceTable(previous_); }

  private:
    const ResourceTable* previous_ = nullptr;
};

// Records what the dialog's handlers saw.
class RecordingDialog : public CDialog {
  public:
    using CDialog::CDialog;
    std::vector<std::string> calls;
    BOOL OnInitDialog() override {
        calls.push_back("init " + std::to_string(GetDlgItem(IDOK) != nullptr));
        return CDialog::OnInitDialog();
    }
    void OnNext() { calls.push_back("next"); }
    void OnCancel() override {
        calls.push_back("cancel");
        CDialog::OnCancel();
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(RecordingDialog, CDialog)
ON_BN_CLICKED(IDOK, &RecordingDialog::OnNext)
END_MESSAGE_MAP()

RECT ClientRectOf(HWND parent, HWND child) {
    RECT rect;
    GetWindowRect(child, &rect);
    POINT corners[2] = {{rect.left, rect.top}, {rect.right, rect.bottom}};
    ScreenToClient(parent, &corners[0]);
    ScreenToClient(parent, &corners[1]);
    return RECT{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
}

// Takes every waiting message, with the dialog's key handling, until idle.
void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.hwnd != nullptr) {
            bool taken = false;
            for (HWND hwnd = msg.hwnd; hwnd != nullptr && !taken; hwnd = GetParent(hwnd)) {
                if (CWnd* wnd = CWnd::FromHandlePermanent(hwnd))
                    taken = wnd->PreTranslateMessage(&msg) != FALSE;
                if ((GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CHILD) == 0) break;
            }
            if (taken) continue;
        }
        DispatchMessageW(&msg);
    }
}

struct TemplateCase {
    const char* name;
    int templateId;
    std::u16string okText;
    std::u16string cancelText;
};

TEST_F(DialogTest, WizardTemplatesOfBothLanguagesBuildEveryControlWhereTheTemplateSays) {
    const TemplateCase cases[] = {
        {"chinese", IDD_DOWNLOAD_DLG, u"下一步", u"取消"},
        {"english", IDD_DOWNLOAD_DLG_EN, u"Next", u"Cancel"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const DialogTemplate* t = FindDialogTemplate(c.templateId);
        ASSERT_NE(t, nullptr);
        RecordingDialog dialog;
        ASSERT_TRUE(dialog.Create(c.templateId, nullptr));
        EXPECT_EQ(dialog.calls, (std::vector<std::string>{"init 1"}));
        EXPECT_FALSE(dialog.IsWindowVisible()) << "the template has no WS_VISIBLE";

        LOGFONTW font;
        auto* dialogFont = reinterpret_cast<HFONT>(dialog.SendMessage(WM_GETFONT));
        ASSERT_NE(GetObjectW(dialogFont, sizeof font, &font), 0);
        EXPECT_EQ(font.lfHeight, PointsToFontHeight(t->fontPointSize));
        const SIZE base = DialogBaseUnits(font);

        RECT client;
        dialog.GetClientRect(&client);
        EXPECT_EQ(client.Width(), DialogUnitsToPixelsX(t->cx, base));
        EXPECT_EQ(client.Height(), DialogUnitsToPixelsY(t->cy, base));

        HWND child = GetFirstChild(dialog.m_hWnd);
        for (const DialogControl& control : t->controls) {
            ASSERT_NE(child, nullptr) << "fewer windows than template controls";
            EXPECT_EQ(GetDlgCtrlID(child), control.id);
            EXPECT_EQ(GetClassNameString(child), control.className);
            const RECT at = ClientRectOf(dialog.m_hWnd, child);
            EXPECT_EQ(at.left, DialogUnitsToPixelsX(control.x, base));
            EXPECT_EQ(at.top, DialogUnitsToPixelsY(control.y, base));
            if (!control.imageResourceId) {
                EXPECT_EQ(at.Width(), DialogUnitsToPixelsX(control.cx, base));
                EXPECT_EQ(at.Height(), DialogUnitsToPixelsY(control.cy, base));
            }
            EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0)), dialogFont);
            EXPECT_EQ(IsWindowVisible(child) != FALSE, false);  // the dialog is hidden
            EXPECT_EQ((GetWindowLongPtrW(child, GWL_STYLE) & WS_VISIBLE) != 0,
                      (control.style & WS_VISIBLE) != 0);
            child = GetNextSibling(child);
        }
        EXPECT_EQ(child, nullptr) << "more windows than template controls";
        EXPECT_EQ(GetWindowTextString(GetDlgItem(dialog.m_hWnd, IDOK)), c.okText);
        EXPECT_EQ(GetWindowTextString(GetDlgItem(dialog.m_hWnd, IDCANCEL)), c.cancelText);
        dialog.DestroyWindow();
    }
}

TEST_F(DialogTest, ShownWizardPaintsBannerSeparatorAndButtonsButNotTheHiddenFrame) {
    RecordingDialog dialog;
    ASSERT_TRUE(dialog.Create(IDD_DOWNLOAD_DLG, nullptr));
    dialog.ShowWindow(SW_SHOW);
    dialog.UpdateWindow();
    HDC dc = GetDC(dialog.m_hWnd);
    ASSERT_NE(dc, nullptr);

    // The banner: the bitmap's own pixels at the control's corner.
    HWND banner = GetFirstChild(dialog.m_hWnd);
    for (int i = 0; i < 2; ++i) banner = GetNextSibling(banner);
    const RECT bannerRect = ClientRectOf(dialog.m_hWnd, banner);
    HBITMAP bitmap = LoadBitmapW(nullptr, IDB_BANNER);
    ASSERT_NE(bitmap, nullptr);
    HDC memory = CreateCompatibleDC(nullptr);
    SelectObject(memory, bitmap);
    int same = 0;
    for (int y = 0; y < 40; y += 7)
        for (int x = 0; x < 40; x += 7)
            same += GetPixel(dc, bannerRect.left + x, bannerRect.top + y) == GetPixel(memory, x, y);
    EXPECT_EQ(same, 36);
    DeleteDC(memory);
    DeleteObject(bitmap);

    // The separator: an etched line, shadow above highlight.
    const RECT line = ClientRectOf(dialog.m_hWnd, GetNextSibling(banner));
    EXPECT_EQ(GetPixel(dc, line.left + 10, line.top), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(GetPixel(dc, line.left + 10, line.top + 1), GetSysColor(COLOR_BTNHIGHLIGHT));

    // The page area frame is not WS_VISIBLE: no black outline where it lies.
    const RECT frame = ClientRectOf(dialog.m_hWnd, GetDlgItem(dialog.m_hWnd, IDC_PAGE_AREA));
    EXPECT_EQ(GetPixel(dc, frame.left + 20, frame.top), GetSysColor(COLOR_BTNFACE));

    // Buttons: a raised face with dark text in the middle.
    const RECT next = ClientRectOf(dialog.m_hWnd, GetDlgItem(dialog.m_hWnd, IDOK));
    EXPECT_EQ(GetPixel(dc, next.left + 1, next.top + 1), GetSysColor(COLOR_BTNHIGHLIGHT));
    int dark = 0;
    for (int x = next.left; x < next.right; ++x)
        for (int y = next.top + 3; y < next.bottom - 3; ++y)
            dark += GetRValue(GetPixel(dc, x, y)) < 100 ? 1 : 0;
    EXPECT_GT(dark, 10);
    ReleaseDC(dialog.m_hWnd, dc);
    dialog.DestroyWindow();
}

TEST_F(DialogTest, ClicksAndKeysReachTheHandlers) {
    LoopWatchdog watchdog(20s, "dialog keys");
    RecordingDialog dialog;
    ASSERT_TRUE(dialog.Create(IDD_DOWNLOAD_DLG, nullptr));
    dialog.ShowWindow(SW_SHOW);
    HWND next = GetDlgItem(dialog.m_hWnd, IDOK);
    HWND cancel = GetDlgItem(dialog.m_hWnd, IDCANCEL);
    EXPECT_EQ(GetFocus(), next) << "the first tab stop gets the focus";
    dialog.calls.clear();

    struct Step {
        const char* what;
        HWND target;
        UINT message;
        WPARAM wParam;
        std::vector<std::string> calls;
        HWND focusAfter;
    };
    const Step steps[] = {
        {"BM_CLICK", next, BM_CLICK, 0, {"next"}, next},
        {"Enter on Next", next, WM_KEYDOWN, VK_RETURN, {"next"}, next},
        {"Tab", next, WM_KEYDOWN, VK_TAB, {}, cancel},
        {"Tab wraps", cancel, WM_KEYDOWN, VK_TAB, {}, next},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.what);
        dialog.calls.clear();
        if (s.message == BM_CLICK) {
            SendMessageW(s.target, BM_CLICK, 0, 0);
        } else {
            PostMessageW(s.target, s.message, s.wParam, 0);
            Pump();
        }
        EXPECT_EQ(dialog.calls, s.calls);
        EXPECT_EQ(GetFocus(), s.focusAfter);
    }

    // Shift+Tab goes back.
    PostMessageW(next, WM_KEYDOWN, VK_SHIFT, 0);
    PostMessageW(next, WM_KEYDOWN, VK_TAB, 0);
    PostMessageW(next, WM_KEYUP, VK_SHIFT, 0);
    Pump();
    EXPECT_EQ(GetFocus(), cancel);

    // A mouse click: down and up inside the button.
    dialog.calls.clear();
    PostMessageW(next, WM_LBUTTONDOWN, 0, MAKELPARAM(5, 5));
    PostMessageW(next, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    Pump();
    EXPECT_EQ(dialog.calls, (std::vector<std::string>{"next"}));
    // Released outside: no click.
    dialog.calls.clear();
    PostMessageW(next, WM_LBUTTONDOWN, 0, MAKELPARAM(5, 5));
    PostMessageW(next, WM_LBUTTONUP, 0, MAKELPARAM(500, 5));
    Pump();
    EXPECT_TRUE(dialog.calls.empty());

    // A disabled button ignores clicks.
    EnableWindow(next, FALSE);
    SendMessageW(next, BM_CLICK, 0, 0);
    EXPECT_TRUE(dialog.calls.empty());

    // Esc is Cancel, which hides a modeless dialog.
    PostMessageW(cancel, WM_KEYDOWN, VK_ESCAPE, 0);
    Pump();
    EXPECT_EQ(dialog.calls, (std::vector<std::string>{"cancel"}));
    EXPECT_FALSE(dialog.IsWindowVisible());
    dialog.DestroyWindow();
}

class EndingDialog : public CDialog {
  public:
    EndingDialog() : CDialog(IDD_DOWNLOAD_DLG, nullptr) {}
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        PostMessage(WM_USER + 50, 0, 0);
        return TRUE;
    }
    LRESULT OnLater(WPARAM, LPARAM) {
        EndDialog(42);
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(EndingDialog, CDialog)
ON_MESSAGE(WM_USER + 50, &EndingDialog::OnLater)
END_MESSAGE_MAP()

TEST_F(DialogTest, DoModalReturnsWhatEndDialogWasGivenAndDestroysTheWindow) {
    LoopWatchdog watchdog(20s, "modal dialog");
    EndingDialog dialog;
    EXPECT_EQ(dialog.DoModal(), 42);
    EXPECT_EQ(dialog.m_hWnd, nullptr);
}

TEST_F(DialogTest, UnknownTemplateFailsWithoutAWindow) {
    CDialog dialog;
    EXPECT_FALSE(dialog.Create(4242, nullptr));
    EXPECT_EQ(dialog.m_hWnd, nullptr);
    CDialog modal(4242, nullptr);
    EXPECT_EQ(modal.DoModal(), -1);
}

TEST_F(DialogTest, ChildPageSitsInsideItsParent) {
    CDialog wizard;
    ASSERT_TRUE(wizard.Create(IDD_DOWNLOAD_DLG, nullptr));
    CDialog page;
    ASSERT_TRUE(page.Create(IDD_DOWNLOAD_PAGE2, &wizard));
    EXPECT_EQ(GetParent(page.m_hWnd), wizard.m_hWnd);
    EXPECT_TRUE(IsChild(wizard.m_hWnd, page.GetDlgItem(IDC_FILE_LIST)->m_hWnd));
    EXPECT_EQ(GetClassNameString(page.GetDlgItem(IDC_FILE_LIST)->m_hWnd), u"SysListView32");
    wizard.DestroyWindow();
    EXPECT_EQ(page.m_hWnd, nullptr);
}

// A dialog that paints its statics' backgrounds itself, and a static that
// colours itself through the reflected request.
class ColouringDialog : public CDialog {
  public:
    ColouringDialog() : red_(RGB(200, 0, 0)) {}
    std::vector<UINT> kinds;
    HBRUSH OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor) {
        kinds.push_back(ctlColor);
        if (ctlColor == CTLCOLOR_STATIC && wnd->GetDlgCtrlID() == IDC_FILE_LIST_HEADING) {
            SetBkColor(dc->m_hDC, RGB(200, 0, 0));
            return red_;
        }
        return CDialog::OnCtlColor(dc, wnd, ctlColor);
    }
    DECLARE_MESSAGE_MAP()

  private:
    CBrush red_;
};

BEGIN_MESSAGE_MAP(ColouringDialog, CDialog)
ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

class SelfColouringStatic : public CWnd {
  public:
    SelfColouringStatic() : blue_(RGB(0, 0, 200)) {}
    HBRUSH CtlColor(CDC*, UINT ctlColor) {
        return ctlColor == CTLCOLOR_STATIC ? HBRUSH(blue_) : nullptr;
    }
    DECLARE_MESSAGE_MAP()

  private:
    CBrush blue_;
};

BEGIN_MESSAGE_MAP(SelfColouringStatic, CWnd)
ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()

TEST_F(DialogTest, ColourHandlersOfTheDialogAndOfTheControlPaintTheStatics) {
    CDialog wizard;
    ASSERT_TRUE(wizard.Create(IDD_DOWNLOAD_DLG, nullptr));
    ColouringDialog page;
    ASSERT_TRUE(page.Create(IDD_DOWNLOAD_PAGE2, &wizard));
    SelfColouringStatic status;
    ASSERT_TRUE(status.SubclassDlgItem(IDC_DOWNLOAD_STATUS, &page));
    page.ShowWindow(SW_SHOW);
    wizard.ShowWindow(SW_SHOW);
    wizard.UpdateWindow();

    struct Case {
        int id;
        COLORREF background;
    } const cases[] = {
        {IDC_FILE_LIST_HEADING, RGB(200, 0, 0)},  // the dialog's handler
        {IDC_DOWNLOAD_STATUS, RGB(0, 0, 200)},    // the control's own, reflected
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        HWND control = GetDlgItem(page.m_hWnd, c.id);
        RECT client;
        GetClientRect(control, &client);
        HDC dc = GetDC(control);
        EXPECT_EQ(GetPixel(dc, client.right - 2, client.bottom - 2), c.background);
        ReleaseDC(control, dc);
    }
    EXPECT_NE(std::find(page.kinds.begin(), page.kinds.end(), CTLCOLOR_STATIC), page.kinds.end());
    wizard.DestroyWindow();
}

}  // namespace
