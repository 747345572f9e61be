#pragma once
// The three reports of a download worker to the window it works for; wParam
// is always the file index. Size and progress are sent (the worker waits
// until they are handled); done is posted once, as the worker's last act.

#include "platform/win/messages.h"

inline constexpr UINT WM_DOWNLOAD_SIZE = WM_USER + 1;      // lParam: announced KiB
inline constexpr UINT WM_DOWNLOAD_DONE = WM_USER + 2;      // lParam: 1 in place, 0 failed
inline constexpr UINT WM_DOWNLOAD_PROGRESS = WM_USER + 3;  // lParam: percent
