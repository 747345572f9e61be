#pragma once
// Running window procedures: directly on the window's thread, or by handing
// the call to that thread and waiting for it.

#include <functional>
#include <memory>

#include "platform/win/thread_queue.h"
#include "platform/win/window.h"

namespace tevorin::win {

// Calls the window's procedure on the calling thread, which must be the
// window's thread. 0 when the window is gone.
LRESULT CallWindowDirect(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Handles one message that another thread sent to the calling thread.
void HandleSentMessage(const std::shared_ptr<SentMessage>& message);
// Handles every message waiting in the calling thread's sent-message inbox.
void HandleAllSentMessages(ThreadQueue& queue);

// Runs task on the window's thread and returns its result: directly when
// that is the calling thread, else while waiting as SendMessageW waits.
// fallback when the window is gone or its thread ends first.
LRESULT RunOnWindowThread(HWND hwnd, std::function<LRESULT()> task, LRESULT fallback);

// Queues task to run on the window's thread the next time it looks at its
// messages; nobody waits for it. False when the window is gone.
bool PostWindowTask(HWND hwnd, std::function<void()> task);

// True when the window lives on the calling thread.
bool IsOwnWindow(HWND hwnd);

}  // namespace tevorin::win
