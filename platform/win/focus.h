#pragma once
// Keyboard focus and key state. Each thread has its own focus window, as
// each thread has its own queue: keyboard messages of a thread go to its
// focus window. Key state follows the keyboard messages the thread has taken
// from its queue, so a dialog sees Shift held when Tab arrives.

#include "platform/core/win_types.h"

// Gives the focus to a window of the calling thread (null takes it away):
// WM_KILLFOCUS to the window that had it, then WM_SETFOCUS to the new one.
// Returns the window that had the focus; null and nothing changes for a
// handle of another thread or no window.
HWND SetFocus(HWND hwnd);
// The calling thread's focus window; null when it has none or it was destroyed.
HWND GetFocus();

// High bit set (a negative value) while the key is down.
short GetKeyState(int virtualKey);

namespace tevorin::win {

// Called for every keyboard message the thread takes from its queue.
void NoteKeyboardMessage(UINT message, WPARAM wParam);

}  // namespace tevorin::win
