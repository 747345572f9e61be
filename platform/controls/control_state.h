#pragma once
// Controls whose state is a heap object kept in the window's first extra
// slot: made on WM_NCCREATE, deleted on WM_NCDESTROY, handed to the
// control's own message handler in between.

#include <optional>

#include "platform/gdi/gdi_objects.h"
#include "platform/win/window.h"

namespace tevorin::controls {

inline constexpr int kControlStateSlot = 0;

template <class State>
State* ControlStateOf(HWND hwnd) {
    return reinterpret_cast<State*>(GetWindowLongPtrW(hwnd, kControlStateSlot));
}

template <class State, LRESULT (*Handle)(HWND, State&, UINT, WPARAM, LPARAM)>
LRESULT StatefulControlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        SetWindowLongPtrW(hwnd, kControlStateSlot, reinterpret_cast<LONG_PTR>(new State));
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    State* state = ControlStateOf<State>(hwnd);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, kControlStateSlot, 0);
        delete state;
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    if (state == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
    return Handle(hwnd, *state, message, wParam, lParam);
}

// The text and font messages that simple controls answer alike: a new text
// or font repaints, the font is kept in `font`. Empty for other messages.
std::optional<LRESULT> HandleTextAndFontMessage(HWND hwnd, HFONT& font, UINT message,
                                                WPARAM wParam, LPARAM lParam);

// Registers the class with one pointer of extra window memory; true also when
// it was registered before.
bool RegisterStatefulControlClass(const char16_t* className, WNDPROC procedure);

}  // namespace tevorin::controls
