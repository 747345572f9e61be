#pragma once
// Invalid areas and WM_PAINT. A window collects the parts of its client area
// that need drawing; when its thread's queue is otherwise empty the message
// loop hands out WM_PAINT for it, parents before children, and only while the
// window and its ancestors are visible.

#include "platform/core/win_types.h"

// rect in client coordinates, null for the whole client area. Children under
// the rectangle become invalid too, since the parent draws over them.
BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase);
BOOL ValidateRect(HWND hwnd, const RECT* rect);
// False when nothing is invalid; rect receives the invalid bounds.
BOOL GetUpdateRect(HWND hwnd, RECT* rect, BOOL erase);
// Paints the window at once, without the queue, when it has an invalid area;
// then its children the same way.
BOOL UpdateWindow(HWND hwnd);

namespace tevorin::win {

// The next window of the calling thread to paint, among filter and its
// children (null: all windows of the thread); null when none.
HWND NextWindowToPaint(HWND filter);
// Takes the invalid state: what BeginPaint validates.
bool TakeInvalidArea(HWND hwnd, RECT* area, bool* erase);

}  // namespace tevorin::win
