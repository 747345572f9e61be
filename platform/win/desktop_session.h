#pragma once
// This process's membership in the desktop session: it publishes its
// top-level windows, takes window handles from the session's counter, and
// serves requests from other processes (post, show, tree, click, snapshot)
// through its socket, which the message loop of its first window's thread
// watches.

#include <functional>
#include <string>

#include "platform/core/win_types.h"
#include "platform/win/session_directory.h"

namespace tevorin::win {

// Opens the session once per process (directory from DefaultSessionDirectory).
// False when it cannot be used; the process then works on its own: its
// windows are unknown to other processes.
bool EnsureDesktopSession();
// Makes the calling thread's message loop watch the session socket, once.
void AttachDesktopSessionToThisThread();
// The open session's directory, or null.
SessionDirectory* DesktopSessionDirectory();
// Why the session could not be opened; empty when it is open.
std::string DesktopSessionError();

// Requests to a top-level window of another process, for tools. Each waits
// up to timeoutMs for the answer; false on no answer or a refusal.
bool RequestWindowTree(HWND window, std::string* tree, int timeoutMs);
// control is the window itself or one of its descendants.
bool RequestClick(HWND window, HWND control, int timeoutMs);
bool RequestSnapshot(HWND window, const std::string& pngPath, int timeoutMs);

// The child tree as RequestWindowTree returns it: one line per window,
// "<depth> <handle> <id> <class> <style hex> <visible 0|1> <enabled 0|1>
// <left> <top> <right> <bottom> <title as UTF-16 hex>", and after a window
// whose class has a row reader (the list view), one line per row:
// "row <index> <image> <data> x<column text as UTF-16 hex>..." (rows that
// would not fit into one answer are left out).
std::string DescribeWindowTree(HWND window);

}  // namespace tevorin::win
