// Showing, hiding and minimising.

#include "platform/win/dispatch.h"
#include "platform/win/message_loop.h"
#include "platform/win/paint.h"
#include "platform/win/remote_windows.h"
#include "platform/win/window.h"
#include "platform/win/window_observers.h"
#include "platform/win/window_registry.h"

using namespace tevorin::win;

namespace {

BOOL ShowOwnWindow(HWND hwnd, int command) {
    bool wasVisible = false;
    bool wasIconic = false;
    bool topLevel = false;
    int parent = 0;
    RECT rect;
    {
        std::lock_guard lock(RegistryMutex());
        const WindowRecord* record = FindLocked(hwnd);
        if (record == nullptr) return FALSE;
        wasVisible = (record->style & WS_VISIBLE) != 0;
        wasIconic = (record->style & WS_MINIMIZE) != 0;
        topLevel = record->parent == 0;
        parent = record->parent;
        rect = record->rect;
    }
    const bool show = command != SW_HIDE;
    bool iconic = wasIconic;
    switch (command) {
        case SW_SHOWMINIMIZED:
        case SW_MINIMIZE:
        case SW_SHOWMINNOACTIVE:
            iconic = true;
            break;
        case SW_SHOWNORMAL:
        case SW_SHOWMAXIMIZED:
        case SW_RESTORE:
            iconic = false;
            break;
        default:
            break;
    }
    if (show != wasVisible) SendMessageW(hwnd, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
    {
        std::lock_guard lock(RegistryMutex());
        WindowRecord* record = FindLocked(hwnd);
        if (record == nullptr) return wasVisible ? TRUE : FALSE;
        record->style = show ? (record->style | WS_VISIBLE) : (record->style & ~WS_VISIBLE);
        record->style = iconic ? (record->style | WS_MINIMIZE) : (record->style & ~WS_MINIMIZE);
    }
    if (iconic != wasIconic) {
        RECT client;
        GetClientRect(hwnd, &client);
        SendMessageW(hwnd, WM_SIZE, iconic ? SIZE_MINIMIZED : SIZE_RESTORED,
                     MAKELPARAM(static_cast<WORD>(client.right), static_cast<WORD>(client.bottom)));
    }
    if (show && (!wasVisible || iconic != wasIconic)) InvalidateRect(hwnd, nullptr, TRUE);
    if (!show && wasVisible && parent != 0) InvalidateRect(HwndFromInt(parent), &rect, TRUE);
    if (topLevel && (show != wasVisible || iconic != wasIconic))
        NotifyTopLevelChanged(HwndToInt(hwnd));
    return wasVisible ? TRUE : FALSE;
}

}  // namespace

BOOL ShowWindow(HWND hwnd, int command) {
    if (hwnd == nullptr) return FALSE;
    if (IsOwnWindow(hwnd)) return ShowOwnWindow(hwnd, command);
    if (FindRecord(hwnd) != nullptr)
        return static_cast<BOOL>(RunOnWindowThread(
            hwnd, [=] { return static_cast<LRESULT>(ShowOwnWindow(hwnd, command)); }, FALSE));
    RemoteWindows* remote = GetRemoteWindows();
    bool wasVisible = false;
    if (remote != nullptr && remote->Show(HwndToInt(hwnd), command, &wasVisible))
        return wasVisible ? TRUE : FALSE;
    return FALSE;
}

BOOL IsWindowVisible(HWND hwnd) {
    {
        std::lock_guard lock(RegistryMutex());
        if (const WindowRecord* record = FindLocked(hwnd))
            return IsVisibleChainLocked(*record) ? TRUE : FALSE;
    }
    RemoteWindows* remote = GetRemoteWindows();
    bool visible = false;
    bool iconic = false;
    return hwnd != nullptr && remote != nullptr &&
                   remote->Visible(HwndToInt(hwnd), &visible, &iconic) && visible
               ? TRUE
               : FALSE;
}

BOOL IsIconic(HWND hwnd) {
    {
        std::lock_guard lock(RegistryMutex());
        if (const WindowRecord* record = FindLocked(hwnd))
            return (record->style & WS_MINIMIZE) != 0 ? TRUE : FALSE;
    }
    RemoteWindows* remote = GetRemoteWindows();
    bool visible = false;
    bool iconic = false;
    return hwnd != nullptr && remote != nullptr &&
                   remote->Visible(HwndToInt(hwnd), &visible, &iconic) && iconic
               ? TRUE
               : FALSE;
}
