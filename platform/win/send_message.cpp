#include "platform/win/dispatch.h"
#include "platform/win/message_loop.h"
#include "platform/win/window_registry.h"

namespace tevorin::win {
namespace {

// Waits, handling what other threads send meanwhile, until the message is
// answered. Posted messages and the session are left for the message loop.
LRESULT AwaitReply(ThreadQueue& self, const std::shared_ptr<SentMessage>& message) {
    while (!message->IsDone()) {
        if (auto incoming = self.TakeSent()) {
            HandleSentMessage(incoming);
            continue;
        }
        if (message->IsDone()) break;
        // Also a sender queued behind others spins (yielding) rather than
        // sleeps: waking a sleeper would cost the receiving thread a system
        // call for every message it answers, while the others wait.
        self.Wait(-1, false, ThreadQueue::Spin::ForAnswer);
    }
    self.NoteSentTraffic();
    return message->Result();
}

// Hands the message to the window's thread under the registry lock, so that
// a destruction either happens before (the window is not found) or after
// (the destruction releases it).
LRESULT SendAcrossThreads(HWND hwnd, std::shared_ptr<SentMessage> message, LRESULT fallback) {
    auto self = CurrentThreadQueue();
    message->sender = self;
    {
        std::lock_guard lock(RegistryMutex());
        WindowRecord* record = FindLocked(hwnd);
        if (record == nullptr) return fallback;
        if (!record->queue->Deliver(message)) return fallback;
    }
    const LRESULT result = AwaitReply(*self, message);
    return result;
}

}  // namespace

bool IsOwnWindow(HWND hwnd) {
    auto self = CurrentThreadQueue();
    std::lock_guard lock(RegistryMutex());
    const WindowRecord* record = FindLocked(hwnd);
    return record != nullptr && record->queue == self;
}

LRESULT CallWindowDirect(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    WNDPROC proc = nullptr;
    {
        std::lock_guard lock(RegistryMutex());
        const WindowRecord* record = FindLocked(hwnd);
        if (record == nullptr) return 0;
        proc = record->proc;
    }
    return proc == nullptr ? 0 : proc(hwnd, message, wParam, lParam);
}

void HandleSentMessage(const std::shared_ptr<SentMessage>& message) {
    if (message->task) {
        message->Complete(message->task());
        return;
    }
    WNDPROC proc = nullptr;
    {
        auto self = CurrentThreadQueue();
        std::lock_guard lock(RegistryMutex());
        const WindowRecord* record = FindLocked(message->hwnd);
        if (record != nullptr && record->queue == self) proc = record->proc;
    }
    message->Complete(proc == nullptr ? 0
                                      : proc(message->hwnd, message->message, message->wParam,
                                             message->lParam));
}

void HandleAllSentMessages(ThreadQueue& queue) {
    while (auto message = queue.TakeSent()) HandleSentMessage(message);
}

LRESULT RunOnWindowThread(HWND hwnd, std::function<LRESULT()> task, LRESULT fallback) {
    if (IsOwnWindow(hwnd)) return task();
    auto message = std::make_shared<SentMessage>();
    message->hwnd = hwnd;
    message->task = [hwnd, fallback, task = std::move(task)]() {
        return IsOwnWindow(hwnd) ? task() : fallback;
    };
    return SendAcrossThreads(hwnd, std::move(message), fallback);
}

bool PostWindowTask(HWND hwnd, std::function<void()> task) {
    auto message = std::make_shared<SentMessage>();
    message->hwnd = hwnd;
    message->task = [hwnd, task = std::move(task)]() -> LRESULT {
        if (IsOwnWindow(hwnd)) task();
        return 0;
    };
    std::lock_guard lock(RegistryMutex());
    WindowRecord* record = FindLocked(hwnd);
    return record != nullptr && record->queue->Deliver(std::move(message));
}

}  // namespace tevorin::win

using namespace tevorin::win;

LRESULT SendMessageW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (hwnd == nullptr) return 0;
    auto self = CurrentThreadQueue();
    WNDPROC proc = nullptr;
    std::shared_ptr<SentMessage> sent;
    {
        // One look at the registry decides: a window of this thread is called
        // directly, any other gets the message in its thread's queue. A
        // destruction either comes first (the window is not found) or later
        // (it releases the message).
        std::lock_guard lock(RegistryMutex());
        WindowRecord* record = FindLocked(hwnd);
        if (record == nullptr) return 0;
        if (record->queue == self) {
            proc = record->proc;
        } else {
            sent = std::make_shared<SentMessage>();
            sent->hwnd = hwnd;
            sent->message = message;
            sent->wParam = wParam;
            sent->lParam = lParam;
            sent->sender = self;
            if (!record->queue->Deliver(sent)) return 0;
        }
    }
    if (sent) return AwaitReply(*self, sent);
    return proc == nullptr ? 0 : proc(hwnd, message, wParam, lParam);
}
