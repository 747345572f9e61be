#pragma once
// One updater per desktop session. The marker is a top-level window with a
// fixed title, which the host window takes; older updaters look for it. The
// marker alone leaves a gap between the search and the taking of the title,
// so an updater first takes the session's updater lock, atomically, and
// keeps it until its process ends.

#include "platform/win/session_lock.h"

inline constexpr char16_t kUpdaterMarkerTitle[] = u"tevorin_abe87_liveupdate_window_xxycy";
inline constexpr char kUpdaterLockName[] = "tevorin-liveupdate";

// True when this process may go on as the session's one updater: `lock`
// then holds the updater lock (unless the session has no usable directory,
// where the marker is all there is). False when another updater holds the
// lock or shows the marker.
[[nodiscard]] bool ClaimSingleUpdater(tevorin::win::SessionLock& lock);
