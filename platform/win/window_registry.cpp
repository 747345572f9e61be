#include "platform/win/window_registry.h"

#include <algorithm>
#include <unordered_map>

namespace tevorin::win {
namespace {

std::unordered_map<int, std::shared_ptr<WindowRecord>>& Table() {
    static std::unordered_map<int, std::shared_ptr<WindowRecord>> table;
    return table;
}

constexpr LONG kCaptionHeight = 18;
constexpr LONG kDialogFrame = 3;

}  // namespace

std::mutex& RegistryMutex() {
    static std::mutex mutex;
    return mutex;
}

WindowRecord* FindLocked(int handle) {
    auto it = Table().find(handle);
    return it == Table().end() ? nullptr : it->second.get();
}

WindowRecord* FindLocked(HWND hwnd) {
    return FindLocked(HwndToInt(hwnd));
}

void InsertLocked(std::shared_ptr<WindowRecord> record) {
    const int handle = record->handle;
    Table()[handle] = std::move(record);
}

void EraseLocked(int handle) {
    Table().erase(handle);
}

std::vector<int> AllHandlesLocked() {
    std::vector<int> handles;
    handles.reserve(Table().size());
    for (const auto& [handle, record] : Table()) handles.push_back(handle);
    std::sort(handles.begin(), handles.end());
    return handles;
}

std::vector<int> SubtreeLocked(int handle) {
    std::vector<int> order;
    std::vector<int> pending{handle};
    while (!pending.empty()) {
        const int current = pending.back();
        pending.pop_back();
        const WindowRecord* record = FindLocked(current);
        if (record == nullptr) continue;
        order.push_back(current);
        for (auto it = record->children.rbegin(); it != record->children.rend(); ++it)
            pending.push_back(*it);
    }
    return order;
}

bool IsVisibleChainLocked(const WindowRecord& record) {
    const WindowRecord* current = &record;
    while (current != nullptr) {
        if ((current->style & WS_VISIBLE) == 0) return false;
        if (current->parent == 0) return true;
        current = FindLocked(current->parent);
    }
    return false;
}

int DepthLocked(const WindowRecord& record) {
    int depth = 0;
    const WindowRecord* current = &record;
    while (current != nullptr && current->parent != 0) {
        ++depth;
        current = FindLocked(current->parent);
    }
    return depth;
}

RECT FrameInsets(DWORD style, DWORD exStyle) {
    RECT insets;
    LONG edge = 0;
    if ((style & WS_CAPTION) == WS_CAPTION || (style & WS_DLGFRAME) != 0 ||
        (style & WS_THICKFRAME) != 0 || (exStyle & WS_EX_DLGMODALFRAME) != 0) {
        edge = kDialogFrame;
    } else if ((style & WS_BORDER) != 0) {
        edge = 1;
    }
    if ((exStyle & WS_EX_CLIENTEDGE) != 0) edge += 2;
    if ((exStyle & WS_EX_STATICEDGE) != 0) edge += 1;
    insets.left = insets.top = insets.right = insets.bottom = edge;
    if ((style & WS_CAPTION) == WS_CAPTION) insets.top += kCaptionHeight;
    return insets;
}

RECT WindowScreenRectLocked(const WindowRecord& record) {
    if (record.parent == 0) return record.rect;
    const WindowRecord* parent = FindLocked(record.parent);
    if (parent == nullptr) return record.rect;
    const POINT origin = ClientOriginLocked(*parent);
    return RECT{record.rect.left + origin.x, record.rect.top + origin.y,
                record.rect.right + origin.x, record.rect.bottom + origin.y};
}

POINT ClientOriginLocked(const WindowRecord& record) {
    const RECT screen = WindowScreenRectLocked(record);
    const RECT insets = FrameInsets(record.style, record.exStyle);
    return POINT{screen.left + insets.left, screen.top + insets.top};
}

RECT ClientRectLocked(const WindowRecord& record) {
    const RECT insets = FrameInsets(record.style, record.exStyle);
    const LONG width = record.rect.Width() - insets.left - insets.right;
    const LONG height = record.rect.Height() - insets.top - insets.bottom;
    return RECT{0, 0, std::max<LONG>(0, width), std::max<LONG>(0, height)};
}

std::shared_ptr<WindowRecord> FindRecord(HWND hwnd) {
    std::lock_guard lock(RegistryMutex());
    auto it = Table().find(HwndToInt(hwnd));
    return it == Table().end() ? nullptr : it->second;
}

}  // namespace tevorin::win
