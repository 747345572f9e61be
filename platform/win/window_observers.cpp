#include "platform/win/window_observers.h"

#include <algorithm>
#include <mutex>
#include <vector>

#include "platform/win/window_registry.h"

namespace tevorin::win {
namespace {

std::mutex& ObserversMutex() {
    static std::mutex mutex;
    return mutex;
}
std::vector<WindowObserver*>& Observers() {
    static std::vector<WindowObserver*> observers;
    return observers;
}
std::vector<WindowObserver*> SnapshotObservers() {
    std::lock_guard lock(ObserversMutex());
    return Observers();
}

thread_local CreationHook t_hook = nullptr;
thread_local void* t_hookContext = nullptr;

}  // namespace

void AddWindowObserver(WindowObserver* observer) {
    std::lock_guard lock(ObserversMutex());
    Observers().push_back(observer);
}

void RemoveWindowObserver(WindowObserver* observer) {
    std::lock_guard lock(ObserversMutex());
    std::erase(Observers(), observer);
}

void NotifyTopLevelChanged(int handle) {
    const auto observers = SnapshotObservers();
    if (observers.empty()) return;
    TopLevelState state;
    {
        std::lock_guard lock(RegistryMutex());
        const WindowRecord* record = FindLocked(handle);
        if (record == nullptr || record->parent != 0 || record->destroying) return;
        state.handle = handle;
        state.threadId = record->queue->ThreadId();
        state.visible = (record->style & WS_VISIBLE) != 0;
        state.iconic = (record->style & WS_MINIMIZE) != 0;
        state.rect = record->rect;
        state.title = record->text;
    }
    for (auto* observer : observers) observer->TopLevelChanged(state);
}

void NotifyTopLevelDestroyed(int handle) {
    for (auto* observer : SnapshotObservers()) observer->TopLevelDestroyed(handle);
}

void SetThreadCreationHook(CreationHook hook, void* context) {
    t_hook = hook;
    t_hookContext = context;
}

void RunThreadCreationHook(HWND hwnd) {
    CreationHook hook = t_hook;
    void* context = t_hookContext;
    t_hook = nullptr;
    t_hookContext = nullptr;
    if (hook != nullptr) hook(hwnd, context);
}

}  // namespace tevorin::win
