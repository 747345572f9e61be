// Top-level windows on a real X server (Xvfb, without a window manager
// unless a test plays one), driven with xdotool and inspected through an X
// connection of the test's own.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>

#include "platform/core/text.h"
#include "platform/display/x11_display.h"
#include "platform/gdi/system_palette.h"
#include "platform/win/focus.h"
#include "platform/win/paint.h"
#include "platform/win/painting.h"
#include "platform/win/window.h"
#include "platform_display/x11_test_window.h"
#include "platform_win/loop_watchdog.h"
#include "support/x_server.h"
// Xlib last: its macros (None, Status, Bool) would break the headers above.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include "platform_display/x11_server_fixture.h"

namespace {

using namespace std::chrono_literals;
using namespace x11_test;

constexpr int kWidth = 300;
constexpr int kHeight = 200;
// No caption: the client area starts at the window's corner.
constexpr DWORD kShownPopup = WS_POPUP | WS_VISIBLE;

class X11WindowTest : public X11ServerFixture {
  protected:
    void SetUp() override {
        X11ServerFixture::SetUp();
        if (SetUpStopped()) return;
        Log().clear();
    }

    void TearDown() override {
        for (HWND hwnd : made_)
            if (IsWindow(hwnd)) DestroyWindow(hwnd);
        X11ServerFixture::TearDown();
    }

    static tevorin::display::X11Display& Backend() {
        return static_cast<tevorin::display::X11Display&>(tevorin::display::ActiveDisplay());
    }

    HWND Show(const char16_t* title, RECT rect = RECT{40, 30, 40 + kWidth, 30 + kHeight},
              DWORD style = kShownPopup, DWORD exStyle = 0) {
        HWND hwnd = MakePanel(title, rect, style, exStyle);
        made_.push_back(hwnd);
        return hwnd;
    }

    Window XWindowOf(HWND hwnd) { return Backend().XWindowOf(HwndToInt(hwnd)); }

    int MapState(Window window) {
        XWindowAttributes attributes;
        if (window == 0 || XGetWindowAttributes(inspector_, window, &attributes) == 0) return -1;
        return attributes.map_state;
    }

    // Pumps until the window's X window is on the screen.
    bool ShownOnScreen(HWND hwnd) {
        return PumpUntil([&] { return MapState(XWindowOf(hwnd)) == IsViewable; });
    }

    std::string Property(Window window, const char* name, Atom* type = nullptr) {
        Atom actualType = 0;
        int format = 0;
        unsigned long count = 0;
        unsigned long after = 0;
        unsigned char* data = nullptr;
        const Atom atom = XInternAtom(inspector_, name, False);
        if (XGetWindowProperty(inspector_, window, atom, 0, 4096, False, AnyPropertyType,
                               &actualType, &format, &count, &after, &data) != Success)
            return "";
        std::string value;
        if (data != nullptr) {
            const std::size_t bytes = format == 32 ? count * sizeof(long) : count * format / 8;
            value.assign(reinterpret_cast<const char*>(data), bytes);
            XFree(data);
        }
        if (type != nullptr) *type = actualType;
        return value;
    }

    bool HasAtom(Window window, const char* property, const char* atomName) {
        const std::string value = Property(window, property);
        const Atom wanted = XInternAtom(inspector_, atomName, False);
        for (std::size_t i = 0; i + sizeof(long) <= value.size(); i += sizeof(long))
            if (static_cast<Atom>(*reinterpret_cast<const long*>(value.data() + i)) == wanted)
                return true;
        return false;
    }

    std::vector<HWND> made_;
    LoopWatchdog watchdog_{60s, "X11 window test"};
};

TEST_F(X11WindowTest, WindowIsMappedAtItsSizeWithItsTitle) {
    HWND hwnd = Show(u"Tevorin 升级 X11");
    ASSERT_TRUE(ShownOnScreen(hwnd));
    const Window window = XWindowOf(hwnd);

    const auto found = Xdotool({"search", "--name", "Tevorin 升级 X11"});
    ASSERT_EQ(found.exitCode, 0) << found.err;
    EXPECT_EQ(std::stoul(found.out), window);
    const auto geometry = Xdotool({"getwindowgeometry", std::to_string(window)});
    EXPECT_NE(geometry.out.find("Geometry: 300x200"), std::string::npos) << geometry.out;
    EXPECT_NE(geometry.out.find("Position: 40,30"), std::string::npos) << geometry.out;

    Atom type = 0;
    EXPECT_EQ(Property(window, "_NET_WM_NAME", &type), "Tevorin 升级 X11");
    EXPECT_EQ(type, XInternAtom(inspector_, "UTF8_STRING", False));
    EXPECT_TRUE(HasAtom(window, "WM_PROTOCOLS", "WM_DELETE_WINDOW"));

    XSizeHints hints{};
    long supplied = 0;
    ASSERT_NE(XGetWMNormalHints(inspector_, window, &hints, &supplied), 0);
    EXPECT_TRUE((hints.flags & PMinSize) && (hints.flags & PMaxSize));
    EXPECT_EQ(hints.min_width, kWidth);
    EXPECT_EQ(hints.max_width, kWidth);
    EXPECT_EQ(hints.min_height, kHeight);
    EXPECT_EQ(hints.max_height, kHeight);

    // A new title reaches the screen without a repaint; a Latin-1 one also
    // goes into WM_NAME as plain STRING.
    ASSERT_TRUE(SetWindowTextW(hwnd, u"Tevorin renamed"));
    ASSERT_TRUE(PumpUntil([&] { return Property(window, "_NET_WM_NAME") == "Tevorin renamed"; }));
    EXPECT_EQ(Property(window, "WM_NAME", &type), "Tevorin renamed");
    EXPECT_EQ(type, XA_STRING);
}

TEST_F(X11WindowTest, ScreenShowsTheFramebufferAndExposeRepaintsIt) {
    HWND hwnd = Show(u"pixels");
    MakeChildPanel(hwnd, 7, RECT{100, 50, 160, 90}, RGB(0xE0, 0x10, 0x90));
    ASSERT_TRUE(ShownOnScreen(hwnd));
    const Window root = DefaultRootWindow(inspector_);

    auto expected = [](int x, int y) {
        if (x >= 100 && x < 160 && y >= 50 && y < 90) return PixelFromRgb(0xE0, 0x10, 0x90);
        return PatternPixel(x, y);
    };
    auto screenMatches = [&](std::string* firstMismatch) {
        XImage* shot = XGetImage(inspector_, root, 40, 30, kWidth, kHeight, AllPlanes, ZPixmap);
        if (shot == nullptr) {
            *firstMismatch = "no screenshot";
            return false;
        }
        bool same = true;
        for (int y = 0; y < kHeight && same; ++y) {
            for (int x = 0; x < kWidth && same; ++x) {
                const auto got = static_cast<std::uint32_t>(XGetPixel(shot, x, y)) & 0xFFFFFF;
                if (got != expected(x, y)) {
                    same = false;
                    *firstMismatch = "at " + std::to_string(x) + "," + std::to_string(y) + ": " +
                                     std::to_string(got) + " instead of " +
                                     std::to_string(expected(x, y));
                }
            }
        }
        XDestroyImage(shot);
        return same;
    };
    std::string mismatch;
    ASSERT_TRUE(PumpUntil([&] { return screenMatches(&mismatch); })) << mismatch;

    // Another window covers part of ours and goes away: the uncovered part
    // comes back from the framebuffer.
    const Window cover = XCreateSimpleWindow(inspector_, root, 60, 40, 200, 120, 0, 0, 0x00FF00);
    XMapRaised(inspector_, cover);
    XSync(inspector_, False);
    ASSERT_TRUE(PumpUntil([&] { return !screenMatches(&mismatch); }));
    XDestroyWindow(inspector_, cover);
    XSync(inspector_, False);
    EXPECT_TRUE(PumpUntil([&] { return screenMatches(&mismatch); })) << mismatch;
}

TEST_F(X11WindowTest, ClickOnAChildArrivesThereAndBecomesACommand) {
    HWND hwnd = Show(u"click");
    HWND button = MakeChildPanel(hwnd, 1001, RECT{20, 20, 120, 60}, RGB(0, 0x80, 0));
    HWND disabled =
        MakeChildPanel(hwnd, 1002, RECT{150, 20, 250, 60}, RGB(0x80, 0, 0), WS_DISABLED);
    ASSERT_TRUE(ShownOnScreen(hwnd));
    const std::string window = std::to_string(XWindowOf(hwnd));

    ASSERT_EQ(Xdotool({"mousemove", "--window", window, "50", "30", "click", "1"}).exitCode, 0);
    ASSERT_TRUE(PumpUntil([] { return !LogOf(WM_COMMAND).empty(); }));
    const auto downs = LogOf(WM_LBUTTONDOWN);
    ASSERT_EQ(downs.size(), 1u);
    EXPECT_EQ(downs[0].hwnd, button);
    EXPECT_EQ(downs[0].lParam, MAKELPARAM(30, 10)) << "position in the child's client area";
    EXPECT_NE(downs[0].wParam & MK_LBUTTON, 0u);
    ASSERT_EQ(LogOf(WM_LBUTTONUP).size(), 1u);
    EXPECT_EQ(LogOf(WM_LBUTTONUP)[0].hwnd, button);
    const auto commands = LogOf(WM_COMMAND);
    EXPECT_EQ(commands[0].hwnd, hwnd);
    EXPECT_EQ(LOWORD(commands[0].wParam), 1001);

    // A disabled child lets its parent take the click.
    Log().clear();
    ASSERT_EQ(Xdotool({"mousemove", "--window", window, "160", "25", "click", "1"}).exitCode, 0);
    ASSERT_TRUE(PumpUntil([] { return !LogOf(WM_LBUTTONUP).empty(); }));
    EXPECT_EQ(LogOf(WM_LBUTTONDOWN).at(0).hwnd, hwnd);
    EXPECT_EQ(LogOf(WM_LBUTTONDOWN).at(0).lParam, MAKELPARAM(160, 25));
    EXPECT_TRUE(LogOf(WM_COMMAND).empty());
    (void)disabled;

    // Pressed on the child and released outside it: the child still sees the
    // release (and, like a button, does not fire).
    Log().clear();
    ASSERT_EQ(Xdotool({"mousemove", "--window", window, "30", "30", "mousedown", "1", "mousemove",
                       "--window", window, "280", "180", "mouseup", "1"})
                  .exitCode,
              0);
    ASSERT_TRUE(PumpUntil([] { return !LogOf(WM_LBUTTONUP).empty(); }));
    EXPECT_EQ(LogOf(WM_LBUTTONUP)[0].hwnd, button);
    EXPECT_EQ(LogOf(WM_LBUTTONUP)[0].lParam, MAKELPARAM(260, 160));
    PumpOnce(50ms);
    EXPECT_TRUE(LogOf(WM_COMMAND).empty());
}

TEST_F(X11WindowTest, KeysReachTheFocusWindowAndTranslateToCharacters) {
    HWND hwnd = Show(u"keys");
    HWND field = MakeChildPanel(hwnd, 5, RECT{10, 10, 200, 40}, RGB(0xFF, 0xFF, 0xFF));
    ASSERT_TRUE(ShownOnScreen(hwnd));
    SetFocus(field);
    Log().clear();
    const std::string window = std::to_string(XWindowOf(hwnd));
    ASSERT_EQ(Xdotool({"windowfocus", "--sync", window}).exitCode, 0);
    ASSERT_EQ(Xdotool({"key", "Escape", "Return", "Tab", "a", "shift+b"}).exitCode, 0);
    ASSERT_TRUE(PumpUntil([] { return LogOf(WM_CHAR).size() >= 5; }));

    struct Expected {
        WPARAM key;
        WPARAM character;
    };
    const Expected expected[] = {
        {0x1B, 0x1B}, {0x0D, u'\r'}, {0x09, u'\t'}, {'A', u'a'}, {'B', u'B'}};
    std::vector<WPARAM> keys;
    for (const auto& r : LogOf(WM_KEYDOWN)) {
        EXPECT_EQ(r.hwnd, field);
        if (r.wParam != 0x10) keys.push_back(r.wParam);  // the Shift key itself
    }
    const auto chars = LogOf(WM_CHAR);
    ASSERT_EQ(keys.size(), std::size(expected));
    ASSERT_EQ(chars.size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(keys[i], expected[i].key) << "key " << i;
        EXPECT_EQ(chars[i].wParam, expected[i].character) << "character " << i;
        EXPECT_EQ(chars[i].hwnd, field) << "character " << i;
    }
    EXPECT_FALSE(LogOf(WM_KEYUP).empty());

    // Without a focus window of its own, the keys go to the top-level window.
    SetFocus(nullptr);
    Log().clear();
    ASSERT_EQ(Xdotool({"key", "Escape"}).exitCode, 0);
    ASSERT_TRUE(PumpUntil([] { return !LogOf(WM_KEYDOWN).empty(); }));
    EXPECT_EQ(LogOf(WM_KEYDOWN)[0].hwnd, hwnd);
}

TEST_F(X11WindowTest, WheelGoesToTheWindowUnderThePointer) {
    HWND hwnd = Show(u"wheel");
    HWND list = MakeChildPanel(hwnd, 9, RECT{50, 50, 250, 150}, RGB(0x20, 0x20, 0x20));
    ASSERT_TRUE(ShownOnScreen(hwnd));
    const std::string window = std::to_string(XWindowOf(hwnd));
    ASSERT_EQ(Xdotool({"mousemove", "--window", window, "100", "100", "click", "5", "click", "4"})
                  .exitCode,
              0);
    ASSERT_TRUE(PumpUntil([] { return LogOf(WM_MOUSEWHEEL).size() >= 2; }));
    const auto wheel = LogOf(WM_MOUSEWHEEL);
    EXPECT_EQ(wheel[0].hwnd, list);
    EXPECT_EQ(static_cast<std::int16_t>(HIWORD(wheel[0].wParam)), -120);
    EXPECT_EQ(static_cast<std::int16_t>(HIWORD(wheel[1].wParam)), 120);
    EXPECT_EQ(wheel[0].lParam, MAKELPARAM(140, 130)) << "screen coordinates";
    EXPECT_TRUE(LogOf(WM_LBUTTONDOWN).empty());
}

TEST_F(X11WindowTest, CloseBoxAsksTheWindowToClose) {
    HWND hwnd = Show(u"close");
    ASSERT_TRUE(ShownOnScreen(hwnd));
    // What a window manager sends when its close box is pressed.
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = XWindowOf(hwnd);
    event.xclient.message_type = XInternAtom(inspector_, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(inspector_, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    ASSERT_NE(XSendEvent(inspector_, XWindowOf(hwnd), False, NoEventMask, &event), 0);
    XSync(inspector_, False);
    ASSERT_TRUE(PumpUntil([] { return !LogOf(WM_CLOSE).empty(); }));
    ASSERT_FALSE(LogOf(WM_SYSCOMMAND).empty());
    EXPECT_EQ(LogOf(WM_SYSCOMMAND)[0].wParam, SC_CLOSE);
    EXPECT_EQ(LogOf(WM_CLOSE)[0].hwnd, hwnd);
}

TEST_F(X11WindowTest, MinimiseHideAndRestoreTakeTheWindowOffAndBack) {
    HWND hwnd = Show(u"minimise");
    ASSERT_TRUE(ShownOnScreen(hwnd));
    const Window window = XWindowOf(hwnd);
    struct Step {
        int command;
        int mapState;
    };
    const Step steps[] = {{SW_MINIMIZE, IsUnmapped},
                          {SW_RESTORE, IsViewable},
                          {SW_HIDE, IsUnmapped},
                          {SW_SHOW, IsViewable}};
    for (const auto& step : steps) {
        ShowWindow(hwnd, step.command);
        EXPECT_TRUE(PumpUntil([&] { return MapState(window) == step.mapState; }))
            << "after ShowWindow " << step.command << " the map state is " << MapState(window);
        EXPECT_EQ(XWindowOf(hwnd), window) << "the same X window throughout";
    }
}

// Just enough of a window manager to see what the program asks of one:
// maps what asks to be mapped, counts iconify and keep-above requests, and
// can iconify and restore a window as a user would.
class FakeWindowManager {
  public:
    explicit FakeWindowManager(Display* display)
        : display_(display), root_(DefaultRootWindow(display)) {
        XSelectInput(display_, root_, SubstructureRedirectMask | SubstructureNotifyMask);
        XSync(display_, False);
        changeState_ = XInternAtom(display_, "WM_CHANGE_STATE", False);
        netWmState_ = XInternAtom(display_, "_NET_WM_STATE", False);
        above_ = XInternAtom(display_, "_NET_WM_STATE_ABOVE", False);
        wmState_ = XInternAtom(display_, "WM_STATE", False);
    }
    ~FakeWindowManager() {
        XSelectInput(display_, root_, NoEventMask);
        XSync(display_, False);
    }

    void Serve() {
        while (XPending(display_) > 0) {
            XEvent event;
            XNextEvent(display_, &event);
            if (event.type == MapRequest) {
                SetState(event.xmaprequest.window, NormalState);
                XMapWindow(display_, event.xmaprequest.window);
            } else if (event.type == ClientMessage && !Watches(event.xclient.window)) {
                continue;  // another client of the shared server
            } else if (event.type == ClientMessage && event.xclient.message_type == changeState_ &&
                       event.xclient.data.l[0] == IconicState) {
                ++iconifyRequests;
                Iconify(event.xclient.window);
            } else if (event.type == ClientMessage && event.xclient.message_type == netWmState_ &&
                       static_cast<Atom>(event.xclient.data.l[1]) == above_) {
                aboveRequests.push_back(event.xclient.data.l[0]);
            }
        }
        XSync(display_, False);
    }

    void Iconify(Window window) {
        SetState(window, IconicState);
        XUnmapWindow(display_, window);
        XSync(display_, False);
    }
    void Restore(Window window) {
        SetState(window, NormalState);
        XMapWindow(display_, window);
        XSync(display_, False);
    }

    int iconifyRequests = 0;
    std::vector<long> aboveRequests;  // 1 add, 0 remove
    Window watched = None;  // None: count requests about every window

  private:
    bool Watches(Window window) const { return watched == None || window == watched; }

    void SetState(Window window, long state) {
        const long value[2] = {state, 0};
        XChangeProperty(display_, window, wmState_, wmState_, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(value), 2);
    }

    Display* display_;
    Window root_;
    Atom changeState_;
    Atom netWmState_;
    Atom above_;
    Atom wmState_;
};

TEST_F(X11WindowTest, WithAWindowManagerMinimiseAndTopmostAreAskedOfIt) {
    FakeWindowManager manager(inspector_);
    HWND hwnd = Show(u"managed");
    auto serving = [&](auto condition) {
        return PumpUntil([&] {
            manager.Serve();
            return condition();
        });
    };
    ASSERT_TRUE(serving([&] { return MapState(XWindowOf(hwnd)) == IsViewable; }));
    const Window window = XWindowOf(hwnd);
    manager.watched = window;

    ShowWindow(hwnd, SW_MINIMIZE);
    ASSERT_TRUE(serving([&] { return manager.iconifyRequests == 1; }));
    EXPECT_TRUE(serving([&] { return MapState(window) == IsUnmapped; }));
    EXPECT_TRUE(IsIconic(hwnd));
    ShowWindow(hwnd, SW_RESTORE);
    EXPECT_TRUE(serving([&] { return MapState(window) == IsViewable; }));
    EXPECT_FALSE(IsIconic(hwnd));

    SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ASSERT_TRUE(serving([&] { return manager.aboveRequests.size() == 1; }));
    EXPECT_EQ(manager.aboveRequests[0], 1);
    SetWindowPos(hwnd, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ASSERT_TRUE(serving([&] { return manager.aboveRequests.size() == 2; }));
    EXPECT_EQ(manager.aboveRequests[1], 0);

    // The user minimises and restores through the window manager.
    manager.Iconify(window);
    EXPECT_TRUE(serving([&] { return IsIconic(hwnd) != FALSE; }));
    manager.Restore(window);
    EXPECT_TRUE(serving([&] { return IsIconic(hwnd) == FALSE; }));
    EXPECT_EQ(manager.iconifyRequests, 1) << "the program's own state change asks nothing more";
    EXPECT_EQ(MapState(window), IsViewable);
}

TEST_F(X11WindowTest, WindowThatNeverPaintsStillAppears) {
    static const bool registered = [] {
        WNDCLASSW windowClass;
        windowClass.lpfnWndProc = &DefWindowProcW;  // validates without drawing
        windowClass.lpszClassName = u"X11TestSilent";
        return RegisterClassW(windowClass);
    }();
    ASSERT_TRUE(registered);
    HWND hwnd = CreateWindowExW(0, u"X11TestSilent", u"silent", kShownPopup, 50, 60, 80, 40,
                                nullptr, nullptr, nullptr);
    made_.push_back(hwnd);
    ASSERT_TRUE(ShownOnScreen(hwnd));
    const std::uint32_t face = PixelFromColorRef(GetSysColor(COLOR_BTNFACE));
    auto showsFace = [&] {
        XImage* shot = XGetImage(inspector_, DefaultRootWindow(inspector_), 50, 60, 80, 40,
                                 AllPlanes, ZPixmap);
        if (shot == nullptr) return false;
        const bool same = (XGetPixel(shot, 0, 0) & 0xFFFFFF) == face &&
                          (XGetPixel(shot, 79, 39) & 0xFFFFFF) == face;
        XDestroyImage(shot);
        return same;
    };
    EXPECT_TRUE(PumpUntil(showsFace));
}

TEST_F(X11WindowTest, XWindowDestroyedFromOutsideComesBackOnTheNextChange) {
    HWND hwnd = Show(u"destroyed outside");
    ASSERT_TRUE(ShownOnScreen(hwnd));
    const Window first = XWindowOf(hwnd);
    XDestroyWindow(inspector_, first);  // what `xdotool windowclose` does
    XSync(inspector_, False);
    InvalidateRect(hwnd, nullptr, FALSE);
    EXPECT_TRUE(PumpUntil(
        [&] { return XWindowOf(hwnd) != first && MapState(XWindowOf(hwnd)) == IsViewable; }));
    EXPECT_TRUE(IsWindow(hwnd));
}

TEST_F(X11WindowTest, HiddenWindowNeverReachesTheScreen) {
    HWND hwnd = Show(u"hidden host", RECT{0, 0, 100, 100}, WS_POPUP);
    // It paints anyway, as the update check's host window may.
    HDC dc = GetDC(hwnd);
    ASSERT_NE(dc, nullptr);
    ReleaseDC(hwnd, dc);
    PumpOnce(100ms);
    EXPECT_EQ(XWindowOf(hwnd), 0u);
    EXPECT_EQ(Xdotool({"search", "--name", "hidden host"}).exitCode, 1);
}

TEST_F(X11WindowTest, TopmostWindowStaysAbove) {
    HWND hwnd =
        Show(u"topmost", RECT{40, 30, 40 + kWidth, 30 + kHeight}, kShownPopup, WS_EX_TOPMOST);
    ASSERT_TRUE(ShownOnScreen(hwnd));
    const Window window = XWindowOf(hwnd);
    EXPECT_TRUE(HasAtom(window, "_NET_WM_STATE", "_NET_WM_STATE_ABOVE"));

    const Window root = DefaultRootWindow(inspector_);
    const Window other = XCreateSimpleWindow(inspector_, root, 0, 0, 400, 300, 0, 0, 0);
    XMapRaised(inspector_, other);
    XSync(inspector_, False);
    auto ourWindowOnTop = [&] {
        Window rootReturn = 0;
        Window parent = 0;
        Window* children = nullptr;
        unsigned count = 0;
        if (XQueryTree(inspector_, root, &rootReturn, &parent, &children, &count) == 0)
            return false;
        // Bottom to top: ours must come after the other window.
        const auto end = children + count;
        const auto ours = std::find(children, end, window);
        const auto theirs = std::find(children, end, other);
        const bool above = ours != end && theirs != end && ours > theirs;
        XFree(children);
        return above;
    };
    EXPECT_TRUE(PumpUntil(ourWindowOnTop));
    XDestroyWindow(inspector_, other);
    XSync(inspector_, False);
}

TEST_F(X11WindowTest, IdleMessageLoopSleeps) {
    HWND hwnd = Show(u"idle");
    ASSERT_TRUE(ShownOnScreen(hwnd));
    PumpOnce(50ms);  // let the map's Expose and focus traffic settle
    const long before = Backend().EventPasses();
    const DWORD self = GetCurrentThreadId();
    std::thread quitter([self] {
        std::this_thread::sleep_for(200ms);
        PostThreadMessageW(self, WM_USER + 1, 0, 0);
    });
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0 && msg.message != WM_USER + 1)
        DispatchMessageW(&msg);
    quitter.join();
    const long passes = Backend().EventPasses() - before;
    // A loop that polls instead of sleeping looks thousands of times.
    EXPECT_LE(passes, 10) << "the loop woke " << passes << " times in 200 ms with nothing to do";
    EXPECT_GE(passes, 1) << "the loop never looked at the X connection";
}

TEST_F(X11WindowTest, WindowsOfAnotherThreadShowThroughItsOwnConnection) {
    std::atomic<unsigned long> shown{0};
    std::atomic<bool> done{false};
    std::thread other([&] {
        HWND hwnd = MakePanel(u"second thread", RECT{400, 300, 500, 380}, kShownPopup);
        PumpUntil([&] { return Backend().XWindowOf(HwndToInt(hwnd)) != 0; });
        shown = Backend().XWindowOf(HwndToInt(hwnd));
        PumpUntil([&] { return done.load(); });
        // The thread ends with its window still there.
    });
    EXPECT_TRUE(PumpUntil([&] { return shown != 0 && MapState(shown) == IsViewable; }));
    const auto found = Xdotool({"search", "--name", "second thread"});
    EXPECT_EQ(found.exitCode, 0);
    done = true;
    other.join();
    // Its connection closed with it, and the server took the window away.
    EXPECT_TRUE(PumpUntil([&] { return MapState(shown) == -1; }));
}

}  // namespace
