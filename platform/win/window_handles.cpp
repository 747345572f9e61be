#include "platform/win/window_handles.h"

#include <atomic>
#include <climits>
#include <mutex>

namespace tevorin::win {
namespace {

std::mutex& SourceMutex() {
    static std::mutex mutex;
    return mutex;
}
std::function<int()>& Source() {
    static std::function<int()> source;
    return source;
}
std::atomic<int> g_localCounter{kFirstWindowHandle};

}  // namespace

int AllocateWindowHandle() {
    std::function<int()> source;
    {
        std::lock_guard lock(SourceMutex());
        source = Source();
    }
    if (source) return source();
    const int handle = g_localCounter.fetch_add(1);
    return handle > 0 && handle < INT_MAX ? handle : 0;
}

void SetWindowHandleSource(std::function<int()> source) {
    std::lock_guard lock(SourceMutex());
    Source() = std::move(source);
}

}  // namespace tevorin::win
