#include "platform/win/display_link.h"

#include <mutex>

#include "platform/win/thread_queue.h"
#include "platform/win/window_observers.h"
#include "platform/win/window_registry.h"

namespace tevorin::win {
namespace {

class DisplayForwarder final : public WindowObserver {
  public:
    DisplayForwarder() { AddWindowObserver(this); }

    void TopLevelChanged(const TopLevelState& state) override {
        display::WindowImage image;
        std::u16string title;
        if (!DescribeTopLevel(state.handle, &image, &title)) return;
        display::ActiveDisplay().Update(image);
        AttachDisplayToThisThread();
    }

    void TopLevelDestroyed(int handle) override { display::ActiveDisplay().Forget(handle); }
};

DisplayForwarder g_forwarder;

thread_local int t_sourceId = 0;
thread_local int t_fd = -1;

void PumpDisplay() {
    display::DisplayBackend& backend = display::ActiveDisplay();
    backend.ProcessEvents();
    // A lost connection is not watched any more, or poll would spin on it.
    if (t_sourceId != 0 && backend.ConnectionFd() != t_fd) {
        CurrentThreadQueue()->RemoveWaitSource(t_sourceId);
        t_sourceId = 0;
        t_fd = -1;
    }
}

}  // namespace

void AttachDisplayToThisThread() {
    display::DisplayBackend& backend = display::ActiveDisplay();
    static std::once_flag sinkOnce;
    std::call_once(sinkOnce, [&backend] { backend.SetInputSink(&DisplayInputRouter()); });
    if (t_sourceId != 0) return;
    const int fd = backend.ConnectionFd();
    if (fd < 0) return;
    t_fd = fd;
    t_sourceId = CurrentThreadQueue()->AddWaitSource(fd, &PumpDisplay, &PumpDisplay);
}

bool DescribeTopLevel(int handle, display::WindowImage* image, std::u16string* title) {
    std::lock_guard lock(RegistryMutex());
    const WindowRecord* record = FindLocked(handle);
    if (record == nullptr || record->parent != 0 || record->destroying) return false;
    *title = record->text;
    const POINT origin = ClientOriginLocked(*record);
    const RECT client = ClientRectLocked(*record);
    *image = display::WindowImage{};
    image->handle = handle;
    image->title = *title;
    image->visible = (record->style & WS_VISIBLE) != 0;
    image->iconic = (record->style & WS_MINIMIZE) != 0;
    image->topmost = (record->exStyle & WS_EX_TOPMOST) != 0;
    image->x = origin.x;
    image->y = origin.y;
    image->width = client.Width();
    image->height = client.Height();
    return true;
}

}  // namespace tevorin::win
