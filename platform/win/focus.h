#pragma once
// Keyboard focus. Each thread has at most one window of its own that
// receives the keys typed into that thread's windows.

#include "platform/core/win_types.h"

// Gives the window the focus: WM_KILLFOCUS goes to the window that had it
// (wParam: the new one), then WM_SETFOCUS to the new one (wParam: the old
// one). A null window takes the focus away. Returns the window that had the
// focus; null, changing nothing, for a window of another thread.
HWND SetFocus(HWND hwnd);
// The calling thread's focus window, or null.
HWND GetFocus();
