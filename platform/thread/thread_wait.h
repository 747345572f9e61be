#pragma once
// Waiting on the user-interface thread for threads that may be blocked in
// SendMessageW to one of its windows.

#include <vector>

#include "platform/core/win_types.h"
#include "platform/thread/thread.h"

// Waits until every thread of `threads` has ended, at most `milliseconds`
// (INFINITE: no limit). Meanwhile the calling thread answers what other
// threads send to it: messages for `closingWindow` are answered with 0 at
// once without running its procedure (the window is being torn down and its
// handlers must not run any more); everything else is handled as usual.
// Posted messages stay queued. True when all threads have ended.
[[nodiscard]] bool WaitForThreadsAnsweringSenders(const std::vector<HANDLE>& threads,
                                                  HWND closingWindow, DWORD milliseconds);
