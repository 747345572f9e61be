#include "tools/main/main_window_paint.h"

#include "platform/win/paint.h"

namespace main_stand_in {

void PaintMainWindow(HWND hwnd, DWORD /*version*/) {
    // FIXME: draw "Tevorin" and "Version <HEX>" once windows have device
    // contexts; until then the invalid area is only taken.
    ValidateRect(hwnd, nullptr);
}

}  // namespace main_stand_in
