#pragma once
// Where top-level windows are shown. The window system paints every
// top-level window into a framebuffer of its own and hands the backend the
// finished image; the backend shows it (X11) or keeps it to itself
// (headless). A backend with a connection to watch gives its descriptor to
// the message loop, and hands what the user does back through an input sink.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/gdi/framebuffer.h"

namespace tevorin::display {

struct WindowImage {
    int handle = 0;
    std::u16string_view title;
    bool visible = false;
    const Framebuffer* client = nullptr;  // the client area's pixels; null for a state change
    bool iconic = false;
    bool topmost = false;
    // The client area on the screen.
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// Something the user did to a shown window. Positions are in the client
// coordinates of the top-level window `handle`.
struct InputEvent {
    enum class Kind {
        kButtonDown,
        kButtonUp,
        kPointerMove,
        kWheel,  // wheelSteps notches, positive away from the user
        kKeyDown,
        kKeyUp,
        kCloseRequest,  // the window manager's close box
        kMinimized,     // iconified by the window manager
        kRestored,      // brought back from an icon by the window manager
        kActivated,     // the window got the keyboard
    };
    enum Button { kLeft = 1, kMiddle = 2, kRight = 3 };
    enum Modifier : unsigned { kShift = 1, kControl = 2, kLeftHeld = 4, kRightHeld = 8 };

    Kind kind = Kind::kPointerMove;
    int handle = 0;
    int x = 0;
    int y = 0;
    int button = 0;
    int wheelSteps = 0;
    unsigned virtualKey = 0;  // a VK_ code; 0 for a key without one
    char32_t character = 0;   // what the key types; 0 for none
    unsigned modifiers = 0;   // Modifier bits
};

class InputSink {
  public:
    virtual ~InputSink() = default;
    // Runs on the thread whose connection saw the event, which is the
    // window's own thread.
    virtual void Deliver(const InputEvent& event) = 0;
};

class DisplayBackend {
  public:
    virtual ~DisplayBackend() = default;
    // "x11" or "headless".
    virtual const char* Name() const = 0;
    // The window has painted; image.client holds the result.
    virtual void Present(const WindowImage& image) = 0;
    // Title, visibility, minimised state, topmost state or place changed;
    // image.client is null. A window shown before its first paint appears
    // in the colour its framebuffer starts with.
    virtual void Update(const WindowImage& /*image*/) {}
    // The window is gone; forget what is kept of it.
    virtual void Forget(int handle) = 0;
    // Writes a PNG of the window as it would be shown, frame included.
    [[nodiscard]] virtual bool Snapshot(const WindowImage& image, const std::string& path) = 0;
    // The descriptor the calling thread's message loop watches, or -1.
    virtual int ConnectionFd() const { return -1; }
    // Handles everything that waits on the calling thread's connection,
    // including events already read into memory. The message loop calls it
    // before it sleeps and whenever the descriptor is readable.
    virtual void ProcessEvents() {}
    // Where user input goes; null drops it.
    virtual void SetInputSink(InputSink* /*sink*/) {}
};

enum class DisplayKind { kHeadless, kX11 };

// What the environment asks for: TEVORIN_DISPLAY=headless or x11 decides;
// otherwise a non-empty DISPLAY asks for X11. Unknown TEVORIN_DISPLAY values
// count as unset.
DisplayKind RequestedDisplayKind(const char* tevorinDisplay, const char* display);

// The process's backend, chosen on first use by RequestedDisplayKind. When
// X11 is asked for but no server answers, the headless display is used.
DisplayBackend& ActiveDisplay();

}  // namespace tevorin::display
