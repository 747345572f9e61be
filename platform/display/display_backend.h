#pragma once
// Where top-level windows are shown. The window system paints every
// top-level window into a framebuffer of its own and hands the backend the
// finished image; the backend shows it (X11) or keeps it to itself
// (headless). A backend with a connection to watch gives its descriptor to
// the message loop.

#include <memory>
#include <string>
#include <string_view>

#include "platform/gdi/framebuffer.h"

namespace tevorin::display {

struct WindowImage {
    int handle = 0;
    std::u16string_view title;
    bool visible = false;
    const Framebuffer* client = nullptr;  // the client area's pixels
};

class DisplayBackend {
  public:
    virtual ~DisplayBackend() = default;
    // The window has painted; image.client holds the result.
    virtual void Present(const WindowImage& image) = 0;
    // The window is gone; forget what is kept of it.
    virtual void Forget(int handle) = 0;
    // Writes a PNG of the window as it would be shown, frame included.
    [[nodiscard]] virtual bool Snapshot(const WindowImage& image, const std::string& path) = 0;
    // A descriptor the message loop watches, or -1.
    virtual int ConnectionFd() const { return -1; }
};

// The process's backend, chosen on first use: TEVORIN_DISPLAY=headless
// forces the headless one, which is also the default while no other exists.
DisplayBackend& ActiveDisplay();

}  // namespace tevorin::display
