#include "platform/gdi/gdi_objects.h"

#include <gtest/gtest.h>

#include "platform/gdi/device_context.h"

namespace {

TEST(GdiObjectsTest, GetObjectDescribesEachKind) {
    HPEN pen = CreatePen(PS_SOLID, 0, RGB(1, 2, 3));
    LOGPEN penInfo;
    ASSERT_EQ(GetObjectW(pen, sizeof penInfo, &penInfo), static_cast<int>(sizeof penInfo));
    EXPECT_EQ(penInfo.lopnColor, RGB(1, 2, 3));
    EXPECT_EQ(penInfo.lopnWidth.x, 1);  // width 0 draws one pixel wide

    LOGFONTW font{};
    font.lfHeight = -12;
    font.lfWeight = FW_BOLD;
    std::u16string_view face = u"宋体";
    std::copy(face.begin(), face.end(), font.lfFaceName);
    HFONT hfont = CreateFontIndirectW(&font);
    LOGFONTW back{};
    EXPECT_EQ(GetObjectW(hfont, 0, nullptr), static_cast<int>(sizeof(LOGFONTW)));
    EXPECT_EQ(GetObjectW(hfont, sizeof back - 1, &back), 0);  // too small: nothing written
    ASSERT_EQ(GetObjectW(hfont, sizeof back, &back), static_cast<int>(sizeof back));
    EXPECT_EQ(back.lfHeight, -12);
    EXPECT_EQ(back.lfWeight, FW_BOLD);
    EXPECT_EQ(std::u16string_view(back.lfFaceName), face);

    HBRUSH brush = CreateSolidBrush(RGB(9, 8, 7));
    LOGBRUSH brushInfo;
    ASSERT_GT(GetObjectW(brush, sizeof brushInfo, &brushInfo), 0);
    EXPECT_EQ(brushInfo.lbColor, RGB(9, 8, 7));
    EXPECT_EQ(GetObjectType(brush), OBJ_BRUSH);
    EXPECT_EQ(GetObjectType(hfont), OBJ_FONT);
    EXPECT_EQ(CreateFontIndirectW(nullptr), nullptr);
    for (HGDIOBJ object :
         {static_cast<HGDIOBJ>(pen), static_cast<HGDIOBJ>(hfont), static_cast<HGDIOBJ>(brush)}) {
        EXPECT_TRUE(DeleteObject(object));
        EXPECT_EQ(GetObjectType(object), 0u);
    }
}

TEST(GdiObjectsTest, DeletingASelectedObjectWaitsForTheContextToLetGo) {
    Framebuffer fb;
    fb.Resize(4, 4, 0);
    HBRUSH brush = CreateSolidBrush(RGB(255, 255, 255));
    {
        DeviceContext dc(fb, POINT{0, 0}, RECT{0, 0, 4, 4});
        HGDIOBJ old = SelectObject(&dc, brush);
        EXPECT_EQ(old, GetStockObject(WHITE_BRUSH));
        EXPECT_TRUE(DeleteObject(brush));
        // Still selected: the context keeps painting with it, but nobody can
        // select or delete it again.
        EXPECT_TRUE(Rectangle(&dc, 0, 0, 4, 4));
        EXPECT_EQ(fb.At(1, 1), 0xFFFFFFu);
        DeviceContext other(fb, POINT{0, 0}, RECT{0, 0, 4, 4});
        EXPECT_EQ(SelectObject(&other, brush), nullptr);
        EXPECT_FALSE(DeleteObject(brush));
        // Selecting the old brush back frees it; the freed handle is not returned.
        EXPECT_EQ(SelectObject(&dc, old), nullptr);
        EXPECT_EQ(GetObjectType(brush), 0u);
    }
    // A context that ends while holding a deleted object frees it (LeakSanitizer
    // reports the object otherwise).
    HPEN pen = CreatePen(PS_SOLID, 1, 0);
    {
        DeviceContext dc(fb, POINT{0, 0}, RECT{0, 0, 4, 4});
        SelectObject(&dc, pen);
        EXPECT_TRUE(DeleteObject(pen));
        EXPECT_EQ(GetObjectType(pen), 0u);
    }
}

TEST(GdiObjectsTest, StockObjectsSurviveDeleteObject) {
    for (int index : {WHITE_BRUSH, BLACK_BRUSH, NULL_BRUSH, BLACK_PEN, NULL_PEN, SYSTEM_FONT,
                      DEFAULT_GUI_FONT}) {
        SCOPED_TRACE(index);
        HGDIOBJ object = GetStockObject(index);
        ASSERT_NE(object, nullptr);
        EXPECT_TRUE(DeleteObject(object));
        EXPECT_NE(GetObjectType(object), 0u);
    }
    EXPECT_EQ(GetStockObject(99), nullptr);
}

TEST(GdiObjectsTest, MemoryContextDrawsIntoTheSelectedBitmap) {
    HDC memory = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(memory, 5, 3);
    ASSERT_NE(bitmap, nullptr);
    HGDIOBJ old = SelectObject(memory, bitmap);
    ASSERT_NE(old, nullptr);
    const RECT r{1, 1, 3, 2};
    FillRect(memory, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    EXPECT_EQ(bitmap->image.At(1, 1), 0xFFFFFFu);
    EXPECT_EQ(bitmap->image.At(3, 1), 0u);
    // One bitmap can be in one memory context at a time.
    HDC second = CreateCompatibleDC(nullptr);
    EXPECT_EQ(SelectObject(second, bitmap), nullptr);
    DeleteDC(second);
    EXPECT_EQ(SelectObject(memory, old), bitmap);
    EXPECT_TRUE(DeleteDC(memory));
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_EQ(CreateCompatibleBitmap(nullptr, 0, 5), nullptr);
    EXPECT_EQ(CreateCompatibleBitmap(nullptr, 20000, 5), nullptr);
}

}  // namespace
