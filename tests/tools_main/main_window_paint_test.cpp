// The stand-in main program's window shows its name and the version.

#include "tools/main/main_window_paint.h"

#include <gtest/gtest.h>

#include "platform/gdi/system_palette.h"
#include "platform/win/message_loop.h"
#include "platform/win/paint.h"
#include "platform/win/painting.h"
#include "platform/win/window.h"

namespace {

DWORD g_version = 0;

LRESULT PaintingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        main_stand_in::PaintMainWindow(hwnd, g_version);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

const char16_t* ClassName() {
    static const bool registered = [] {
        WNDCLASSW c;
        c.lpfnWndProc = &PaintingProc;
        c.lpszClassName = u"MainWindowPaintTest";
        return RegisterClassW(c);
    }();
    EXPECT_TRUE(registered);
    return u"MainWindowPaintTest";
}

// The horizontal extent of text-coloured pixels in rows [top, bottom).
struct Ink {
    int left = 1 << 20;
    int right = -1;
    int count = 0;
};

Ink InkIn(HDC dc, int width, int top, int bottom) {
    Ink ink;
    for (int y = top; y < bottom; ++y) {
        for (int x = 0; x < width; ++x) {
            if (GetRValue(GetPixel(dc, x, y)) >= 128) continue;
            ++ink.count;
            ink.left = std::min(ink.left, x);
            ink.right = std::max(ink.right, x);
        }
    }
    return ink;
}

TEST(MainWindowPaint, VersionLineIsUpperCaseHex) {
    const struct {
        DWORD version;
        std::u16string line;
    } cases[] = {{1, u"Version 1"}, {0xC1A2B, u"Version C1A2B"}, {0xFFFFFFFF, u"Version FFFFFFFF"}};
    for (const auto& c : cases)
        EXPECT_EQ(main_stand_in::VersionLine(c.version), c.line) << c.version;
}

TEST(MainWindowPaint, NameAboveVersionCentredOnAWhiteWindow) {
    Ink versionInk[2];
    const DWORD versions[2] = {0x1, 0xFFFFFFFF};
    for (int i = 0; i < 2; ++i) {
        g_version = versions[i];
        HWND hwnd = CreateWindowExW(0, ClassName(), u"Tevorin", WS_OVERLAPPED | WS_CAPTION, 0, 0,
                                    320, 140, nullptr, nullptr, nullptr);
        ASSERT_NE(hwnd, nullptr);
        ShowWindow(hwnd, SW_SHOW);
        UpdateWindow(hwnd);
        RECT client;
        GetClientRect(hwnd, &client);
        HDC dc = GetDC(hwnd);
        EXPECT_EQ(GetPixel(dc, 2, 2), GetSysColor(COLOR_WINDOW));
        const int middle = client.Height() / 2;
        const Ink name = InkIn(dc, client.Width(), 0, middle + 8);
        versionInk[i] = InkIn(dc, client.Width(), middle + 8, client.Height());
        ASSERT_GT(name.count, 100) << "the name is drawn large";
        EXPECT_NEAR((name.left + name.right) / 2, client.Width() / 2, 4);
        ASSERT_GT(versionInk[i].count, 20);
        EXPECT_NEAR((versionInk[i].left + versionInk[i].right) / 2, client.Width() / 2, 4);
        EXPECT_GT(name.right - name.left, 0);
        ReleaseDC(hwnd, dc);
        DestroyWindow(hwnd);
    }
    // Seven more digits make a wider line: the version really is drawn.
    EXPECT_GT(versionInk[1].right - versionInk[1].left,
              versionInk[0].right - versionInk[0].left + 30);
}

}  // namespace
