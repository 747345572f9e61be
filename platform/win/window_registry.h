#pragma once
// The process's table of windows: one record per live window, found by
// handle. One lock guards the table and every record in it; window procedures
// are never called while it is held. Lock order: this lock before any
// thread queue's lock.

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/win/thread_queue.h"
#include "platform/win/window.h"

namespace tevorin::win {

struct WindowRecord {
    int handle = 0;
    std::shared_ptr<ThreadQueue> queue;
    int parent = 0;             // 0 for a top-level window
    std::vector<int> children;  // creation order
    std::u16string className;
    WNDPROC proc = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    LONG_PTR id = 0;
    LONG_PTR userData = 0;
    LONG_PTR owner = 0;
    std::map<int, LONG_PTR> extra;
    std::u16string text;
    RECT rect;  // in the parent's client coordinates; screen for top-level windows
    // Invalid part of the client area, as one bounding rectangle.
    bool invalid = false;
    RECT invalidRect;
    bool eraseNeeded = false;
    bool destroying = false;
    bool skipDestroyMessage = false;  // creation failed before WM_CREATE
};

std::mutex& RegistryMutex();

// With RegistryMutex() held.
WindowRecord* FindLocked(int handle);
WindowRecord* FindLocked(HWND hwnd);
void InsertLocked(std::shared_ptr<WindowRecord> record);
void EraseLocked(int handle);
std::vector<int> AllHandlesLocked();
// The window and its descendants, parents before children.
std::vector<int> SubtreeLocked(int handle);
bool IsVisibleChainLocked(const WindowRecord& record);
int DepthLocked(const WindowRecord& record);
RECT FrameInsets(DWORD style, DWORD exStyle);
RECT WindowScreenRectLocked(const WindowRecord& record);
POINT ClientOriginLocked(const WindowRecord& record);
RECT ClientRectLocked(const WindowRecord& record);  // at (0, 0)

// Takes the lock.
std::shared_ptr<WindowRecord> FindRecord(HWND hwnd);

inline HWND ToHwnd(int handle) {
    return HwndFromInt(handle);
}

}  // namespace tevorin::win
