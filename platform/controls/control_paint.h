#pragma once
// The paint cycle the controls share: WM_PAINT and WM_PRINTCLIENT with a
// device context in wParam paint into that context; WM_PAINT without one
// paints the window's invalid area through BeginPaint and EndPaint.

#include <functional>

#include "platform/core/win_types.h"
#include "platform/gdi/device_context.h"

namespace tevorin::controls {

// paint(dc, clip) draws the part of the client area inside clip (client
// coordinates).
using ClientPainter = std::function<void(HDC dc, const RECT& clip)>;

void PaintClient(HWND hwnd, WPARAM givenDc, const ClientPainter& paint);

}  // namespace tevorin::controls
