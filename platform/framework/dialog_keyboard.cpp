// Keyboard handling of dialogs: Tab and Shift+Tab between tab stops, Enter
// for the default push button, Esc for Cancel.

#include <vector>

#include "platform/framework/dialog.h"
#include "platform/framework/dialog_window.h"
#include "platform/win/dialog_messages.h"
#include "platform/win/focus.h"

using namespace tevorin::framework;

namespace {

bool IsInside(HWND dialog, HWND hwnd) {
    return hwnd != nullptr && (hwnd == dialog || IsChild(dialog, hwnd));
}

DWORD StyleOf(HWND hwnd) {
    return static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE));
}

// Tab stops in tab order: the dialog's children in creation order, and the
// controls of child dialogs (pages) where such a child sits.
void CollectTabStops(HWND parent, std::vector<HWND>* stops) {
    for (HWND child = GetFirstChild(parent); child != nullptr; child = GetNextSibling(child)) {
        // The window's own bits: a dialog that is not shown yet still has tab stops.
        const DWORD style = StyleOf(child);
        if ((style & WS_VISIBLE) == 0 || (style & WS_DISABLED) != 0) continue;
        if (IsDialogWindow(child) ||
            (GetWindowLongPtrW(child, GWL_EXSTYLE) & WS_EX_CONTROLPARENT) != 0) {
            CollectTabStops(child, stops);
        } else if ((style & WS_TABSTOP) != 0) {
            stops->push_back(child);
        }
    }
}

LRESULT DialogCode(HWND control, MSG* msg) {
    return control == nullptr
               ? 0
               : SendMessageW(control, WM_GETDLGCODE, msg->wParam, reinterpret_cast<LPARAM>(msg));
}

void SendCommand(HWND dialog, int id, HWND control) {
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), BN_CLICKED),
                 reinterpret_cast<LPARAM>(control));
}

// The dialog whose default button and Cancel the keys mean: the outermost
// dialog that holds the control (pages are dialogs inside the wizard).
HWND OutermostDialog(HWND dialog) {
    HWND outer = dialog;
    for (HWND up = GetParent(dialog); up != nullptr && (StyleOf(outer) & WS_CHILD) != 0;
         up = GetParent(up)) {
        if (IsDialogWindow(up)) outer = up;
    }
    return outer;
}

void PressEnter(HWND dialog, HWND focus, LRESULT code) {
    if ((code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) != 0 && IsWindowEnabled(focus)) {
        SendCommand(GetParent(focus), GetDlgCtrlID(focus), focus);
        return;
    }
    const int defaultId = GetDialogDefaultId(dialog);
    const int id = defaultId != 0 ? defaultId : IDOK;
    HWND button = GetDlgItem(dialog, id);
    if (button != nullptr && (!IsWindowEnabled(button) || !IsWindowVisible(button))) return;
    SendCommand(dialog, id, button);
}

void PressEscape(HWND dialog) {
    HWND cancel = GetDlgItem(dialog, IDCANCEL);
    if (cancel != nullptr && !IsWindowEnabled(cancel)) return;
    SendCommand(dialog, IDCANCEL, cancel);
}

}  // namespace

HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous) {
    std::vector<HWND> stops;
    CollectTabStops(dialog, &stops);
    if (stops.empty()) return nullptr;
    std::size_t at = stops.size();
    for (std::size_t i = 0; i < stops.size(); ++i)
        if (stops[i] == control) at = i;
    if (at == stops.size()) return previous ? stops.back() : stops.front();
    const std::size_t next =
        previous ? (at + stops.size() - 1) % stops.size() : (at + 1) % stops.size();
    return stops[next];
}

BOOL IsDialogMessageW(HWND dialog, MSG* msg) {
    if (msg == nullptr || dialog == nullptr || !IsInside(dialog, msg->hwnd)) return FALSE;
    dialog = OutermostDialog(dialog);
    HWND focus = GetFocus();
    if (!IsInside(dialog, focus)) focus = nullptr;
    HWND target = focus != nullptr ? focus : msg->hwnd;
    if (msg->message == WM_KEYDOWN) {
        const LRESULT code = target == dialog ? 0 : DialogCode(target, msg);
        if ((code & DLGC_WANTMESSAGE) != 0) return FALSE;
        switch (msg->wParam) {
            case VK_TAB: {
                if ((code & DLGC_WANTTAB) != 0) return FALSE;
                const bool back = GetKeyState(static_cast<int>(VK_SHIFT)) < 0;
                if (HWND next = GetNextDlgTabItem(dialog, focus, back ? TRUE : FALSE))
                    SetFocus(next);
                return TRUE;
            }
            case VK_RETURN:
                PressEnter(dialog, focus, code);
                return TRUE;
            case VK_ESCAPE:
                PressEscape(dialog);
                return TRUE;
            default:
                return FALSE;
        }
    }
    // The characters of the keys handled above must not reach the control.
    if (msg->message == WM_CHAR &&
        (msg->wParam == u'\t' || msg->wParam == u'\r' || msg->wParam == 0x1B)) {
        const LRESULT code = target == dialog ? 0 : DialogCode(target, msg);
        const LRESULT wants =
            msg->wParam == u'\t' ? (DLGC_WANTMESSAGE | DLGC_WANTTAB) : DLGC_WANTMESSAGE;
        return (code & wants) != 0 ? FALSE : TRUE;
    }
    return FALSE;
}
