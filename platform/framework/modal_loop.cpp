#include "platform/framework/modal_loop.h"

#include "platform/framework/dialog.h"
#include "platform/framework/dialog_window.h"
#include "platform/framework/win_app.h"

namespace tevorin::framework {

namespace {

bool IsInput(UINT message) {
    return (message >= WM_KEYDOWN && message <= WM_CHAR) ||
           (message >= WM_MOUSEMOVE && message <= WM_MOUSEWHEEL);
}

// A user cannot reach a disabled window, nor anything inside one.
bool TargetsDisabledWindow(const MSG& msg) {
    for (HWND hwnd = msg.hwnd; hwnd != nullptr; hwnd = GetParent(hwnd)) {
        if (!IsWindowEnabled(hwnd)) return true;
        if ((GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CHILD) == 0) break;
    }
    return false;
}

}  // namespace

void PumpMessage(MSG* msg) {
    if (CWinApp* app = AfxGetApp()) {
        if (app->PreTranslateMessage(msg)) return;
    } else {
        for (HWND hwnd = msg->hwnd; hwnd != nullptr; hwnd = GetParent(hwnd)) {
            if (CWnd* wnd = CWnd::FromHandlePermanent(hwnd); wnd && wnd->PreTranslateMessage(msg))
                return;
            if ((GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CHILD) == 0) break;
        }
    }
    TranslateMessage(msg);
    DispatchMessageW(msg);
}

bool RunModalLoop(HWND modal) {
    MSG msg;
    while (IsWindow(modal) && !IsDialogEnded(modal, nullptr)) {
        if (!PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) CWnd::DeleteTempMap();  // idle
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        if (got < 0) return true;
        if (msg.hwnd != nullptr && IsInput(msg.message) && TargetsDisabledWindow(msg)) continue;
        // The modal window's own keys first, whatever object is attached to it.
        if (msg.hwnd != nullptr && IsDialogMessageW(modal, &msg)) continue;
        PumpMessage(&msg);
    }
    return true;
}

}  // namespace tevorin::framework
