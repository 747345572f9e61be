#include "platform/win/focus.h"

#include <array>

#include "platform/win/dispatch.h"
#include "platform/win/message_loop.h"
#include "platform/win/window.h"

namespace {

thread_local HWND t_focus = nullptr;
thread_local std::array<bool, 256> t_keysDown{};

}  // namespace

HWND SetFocus(HWND hwnd) {
    HWND previous = GetFocus();
    if (hwnd != nullptr && (!IsWindow(hwnd) || !tevorin::win::IsOwnWindow(hwnd))) return nullptr;
    if (hwnd == previous) return previous;
    t_focus = hwnd;
    if (previous != nullptr)
        SendMessageW(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
    // The old window's handler may have moved the focus on; it wins.
    if (hwnd != nullptr && t_focus == hwnd)
        SendMessageW(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
    return previous;
}

HWND GetFocus() {
    if (t_focus != nullptr && !IsWindow(t_focus)) t_focus = nullptr;
    return t_focus;
}

short GetKeyState(int virtualKey) {
    if (virtualKey < 0 || virtualKey >= static_cast<int>(t_keysDown.size())) return 0;
    return t_keysDown[static_cast<std::size_t>(virtualKey)] ? static_cast<short>(0x8000) : 0;
}

namespace tevorin::win {

void NoteKeyboardMessage(UINT message, WPARAM wParam) {
    if (message != WM_KEYDOWN && message != WM_KEYUP) return;
    if (wParam >= t_keysDown.size()) return;
    t_keysDown[wParam] = message == WM_KEYDOWN;
}

}  // namespace tevorin::win
