#include "platform/gdi/image_drawing.h"

#include <gtest/gtest.h>

#include "platform/gdi/image_resources.h"
#include "platform/resource/resource_table.h"
#include "platform_gdi/fixture_files.h"
#include "platform_gdi/pixel_checks.h"

namespace {

std::uint32_t Expected(int x, int y) {
    return PixelFromRgb(static_cast<std::uint8_t>(x * 50), static_cast<std::uint8_t>(y * 100), 7);
}

TEST(ImageDrawingTest, BitBltCopiesTheBlockAndRespectsTheClip) {
    HBITMAP bitmap = CreateBitmapFromBytes(gdi_test::Fixture("rgb24_bottom_up.bmp"));
    ASSERT_NE(bitmap, nullptr);
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(memory, bitmap);
    Framebuffer fb;
    fb.Resize(20, 20, 0);
    DeviceContext dc(fb, POINT{2, 2}, RECT{0, 0, 9, 20});  // columns 9.. are clipped
    ASSERT_TRUE(BitBlt(&dc, 3, 4, 5, 3, memory, 0, 0, SRCCOPY));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) {
            const int fx = 3 + 2 + x;
            const int fy = 4 + 2 + y;
            EXPECT_EQ(fb.At(fx, fy), fx < 9 ? Expected(x, y) : 0u) << x << "," << y;
        }
    EXPECT_EQ(gdi_test::FirstChangedOutside(fb, RECT{5, 6, 9, 9}, 0), "");
    // A block reaching past the source copies only what exists.
    Framebuffer fb2;
    fb2.Resize(10, 10, 0x111111);
    DeviceContext dc2(fb2, POINT{0, 0}, RECT{0, 0, 10, 10});
    BitBlt(&dc2, 0, 0, 10, 10, memory, 3, 1, SRCCOPY);
    EXPECT_EQ(fb2.At(0, 0), Expected(3, 1));
    EXPECT_EQ(fb2.At(2, 0), 0x111111u);
    EXPECT_EQ(fb2.At(0, 2), 0x111111u);
    EXPECT_FALSE(BitBlt(&dc2, 0, 0, 1, 1, memory, 0, 0, 0x00EE0086));  // other raster operations
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(bitmap);
}

TEST(ImageDrawingTest, StretchBltScalesByNearestPixel) {
    HBITMAP bitmap = CreateBitmapFromBytes(gdi_test::Fixture("rgb24_top_down.bmp"));
    ASSERT_NE(bitmap, nullptr);
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(memory, bitmap);
    Framebuffer fb;
    fb.Resize(10, 6, 0);
    DeviceContext dc(fb, POINT{0, 0}, RECT{0, 0, 10, 6});
    ASSERT_TRUE(StretchBlt(&dc, 0, 0, 10, 6, memory, 0, 0, 5, 3, SRCCOPY));
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 10; ++x)
            EXPECT_EQ(fb.At(x, y), Expected(x / 2, y / 2)) << x << "," << y;
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(bitmap);
}

TEST(ImageDrawingTest, ResourcesLoadByIdFromTheInstalledTable) {
    const auto bmp = gdi_test::Fixture("rgb24_bottom_up.bmp");
    const auto ico = gdi_test::Fixture("three_sizes.ico");
    const auto broken = gdi_test::Fixture("truncated_pixels.bmp");
    ResourceTable table;
    table.bitmaps = {BinaryResource{130, bmp}, BinaryResource{131, broken}};
    table.icons = {BinaryResource{128, ico}};
    const ResourceTable* previous = InstallResourceTable(&table);

    HBITMAP bitmap = LoadBitmapW(nullptr, 130);
    ASSERT_NE(bitmap, nullptr);
    Framebuffer fb;
    fb.Resize(8, 8, 0);
    DeviceContext dc(fb, POINT{0, 0}, RECT{0, 0, 8, 8});
    ASSERT_TRUE(DrawBitmap(&dc, 1, 1, bitmap));
    EXPECT_EQ(fb.At(1, 1), Expected(0, 0));
    EXPECT_EQ(fb.At(5, 3), Expected(4, 2));
    EXPECT_EQ(gdi_test::FirstChangedOutside(fb, RECT{1, 1, 6, 4}, 0), "");
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_EQ(LoadBitmapW(nullptr, 131), nullptr);
    EXPECT_EQ(LoadBitmapW(nullptr, 999), nullptr);
    EXPECT_EQ(LoadBitmapW(nullptr, reinterpret_cast<const char16_t*>(std::uintptr_t{999})),
              nullptr);

    HICON icon = LoadIconW(nullptr, 128);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->width, 32);
    EXPECT_EQ(LoadIconW(nullptr, reinterpret_cast<const char16_t*>(std::uintptr_t{128})), icon);
    EXPECT_EQ(LoadIconOfSize(128, 16)->width, 16);
    // Shared icons survive attempts to free them.
    EXPECT_FALSE(DestroyIcon(icon));
    EXPECT_TRUE(DrawIcon(&dc, 0, 0, icon));
    EXPECT_EQ(LoadIconW(nullptr, 5), nullptr);
    InstallResourceTable(previous);
}

}  // namespace
