#include "platform/thread/thread_wait.h"

#include <chrono>

#include "platform/win/dispatch.h"

namespace {

// How often the wait looks at the threads when no message wakes it.
constexpr int kPollMs = 5;

bool AllEnded(const std::vector<HANDLE>& threads) {
    for (HANDLE thread : threads)
        if (thread != nullptr && WaitForSingleObject(thread, 0) != WAIT_OBJECT_0) return false;
    return true;
}

}  // namespace

bool WaitForThreadsAnsweringSenders(const std::vector<HANDLE>& threads, HWND closingWindow,
                                    DWORD milliseconds) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
    auto queue = tevorin::win::CurrentThreadQueue();
    while (true) {
        while (auto sent = queue->TakeSent()) {
            if (closingWindow != nullptr && sent->hwnd == closingWindow && !sent->task)
                sent->Complete(0);
            else
                tevorin::win::HandleSentMessage(sent);
        }
        if (AllEnded(threads)) return true;
        int waitMs = kPollMs;
        if (milliseconds != INFINITE) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now())
                    .count();
            if (left <= 0) return false;
            if (left < waitMs) waitMs = static_cast<int>(left);
        }
        queue->Wait(waitMs, false);
    }
}
