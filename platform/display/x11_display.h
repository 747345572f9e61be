#pragma once
// The X11 display: every visible top-level window is an X window showing its
// framebuffer. Each thread that shows windows has a connection of its own
// (see x11_connection.h). A thread whose connection cannot be made, or is
// lost when the server goes away, carries on as the headless display does:
// its windows keep working without being seen.

#include <atomic>
#include <memory>
#include <string>

#include "platform/display/display_backend.h"
#include "platform/display/headless_display.h"

namespace tevorin::display {

class X11Connection;

class X11Display final : public DisplayBackend {
  public:
    // Connects the calling thread to displayName (empty: $DISPLAY). Null,
    // with the reason in *error, when no server answers.
    static std::unique_ptr<X11Display> Connect(std::string displayName,
                                               std::string snapshotDirectory, std::string* error);
    ~X11Display() override;

    const char* Name() const override { return "x11"; }
    void Present(const WindowImage& image) override;
    void Update(const WindowImage& image) override;
    void Forget(int handle) override;
    bool Snapshot(const WindowImage& image, const std::string& path) override;
    int ConnectionFd() const override;
    void ProcessEvents() override;
    void SetInputSink(InputSink* sink) override;

    // The X window of a top-level window of the calling thread, or 0.
    unsigned long XWindowOf(int handle) const;
    // How often the calling thread looked at its connection.
    long EventPasses() const;

  private:
    X11Display(std::string displayName, std::string snapshotDirectory);
    // The calling thread's live connection, made on first use; null when
    // this thread has none and cannot get one.
    X11Connection* ThisThread(bool open) const;

    std::string displayName_;
    HeadlessDisplay offscreen_;  // snapshots, with or without a screen
    std::atomic<InputSink*> sink_{nullptr};
};

}  // namespace tevorin::display
