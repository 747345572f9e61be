#pragma once
// Device contexts of windows. Every top-level window paints into one
// framebuffer of its own, the size of its client area; a child paints into
// its top-level window's framebuffer, clipped to itself and its ancestors.
// The framebuffer is made when the window first paints, so a window that
// never paints costs no pixels. When a window has finished painting, the
// display backend gets the new image.

#include "platform/core/win_types.h"
#include "platform/gdi/device_context.h"

struct PAINTSTRUCT {
    HDC hdc = nullptr;
    BOOL fErase = FALSE;  // true when WM_ERASEBKGND left the background to the painter
    RECT rcPaint;
    BOOL fRestore = FALSE;
    BOOL fIncUpdate = FALSE;
};

// Takes the invalid area: sends WM_NCPAINT to a framed child, WM_ERASEBKGND
// when the area was invalidated with erase, and returns a context clipped to
// the area. Null for no window.
HDC BeginPaint(HWND hwnd, PAINTSTRUCT* paint);
BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* paint);
// A context of the client area / of the whole window, frame included.
HDC GetDC(HWND hwnd);
HDC GetWindowDC(HWND hwnd);
// Frees the context; what was drawn is shown at once, since hand painting
// may happen while no message loop runs.
int ReleaseDC(HWND hwnd, HDC dc);

namespace tevorin::win {

// Hands the images of this thread's windows that painted since the last call
// to the display backend.
void PresentPaintedWindows();
// Drops the framebuffer of a destroyed top-level window.
void ForgetSurface(int handle);
// Writes a PNG of a top-level window, frame and caption included.
bool SnapshotWindow(HWND window, const std::string& path);

}  // namespace tevorin::win
