#include "platform/win/message_loop.h"

#include <chrono>

#include "platform/win/dispatch.h"
#include "platform/win/display_link.h"
#include "platform/win/focus.h"
#include "platform/win/paint.h"
#include "platform/win/painting.h"
#include "platform/win/remote_windows.h"
#include "platform/win/window.h"
#include "platform/win/window_registry.h"

namespace tevorin::win {
namespace {

DWORD TickCount() {
    using namespace std::chrono;
    return static_cast<DWORD>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

bool FilterTakesPaint(UINT first, UINT last) {
    return (first == 0 && last == 0) || (WM_PAINT >= first && WM_PAINT <= last);
}

// One look at the queue in the documented order. Messages sent from other
// threads are handled on the way.
bool LookForMessage(ThreadQueue& queue, MSG* msg, HWND window, UINT first, UINT last, bool remove) {
    HandleAllSentMessages(queue);
    MessageFilter filter{{}, first, last};
    // A window filter takes the window's children too; their handles are
    // gathered first, so that no queue lock is held while the registry is read.
    if (window != nullptr) {
        std::lock_guard lock(RegistryMutex());
        for (int handle : SubtreeLocked(HwndToInt(window)))
            filter.windows.push_back(ToHwnd(handle));
        if (filter.windows.empty()) filter.windows.push_back(window);
    }
    if (queue.TakePosted(filter, remove, msg)) {
        if (remove) NoteKeyboardMessage(msg->message, msg->wParam);
        return true;
    }
    int exitCode = 0;
    if (queue.TakeQuit(remove, &exitCode)) {
        *msg = MSG{};
        msg->message = WM_QUIT;
        msg->wParam = static_cast<WPARAM>(exitCode);
        msg->time = TickCount();
        return true;
    }
    if (FilterTakesPaint(first, last)) {
        if (HWND paint = NextWindowToPaint(window)) {
            *msg = MSG{};
            msg->hwnd = paint;
            msg->message = WM_PAINT;
            msg->time = TickCount();
            return true;
        }
    }
    // Every due paint is done: the display gets the finished images.
    PresentPaintedWindows();
    return false;
}

}  // namespace
}  // namespace tevorin::win

using namespace tevorin::win;

BOOL PostMessageW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    MSG msg;
    msg.hwnd = hwnd;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    msg.time = TickCount();
    if (hwnd == nullptr) return CurrentThreadQueue()->Post(msg) ? TRUE : FALSE;
    {
        std::lock_guard lock(RegistryMutex());
        if (WindowRecord* record = FindLocked(hwnd)) {
            if (record->destroying) return FALSE;
            return record->queue->Post(msg) ? TRUE : FALSE;
        }
    }
    RemoteWindows* remote = GetRemoteWindows();
    return remote != nullptr && remote->Post(HwndToInt(hwnd), message, wParam, lParam) ? TRUE
                                                                                       : FALSE;
}

BOOL PostThreadMessageW(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam) {
    auto queue = FindThreadQueue(threadId);
    if (!queue) return FALSE;
    MSG msg;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    msg.time = TickCount();
    return queue->Post(msg) ? TRUE : FALSE;
}

void PostQuitMessage(int exitCode) {
    CurrentThreadQueue()->PostQuit(exitCode);
}

BOOL GetMessageW(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax) {
    if (msg == nullptr) return -1;
    if (hwnd != nullptr && FindRecord(hwnd) == nullptr) return -1;
    auto queue = CurrentThreadQueue();
    for (;;) {
        if (LookForMessage(*queue, msg, hwnd, filterMin, filterMax, true))
            return msg->message == WM_QUIT ? FALSE : TRUE;
        // A filtered window that went away meanwhile would wait forever.
        if (hwnd != nullptr && FindRecord(hwnd) == nullptr) return -1;
        queue->Wait(-1, true);
    }
}

BOOL PeekMessageW(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags) {
    if (msg == nullptr) return FALSE;
    auto queue = CurrentThreadQueue();
    // Let the thread's other event sources (the session socket) in without blocking.
    queue->Wait(0, true);
    return LookForMessage(*queue, msg, hwnd, filterMin, filterMax, (removeFlags & PM_REMOVE) != 0)
               ? TRUE
               : FALSE;
}

BOOL WaitMessage() {
    auto queue = CurrentThreadQueue();
    MSG msg;
    if (LookForMessage(*queue, &msg, nullptr, 0, 0, false)) return TRUE;
    queue->Wait(-1, true);
    return TRUE;
}

BOOL TranslateMessage(const MSG* msg) {
    if (msg == nullptr || msg->hwnd == nullptr) return FALSE;
    const std::u16string typed = TakeTypedText(*msg);
    for (char16_t unit : typed) PostMessageW(msg->hwnd, WM_CHAR, unit, msg->lParam);
    return typed.empty() ? FALSE : TRUE;
}

LRESULT DispatchMessageW(const MSG* msg) {
    if (msg == nullptr || msg->hwnd == nullptr || !IsOwnWindow(msg->hwnd)) return 0;
    const LRESULT result = CallWindowDirect(msg->hwnd, msg->message, msg->wParam, msg->lParam);
    // A procedure that does not validate its window would get WM_PAINT forever.
    if (msg->message == WM_PAINT) ValidateRect(msg->hwnd, nullptr);
    return result;
}
