// Window values, text and enabling.

#include <algorithm>

#include "platform/win/dispatch.h"
#include "platform/win/message_loop.h"
#include "platform/win/paint.h"
#include "platform/win/remote_windows.h"
#include "platform/win/window.h"
#include "platform/win/window_registry.h"

using namespace tevorin::win;

LONG_PTR GetWindowLongPtrW(HWND hwnd, int index) {
    std::lock_guard lock(RegistryMutex());
    const WindowRecord* record = FindLocked(hwnd);
    if (record == nullptr) return 0;
    switch (index) {
        case GWLP_WNDPROC:
            return reinterpret_cast<LONG_PTR>(record->proc);
        case GWLP_HWNDPARENT:
            return record->parent != 0 ? record->parent : record->owner;
        case GWLP_ID:
            return record->id;
        case GWL_STYLE:
            return static_cast<LONG_PTR>(record->style);
        case GWL_EXSTYLE:
            return static_cast<LONG_PTR>(record->exStyle);
        case GWLP_USERDATA:
            return record->userData;
        default: {
            if (index < 0) return 0;
            auto it = record->extra.find(index);
            return it == record->extra.end() ? 0 : it->second;
        }
    }
}

LONG_PTR SetWindowLongPtrW(HWND hwnd, int index, LONG_PTR value) {
    std::lock_guard lock(RegistryMutex());
    WindowRecord* record = FindLocked(hwnd);
    if (record == nullptr) return 0;
    LONG_PTR previous = 0;
    switch (index) {
        case GWLP_WNDPROC:
            if (value == 0) return 0;  // a window without a procedure could not answer
            previous = reinterpret_cast<LONG_PTR>(record->proc);
            record->proc = reinterpret_cast<WNDPROC>(value);
            break;
        case GWLP_HWNDPARENT:
            previous = record->owner;
            if (record->parent == 0) record->owner = value;
            break;
        case GWLP_ID:
            previous = record->id;
            record->id = value;
            break;
        case GWL_STYLE:
            previous = static_cast<LONG_PTR>(record->style);
            record->style = static_cast<DWORD>(value);
            break;
        case GWL_EXSTYLE:
            previous = static_cast<LONG_PTR>(record->exStyle);
            record->exStyle = static_cast<DWORD>(value);
            break;
        case GWLP_USERDATA:
            previous = record->userData;
            record->userData = value;
            break;
        default:
            if (index < 0) return 0;
            previous = record->extra[index];
            record->extra[index] = value;
            break;
    }
    return previous;
}

LRESULT CallWindowProcW(WNDPROC proc, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return proc == nullptr ? 0 : proc(hwnd, message, wParam, lParam);
}

BOOL SetWindowTextW(HWND hwnd, const char16_t* text) {
    if (!IsWindow(hwnd)) return FALSE;
    return SendMessageW(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text == nullptr ? u"" : text))
               ? TRUE
               : FALSE;
}

std::u16string GetWindowTextString(HWND hwnd) {
    if (IsOwnWindow(hwnd)) {
        const auto length = SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0);
        if (length <= 0) return {};
        std::u16string text(static_cast<std::size_t>(length) + 1, u'\0');
        const auto copied = SendMessageW(hwnd, WM_GETTEXT, static_cast<WPARAM>(text.size()),
                                         reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<std::size_t>(std::clamp<LRESULT>(copied, 0, length)));
        return text;
    }
    {
        std::lock_guard lock(RegistryMutex());
        if (const WindowRecord* record = FindLocked(hwnd)) return record->text;
    }
    std::u16string title;
    RemoteWindows* remote = GetRemoteWindows();
    if (hwnd != nullptr && remote != nullptr && remote->Title(HwndToInt(hwnd), &title))
        return title;
    return {};
}

int GetWindowTextW(HWND hwnd, char16_t* buffer, int maxCount) {
    if (buffer == nullptr || maxCount <= 0) return 0;
    const std::u16string text = GetWindowTextString(hwnd);
    const int count = std::min(static_cast<int>(text.size()), maxCount - 1);
    std::copy_n(text.data(), count, buffer);
    buffer[count] = u'\0';
    return count;
}

int GetWindowTextLengthW(HWND hwnd) {
    if (IsOwnWindow(hwnd)) return static_cast<int>(SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0));
    return static_cast<int>(GetWindowTextString(hwnd).size());
}

BOOL SetDlgItemTextW(HWND dialog, int id, const char16_t* text) {
    HWND item = GetDlgItem(dialog, id);
    return item == nullptr ? FALSE : SetWindowTextW(item, text);
}

BOOL EnableWindow(HWND hwnd, BOOL enable) {
    bool wasDisabled = false;
    bool changed = false;
    {
        std::lock_guard lock(RegistryMutex());
        WindowRecord* record = FindLocked(hwnd);
        if (record == nullptr) return FALSE;
        wasDisabled = (record->style & WS_DISABLED) != 0;
        changed = wasDisabled == static_cast<bool>(enable);
        if (enable)
            record->style &= ~WS_DISABLED;
        else
            record->style |= WS_DISABLED;
    }
    if (changed) {
        SendMessageW(hwnd, WM_ENABLE, enable ? TRUE : FALSE, 0);
        InvalidateRect(hwnd, nullptr, TRUE);
    }
    return wasDisabled ? TRUE : FALSE;
}

BOOL IsWindowEnabled(HWND hwnd) {
    std::lock_guard lock(RegistryMutex());
    const WindowRecord* record = FindLocked(hwnd);
    return record != nullptr && (record->style & WS_DISABLED) == 0 ? TRUE : FALSE;
}
