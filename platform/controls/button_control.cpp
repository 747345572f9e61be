#include "platform/controls/button_control.h"

#include "platform/controls/common_controls.h"
#include "platform/controls/control_paint.h"
#include "platform/controls/control_state.h"
#include "platform/controls/list_view_state.h"
#include "platform/gdi/system_palette.h"
#include "platform/gdi/text_drawing.h"
#include "platform/win/dialog_messages.h"
#include "platform/win/focus.h"
#include "platform/win/message_loop.h"
#include "platform/win/paint.h"
#include "platform/win/window.h"

namespace tevorin::controls {

namespace {

struct ButtonState {
    HFONT font = nullptr;
    bool pressed = false;   // drawn sunk
    bool tracking = false;  // the mouse button went down on it and is still down
    bool spaceDown = false;
    bool focused = false;
};

ButtonState* StateOf(HWND hwnd) { return ControlStateOf<ButtonState>(hwnd); }

DWORD StyleOf(HWND hwnd) {
    return static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE));
}

bool IsDefault(HWND hwnd) {
    return (StyleOf(hwnd) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
}

void DrawFocusDots(HDC dc, const RECT& rect) {
    const COLORREF colour = GetSysColor(COLOR_BTNTEXT);
    for (int x = rect.left; x < rect.right; x += 2) {
        SetPixel(dc, x, rect.top, colour);
        SetPixel(dc, x, rect.bottom - 1, colour);
    }
    for (int y = rect.top; y < rect.bottom; y += 2) {
        SetPixel(dc, rect.left, y, colour);
        SetPixel(dc, rect.right - 1, y, colour);
    }
}

void PaintButton(HWND hwnd, const ButtonState& state, HDC dc) {
    RECT rect;
    GetClientRect(hwnd, &rect);
    FillRect(dc, &rect, GetSysColorBrush(COLOR_BTNFACE));
    if (IsDefault(hwnd)) {
        FrameRect(dc, &rect, GetSysColorBrush(COLOR_WINDOWFRAME));
        rect = RECT{rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1};
    }
    if (state.pressed) {
        FrameRect(dc, &rect, GetSysColorBrush(COLOR_BTNSHADOW));
    } else {
        RECT edge = rect;
        DrawEdge(dc, &edge, EDGE_RAISED, BF_RECT);
    }
    const HGDIOBJ previousFont = SelectObject(dc, FontOrDefault(state.font));
    SetBkMode(dc, TRANSPARENT);
    RECT textArea{rect.left + 2, rect.top + 2, rect.right - 2, rect.bottom - 2};
    if (state.pressed)
        textArea =
            RECT{textArea.left + 1, textArea.top + 1, textArea.right + 1, textArea.bottom + 1};
    const std::u16string text = GetWindowTextString(hwnd);
    constexpr UINT kFormat = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    if (IsWindowEnabled(hwnd)) {
        SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
        RECT area = textArea;
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area, kFormat);
    } else {
        // Engraved: a white copy one pixel down and right under the grey text.
        RECT shadow{textArea.left + 1, textArea.top + 1, textArea.right + 1, textArea.bottom + 1};
        SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &shadow, kFormat);
        SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
        RECT area = textArea;
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area, kFormat);
    }
    SelectObject(dc, previousFont);
    if (state.focused)
        DrawFocusDots(dc, RECT{rect.left + 3, rect.top + 3, rect.right - 3, rect.bottom - 3});
}

void SetPressed(HWND hwnd, ButtonState& state, bool pressed) {
    if (state.pressed == pressed) return;
    state.pressed = pressed;
    InvalidateRect(hwnd, nullptr, TRUE);
}

// The parent may destroy the button while it handles the click, so the
// state is settled before the notification and not touched after it.
void NotifyClicked(HWND hwnd) {
    HWND parent = GetParent(hwnd);
    if (parent == nullptr) return;
    SendMessageW(parent, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID(hwnd)), BN_CLICKED),
                 reinterpret_cast<LPARAM>(hwnd));
}

bool ContainsPoint(HWND hwnd, LPARAM lParam) {
    RECT client;
    GetClientRect(hwnd, &client);
    const int x = static_cast<std::int16_t>(LOWORD(static_cast<std::uintptr_t>(lParam)));
    const int y = static_cast<std::int16_t>(HIWORD(static_cast<std::uintptr_t>(lParam)));
    return x >= client.left && x < client.right && y >= client.top && y < client.bottom;
}

LRESULT HandleButtonMessage(HWND hwnd, ButtonState& state, UINT message, WPARAM wParam,
                            LPARAM lParam) {
    if (auto answered = HandleTextAndFontMessage(hwnd, state.font, message, wParam, lParam))
        return *answered;
    switch (message) {
        case WM_PAINT:
        case WM_PRINTCLIENT:
            PaintClient(hwnd, wParam, [&](HDC dc, const RECT&) { PaintButton(hwnd, state, dc); });
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_ENABLE:
            state.tracking = state.spaceDown = false;
            state.pressed = false;
            InvalidateRect(hwnd, nullptr, TRUE);
            return 0;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            state.focused = message == WM_SETFOCUS;
            if (!state.focused) {
                state.tracking = state.spaceDown = false;
                state.pressed = false;
            }
            InvalidateRect(hwnd, nullptr, TRUE);
            return 0;
        case WM_LBUTTONDOWN:
            if (!IsWindowEnabled(hwnd)) return 0;
            if (GetFocus() != hwnd) SetFocus(hwnd);
            if (!IsWindow(hwnd)) return 0;
            state.tracking = true;
            SetPressed(hwnd, state, true);
            return 0;
        case WM_MOUSEMOVE:
            if (state.tracking) SetPressed(hwnd, state, ContainsPoint(hwnd, lParam));
            return 0;
        case WM_LBUTTONUP: {
            const bool click = state.tracking && ContainsPoint(hwnd, lParam);
            state.tracking = false;
            SetPressed(hwnd, state, false);
            if (click) NotifyClicked(hwnd);
            return 0;
        }
        case WM_KEYDOWN:
            if (wParam == VK_SPACE && IsWindowEnabled(hwnd)) {
                state.spaceDown = true;
                SetPressed(hwnd, state, true);
            }
            return 0;
        case WM_KEYUP:
            if (wParam == VK_SPACE && state.spaceDown) {
                state.spaceDown = false;
                SetPressed(hwnd, state, false);
                NotifyClicked(hwnd);
            }
            return 0;
        case BM_CLICK:
            // What the mouse would do; a disabled or hidden button ignores it.
            if (IsWindowEnabled(hwnd) && IsWindowVisible(hwnd)) NotifyClicked(hwnd);
            return 0;
        case BM_SETSTATE:
            SetPressed(hwnd, state, wParam != 0);
            return 0;
        case BM_GETSTATE:
            return static_cast<LRESULT>((state.pressed ? BST_PUSHED : 0u) |
                                        (state.focused ? BST_FOCUS : 0u));
        case BM_SETSTYLE: {
            const DWORD style = StyleOf(hwnd);
            const DWORD updated = (style & ~0xFFFFu) | (static_cast<DWORD>(wParam) & 0xFFFFu);
            SetWindowLongPtrW(hwnd, GWL_STYLE, static_cast<LONG_PTR>(updated));
            if (lParam != 0) InvalidateRect(hwnd, nullptr, TRUE);
            return 0;
        }
        case BM_GETCHECK:
            return BST_UNCHECKED;
        case WM_GETDLGCODE:
            return DLGC_BUTTON | (IsDefault(hwnd) ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
        default:
            return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

}  // namespace

bool RegisterButtonClass() {
    return RegisterStatefulControlClass(
        WC_BUTTONW, &StatefulControlProc<ButtonState, &HandleButtonMessage>);
}

}  // namespace tevorin::controls
