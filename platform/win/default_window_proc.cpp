#include <algorithm>

#include "platform/gdi/system_palette.h"
#include "platform/win/message_loop.h"
#include "platform/win/paint.h"
#include "platform/win/painting.h"
#include "platform/win/window.h"
#include "platform/win/window_observers.h"
#include "platform/win/window_registry.h"

using namespace tevorin::win;

namespace {

std::size_t BoundedLength(const char16_t* text) {
    // Window titles are short; a missing terminator must not run away.
    constexpr std::size_t kLimit = 1u << 20;
    std::size_t length = 0;
    while (length < kLimit && text[length] != 0) ++length;
    return length;
}

LRESULT StoreText(HWND hwnd, const char16_t* text) {
    bool topLevel = false;
    {
        std::lock_guard lock(RegistryMutex());
        WindowRecord* record = FindLocked(hwnd);
        if (record == nullptr) return FALSE;
        record->text =
            text == nullptr ? std::u16string() : std::u16string(text, BoundedLength(text));
        topLevel = record->parent == 0;
    }
    if (topLevel) NotifyTopLevelChanged(HwndToInt(hwnd));
    return TRUE;
}

LRESULT CopyText(HWND hwnd, WPARAM capacity, char16_t* buffer) {
    if (buffer == nullptr || capacity == 0) return 0;
    std::lock_guard lock(RegistryMutex());
    const WindowRecord* record = FindLocked(hwnd);
    if (record == nullptr) {
        buffer[0] = 0;
        return 0;
    }
    const std::size_t count = std::min<std::size_t>(record->text.size(), capacity - 1);
    std::copy_n(record->text.data(), count, buffer);
    buffer[count] = 0;
    return static_cast<LRESULT>(count);
}

LRESULT EraseWithClassBrush(HWND hwnd, HDC dc) {
    WNDCLASSW info;
    const std::u16string className = GetClassNameString(hwnd);
    if (dc == nullptr || !GetClassInfoW(className.c_str(), &info) || info.hbrBackground == nullptr)
        return 0;
    RECT client;
    GetClientRect(hwnd, &client);
    FillRect(dc, &client, info.hbrBackground);
    return 1;
}

// The border that WS_BORDER and the edge styles give a child window.
void DrawStandardFrame(HWND hwnd) {
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_EXSTYLE));
    if ((style & WS_CHILD) == 0) return;  // top-level frames are the display's
    HDC dc = GetWindowDC(hwnd);
    if (dc == nullptr) return;
    RECT window;
    GetWindowRect(hwnd, &window);
    RECT rect{0, 0, window.Width(), window.Height()};
    if ((exStyle & WS_EX_CLIENTEDGE) != 0) DrawEdge(dc, &rect, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    if ((exStyle & WS_EX_STATICEDGE) != 0) {
        Draw3dRect(dc, rect, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT));
        rect = RECT{rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1};
    }
    if ((style & WS_BORDER) != 0 && (style & WS_CAPTION) != WS_CAPTION)
        Draw3dRect(dc, rect, GetSysColor(COLOR_WINDOWFRAME), GetSysColor(COLOR_WINDOWFRAME));
    delete dc;  // no ReleaseDC: the caller's paint cycle presents the result
}

LRESULT DefaultControlColors(UINT message, HDC dc) {
    const bool editLike = message == WM_CTLCOLOREDIT || message == WM_CTLCOLORLISTBOX;
    const int background = editLike ? COLOR_WINDOW : COLOR_BTNFACE;
    SetTextColor(dc, GetSysColor(editLike ? COLOR_WINDOWTEXT : COLOR_BTNTEXT));
    SetBkColor(dc, GetSysColor(background));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(background));
}

}  // namespace

LRESULT DefWindowProcW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_NCCREATE:
            return TRUE;
        case WM_SETTEXT:
            return StoreText(hwnd, reinterpret_cast<const char16_t*>(lParam));
        case WM_GETTEXT:
            return CopyText(hwnd, wParam, reinterpret_cast<char16_t*>(lParam));
        case WM_GETTEXTLENGTH: {
            std::lock_guard lock(RegistryMutex());
            const WindowRecord* record = FindLocked(hwnd);
            return record == nullptr ? 0 : static_cast<LRESULT>(record->text.size());
        }
        case WM_CLOSE:
            DestroyWindow(hwnd);
            return 0;
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == SC_CLOSE) SendMessageW(hwnd, WM_CLOSE, 0, 0);
            return 0;
        case WM_PAINT:
            ValidateRect(hwnd, nullptr);
            return 0;
        case WM_ERASEBKGND:
            return EraseWithClassBrush(hwnd, reinterpret_cast<HDC>(wParam));
        case WM_NCPAINT:
            DrawStandardFrame(hwnd);
            return 0;
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
            return DefaultControlColors(message, reinterpret_cast<HDC>(wParam));
        default:
            return 0;
    }
}
