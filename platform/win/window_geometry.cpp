// Rectangles, coordinates and moving.

#include "platform/win/dispatch.h"
#include "platform/win/message_loop.h"
#include "platform/win/paint.h"
#include "platform/win/remote_windows.h"
#include "platform/win/window.h"
#include "platform/win/window_observers.h"
#include "platform/win/window_registry.h"

using namespace tevorin::win;

BOOL GetWindowRect(HWND hwnd, RECT* rect) {
    if (rect == nullptr) return FALSE;
    {
        std::lock_guard lock(RegistryMutex());
        if (const WindowRecord* record = FindLocked(hwnd)) {
            *rect = WindowScreenRectLocked(*record);
            return TRUE;
        }
    }
    RemoteWindows* remote = GetRemoteWindows();
    return hwnd != nullptr && remote != nullptr && remote->Rect(HwndToInt(hwnd), rect) ? TRUE
                                                                                       : FALSE;
}

BOOL GetClientRect(HWND hwnd, RECT* rect) {
    if (rect == nullptr) return FALSE;
    std::lock_guard lock(RegistryMutex());
    const WindowRecord* record = FindLocked(hwnd);
    if (record == nullptr) return FALSE;
    *rect = ClientRectLocked(*record);
    return TRUE;
}

BOOL ScreenToClient(HWND hwnd, POINT* point) {
    if (point == nullptr) return FALSE;
    std::lock_guard lock(RegistryMutex());
    const WindowRecord* record = FindLocked(hwnd);
    if (record == nullptr) return FALSE;
    const POINT origin = ClientOriginLocked(*record);
    point->x -= origin.x;
    point->y -= origin.y;
    return TRUE;
}

BOOL ClientToScreen(HWND hwnd, POINT* point) {
    if (point == nullptr) return FALSE;
    std::lock_guard lock(RegistryMutex());
    const WindowRecord* record = FindLocked(hwnd);
    if (record == nullptr) return FALSE;
    const POINT origin = ClientOriginLocked(*record);
    point->x += origin.x;
    point->y += origin.y;
    return TRUE;
}

int MapWindowPoints(HWND from, HWND to, POINT* points, UINT count) {
    POINT shift;
    {
        std::lock_guard lock(RegistryMutex());
        POINT fromOrigin;
        POINT toOrigin;
        if (from != nullptr && from != GetDesktopWindow()) {
            const WindowRecord* record = FindLocked(from);
            if (record == nullptr) return 0;
            fromOrigin = ClientOriginLocked(*record);
        }
        if (to != nullptr && to != GetDesktopWindow()) {
            const WindowRecord* record = FindLocked(to);
            if (record == nullptr) return 0;
            toOrigin = ClientOriginLocked(*record);
        }
        shift = POINT{fromOrigin.x - toOrigin.x, fromOrigin.y - toOrigin.y};
    }
    for (UINT i = 0; points != nullptr && i < count; ++i) {
        points[i].x += shift.x;
        points[i].y += shift.y;
    }
    return static_cast<int>(MAKELPARAM(static_cast<WORD>(shift.x), static_cast<WORD>(shift.y)));
}

BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int width, int height, UINT flags) {
    if (!IsOwnWindow(hwnd)) {
        if (!IsWindow(hwnd)) return FALSE;
        return static_cast<BOOL>(RunOnWindowThread(
            hwnd,
            [=] {
                return static_cast<LRESULT>(
                    SetWindowPos(hwnd, insertAfter, x, y, width, height, flags));
            },
            FALSE));
    }
    RECT before;
    RECT after;
    bool topLevel = false;
    int parent = 0;
    bool visible = false;
    bool topmostChanged = false;
    {
        std::lock_guard lock(RegistryMutex());
        WindowRecord* record = FindLocked(hwnd);
        if (record == nullptr) return FALSE;
        before = record->rect;
        after = before;
        if ((flags & SWP_NOMOVE) == 0) {
            after.right = x + before.Width();
            after.bottom = y + before.Height();
            after.left = x;
            after.top = y;
        }
        if ((flags & SWP_NOSIZE) == 0) {
            after.right = after.left + std::max(0, width);
            after.bottom = after.top + std::max(0, height);
        }
        record->rect = after;
        if ((flags & SWP_NOZORDER) == 0) {
            const DWORD exStyle = record->exStyle;
            if (insertAfter == HWND_TOPMOST) record->exStyle |= WS_EX_TOPMOST;
            if (insertAfter == HWND_NOTOPMOST) record->exStyle &= ~WS_EX_TOPMOST;
            topmostChanged = exStyle != record->exStyle;
        }
        topLevel = record->parent == 0;
        parent = record->parent;
        visible = (record->style & WS_VISIBLE) != 0;
    }
    const bool moved = before.left != after.left || before.top != after.top;
    const bool resized = before.Width() != after.Width() || before.Height() != after.Height();
    if (moved)
        SendMessageW(hwnd, WM_MOVE, 0,
                     MAKELPARAM(static_cast<WORD>(after.left), static_cast<WORD>(after.top)));
    if (resized) {
        RECT client;
        GetClientRect(hwnd, &client);
        SendMessageW(hwnd, WM_SIZE, SIZE_RESTORED,
                     MAKELPARAM(static_cast<WORD>(client.right), static_cast<WORD>(client.bottom)));
    }
    if ((moved || resized || (flags & SWP_FRAMECHANGED) != 0) && (flags & SWP_NOREDRAW) == 0 &&
        visible) {
        if (parent != 0) InvalidateRect(HwndFromInt(parent), &before, TRUE);
        InvalidateRect(hwnd, nullptr, TRUE);
    }
    if ((flags & SWP_SHOWWINDOW) != 0) ShowWindow(hwnd, SW_SHOWNA);
    if ((flags & SWP_HIDEWINDOW) != 0) ShowWindow(hwnd, SW_HIDE);
    if (topLevel && (moved || resized || topmostChanged)) NotifyTopLevelChanged(HwndToInt(hwnd));
    return TRUE;
}

BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint) {
    return SetWindowPos(hwnd, nullptr, x, y, width, height,
                        SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0u : SWP_NOREDRAW));
}

BOOL AdjustWindowRectEx(RECT* rect, DWORD style, BOOL /*hasMenu*/, DWORD exStyle) {
    if (rect == nullptr) return FALSE;
    const RECT insets = FrameInsets(style, exStyle);
    rect->left -= insets.left;
    rect->top -= insets.top;
    rect->right += insets.right;
    rect->bottom += insets.bottom;
    return TRUE;
}
