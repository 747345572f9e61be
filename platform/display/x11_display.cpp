#include "platform/display/x11_display.h"

#include <cstdio>

#include "platform/display/x11_connection.h"

namespace tevorin::display {
namespace {

// Set once the thread's connection record is destroyed (thread end, or
// process exit for the main thread); plain, so it can still be read then.
thread_local bool t_threadEnded = false;

struct ThreadConnection {
    const X11Display* owner = nullptr;
    std::unique_ptr<X11Connection> connection;
    bool failed = false;  // no connection, or a lost one: this thread stays without a screen
};

struct ThreadConnectionHolder {
    ThreadConnection value;
    ~ThreadConnectionHolder() { t_threadEnded = true; }
};
thread_local ThreadConnectionHolder t_holder;

ThreadConnection& ThisThreadsRecord() {
    return t_holder.value;
}

}  // namespace

X11Display::X11Display(std::string displayName, std::string snapshotDirectory)
    : displayName_(std::move(displayName)), offscreen_(std::move(snapshotDirectory)) {}

X11Display::~X11Display() {
    // The process's display outlives the main thread's connection record.
    if (!t_threadEnded && ThisThreadsRecord().owner == this)
        ThisThreadsRecord() = ThreadConnection{};
}

std::unique_ptr<X11Display> X11Display::Connect(std::string displayName,
                                                std::string snapshotDirectory, std::string* error) {
    auto connection = X11Connection::Open(displayName, error);
    if (!connection) return nullptr;
    std::unique_ptr<X11Display> display(
        new X11Display(std::move(displayName), std::move(snapshotDirectory)));
    // The probe becomes the calling thread's connection.
    ThisThreadsRecord() = ThreadConnection{};
    ThisThreadsRecord().owner = display.get();
    ThisThreadsRecord().connection = std::move(connection);
    return display;
}

X11Connection* X11Display::ThisThread(bool open) const {
    // A thread that is ending has closed its connection already; the X
    // server took its windows with it.
    if (t_threadEnded) return nullptr;
    if (ThisThreadsRecord().owner != this) {
        ThisThreadsRecord() = ThreadConnection{};
        ThisThreadsRecord().owner = this;
    }
    if (ThisThreadsRecord().connection && !ThisThreadsRecord().connection->Lost())
        return ThisThreadsRecord().connection.get();
    if (ThisThreadsRecord().failed || !open) return nullptr;
    if (ThisThreadsRecord().connection)
        return nullptr;  // lost: never reconnect behind the program's back
    std::string error;
    ThisThreadsRecord().connection = X11Connection::Open(displayName_, &error);
    if (!ThisThreadsRecord().connection) {
        std::fprintf(stderr, "tevorin: %s; this thread's windows are not shown\n", error.c_str());
        ThisThreadsRecord().failed = true;
    }
    return ThisThreadsRecord().connection.get();
}

void X11Display::Present(const WindowImage& image) {
    offscreen_.Present(image);
    if (X11Connection* connection = ThisThread(image.visible)) connection->Present(image);
}

void X11Display::Update(const WindowImage& image) {
    if (X11Connection* connection = ThisThread(image.visible)) connection->Update(image);
}

void X11Display::Forget(int handle) {
    offscreen_.Forget(handle);
    if (t_threadEnded) return;
    if (ThisThreadsRecord().owner == this && ThisThreadsRecord().connection)
        ThisThreadsRecord().connection->Forget(handle);
}

bool X11Display::Snapshot(const WindowImage& image, const std::string& path) {
    return offscreen_.Snapshot(image, path);
}

int X11Display::ConnectionFd() const {
    X11Connection* connection = ThisThread(false);
    return connection != nullptr ? connection->Fd() : -1;
}

void X11Display::ProcessEvents() {
    X11Connection* connection = ThisThread(false);
    if (connection == nullptr) return;
    const auto events = connection->TakeEvents();
    if (connection->Lost()) ThisThreadsRecord().failed = true;
    InputSink* sink = sink_.load();
    if (sink == nullptr) return;
    // Delivered after reading: a window procedure may run a modal loop that
    // reads this connection again.
    for (const auto& event : events) sink->Deliver(event);
}

void X11Display::SetInputSink(InputSink* sink) {
    sink_.store(sink);
}

unsigned long X11Display::XWindowOf(int handle) const {
    X11Connection* connection = ThisThread(false);
    return connection != nullptr ? connection->WindowOf(handle) : 0;
}

long X11Display::EventPasses() const {
    return !t_threadEnded && ThisThreadsRecord().owner == this && ThisThreadsRecord().connection
               ? ThisThreadsRecord().connection->EventPasses()
               : 0;
}

}  // namespace tevorin::display
