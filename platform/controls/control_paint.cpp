#include "platform/controls/control_paint.h"

#include "platform/win/painting.h"
#include "platform/win/window.h"

namespace tevorin::controls {

void PaintClient(HWND hwnd, WPARAM givenDc, const ClientPainter& paint) {
    if (givenDc != 0) {
        HDC dc = reinterpret_cast<HDC>(givenDc);
        RECT clip;
        if (GetClipBox(dc, &clip) == ERROR || clip.IsEmpty()) return;
        paint(dc, clip);
        return;
    }
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    if (dc == nullptr) return;
    if (!ps.rcPaint.IsEmpty()) paint(dc, ps.rcPaint);
    EndPaint(hwnd, &ps);
}

}  // namespace tevorin::controls
