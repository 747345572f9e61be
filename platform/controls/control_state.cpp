#include "platform/controls/control_state.h"

#include <cstdint>

#include "platform/win/paint.h"

namespace tevorin::controls {

std::optional<LRESULT> HandleTextAndFontMessage(HWND hwnd, HFONT& font, UINT message,
                                                WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SETTEXT: {
            const LRESULT stored = DefWindowProcW(hwnd, message, wParam, lParam);
            InvalidateRect(hwnd, nullptr, TRUE);
            return stored;
        }
        case WM_SETFONT:
            font = reinterpret_cast<HFONT>(wParam);
            if (LOWORD(static_cast<std::uintptr_t>(lParam)) != 0)
                InvalidateRect(hwnd, nullptr, TRUE);
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(font);
        default:
            return std::nullopt;
    }
}

bool RegisterStatefulControlClass(const char16_t* className, WNDPROC procedure) {
    WNDCLASSW windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.cbWndExtra = sizeof(void*);
    windowClass.lpszClassName = className;
    if (RegisterClassW(windowClass)) return true;
    WNDCLASSW existing;
    return GetClassInfoW(className, &existing);
}

}  // namespace tevorin::controls
