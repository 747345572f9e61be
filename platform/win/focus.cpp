#include "platform/win/focus.h"

#include "platform/win/dispatch.h"
#include "platform/win/message_loop.h"
#include "platform/win/window.h"

using namespace tevorin::win;

namespace {

thread_local HWND t_focus = nullptr;

}  // namespace

HWND GetFocus() {
    // A destroyed window loses the focus without a message.
    if (t_focus != nullptr && !IsOwnWindow(t_focus)) t_focus = nullptr;
    return t_focus;
}

HWND SetFocus(HWND hwnd) {
    if (hwnd != nullptr && !IsOwnWindow(hwnd)) return nullptr;
    const HWND previous = GetFocus();
    if (previous == hwnd) return previous;
    t_focus = hwnd;
    if (previous != nullptr)
        SendMessageW(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
    // The old window's handler may have moved the focus on already.
    if (hwnd != nullptr && t_focus == hwnd)
        SendMessageW(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
    return previous;
}
