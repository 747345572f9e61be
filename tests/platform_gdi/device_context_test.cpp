#include "platform/gdi/device_context.h"

#include <gtest/gtest.h>

#include "platform/gdi/system_palette.h"
#include "platform_gdi/pixel_checks.h"

namespace {

constexpr std::uint32_t kPaper = 0x808080;

struct Canvas {
    Framebuffer fb;
    Canvas(int w, int h) { fb.Resize(w, h, kPaper); }
};

TEST(DeviceContextTest, FillRectCoversExactlyLeftTopInclusiveRightBottomExclusive) {
    Canvas canvas(20, 20);
    DeviceContext dc(canvas.fb, POINT{0, 0}, RECT{0, 0, 20, 20});
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    const RECT r{3, 4, 9, 11};
    ASSERT_NE(FillRect(&dc, &r, red), 0);
    EXPECT_EQ(gdi_test::CountPixels(canvas.fb, r, 0xFF0000), 6 * 7);
    EXPECT_EQ(gdi_test::FirstChangedOutside(canvas.fb, r, kPaper), "");
    EXPECT_TRUE(DeleteObject(red));
}

TEST(DeviceContextTest, OriginShiftsAndClipBoundsEveryOperation) {
    // The window lies at (10, 5) in the framebuffer; only (12..17, 7..11) may change.
    Canvas canvas(40, 30);
    const RECT clip{12, 7, 18, 12};
    DeviceContext dc(canvas.fb, POINT{10, 5}, clip);
    HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
    HPEN green = CreatePen(PS_SOLID, 1, RGB(0, 255, 0));
    const RECT everything{-100, -100, 100, 100};
    FillRect(&dc, &everything, blue);
    EXPECT_EQ(gdi_test::CountPixels(canvas.fb, clip, 0x0000FF), 6 * 5);
    SelectObject(&dc, green);
    SelectObject(&dc, blue);
    Rectangle(&dc, -50, -50, 50, 50);
    MoveToEx(&dc, -20, 3, nullptr);
    LineTo(&dc, 60, 3);
    Draw3dRect(&dc, RECT{-1, -1, 30, 30}, RGB(1, 1, 1), RGB(2, 2, 2));
    FrameRect(&dc, &everything, blue);
    FillSolidRect(&dc, RECT{1, 1, 4, 4}, RGB(9, 9, 9));
    SetPixel(&dc, 0, 0, RGB(9, 9, 9));
    EXPECT_EQ(gdi_test::FirstChangedOutside(canvas.fb, clip, kPaper), "");
    // The line at window row 3 is framebuffer row 8, inside the clip.
    EXPECT_EQ(canvas.fb.At(14, 8), 0x00FF00u);
    // The same window point maps through the origin.
    EXPECT_EQ(GetPixel(&dc, 4, 3), RGB(0, 255, 0));
    EXPECT_EQ(GetPixel(&dc, 0, 0), CLR_INVALID);  // framebuffer (10,5), outside the clip
    SelectObject(&dc, GetStockObject(BLACK_PEN));
    SelectObject(&dc, GetStockObject(WHITE_BRUSH));
    DeleteObject(blue);
    DeleteObject(green);
}

TEST(DeviceContextTest, ClipIsCutToTheFramebuffer) {
    Canvas canvas(8, 8);
    DeviceContext dc(canvas.fb, POINT{-3, -3}, RECT{-10, -10, 50, 50});
    EXPECT_EQ(dc.ClipInFramebuffer(), (RECT{0, 0, 8, 8}));
    RECT box;
    EXPECT_EQ(GetClipBox(&dc, &box), SIMPLEREGION);
    EXPECT_EQ(box, (RECT{3, 3, 11, 11}));
    FillSolidRect(&dc, RECT{-1000, -1000, 1000, 1000}, RGB(255, 255, 255));
    EXPECT_EQ(gdi_test::CountPixels(canvas.fb, RECT{0, 0, 8, 8}, 0xFFFFFF), 64);
    EXPECT_EQ(IntersectClipRect(&dc, 100, 100, 200, 200), NULLREGION);
}

TEST(DeviceContextTest, RectangleDrawsOutlineWithPenAndInsideWithBrush) {
    Canvas canvas(16, 16);
    DeviceContext dc(canvas.fb, POINT{0, 0}, RECT{0, 0, 16, 16});
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
    HBRUSH brush = CreateSolidBrush(RGB(0, 0, 255));
    HGDIOBJ oldPen = SelectObject(&dc, pen);
    HGDIOBJ oldBrush = SelectObject(&dc, brush);
    ASSERT_TRUE(Rectangle(&dc, 2, 3, 10, 8));
    // Outline on columns 2 and 9, rows 3 and 7; inside 3..8 x 4..6.
    struct Case {
        int x, y;
        std::uint32_t pixel;
    };
    const Case cases[] = {
        {2, 3, 0xFF0000}, {9, 3, 0xFF0000}, {2, 7, 0xFF0000}, {9, 7, 0xFF0000}, {5, 3, 0xFF0000},
        {5, 7, 0xFF0000}, {2, 5, 0xFF0000}, {9, 5, 0xFF0000}, {3, 4, 0x0000FF}, {8, 6, 0x0000FF},
        {10, 5, kPaper},  {5, 8, kPaper},   {1, 5, kPaper},   {5, 2, kPaper},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "(" << c.x << "," << c.y << ")");
        EXPECT_EQ(canvas.fb.At(c.x, c.y), c.pixel);
    }
    EXPECT_EQ(gdi_test::FirstChangedOutside(canvas.fb, RECT{2, 3, 10, 8}, kPaper), "");
    // A null brush keeps the inside, a null pen drops the outline.
    SelectObject(&dc, GetStockObject(NULL_BRUSH));
    canvas.fb.Resize(16, 16, kPaper);
    Rectangle(&dc, 2, 3, 10, 8);
    EXPECT_EQ(canvas.fb.At(5, 5), kPaper);
    EXPECT_EQ(canvas.fb.At(2, 5), 0xFF0000u);
    SelectObject(&dc, GetStockObject(NULL_PEN));
    SelectObject(&dc, brush);
    canvas.fb.Resize(16, 16, kPaper);
    Rectangle(&dc, 2, 3, 10, 8);
    EXPECT_EQ(gdi_test::FirstChangedOutside(canvas.fb, RECT{2, 3, 9, 7}, kPaper), "");
    EXPECT_EQ(gdi_test::CountPixels(canvas.fb, RECT{2, 3, 9, 7}, 0x0000FF), 7 * 4);
    EXPECT_EQ(SelectObject(&dc, oldPen), GetStockObject(NULL_PEN));
    EXPECT_EQ(SelectObject(&dc, oldBrush), brush);
    DeleteObject(pen);
    DeleteObject(brush);
}

TEST(DeviceContextTest, Draw3dRectColoursEachEdgeAsTheFrameworkDoes) {
    Canvas canvas(12, 12);
    DeviceContext dc(canvas.fb, POINT{0, 0}, RECT{0, 0, 12, 12});
    const COLORREF light = RGB(255, 255, 255);
    const COLORREF dark = RGB(0, 0, 0);
    Draw3dRect(&dc, RECT{1, 2, 9, 10}, light, dark);
    struct Case {
        const char* where;
        int x, y;
        std::uint32_t pixel;
    };
    const Case cases[] = {
        {"top-left corner", 1, 2, 0xFFFFFF},
        {"top edge", 5, 2, 0xFFFFFF},
        {"left edge", 1, 6, 0xFFFFFF},
        {"top-right corner", 8, 2, 0x000000},
        {"right edge", 8, 6, 0x000000},
        {"bottom-left corner", 1, 9, 0x000000},
        {"bottom edge", 5, 9, 0x000000},
        {"bottom-right corner", 8, 9, 0x000000},
        {"inside", 4, 5, kPaper},
        {"beyond right", 9, 6, kPaper},
        {"beyond bottom", 5, 10, kPaper},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.where);
        EXPECT_EQ(canvas.fb.At(c.x, c.y), c.pixel);
    }
    EXPECT_EQ(gdi_test::FirstChangedOutside(canvas.fb, RECT{1, 2, 9, 10}, kPaper), "");
}

TEST(DeviceContextTest, LineToLeavesOutTheEndPointAndMovesThePosition) {
    Canvas canvas(10, 10);
    DeviceContext dc(canvas.fb, POINT{0, 0}, RECT{0, 0, 10, 10});
    POINT previous{};
    MoveToEx(&dc, 1, 1, &previous);
    EXPECT_EQ(previous.x, 0);
    LineTo(&dc, 6, 1);
    LineTo(&dc, 6, 4);
    EXPECT_EQ(gdi_test::CountPixels(canvas.fb, RECT{0, 0, 10, 10}, 0x000000), 5 + 3);
    EXPECT_EQ(canvas.fb.At(1, 1), 0u);
    EXPECT_EQ(canvas.fb.At(6, 1), 0u);  // corner: drawn by the second line
    EXPECT_EQ(canvas.fb.At(6, 4), kPaper);
    EXPECT_EQ(dc.currentPosition.x, 6);
    EXPECT_EQ(dc.currentPosition.y, 4);
}

TEST(DeviceContextTest, SystemColourBrushValuesAndSysColorBrushes) {
    Canvas canvas(4, 4);
    DeviceContext dc(canvas.fb, POINT{0, 0}, RECT{0, 0, 4, 4});
    const RECT r{0, 0, 2, 2};
    FillRect(&dc, &r, reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(COLOR_BTNFACE + 1)));
    EXPECT_EQ(canvas.fb.At(0, 0), PixelFromColorRef(GetSysColor(COLOR_BTNFACE)));
    const RECT r2{2, 2, 4, 4};
    FillRect(&dc, &r2, GetSysColorBrush(COLOR_HIGHLIGHT));
    EXPECT_EQ(canvas.fb.At(3, 3), PixelFromColorRef(RGB(10, 36, 106)));
    // System brushes are not freed by DeleteObject and keep working.
    EXPECT_TRUE(DeleteObject(GetSysColorBrush(COLOR_HIGHLIGHT)));
    EXPECT_EQ(GetObjectType(GetSysColorBrush(COLOR_HIGHLIGHT)), OBJ_BRUSH);
}

TEST(DeviceContextTest, FailsQuietlyOnBadHandles) {
    Canvas canvas(4, 4);
    DeviceContext dc(canvas.fb, POINT{0, 0}, RECT{0, 0, 4, 4});
    const RECT r{0, 0, 4, 4};
    HBRUSH gone = CreateSolidBrush(RGB(1, 2, 3));
    ASSERT_TRUE(DeleteObject(gone));
    EXPECT_EQ(FillRect(&dc, &r, gone), 0);
    EXPECT_EQ(SelectObject(&dc, gone), nullptr);
    EXPECT_FALSE(DeleteObject(gone));
    EXPECT_EQ(FillRect(nullptr, &r, GetSysColorBrush(COLOR_WINDOW)), 0);
    EXPECT_EQ(SetBkMode(&dc, 7), 0);
    EXPECT_EQ(GetBkMode(&dc), OPAQUE);
    EXPECT_EQ(gdi_test::CountPixels(canvas.fb, r, kPaper), 16);
}

}  // namespace
