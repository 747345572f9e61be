#include <algorithm>

#include "platform/win/message_loop.h"
#include "platform/win/paint.h"
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
            return 0;
        default:
            return 0;
    }
}
