#include "platform/win/paint.h"

#include <algorithm>
#include <climits>

#include "platform/win/dispatch.h"
#include "platform/win/message_loop.h"
#include "platform/win/window_registry.h"

namespace tevorin::win {
namespace {

RECT Intersect(const RECT& a, const RECT& b) {
    return RECT{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom)};
}

RECT Union(const RECT& a, const RECT& b) {
    return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}

// rect in the record's client coordinates.
void InvalidateLocked(WindowRecord& record, const RECT& rect, bool erase) {
    if (record.destroying) return;
    const RECT area = Intersect(rect, ClientRectLocked(record));
    if (area.IsEmpty()) return;
    record.invalidRect = record.invalid ? Union(record.invalidRect, area) : area;
    record.invalid = true;
    record.eraseNeeded = record.eraseNeeded || erase;
    record.queue->needsPaint.insert(record.handle);
    for (int childHandle : record.children) {
        WindowRecord* child = FindLocked(childHandle);
        if (child == nullptr || (child->style & WS_VISIBLE) == 0) continue;
        // The area as the child's client sees it.
        const RECT childInsets = FrameInsets(child->style, child->exStyle);
        const LONG dx = child->rect.left + childInsets.left;
        const LONG dy = child->rect.top + childInsets.top;
        InvalidateLocked(
            *child, RECT{area.left - dx, area.top - dy, area.right - dx, area.bottom - dy}, true);
    }
}

}  // namespace

HWND NextWindowToPaint(HWND filter) {
    auto self = CurrentThreadQueue();
    std::lock_guard lock(RegistryMutex());
    int best = 0;
    int bestDepth = INT_MAX;
    for (auto it = self->needsPaint.begin(); it != self->needsPaint.end();) {
        WindowRecord* record = FindLocked(*it);
        if (record == nullptr || !record->invalid) {
            it = self->needsPaint.erase(it);
            continue;
        }
        if (IsVisibleChainLocked(*record)) {
            bool accepted = filter == nullptr || record->handle == HwndToInt(filter);
            for (const WindowRecord* up = record; !accepted && up != nullptr && up->parent != 0;) {
                accepted = up->parent == HwndToInt(filter);
                up = FindLocked(up->parent);
            }
            const int depth = DepthLocked(*record);
            if (accepted && depth < bestDepth) {
                best = record->handle;
                bestDepth = depth;
            }
        }
        ++it;
    }
    return best == 0 ? nullptr : ToHwnd(best);
}

bool TakeInvalidArea(HWND hwnd, RECT* area, bool* erase) {
    std::lock_guard lock(RegistryMutex());
    WindowRecord* record = FindLocked(hwnd);
    if (record == nullptr) return false;
    const bool wasInvalid = record->invalid;
    if (area != nullptr) *area = wasInvalid ? record->invalidRect : RECT{};
    if (erase != nullptr) *erase = wasInvalid && record->eraseNeeded;
    record->invalid = false;
    record->eraseNeeded = false;
    record->invalidRect = RECT{};
    record->queue->needsPaint.erase(record->handle);
    return wasInvalid;
}

}  // namespace tevorin::win

using namespace tevorin::win;

BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase) {
    std::shared_ptr<ThreadQueue> queue;
    {
        std::lock_guard lock(RegistryMutex());
        WindowRecord* record = FindLocked(hwnd);
        if (record == nullptr) return FALSE;
        InvalidateLocked(*record, rect != nullptr ? *rect : ClientRectLocked(*record), erase != 0);
        queue = record->queue;
    }
    queue->Wake();
    return TRUE;
}

BOOL ValidateRect(HWND hwnd, const RECT* rect) {
    std::lock_guard lock(RegistryMutex());
    WindowRecord* record = FindLocked(hwnd);
    if (record == nullptr) return FALSE;
    if (!record->invalid) return TRUE;
    // With one bounding rectangle, only a rectangle covering it validates.
    if (rect == nullptr ||
        (rect->left <= record->invalidRect.left && rect->top <= record->invalidRect.top &&
         rect->right >= record->invalidRect.right && rect->bottom >= record->invalidRect.bottom)) {
        record->invalid = false;
        record->eraseNeeded = false;
        record->queue->needsPaint.erase(record->handle);
    }
    return TRUE;
}

BOOL GetUpdateRect(HWND hwnd, RECT* rect, BOOL /*erase*/) {
    std::lock_guard lock(RegistryMutex());
    const WindowRecord* record = FindLocked(hwnd);
    if (record == nullptr || !record->invalid) {
        if (rect != nullptr) *rect = RECT{};
        return FALSE;
    }
    if (rect != nullptr) *rect = record->invalidRect;
    return TRUE;
}

BOOL UpdateWindow(HWND hwnd) {
    if (!IsOwnWindow(hwnd)) return FALSE;
    std::vector<int> subtree;
    {
        std::lock_guard lock(RegistryMutex());
        const WindowRecord* record = FindLocked(hwnd);
        if (record == nullptr) return FALSE;
        subtree = SubtreeLocked(record->handle);
    }
    for (int handle : subtree) {
        bool due = false;
        {
            std::lock_guard lock(RegistryMutex());
            const WindowRecord* record = FindLocked(handle);
            due = record != nullptr && record->invalid && IsVisibleChainLocked(*record);
        }
        if (!due) continue;
        CallWindowDirect(ToHwnd(handle), WM_PAINT, 0, 0);
        // A procedure that ignores WM_PAINT must not be asked forever.
        ValidateRect(ToHwnd(handle), nullptr);
    }
    return TRUE;
}
