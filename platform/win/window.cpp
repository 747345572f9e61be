// Creation, destruction and the window tree.

#include "platform/core/text.h"
#include "platform/win/window.h"

#include <unistd.h>

#include <algorithm>

#include "platform/win/desktop_session.h"
#include "platform/win/dispatch.h"
#include "platform/win/message_loop.h"
#include "platform/win/paint.h"
#include "platform/win/painting.h"
#include "platform/win/remote_windows.h"
#include "platform/win/window_handles.h"
#include "platform/win/window_observers.h"
#include "platform/win/window_registry.h"

namespace tevorin::win {
namespace {

constexpr int kDefaultWidth = 320;
constexpr int kDefaultHeight = 240;

bool IsDesktopOrNull(HWND hwnd) {
    return hwnd == nullptr || HwndToInt(hwnd) == kDesktopWindowHandle;
}

// Drops every window of a thread that ends without destroying them. Their
// procedures are not called: the objects behind them may be gone already.
void ForgetWindowsOfThread(DWORD threadId) {
    std::vector<int> topLevels;
    {
        std::lock_guard lock(RegistryMutex());
        for (int handle : AllHandlesLocked()) {
            WindowRecord* record = FindLocked(handle);
            if (record == nullptr || record->queue->ThreadId() != threadId) continue;
            if (record->parent == 0) topLevels.push_back(handle);
        }
        for (int top : topLevels)
            for (int handle : SubtreeLocked(top)) EraseLocked(handle);
    }
    for (int top : topLevels) NotifyTopLevelDestroyed(top);
}

struct ThreadExitRegistration {
    ThreadExitRegistration() { SetThreadExitHandler(&ForgetWindowsOfThread); }
} g_threadExitRegistration;

}  // namespace
}  // namespace tevorin::win

using namespace tevorin::win;

HWND CreateWindowExW(DWORD exStyle, const char16_t* className, const char16_t* windowName,
                     DWORD style, int x, int y, int width, int height, HWND parent, HMENU menuOrId,
                     void* createParams) {
    WNDCLASSW windowClass;
    if (className == nullptr || !GetClassInfoW(className, &windowClass)) return nullptr;
    const bool child = (style & WS_CHILD) != 0;
    if (child && IsDesktopOrNull(parent)) return nullptr;

    auto self = CurrentThreadQueue();
    auto record = std::make_shared<WindowRecord>();
    record->queue = self;
    record->className = windowClass.lpszClassName;
    record->proc = windowClass.lpfnWndProc;
    record->style = style & ~WS_VISIBLE;
    record->exStyle = exStyle;
    record->text = windowName == nullptr ? u"" : windowName;
    if (child) record->id = reinterpret_cast<LONG_PTR>(menuOrId);
    if (x == CW_USEDEFAULT) x = y = 0;
    if (width == CW_USEDEFAULT) {
        width = child ? 0 : kDefaultWidth;
        height = child ? 0 : kDefaultHeight;
    }
    record->rect = RECT{x, y, x + std::max(0, width), y + std::max(0, height)};

    AttachDesktopSessionToThisThread();
    const int handle = AllocateWindowHandle();
    if (handle <= 0) return nullptr;
    record->handle = handle;
    const HWND hwnd = ToHwnd(handle);
    {
        std::lock_guard lock(RegistryMutex());
        if (!IsDesktopOrNull(parent)) {
            WindowRecord* parentRecord = FindLocked(parent);
            if (parentRecord == nullptr || parentRecord->queue != self || parentRecord->destroying)
                return nullptr;
            if (child) {
                record->parent = parentRecord->handle;
                parentRecord->children.push_back(handle);
            } else {
                record->owner = parentRecord->handle;
            }
        }
        InsertLocked(record);
    }
    RunThreadCreationHook(hwnd);

    CREATESTRUCTW create;
    create.lpCreateParams = createParams;
    create.hMenu = menuOrId;
    create.hwndParent = parent;
    create.x = x;
    create.y = y;
    create.cx = record->rect.Width();
    create.cy = record->rect.Height();
    create.style = static_cast<LONG>(style);
    create.lpszName = windowName;
    create.lpszClass = className;
    create.dwExStyle = exStyle;
    if (!CallWindowDirect(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&create))) {
        record->skipDestroyMessage = true;
        DestroyWindow(hwnd);
        return nullptr;
    }
    if (CallWindowDirect(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)) == -1) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    if (!IsWindow(hwnd)) return nullptr;  // destroyed by its own creation handlers
    RECT client;
    GetClientRect(hwnd, &client);
    CallWindowDirect(hwnd, WM_SIZE, SIZE_RESTORED,
                     MAKELPARAM(static_cast<WORD>(client.right), static_cast<WORD>(client.bottom)));
    CallWindowDirect(hwnd, WM_MOVE, 0, MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
    if (!child) NotifyTopLevelChanged(handle);
    if ((style & WS_VISIBLE) != 0 && IsWindow(hwnd)) ShowWindow(hwnd, SW_SHOW);
    return IsWindow(hwnd) ? hwnd : nullptr;
}

BOOL DestroyWindow(HWND hwnd) {
    auto self = CurrentThreadQueue();
    std::vector<int> subtree;
    bool topLevel = false;
    bool skipDestroy = false;
    {
        std::lock_guard lock(RegistryMutex());
        WindowRecord* record = FindLocked(hwnd);
        if (record == nullptr || record->queue != self || record->destroying) return FALSE;
        topLevel = record->parent == 0;
        skipDestroy = record->skipDestroyMessage;
        subtree = SubtreeLocked(record->handle);
        for (int handle : subtree) FindLocked(handle)->destroying = true;
        // The parent repaints where the child was.
        if (!topLevel && (record->style & WS_VISIBLE) != 0) {
            if (WindowRecord* parent = FindLocked(record->parent); parent && !parent->destroying) {
                parent->invalid = true;
                parent->invalidRect = ClientRectLocked(*parent);
                parent->eraseNeeded = true;
                parent->queue->needsPaint.insert(parent->handle);
            }
        }
    }
    if (!skipDestroy)
        for (int handle : subtree) CallWindowDirect(ToHwnd(handle), WM_DESTROY, 0, 0);
    for (auto it = subtree.rbegin(); it != subtree.rend(); ++it) {
        const HWND current = ToHwnd(*it);
        CallWindowDirect(current, WM_NCDESTROY, 0, 0);
        {
            std::lock_guard lock(RegistryMutex());
            WindowRecord* record = FindLocked(*it);
            if (record == nullptr) continue;
            if (WindowRecord* parent = FindLocked(record->parent))
                std::erase(parent->children, *it);
            self->needsPaint.erase(*it);
            EraseLocked(*it);
        }
        self->ForgetWindow(current);
    }
    if (topLevel) {
        ForgetSurface(HwndToInt(hwnd));
        NotifyTopLevelDestroyed(HwndToInt(hwnd));
    }
    return TRUE;
}

BOOL IsWindow(HWND hwnd) {
    if (hwnd == nullptr) return FALSE;
    {
        std::lock_guard lock(RegistryMutex());
        if (FindLocked(hwnd) != nullptr) return TRUE;
    }
    if (HwndToInt(hwnd) == kDesktopWindowHandle) return TRUE;
    RemoteWindows* remote = GetRemoteWindows();
    return remote != nullptr && remote->Exists(HwndToInt(hwnd)) ? TRUE : FALSE;
}

BOOL IsChild(HWND parent, HWND hwnd) {
    std::lock_guard lock(RegistryMutex());
    const WindowRecord* record = FindLocked(hwnd);
    while (record != nullptr && record->parent != 0) {
        if (record->parent == HwndToInt(parent)) return TRUE;
        record = FindLocked(record->parent);
    }
    return FALSE;
}

HWND GetParent(HWND hwnd) {
    std::lock_guard lock(RegistryMutex());
    const WindowRecord* record = FindLocked(hwnd);
    if (record == nullptr) return nullptr;
    if (record->parent != 0) return ToHwnd(record->parent);
    return record->owner != 0 ? ToHwnd(static_cast<int>(record->owner)) : nullptr;
}

HWND GetTopLevelWindow(HWND hwnd) {
    std::lock_guard lock(RegistryMutex());
    const WindowRecord* record = FindLocked(hwnd);
    while (record != nullptr && record->parent != 0) record = FindLocked(record->parent);
    return record == nullptr ? nullptr : ToHwnd(record->handle);
}

HWND GetDesktopWindow() {
    return ToHwnd(kDesktopWindowHandle);
}

HWND GetDlgItem(HWND dialog, int id) {
    std::lock_guard lock(RegistryMutex());
    const WindowRecord* record = FindLocked(dialog);
    if (record == nullptr) return nullptr;
    for (int child : record->children) {
        const WindowRecord* childRecord = FindLocked(child);
        if (childRecord != nullptr && static_cast<int>(childRecord->id) == id) return ToHwnd(child);
    }
    return nullptr;
}

int GetDlgCtrlID(HWND hwnd) {
    std::lock_guard lock(RegistryMutex());
    const WindowRecord* record = FindLocked(hwnd);
    return record == nullptr || record->parent == 0 ? 0 : static_cast<int>(record->id);
}

HWND GetFirstChild(HWND hwnd) {
    std::lock_guard lock(RegistryMutex());
    const WindowRecord* record = FindLocked(hwnd);
    return record == nullptr || record->children.empty() ? nullptr
                                                         : ToHwnd(record->children.front());
}

namespace {
HWND Sibling(HWND hwnd, int step) {
    std::lock_guard lock(RegistryMutex());
    const WindowRecord* record = FindLocked(hwnd);
    if (record == nullptr || record->parent == 0) return nullptr;
    const WindowRecord* parent = FindLocked(record->parent);
    if (parent == nullptr) return nullptr;
    const auto& list = parent->children;
    auto it = std::find(list.begin(), list.end(), record->handle);
    if (it == list.end()) return nullptr;
    const auto index = (it - list.begin()) + step;
    if (index < 0 || index >= static_cast<long>(list.size())) return nullptr;
    return ToHwnd(list[static_cast<std::size_t>(index)]);
}
}  // namespace

HWND GetNextSibling(HWND hwnd) {
    return Sibling(hwnd, 1);
}
HWND GetPrevSibling(HWND hwnd) {
    return Sibling(hwnd, -1);
}

DWORD GetCurrentThreadId() {
    return CurrentThreadQueue()->ThreadId();
}
DWORD GetCurrentProcessId() {
    return static_cast<DWORD>(::getpid());
}

DWORD GetWindowThreadProcessId(HWND hwnd, DWORD* processId) {
    {
        std::lock_guard lock(RegistryMutex());
        if (const WindowRecord* record = FindLocked(hwnd)) {
            if (processId != nullptr) *processId = static_cast<DWORD>(::getpid());
            return record->queue->ThreadId();
        }
    }
    DWORD threadId = 0;
    DWORD pid = 0;
    RemoteWindows* remote = GetRemoteWindows();
    if (hwnd == nullptr || remote == nullptr || !remote->Owner(HwndToInt(hwnd), &threadId, &pid))
        threadId = pid = 0;
    if (processId != nullptr) *processId = pid;
    return threadId;
}

HWND FindWindowW(const char16_t* className, const char16_t* windowName) {
    {
        std::lock_guard lock(RegistryMutex());
        for (int handle : AllHandlesLocked()) {
            const WindowRecord* record = FindLocked(handle);
            if (record->parent != 0 || record->destroying) continue;
            if (windowName != nullptr && record->text != windowName) continue;
            if (className != nullptr && !EqualsIgnoringAsciiCase(record->className, className)) continue;
            return ToHwnd(handle);
        }
    }
    if (className != nullptr || windowName == nullptr) return nullptr;
    RemoteWindows* remote = GetRemoteWindows();
    if (remote == nullptr) return nullptr;
    const int handle = remote->FindByTitle(windowName);
    return handle > 0 ? ToHwnd(handle) : nullptr;
}
