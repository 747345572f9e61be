#include "platform/gdi/dib_decoder.h"

#include <gtest/gtest.h>

#include "platform_gdi/fixture_files.h"

namespace {

// Pixel (x, y) of the good fixtures: red x*50, green y*100, blue 7.
std::uint32_t Expected(int x, int y) {
    return PixelFromRgb(static_cast<std::uint8_t>(x * 50), static_cast<std::uint8_t>(y * 100), 7);
}

TEST(DibDecoderTest, DecodesEveryLayoutPixelForPixel) {
    for (const char* name : {"rgb24_bottom_up.bmp", "rgb24_top_down.bmp", "rgb24_v5_header.bmp"}) {
        SCOPED_TRACE(name);
        const auto bytes = gdi_test::Fixture(name);
        ASSERT_FALSE(bytes.empty());
        Framebuffer image;
        ASSERT_TRUE(DecodeBitmapBytes(bytes, &image));
        ASSERT_EQ(image.width, 5);
        ASSERT_EQ(image.height, 3);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x) EXPECT_EQ(image.At(x, y), Expected(x, y)) << x << "," << y;
    }
}

TEST(DibDecoderTest, PaletteImagesAndPackedDibs) {
    const auto bytes = gdi_test::Fixture("palette8.bmp");
    Framebuffer image;
    ASSERT_TRUE(DecodeBitmapBytes(bytes, &image));
    // Index x + 10y; palette entry i is red i, green 255 - i, blue 0.
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) {
            const int i = x + 10 * y;
            EXPECT_EQ(image.At(x, y), PixelFromRgb(static_cast<std::uint8_t>(i),
                                                   static_cast<std::uint8_t>(255 - i), 0));
        }
    // The same image without its file header is a packed DIB.
    const std::vector<std::uint8_t> packed(bytes.begin() + 14, bytes.end());
    Framebuffer fromPacked;
    ASSERT_TRUE(DecodeBitmapBytes(packed, &fromPacked));
    EXPECT_EQ(fromPacked.pixels, image.pixels);
}

TEST(DibDecoderTest, DamagedBitmapsAreRefused) {
    const char* const names[] = {
        "truncated_pixels.bmp", "truncated_header.bmp",  "huge_dimensions.bmp",
        "negative_width.bmp",   "offset_past_end.bmp",   "offset_into_header.bmp",
        "rle_compressed.bmp",   "palette_too_large.bmp",
    };
    for (const char* name : names) {
        SCOPED_TRACE(name);
        const auto bytes = gdi_test::Fixture(name);
        ASSERT_FALSE(bytes.empty());
        Framebuffer image;
        image.Resize(1, 1, 0xABCDEF);
        EXPECT_FALSE(DecodeBitmapBytes(bytes, &image));
        EXPECT_EQ(image.At(0, 0), 0xABCDEFu);
        // Every shorter prefix of a damaged file fails too, without reading past it.
        for (std::size_t n = 0; n < bytes.size(); n += 7) {
            Framebuffer part;
            EXPECT_FALSE(DecodeBitmapBytes(std::span(bytes.data(), n), &part));
        }
    }
    EXPECT_FALSE(DecodeBitmapBytes({}, nullptr));
}

TEST(DibDecoderTest, EveryPrefixOfAGoodFileIsRefusedOrWhole) {
    const auto bytes = gdi_test::Fixture("rgb24_bottom_up.bmp");
    for (std::size_t n = 0; n < bytes.size(); ++n) {
        Framebuffer image;
        EXPECT_FALSE(DecodeBitmapBytes(std::span(bytes.data(), n), &image)) << n << " bytes";
    }
}

}  // namespace
