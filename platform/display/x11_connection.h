#pragma once
// One thread's connection to the X server. Every window of a thread is an X
// window of that thread's connection, so all Xlib calls for a window happen
// on the thread that runs its message loop. Xlib types stay in the .cpp.

#include <memory>
#include <string>
#include <vector>

#include "platform/display/display_backend.h"

namespace tevorin::display {

class X11Connection {
  public:
    // Connects to displayName (empty: $DISPLAY). Null, with a reason in
    // *error, when no server answers or it offers no true-colour visual.
    static std::unique_ptr<X11Connection> Open(const std::string& displayName, std::string* error);
    ~X11Connection();
    X11Connection(const X11Connection&) = delete;
    X11Connection& operator=(const X11Connection&) = delete;

    int Fd() const;
    // True once the server went away; nothing is sent any more.
    bool Lost() const;

    void Present(const WindowImage& image);
    void Update(const WindowImage& image);
    void Forget(int handle);
    // Reads every waiting event and returns what it means for the windows.
    std::vector<InputEvent> TakeEvents();

    // The X window that shows the top-level window, or 0.
    unsigned long WindowOf(int handle) const;
    // How many times TakeEvents ran; lets a test see that an idle loop sleeps.
    long EventPasses() const;

    struct State;

  private:
    explicit X11Connection(std::unique_ptr<State> state);
    std::unique_ptr<State> state_;
};

}  // namespace tevorin::display
