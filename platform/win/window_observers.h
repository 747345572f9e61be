#pragma once
// Listeners for what happens to windows: the desktop session publishes
// top-level windows to other processes, the display backend keeps a surface
// per top-level window. Listeners run on the window's thread, outside the
// window registry's lock.

#include <string>

#include "platform/core/win_types.h"

namespace tevorin::win {

struct TopLevelState {
    int handle = 0;
    DWORD threadId = 0;
    bool visible = false;
    bool iconic = false;
    RECT rect;
    std::u16string title;
};

class WindowObserver {
  public:
    virtual ~WindowObserver() = default;
    // A top-level window was created, or its title, visibility or rectangle changed.
    virtual void TopLevelChanged(const TopLevelState& state) = 0;
    virtual void TopLevelDestroyed(int handle) = 0;
};

void AddWindowObserver(WindowObserver* observer);
void RemoveWindowObserver(WindowObserver* observer);

// Reads the window's state and tells every observer; nothing for a child.
void NotifyTopLevelChanged(int handle);
void NotifyTopLevelDestroyed(int handle);

// Called on the creating thread right after a window has its handle and
// before its first message: lets the framework attach its object.
using CreationHook = void (*)(HWND hwnd, void* context);
void SetThreadCreationHook(CreationHook hook, void* context);

// Runs the calling thread's creation hook once, then clears it.
void RunThreadCreationHook(HWND hwnd);

}  // namespace tevorin::win
