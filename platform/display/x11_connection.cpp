#include "platform/display/x11_connection.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>

#include "platform/core/text.h"
#include "platform/display/x11_keys.h"
#include "platform/display/x11_pixels.h"
#include "platform/gdi/system_palette.h"

namespace tevorin::display {
namespace {

constexpr long kEventMask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                            KeyPressMask | KeyReleaseMask | StructureNotifyMask | FocusChangeMask |
                            VisibilityChangeMask;

int LogXError(Display* display, XErrorEvent* error) {
    char text[256] = "";
    XGetErrorText(display, error->error_code, text, sizeof text);
    std::fprintf(stderr, "tevorin: X error: %s (request %d.%d, resource 0x%lx)\n", text,
                 error->request_code, error->minor_code, error->resourceid);
    return 0;
}

int LogIoError(Display* /*display*/) {
    std::fprintf(stderr,
                 "tevorin: the connection to the X server is lost; windows go on without a "
                 "screen\n");
    return 0;
}

// Xlib keeps process-wide tables (atoms, error handlers, resource quarks)
// that the connections of several threads share, so it must be made
// thread-safe before the first connection opens.
void PrepareXlibOnce() {
    static std::once_flag once;
    std::call_once(once, [] {
        if (XInitThreads() == 0) std::fprintf(stderr, "tevorin: Xlib cannot be made thread-safe\n");
        XSetErrorHandler(&LogXError);
        XSetIOErrorHandler(&LogIoError);
    });
}

enum AtomIndex {
    kWmProtocols,
    kWmDeleteWindow,
    kWmState,
    kNetWmName,
    kNetWmState,
    kNetWmStateAbove,
    kNetWmPid,
    kUtf8String,
    kAtomCount
};
const char* const kAtomNames[kAtomCount] = {
    "WM_PROTOCOLS",  "WM_DELETE_WINDOW",    "WM_STATE",    "_NET_WM_NAME",
    "_NET_WM_STATE", "_NET_WM_STATE_ABOVE", "_NET_WM_PID", "UTF8_STRING",
};

struct Shown {
    Window window = 0;
    GC gc = nullptr;
    XImage* image = nullptr;
    std::vector<std::uint8_t> bytes;  // image->data points here
    Framebuffer last;                 // what the X window shows
    bool hasImage = false;
    bool mapped = false;     // mapped by us and not unmapped since
    bool iconified = false;  // shown as an icon, or off the screen while minimised
    bool wantVisible = false;
    bool wantIconic = false;
    bool topmost = false;
    // Requests after which the window manager's map and unmap events count;
    // older ones answer an earlier state of the window.
    unsigned long mapSerial = 0;
    unsigned long iconifySerial = 0;
    std::u16string title;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

}  // namespace

struct X11Connection::State {
    Display* display = nullptr;
    int screen = 0;
    Window root = 0;
    Visual* visual = nullptr;
    int depth = 0;
    Colormap colormap = 0;
    bool ownColormap = false;
    PixelLayout layout;
    Atom atoms[kAtomCount] = {};
    std::map<int, Shown> windows;
    std::map<Window, int> handles;
    bool lost = false;
    long passes = 0;

    bool WindowManagerRunning() {
        XWindowAttributes attributes;
        if (XGetWindowAttributes(display, root, &attributes) == 0) return false;
        return (attributes.all_event_masks & SubstructureRedirectMask) != 0;
    }

    Shown* Find(int handle) {
        auto it = windows.find(handle);
        return it == windows.end() ? nullptr : &it->second;
    }

    Shown* FindWindow(Window window) {
        auto it = handles.find(window);
        return it == handles.end() ? nullptr : Find(it->second);
    }

    void FreeImage(Shown& shown) {
        if (shown.image == nullptr) return;
        shown.image->data = nullptr;  // the bytes belong to the vector
        XDestroyImage(shown.image);
        shown.image = nullptr;
    }

    bool MakeImage(Shown& shown, int width, int height) {
        FreeImage(shown);
        shown.image =
            XCreateImage(display, visual, static_cast<unsigned>(depth), ZPixmap, 0, nullptr,
                         static_cast<unsigned>(width), static_cast<unsigned>(height), 32, 0);
        if (shown.image == nullptr) {
            std::fprintf(stderr, "tevorin: no X image of %dx%d\n", width, height);
            return false;
        }
        shown.bytes.assign(static_cast<std::size_t>(shown.image->bytes_per_line) *
                               static_cast<std::size_t>(height),
                           0);
        shown.image->data = reinterpret_cast<char*>(shown.bytes.data());
        return true;
    }

    void SetSizeHints(const Shown& shown) {
        XSizeHints* hints = XAllocSizeHints();
        if (hints == nullptr) return;
        // A dialog has one size: the window manager may not stretch it.
        hints->flags = PPosition | PMinSize | PMaxSize;
        hints->x = shown.x;
        hints->y = shown.y;
        hints->min_width = hints->max_width = std::max(1, shown.width);
        hints->min_height = hints->max_height = std::max(1, shown.height);
        XSetWMNormalHints(display, shown.window, hints);
        XFree(hints);
    }

    void SetInitialState(const Shown& shown, int state) {
        XWMHints* hints = XAllocWMHints();
        if (hints == nullptr) return;
        hints->flags = InputHint | StateHint;
        hints->input = True;
        hints->initial_state = state;
        XSetWMHints(display, shown.window, hints);
        XFree(hints);
    }

    void SetTitle(Shown& shown, std::u16string_view title) {
        shown.title = std::u16string(title);
        const std::string utf8 = Utf16ToUtf8(title);
        const auto* data = reinterpret_cast<const unsigned char*>(utf8.data());
        XChangeProperty(display, shown.window, atoms[kNetWmName], atoms[kUtf8String], 8,
                        PropModeReplace, data, static_cast<int>(utf8.size()));
        // WM_NAME is Latin-1 by tradition; titles beyond it go as UTF-8, which
        // current window managers read.
        const bool latin1 =
            std::all_of(title.begin(), title.end(), [](char16_t c) { return c <= 0xFF; });
        if (latin1) {
            std::string narrow(title.begin(), title.end());
            XChangeProperty(display, shown.window, XA_WM_NAME, XA_STRING, 8, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(narrow.data()),
                            static_cast<int>(narrow.size()));
        } else {
            XChangeProperty(display, shown.window, XA_WM_NAME, atoms[kUtf8String], 8,
                            PropModeReplace, data, static_cast<int>(utf8.size()));
        }
    }

    void SetTopmost(Shown& shown, bool topmost, bool initial) {
        if (!initial && shown.topmost == topmost) return;
        shown.topmost = topmost;
        if (shown.mapped && WindowManagerRunning()) {
            // A mapped window's state belongs to the window manager: ask it.
            XEvent event{};
            event.xclient.type = ClientMessage;
            event.xclient.window = shown.window;
            event.xclient.message_type = atoms[kNetWmState];
            event.xclient.format = 32;
            event.xclient.data.l[0] = topmost ? 1 : 0;  // add or remove
            event.xclient.data.l[1] = static_cast<long>(atoms[kNetWmStateAbove]);
            event.xclient.data.l[3] = 1;  // asked by an application
            if (XSendEvent(display, root, False, SubstructureRedirectMask | SubstructureNotifyMask,
                           &event) == 0)
                std::fprintf(stderr,
                             "tevorin: cannot ask the window manager to keep a window above\n");
            return;
        }
        if (topmost) {
            const Atom above = atoms[kNetWmStateAbove];
            XChangeProperty(display, shown.window, atoms[kNetWmState], XA_ATOM, 32, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(&above), 1);
            if (shown.mapped) XRaiseWindow(display, shown.window);
        } else if (!initial) {
            XDeleteProperty(display, shown.window, atoms[kNetWmState]);
        }
    }

    Shown* Create(const WindowImage& image) {
        XSetWindowAttributes attributes{};
        attributes.background_pixmap = None;  // every pixel comes from the framebuffer
        attributes.border_pixel = 0;
        attributes.colormap = colormap;
        attributes.event_mask = kEventMask;
        attributes.bit_gravity = NorthWestGravity;
        const Window window = XCreateWindow(
            display, root, image.x, image.y, static_cast<unsigned>(std::max(1, image.width)),
            static_cast<unsigned>(std::max(1, image.height)), 0, depth, InputOutput, visual,
            CWBackPixmap | CWBorderPixel | CWColormap | CWEventMask | CWBitGravity, &attributes);
        if (window == 0) {
            std::fprintf(stderr, "tevorin: no X window for window %d\n", image.handle);
            return nullptr;
        }
        Shown& shown = windows[image.handle];
        shown.window = window;
        handles[window] = image.handle;
        shown.x = image.x;
        shown.y = image.y;
        shown.width = image.width;
        shown.height = image.height;
        shown.gc = XCreateGC(display, window, 0, nullptr);
        Atom deleteWindow = atoms[kWmDeleteWindow];
        if (XSetWMProtocols(display, window, &deleteWindow, 1) == 0)
            std::fprintf(stderr, "tevorin: the close box of window %d will not work\n",
                         image.handle);
        if (XClassHint* classHint = XAllocClassHint()) {
            char name[] = "tevorin";
            char className[] = "Tevorin";
            classHint->res_name = name;
            classHint->res_class = className;
            XSetClassHint(display, window, classHint);
            XFree(classHint);
        }
        const long pid = static_cast<long>(::getpid());
        XChangeProperty(display, window, atoms[kNetWmPid], XA_CARDINAL, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&pid), 1);
        SetInitialState(shown, NormalState);
        SetSizeHints(shown);
        SetTitle(shown, image.title);
        SetTopmost(shown, image.topmost, true);
        return &shown;
    }

    void Place(Shown& shown, const WindowImage& image) {
        if (image.x == shown.x && image.y == shown.y && image.width == shown.width &&
            image.height == shown.height)
            return;
        shown.x = image.x;
        shown.y = image.y;
        shown.width = image.width;
        shown.height = image.height;
        SetSizeHints(shown);
        XMoveResizeWindow(display, shown.window, shown.x, shown.y,
                          static_cast<unsigned>(std::max(1, shown.width)),
                          static_cast<unsigned>(std::max(1, shown.height)));
    }

    void Show(Shown& shown, bool visible, bool iconic) {
        shown.wantVisible = visible;
        shown.wantIconic = iconic;
        if (!visible) {
            if (shown.mapped && XWithdrawWindow(display, shown.window, screen) == 0)
                std::fprintf(stderr, "tevorin: cannot hide window %d\n", HandleOf(shown));
            shown.mapped = false;
            shown.iconified = false;
            return;
        }
        if (!shown.hasImage) return;  // nothing to show yet: the first paint maps it
        if (iconic) {
            if (shown.iconified) return;
            shown.iconified = true;
            if (!WindowManagerRunning()) {
                // Without a window manager nothing shows icons: the window
                // leaves the screen until it is restored.
                if (shown.mapped) XUnmapWindow(display, shown.window);
                shown.mapped = false;
                return;
            }
            shown.iconifySerial = NextRequest(display);
            if (!shown.mapped) {
                SetInitialState(shown, IconicState);
                XMapWindow(display, shown.window);
                shown.mapped = true;
            } else if (XIconifyWindow(display, shown.window, screen) == 0) {
                std::fprintf(stderr, "tevorin: cannot minimise window %d\n", HandleOf(shown));
            }
            return;
        }
        if (shown.mapped && !shown.iconified) return;
        SetInitialState(shown, NormalState);
        shown.mapSerial = NextRequest(display);
        XMapRaised(display, shown.window);
        shown.mapped = true;
        shown.iconified = false;
    }

    int HandleOf(const Shown& shown) const {
        auto it = handles.find(shown.window);
        return it == handles.end() ? 0 : it->second;
    }

    void Put(Shown& shown, int x, int y, int width, int height) {
        if (shown.image == nullptr || !shown.mapped) return;
        x = std::max(0, x);
        y = std::max(0, y);
        width = std::min(width, shown.image->width - x);
        height = std::min(height, shown.image->height - y);
        if (width <= 0 || height <= 0) return;
        XPutImage(display, shown.window, shown.gc, shown.image, x, y, x, y,
                  static_cast<unsigned>(width), static_cast<unsigned>(height));
    }

    void Draw(Shown& shown, const Framebuffer& client) {
        if (client.width <= 0 || client.height <= 0) return;
        int x = 0;
        int y = 0;
        int width = client.width;
        int height = client.height;
        if (shown.image == nullptr || shown.last.width != client.width ||
            shown.last.height != client.height) {
            if (!MakeImage(shown, client.width, client.height)) return;
            shown.last = client;
        } else if (ChangedRect(shown.last, client, &x, &y, &width, &height)) {
            for (int row = y; row < y + height; ++row) {
                const auto from = static_cast<std::size_t>(row) * client.width + x;
                std::copy_n(client.pixels.begin() + static_cast<std::ptrdiff_t>(from), width,
                            shown.last.pixels.begin() + static_cast<std::ptrdiff_t>(from));
            }
        } else if (shown.hasImage) {
            return;  // the screen shows this image already
        }
        ConvertRect(client, x, y, width, height, layout,
                    shown.bytes.data() + static_cast<std::size_t>(y) * shown.image->bytes_per_line +
                        static_cast<std::size_t>(x) * (layout.bitsPerPixel / 8),
                    static_cast<std::size_t>(shown.image->bytes_per_line));
        shown.hasImage = true;
        Put(shown, x, y, width, height);
    }

    bool IconicByWindowManager(Window window) {
        Atom type = 0;
        int format = 0;
        unsigned long count = 0;
        unsigned long after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(display, window, atoms[kWmState], 0, 2, False, atoms[kWmState],
                               &type, &format, &count, &after, &data) != Success)
            return false;
        const bool iconic = data != nullptr && format == 32 && count >= 1 &&
                            reinterpret_cast<long*>(data)[0] == IconicState;
        if (data != nullptr) XFree(data);
        return iconic;
    }

    static unsigned Modifiers(unsigned state) {
        unsigned modifiers = 0;
        if ((state & ShiftMask) != 0) modifiers |= InputEvent::kShift;
        if ((state & ControlMask) != 0) modifiers |= InputEvent::kControl;
        if ((state & Button1Mask) != 0) modifiers |= InputEvent::kLeftHeld;
        if ((state & Button3Mask) != 0) modifiers |= InputEvent::kRightHeld;
        return modifiers;
    }

    // An auto-repeated key arrives as a release and a press with the same
    // time; the release is dropped so that the window sees repeated presses.
    bool RepeatFollows(const XKeyEvent& release) {
        if (XEventsQueued(display, QueuedAfterReading) == 0) return false;
        XEvent next;
        XPeekEvent(display, &next);
        return next.type == KeyPress && next.xkey.time == release.time &&
               next.xkey.keycode == release.keycode;
    }

    void Translate(XEvent& event, std::vector<InputEvent>* out) {
        Shown* shown = FindWindow(event.xany.window);
        if (shown == nullptr) return;
        InputEvent input;
        input.handle = HandleOf(*shown);
        switch (event.type) {
            case Expose:
                Put(*shown, event.xexpose.x, event.xexpose.y, event.xexpose.width,
                    event.xexpose.height);
                return;
            case ButtonPress:
            case ButtonRelease: {
                const unsigned button = event.xbutton.button;
                input.x = event.xbutton.x;
                input.y = event.xbutton.y;
                input.modifiers = Modifiers(event.xbutton.state);
                if (button == Button4 || button == Button5) {
                    if (event.type == ButtonRelease) return;
                    input.kind = InputEvent::Kind::kWheel;
                    input.wheelSteps = button == Button4 ? 1 : -1;
                } else if (button >= Button1 && button <= Button3) {
                    input.kind = event.type == ButtonPress ? InputEvent::Kind::kButtonDown
                                                           : InputEvent::Kind::kButtonUp;
                    input.button = static_cast<int>(button);
                } else {
                    return;
                }
                break;
            }
            case MotionNotify:
                // Only where the pointer is now matters.
                while (XCheckTypedWindowEvent(display, event.xany.window, MotionNotify, &event)) {
                }
                input.kind = InputEvent::Kind::kPointerMove;
                input.x = event.xmotion.x;
                input.y = event.xmotion.y;
                input.modifiers = Modifiers(event.xmotion.state);
                break;
            case KeyPress:
            case KeyRelease: {
                if (event.type == KeyRelease && RepeatFollows(event.xkey)) return;
                char text[32];
                KeySym keysym = NoSymbol;
                XLookupString(&event.xkey, text, sizeof text, &keysym, nullptr);
                const KeyMeaning meaning = MeaningOfKeysym(keysym);
                if (meaning.virtualKey == 0 && meaning.character == 0) return;
                input.kind =
                    event.type == KeyPress ? InputEvent::Kind::kKeyDown : InputEvent::Kind::kKeyUp;
                input.virtualKey = meaning.virtualKey;
                input.character = meaning.character;
                input.modifiers = Modifiers(event.xkey.state);
                // Control with a letter types the control character, as it does on Windows.
                if ((input.modifiers & InputEvent::kControl) != 0) {
                    const char32_t c = input.character;
                    if ((c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z'))
                        input.character = c & 0x1F;
                }
                break;
            }
            case ClientMessage:
                if (event.xclient.message_type != atoms[kWmProtocols] ||
                    static_cast<Atom>(event.xclient.data.l[0]) != atoms[kWmDeleteWindow])
                    return;
                input.kind = InputEvent::Kind::kCloseRequest;
                break;
            case UnmapNotify:
                if (!shown->mapped || !shown->wantVisible || shown->wantIconic ||
                    event.xunmap.serial < shown->mapSerial)
                    return;
                if (!IconicByWindowManager(shown->window)) return;
                shown->iconified = true;
                input.kind = InputEvent::Kind::kMinimized;
                break;
            case MapNotify:
                if (!shown->wantIconic || !shown->iconified ||
                    event.xmap.serial < shown->iconifySerial)
                    return;
                shown->iconified = false;
                input.kind = InputEvent::Kind::kRestored;
                break;
            case FocusIn:
                if (event.xfocus.detail == NotifyPointer) return;
                input.kind = InputEvent::Kind::kActivated;
                break;
            case DestroyNotify:
                // Destroyed from outside (a tool, a dying window manager):
                // forget it; the next change of the window makes a new one.
                if (event.xdestroywindow.window != shown->window) return;
                FreeImage(*shown);
                if (shown->gc != nullptr) XFreeGC(display, shown->gc);
                handles.erase(shown->window);
                windows.erase(input.handle);
                return;
            case VisibilityNotify:
                // Without a window manager nobody else keeps a topmost window on top.
                if (shown->topmost && event.xvisibility.state != VisibilityUnobscured &&
                    !WindowManagerRunning())
                    XRaiseWindow(display, shown->window);
                return;
            default:
                return;
        }
        out->push_back(input);
    }
};

namespace {

void MarkLost(Display* /*display*/, void* state) {
    static_cast<X11Connection::State*>(state)->lost = true;
}

}  // namespace

std::unique_ptr<X11Connection> X11Connection::Open(const std::string& displayName,
                                                   std::string* error) {
    PrepareXlibOnce();
    Display* display = XOpenDisplay(displayName.empty() ? nullptr : displayName.c_str());
    if (display == nullptr) {
        const char* name = displayName.empty() ? std::getenv("DISPLAY") : displayName.c_str();
        *error = std::string("no X server answers at \"") + (name != nullptr ? name : "") + "\"";
        return nullptr;
    }
    auto state = std::make_unique<State>();
    state->display = display;
    // The server may go away at any time; the program carries on without it.
    XSetIOErrorExitHandler(display, &MarkLost, state.get());
    state->screen = DefaultScreen(display);
    state->root = RootWindow(display, state->screen);
    state->visual = DefaultVisual(display, state->screen);
    state->depth = DefaultDepth(display, state->screen);
    if (state->visual->c_class != TrueColor) {
        XVisualInfo info;
        bool found = false;
        for (int depth : {24, 16, 15}) {
            if (XMatchVisualInfo(display, state->screen, depth, TrueColor, &info) != 0) {
                state->visual = info.visual;
                state->depth = info.depth;
                found = true;
                break;
            }
        }
        if (!found) {
            *error = "the X server offers no true-colour visual";
            XCloseDisplay(display);
            return nullptr;
        }
        state->colormap = XCreateColormap(display, state->root, state->visual, AllocNone);
        state->ownColormap = true;
    } else {
        state->colormap = DefaultColormap(display, state->screen);
    }
    XImage* probe = XCreateImage(display, state->visual, static_cast<unsigned>(state->depth),
                                 ZPixmap, 0, nullptr, 1, 1, 32, 0);
    if (probe != nullptr) {
        state->layout.bitsPerPixel = probe->bits_per_pixel;
        state->layout.mostSignificantFirst = probe->byte_order == MSBFirst;
        XDestroyImage(probe);
    }
    state->layout.redMask = static_cast<std::uint32_t>(state->visual->red_mask);
    state->layout.greenMask = static_cast<std::uint32_t>(state->visual->green_mask);
    state->layout.blueMask = static_cast<std::uint32_t>(state->visual->blue_mask);
    if (probe == nullptr || !state->layout.Valid()) {
        *error = "the X server's pixel format is not supported";
        if (state->ownColormap) XFreeColormap(display, state->colormap);
        XCloseDisplay(display);
        return nullptr;
    }
    if (XInternAtoms(display, const_cast<char**>(kAtomNames), kAtomCount, False, state->atoms) ==
        0) {
        *error = "the X server does not answer for its atoms";
        if (state->ownColormap) XFreeColormap(display, state->colormap);
        XCloseDisplay(display);
        return nullptr;
    }
    return std::unique_ptr<X11Connection>(new X11Connection(std::move(state)));
}

X11Connection::X11Connection(std::unique_ptr<State> state) : state_(std::move(state)) {}

X11Connection::~X11Connection() {
    State& s = *state_;
    if (!s.lost) {
        for (auto& [handle, shown] : s.windows) {
            s.FreeImage(shown);
            if (shown.gc != nullptr) XFreeGC(s.display, shown.gc);
            XDestroyWindow(s.display, shown.window);
        }
        if (s.ownColormap) XFreeColormap(s.display, s.colormap);
    } else {
        // Only the client-side memory is left to free.
        for (auto& [handle, shown] : s.windows) {
            s.FreeImage(shown);
            if (shown.gc != nullptr) XFreeGC(s.display, shown.gc);
        }
    }
    XCloseDisplay(s.display);
}

int X11Connection::Fd() const {
    return state_->lost ? -1 : ConnectionNumber(state_->display);
}

bool X11Connection::Lost() const {
    return state_->lost;
}

void X11Connection::Present(const WindowImage& image) {
    State& s = *state_;
    if (s.lost || image.client == nullptr) return;
    Shown* shown = s.Find(image.handle);
    if (shown == nullptr) {
        if (!image.visible) return;  // a hidden window never reaches the screen
        shown = s.Create(image);
        if (shown == nullptr) return;
    }
    s.Place(*shown, image);
    if (shown->title != image.title) s.SetTitle(*shown, image.title);
    s.SetTopmost(*shown, image.topmost, false);
    s.Draw(*shown, *image.client);
    s.Show(*shown, image.visible, image.iconic);
    XFlush(s.display);
}

void X11Connection::Update(const WindowImage& image) {
    State& s = *state_;
    if (s.lost) return;
    Shown* shown = s.Find(image.handle);
    if (shown == nullptr) {
        if (!image.visible) return;
        // Shown before it ever painted: it appears in the button-face colour
        // its framebuffer starts with, as the first paint will find it.
        shown = s.Create(image);
        if (shown == nullptr) return;
        Framebuffer blank;
        blank.Resize(image.width, image.height, PixelFromColorRef(GetSysColor(COLOR_BTNFACE)));
        s.Draw(*shown, blank);
    }
    s.Place(*shown, image);
    if (shown->title != image.title) s.SetTitle(*shown, image.title);
    s.SetTopmost(*shown, image.topmost, false);
    s.Show(*shown, image.visible, image.iconic);
    XFlush(s.display);
}

void X11Connection::Forget(int handle) {
    State& s = *state_;
    Shown* shown = s.Find(handle);
    if (shown == nullptr) return;
    s.FreeImage(*shown);
    if (shown->gc != nullptr) XFreeGC(s.display, shown->gc);
    if (!s.lost) {
        XDestroyWindow(s.display, shown->window);
        XFlush(s.display);
    }
    s.handles.erase(shown->window);
    s.windows.erase(handle);
}

std::vector<InputEvent> X11Connection::TakeEvents() {
    State& s = *state_;
    ++s.passes;
    std::vector<InputEvent> events;
    while (!s.lost && XPending(s.display) > 0) {
        XEvent event;
        XNextEvent(s.display, &event);
        if (!s.lost) s.Translate(event, &events);
    }
    return events;
}

unsigned long X11Connection::WindowOf(int handle) const {
    const Shown* shown = state_->Find(handle);
    return shown == nullptr ? 0 : shown->window;
}

long X11Connection::EventPasses() const {
    return state_->passes;
}

}  // namespace tevorin::display
