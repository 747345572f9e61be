// MessageBoxW: a modal box with an icon, wrapped text and a row of buttons,
// built as a dialog window of the session like any other, so that a person,
// a snapshot or tevorin-desktop can see and answer it. The buttons are
// labelled in Chinese, the program's first language.

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/framework/dialog.h"
#include "platform/framework/dialog_window.h"
#include "platform/framework/message_box_icons.h"
#include "platform/framework/modal_loop.h"
#include "platform/gdi/image_resources.h"
#include "platform/gdi/system_palette.h"
#include "platform/gdi/text_drawing.h"

using namespace tevorin::framework;

namespace {

struct BoxButton {
    int id;
    const char16_t* text;
};

constexpr int kMargin = 12;
constexpr int kGap = 10;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;
constexpr int kButtonSpacing = 6;
constexpr int kMaxTextWidth = 420;
constexpr int kMinClientWidth = 180;
constexpr int kIconControlId = 20;
constexpr int kTextControlId = 0xFFFF;

std::vector<BoxButton> ButtonsFor(UINT type) {
    switch (type & MB_TYPEMASK) {
        case MB_OKCANCEL:
            return {{IDOK, u"确定"}, {IDCANCEL, u"取消"}};
        case MB_ABORTRETRYIGNORE:
            return {{IDABORT, u"中止"}, {IDRETRY, u"重试"}, {IDIGNORE, u"忽略"}};
        case MB_YESNOCANCEL:
            return {{IDYES, u"是"}, {IDNO, u"否"}, {IDCANCEL, u"取消"}};
        case MB_YESNO:
            return {{IDYES, u"是"}, {IDNO, u"否"}};
        case MB_RETRYCANCEL:
            return {{IDRETRY, u"重试"}, {IDCANCEL, u"取消"}};
        default:
            return {{IDOK, u"确定"}};
    }
}

bool HasButton(const std::vector<BoxButton>& buttons, int id) {
    return std::any_of(buttons.begin(), buttons.end(),
                       [id](const BoxButton& b) { return b.id == id; });
}

// Esc and the close box: Cancel where there is one, OK for a lone OK, else nothing.
int EscapeAnswer(const std::vector<BoxButton>& buttons) {
    if (HasButton(buttons, IDCANCEL)) return IDCANCEL;
    if (buttons.size() == 1 && buttons[0].id == IDOK) return IDOK;
    return 0;
}

LOGFONTW BoxFont() {
    LOGFONTW font;
    font.lfHeight = PointsToFontHeight(9);
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = 1;
    const char16_t face[] = u"MS Shell Dlg";
    std::copy(std::begin(face), std::end(face), font.lfFaceName);
    return font;
}

SIZE MeasureText(HFONT font, const std::u16string& text) {
    HDC dc = CreateCompatibleDC(nullptr);
    if (dc == nullptr) return SIZE{0, 0};
    const HGDIOBJ previous = SelectObject(dc, font);
    RECT area{0, 0, kMaxTextWidth, 0};
    const std::u16string measured = text.empty() ? std::u16string(u" ") : text;
    DrawTextW(dc, measured.c_str(), static_cast<int>(measured.size()), &area,
              DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
    SelectObject(dc, previous);
    DeleteDC(dc);
    return SIZE{std::min<LONG>(area.Width(), kMaxTextWidth), area.Height()};
}

class MessageBoxWindow : public CWnd {
  public:
    explicit MessageBoxWindow(std::vector<BoxButton> buttons) : buttons_(std::move(buttons)) {}

  protected:
    BOOL OnCommand(WPARAM wParam, LPARAM /*lParam*/) override {
        if (HIWORD(wParam) != BN_CLICKED) return FALSE;
        int id = LOWORD(wParam);
        if (id == IDCANCEL && !HasButton(buttons_, IDCANCEL)) id = EscapeAnswer(buttons_);
        if (id != 0 && HasButton(buttons_, id)) MarkDialogEnded(m_hWnd, id);
        return TRUE;
    }

  private:
    std::vector<BoxButton> buttons_;
};

// Where the box goes: centred over its owner when that is on screen, else
// over the screen.
POINT CentredPosition(HWND owner, SIZE size) {
    RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (area.IsEmpty()) area = RECT{0, 0, 1024, 768};
    if (owner != nullptr && owner != GetDesktopWindow() && IsWindowVisible(owner) &&
        !IsIconic(owner)) {
        RECT ownerRect;
        if (GetWindowRect(owner, &ownerRect) && !ownerRect.IsEmpty()) area = ownerRect;
    }
    return POINT{std::max<LONG>(0, area.left + (area.Width() - size.cx) / 2),
                 std::max<LONG>(0, area.top + (area.Height() - size.cy) / 2)};
}

}  // namespace

int MessageBoxW(HWND owner, const char16_t* text, const char16_t* caption, UINT type) {
    if (!RegisterDialogClass()) return 0;
    const std::vector<BoxButton> buttons = ButtonsFor(type);
    const std::u16string message = text != nullptr ? text : u"";
    const std::u16string title = caption != nullptr ? caption : u"错误";

    // Only a window of this thread can own the box; a foreign one is only
    // what it is centred over.
    HWND ownerTop =
        owner != nullptr && owner != GetDesktopWindow() ? GetTopLevelWindow(owner) : nullptr;
    if (owner != nullptr && owner != GetDesktopWindow() && ownerTop == nullptr) ownerTop = owner;
    const bool ownOwner =
        ownerTop != nullptr && GetWindowThreadProcessId(ownerTop, nullptr) == GetCurrentThreadId();

    const LOGFONTW fontDescription = BoxFont();
    HFONT font = CreateFontIndirectW(&fontDescription);
    HBITMAP icon = CreateMessageBoxIcon(type, GetSysColor(COLOR_BTNFACE));

    // Layout in client pixels.
    const SIZE textSize = MeasureText(font, message);
    const int iconWidth = icon != nullptr ? kMessageBoxIconSize + kGap : 0;
    const int contentHeight = std::max<int>(textSize.cy, icon != nullptr ? kMessageBoxIconSize : 0);
    const int rowWidth = static_cast<int>(buttons.size()) * kButtonWidth +
                         static_cast<int>(buttons.size() - 1) * kButtonSpacing;
    const int clientWidth =
        std::max({kMinClientWidth, kMargin * 2 + iconWidth + static_cast<int>(textSize.cx),
                  kMargin * 2 + rowWidth});
    const int buttonTop = kMargin + contentHeight + kMargin + 4;
    const int clientHeight = buttonTop + kButtonHeight + kMargin;

    const DWORD escape = static_cast<DWORD>(EscapeAnswer(buttons));
    const DWORD style = WS_POPUP | WS_CAPTION | DS_MODALFRAME | (escape != 0 ? WS_SYSMENU : 0);
    const DWORD exStyle =
        WS_EX_DLGMODALFRAME | ((type & (MB_TOPMOST | MB_SYSTEMMODAL)) != 0 ? WS_EX_TOPMOST : 0);
    RECT frame{0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    const POINT at = CentredPosition(ownerTop, SIZE{frame.Width(), frame.Height()});

    MessageBoxWindow box(buttons);
    const RECT rect{at.x, at.y, at.x + frame.Width(), at.y + frame.Height()};
    if (!box.CreateEx(exStyle, kDialogClassName, title.c_str(), style, rect,
                      ownOwner ? CWnd::FromHandle(ownerTop) : nullptr, 0)) {
        if (font != nullptr) DeleteObject(font);
        if (icon != nullptr) DeleteObject(icon);
        return 0;
    }
    HWND hwnd = box.m_hWnd;
    SetDialogFont(hwnd, font, true);
    KeepDialogBitmap(hwnd, icon);

    if (icon != nullptr) {
        HWND picture = CreateWindowExW(0, u"Static", u"", WS_CHILD | WS_VISIBLE | SS_BITMAP,
                                       kMargin, kMargin, kMessageBoxIconSize, kMessageBoxIconSize,
                                       hwnd, ChildIdMenu(kIconControlId), nullptr);
        if (picture != nullptr)
            SendMessageW(picture, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(icon));
    }
    const int textTop = kMargin + (contentHeight - static_cast<int>(textSize.cy)) / 2;
    HWND label =
        CreateWindowExW(0, u"Static", message.c_str(),
                        WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, kMargin + iconWidth, textTop,
                        textSize.cx, textSize.cy, hwnd, ChildIdMenu(kTextControlId), nullptr);
    if (label != nullptr) SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);

    const UINT defaultIndex =
        std::min<UINT>((type & MB_DEFMASK) >> 8, static_cast<UINT>(buttons.size() - 1));
    HWND defaultButton = nullptr;
    int x = (clientWidth - rowWidth) / 2;
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        const bool isDefault = i == defaultIndex;
        HWND button = CreateWindowExW(
            0, u"Button", buttons[i].text,
            WS_CHILD | WS_VISIBLE | WS_TABSTOP | (isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON), x,
            buttonTop, kButtonWidth, kButtonHeight, hwnd, ChildIdMenu(buttons[i].id), nullptr);
        if (button == nullptr) {
            std::fprintf(stderr, "message box: the Button class is not registered\n");
            box.DestroyWindow();
            return 0;
        }
        SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        if (isDefault) defaultButton = button;
        x += kButtonWidth + kButtonSpacing;
    }
    if (defaultButton != nullptr) SetDialogDefaultId(hwnd, GetDlgCtrlID(defaultButton));

    HWND previousFocus = GetFocus();
    const bool disableOwner = ownOwner && IsWindowEnabled(ownerTop);
    if (disableOwner) EnableWindow(ownerTop, FALSE);
    ShowWindow(hwnd, SW_SHOWNORMAL);
    if (defaultButton != nullptr) SetFocus(defaultButton);

    RunModalLoop(hwnd);
    INT_PTR answer = 0;
    // Ended without an answer (the application quit): what Esc would answer,
    // so that a caller asking again in a loop does not ask for ever.
    if (!IsDialogEnded(hwnd, &answer)) answer = static_cast<INT_PTR>(escape);

    if (disableOwner && IsWindow(ownerTop)) EnableWindow(ownerTop, TRUE);
    if (IsWindow(hwnd)) box.DestroyWindow();
    if (previousFocus != nullptr && IsWindow(previousFocus)) SetFocus(previousFocus);
    return static_cast<int>(answer);
}

int CWnd::MessageBox(const char16_t* text, const char16_t* caption, UINT type) {
    return ::MessageBoxW(m_hWnd, text, caption, type);
}
