#include "platform/gdi/framebuffer.h"

#include <gtest/gtest.h>

namespace {

TEST(FramebufferTest, ResizeFillsAndAtReadsInsideOnly) {
    Framebuffer fb;
    fb.Resize(3, 2, 0x123456);
    ASSERT_EQ(fb.pixels.size(), 6u);
    fb.Set(2, 1, 0xABCDEF);
    EXPECT_EQ(fb.At(0, 0), 0x123456u);
    EXPECT_EQ(fb.At(2, 1), 0xABCDEFu);
    EXPECT_EQ(fb.pixels[5], 0xABCDEFu);  // row-major: (2,1) is the last entry
    // Outside reads give 0 and outside writes change nothing.
    fb.Set(3, 0, 0xFFFFFF);
    fb.Set(-1, 0, 0xFFFFFF);
    fb.Set(0, 2, 0xFFFFFF);
    EXPECT_EQ(fb.At(3, 0), 0u);
    EXPECT_EQ(fb.At(0, -1), 0u);
    for (std::uint32_t p : fb.pixels) EXPECT_NE(p, 0xFFFFFFu);
    fb.Resize(-4, 5, 0);
    EXPECT_EQ(fb.width, 0);
    EXPECT_TRUE(fb.pixels.empty());
}

TEST(FramebufferTest, ColorConversionSwapsRedAndBlue) {
    struct Case {
        COLORREF color;
        std::uint32_t pixel;
    };
    const Case cases[] = {
        {RGB(255, 0, 0), 0xFF0000},     {RGB(0, 255, 0), 0x00FF00}, {RGB(0, 0, 255), 0x0000FF},
        {RGB(107, 133, 206), 0x6B85CE}, {0xBC6464, 0x6464BC},       {RGB(212, 208, 200), 0xD4D0C8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << "colour 0x" << c.color);
        EXPECT_EQ(PixelFromColorRef(c.color), c.pixel);
        EXPECT_EQ(ColorRefFromPixel(c.pixel), c.color);
    }
    // The unused top byte of a COLORREF does not leak into the pixel.
    EXPECT_EQ(PixelFromColorRef(0x01000000u | RGB(1, 2, 3)), 0x010203u);
}

}  // namespace
