#include "app/single_instance.h"

#include "platform/win/window.h"

using tevorin::win::SessionLockResult;

bool ClaimSingleUpdater(tevorin::win::SessionLock& lock) {
    // Without a session directory no other process can see our windows
    // either; the marker search below is then all that can be done.
    if (lock.TryTakeInDesktopSession(kUpdaterLockName) == SessionLockResult::kHeldElsewhere)
        return false;
    // Hidden windows count: the marker is the hidden host window.
    if (FindWindowW(nullptr, kUpdaterMarkerTitle) != nullptr) {
        lock.Release();
        return false;
    }
    return true;
}
