#include "platform/win/painting.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "loop_watchdog.h"
#include "platform/gdi/font_engine.h"
#include "platform/gdi/png_file.h"
#include "platform/gdi/system_palette.h"
#include "platform/gdi/window_frame.h"
#include "platform/win/desktop_session.h"
#include "platform/win/message_loop.h"
#include "platform/win/paint.h"
#include "platform/win/window.h"

using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

// Snapshots of this test program go to a directory of its own; the display
// reads the variable once, before the first window paints.
struct SnapshotDirectory {
    std::string path;
    SnapshotDirectory() {
        char pattern[] = "/tmp/tevorin-test-snapshots-XXXXXX";
        if (::mkdtemp(pattern) != nullptr) {
            path = pattern;
            ::setenv("TEVORIN_SNAPSHOT_DIR", pattern, 1);
        }
    }
    ~SnapshotDirectory() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
    std::vector<std::string> Files() const {
        std::vector<std::string> names;
        for (const auto& item : fs::directory_iterator(path))
            names.push_back(item.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }
} g_snapshots;

// Paints its client area in the colour kept in its user data.
LRESULT SolidProc(HWND hwnd, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        RECT client;
        GetClientRect(hwnd, &client);
        FillSolidRect(dc, client, static_cast<COLORREF>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)));
        EndPaint(hwnd, &ps);
        return 0;
    }
    return DefWindowProcW(hwnd, message, w, l);
}

const char16_t* SolidClass() {
    static const bool registered = [] {
        WNDCLASSW c;
        c.lpfnWndProc = &SolidProc;
        c.lpszClassName = u"SolidWindow";
        return RegisterClassW(c);
    }();
    (void)registered;
    return u"SolidWindow";
}

HWND MakeSolid(HWND parent, RECT rect, COLORREF color, DWORD style, const char16_t* title = u"") {
    HWND hwnd = CreateWindowExW(0, SolidClass(), title, style, rect.left, rect.top, rect.Width(),
                                rect.Height(), parent, parent ? ChildIdMenu(1) : nullptr, nullptr);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, static_cast<LONG_PTR>(color));
    return hwnd;
}

void PumpUntilIdle() {
    MSG msg;
    for (int guard = 0; guard < 200 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++guard)
        DispatchMessageW(&msg);
}

TEST(Painting, HiddenWindowsCostNoPixelsFontsOrSnapshots) {
    HWND hidden =
        MakeSolid(nullptr, RECT{0, 0, 80, 60}, RGB(1, 2, 3), WS_POPUP | WS_CAPTION, u"hidden");
    InvalidateRect(hidden, nullptr, TRUE);
    PumpUntilIdle();
    EXPECT_FALSE(FontWorkStarted());
    EXPECT_TRUE(g_snapshots.Files().empty());
    DestroyWindow(hidden);
}

TEST(Painting, ChildrenPaintIntoTheirTopLevelClippedToThemselves) {
    LoopWatchdog watchdog(20s);
    HWND top = MakeSolid(nullptr, RECT{0, 0, 106, 85}, RGB(255, 0, 0), WS_POPUP | WS_CAPTION,
                         u"Tevorin自动升级");
    // The child reaches past its parent's right edge; what lies outside is cut.
    HWND child = MakeSolid(top, RECT{10, 10, 200, 30}, RGB(0, 0, 255), WS_CHILD | WS_VISIBLE);
    ASSERT_TRUE(top && child);
    ShowWindow(top, SW_SHOW);
    PumpUntilIdle();
    const auto files = g_snapshots.Files();
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0], "0001-" + std::to_string(HwndToInt(top)) + "-Tevorin自动升级.png");
    Framebuffer image;
    ASSERT_TRUE(ReadPng(g_snapshots.path + "/" + files[0], &image));
    // The client (100 x 60) sits inside the frame at (3, 22).
    EXPECT_EQ(image.width, 106);
    EXPECT_EQ(image.height, 85);
    struct Probe {
        int x, y;
        COLORREF color;
    };
    const Probe probes[] = {{3 + 5, 22 + 5, RGB(255, 0, 0)},
                            {3 + 10, 22 + 10, RGB(0, 0, 255)},
                            {3 + 99, 22 + 29, RGB(0, 0, 255)},
                            {3 + 99, 22 + 30, RGB(255, 0, 0)},
                            {3 + 9, 22 + 15, RGB(255, 0, 0)}};
    for (const auto& p : probes)
        EXPECT_EQ(ColorRefFromPixel(image.At(p.x, p.y)), p.color) << p.x << "," << p.y;

    // The same picture again writes no file; a changed one does.
    InvalidateRect(top, nullptr, TRUE);
    PumpUntilIdle();
    EXPECT_EQ(g_snapshots.Files().size(), 1u);
    SetWindowLongPtrW(child, GWLP_USERDATA, static_cast<LONG_PTR>(RGB(0, 255, 0)));
    InvalidateRect(child, nullptr, TRUE);
    PumpUntilIdle();
    EXPECT_EQ(g_snapshots.Files().size(), 2u);
    DestroyWindow(top);
}

TEST(Painting, HandPaintingWithoutALoopIsShownOnRelease) {
    HWND top =
        MakeSolid(nullptr, RECT{0, 0, 46, 45}, RGB(0, 0, 0), WS_POPUP | WS_CAPTION, u"notice");
    ShowWindow(top, SW_SHOW);
    const auto before = g_snapshots.Files().size();
    HDC dc = GetDC(top);
    ASSERT_NE(dc, nullptr);
    FillSolidRect(dc, RECT{0, 0, 40, 20}, RGB(10, 20, 30));
    EXPECT_EQ(GetPixel(dc, 5, 5), RGB(10, 20, 30));
    ReleaseDC(top, dc);
    EXPECT_EQ(g_snapshots.Files().size(), before + 1);
    DestroyWindow(top);
}

TEST(Painting, EraseBackgroundUsesTheClassBrushAndIsReported) {
    static bool sawErase = false;
    struct Local {
        static LRESULT Proc(HWND hwnd, UINT message, WPARAM w, LPARAM l) {
            if (message == WM_PAINT) {
                PAINTSTRUCT ps;
                BeginPaint(hwnd, &ps);
                sawErase = ps.fErase == FALSE;
                EndPaint(hwnd, &ps);
                return 0;
            }
            return DefWindowProcW(hwnd, message, w, l);
        }
    };
    WNDCLASSW c;
    c.lpfnWndProc = &Local::Proc;
    c.lpszClassName = u"BrushWindow";
    c.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
    ASSERT_TRUE(RegisterClassW(c));
    HWND top = CreateWindowExW(0, u"BrushWindow", u"brush", WS_POPUP | WS_VISIBLE, 0, 0, 30, 30,
                               nullptr, nullptr, nullptr);
    PumpUntilIdle();
    EXPECT_TRUE(sawErase) << "the class brush erased, so the painter need not";
    HDC dc = GetDC(top);
    EXPECT_EQ(GetPixel(dc, 15, 15), GetSysColor(COLOR_WINDOW));
    ReleaseDC(top, dc);
    DestroyWindow(top);
}

TEST(Painting, SnapshotOnRequestFromAnotherProcessOrThread) {
    LoopWatchdog watchdog(20s);
    HWND top =
        MakeSolid(nullptr, RECT{0, 0, 36, 35}, RGB(0, 128, 0), WS_POPUP | WS_CAPTION, u"snap");
    ShowWindow(top, SW_SHOW);
    PumpUntilIdle();
    const std::string png = g_snapshots.path + "/requested.png";
    std::atomic<bool> done{false};
    bool answered = false;
    std::thread asker([&] {
        answered = tevorin::win::RequestSnapshot(top, png, 5000);
        done = true;
    });
    MSG msg;
    while (!done) {
        if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        std::this_thread::sleep_for(1ms);
    }
    asker.join();
    EXPECT_TRUE(answered);
    Framebuffer image;
    ASSERT_TRUE(ReadPng(png, &image));
    EXPECT_EQ(image.width, 36);
    EXPECT_EQ(ColorRefFromPixel(image.At(10, 30)), RGB(0, 128, 0));
    DestroyWindow(top);
}

}  // namespace
