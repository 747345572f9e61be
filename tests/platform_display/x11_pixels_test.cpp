#include "platform/display/x11_pixels.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace tevorin::display {
namespace {

constexpr PixelLayout kRgb888{0xFF0000, 0x00FF00, 0x0000FF, 32, false};
constexpr PixelLayout kBgr888{0x0000FF, 0x00FF00, 0xFF0000, 32, false};
constexpr PixelLayout kRgb565{0xF800, 0x07E0, 0x001F, 16, false};
constexpr PixelLayout kRgb555{0x7C00, 0x03E0, 0x001F, 16, false};
constexpr PixelLayout kRgb101010{0x3FF00000, 0x000FFC00, 0x000003FF, 32, false};

TEST(X11Pixels, PackKeepsEachChannelsTopBits) {
    struct Case {
        const char* name;
        PixelLayout layout;
        std::uint32_t rgb;
        std::uint32_t expected;
    };
    const Case cases[] = {
        {"888 as is", kRgb888, 0x123456, 0x123456},
        {"888 swapped", kBgr888, 0x123456, 0x563412},
        {"565 white", kRgb565, 0xFFFFFF, 0xFFFF},
        {"565 red", kRgb565, 0xFF0000, 0xF800},
        {"565 green", kRgb565, 0x00FF00, 0x07E0},
        {"565 blue", kRgb565, 0x0000FF, 0x001F},
        {"565 mixed", kRgb565, 0x80C020, (0x10u << 11) | (0x30u << 5) | 0x04u},
        {"565 drops low bits", kRgb565, 0x070307, 0x0000},
        {"555 mixed", kRgb555, 0x80C020, (0x10u << 10) | (0x18u << 5) | 0x04u},
        {"10-bit channels", kRgb101010, 0xFF8001, (0x3FCu << 20) | (0x200u << 10) | 0x004u},
    };
    for (const auto& c : cases) EXPECT_EQ(PackPixel(c.rgb, c.layout), c.expected) << c.name;
}

TEST(X11Pixels, StoreWritesTheImagesByteOrder) {
    struct Case {
        const char* name;
        int bitsPerPixel;
        bool msbFirst;
        std::uint32_t value;
        std::vector<std::uint8_t> expected;
    };
    const Case cases[] = {
        {"32 lsb", 32, false, 0x11223344, {0x44, 0x33, 0x22, 0x11}},
        {"32 msb", 32, true, 0x11223344, {0x11, 0x22, 0x33, 0x44}},
        {"24 lsb", 24, false, 0x112233, {0x33, 0x22, 0x11}},
        {"24 msb", 24, true, 0x112233, {0x11, 0x22, 0x33}},
        {"16 lsb", 16, false, 0xF81F, {0x1F, 0xF8}},
        {"16 msb", 16, true, 0xF81F, {0xF8, 0x1F}},
        {"8", 8, false, 0xE3, {0xE3}},
    };
    for (const auto& c : cases) {
        PixelLayout layout{0xE0, 0x1C, 0x03, c.bitsPerPixel, c.msbFirst};
        std::vector<std::uint8_t> out(c.expected.size() + 1, 0xAA);
        StorePixel(out.data(), c.value, layout);
        EXPECT_EQ(std::vector<std::uint8_t>(out.begin(), out.end() - 1), c.expected) << c.name;
        EXPECT_EQ(out.back(), 0xAA) << c.name << ": wrote past the pixel";
    }
}

TEST(X11Pixels, LayoutChecksMasksAndSizes) {
    struct Case {
        const char* name;
        PixelLayout layout;
        bool valid;
    };
    const Case cases[] = {
        {"888", kRgb888, true},
        {"565", kRgb565, true},
        {"24 bits per pixel", {0xFF0000, 0xFF00, 0xFF, 24, true}, true},
        {"no red", {0, 0xFF00, 0xFF, 32, false}, false},
        {"overlapping", {0xFF0000, 0xFF8000, 0xFF, 32, false}, false},
        {"gap in a mask", {0xF0F000, 0xFF, 0x0F000000, 32, false}, false},
        {"masks wider than the pixel", {0xFF0000, 0xFF00, 0xFF, 16, false}, false},
        {"odd pixel size", {0xF800, 0x07E0, 0x001F, 12, false}, false},
    };
    for (const auto& c : cases) EXPECT_EQ(c.layout.Valid(), c.valid) << c.name;
}

Framebuffer Filled(int w, int h, std::uint32_t pixel) {
    Framebuffer f;
    f.Resize(w, h, pixel);
    return f;
}

TEST(X11Pixels, ConvertFillsOnlyTheRectangleWithPaddedRows) {
    Framebuffer source = Filled(6, 4, 0x000000);
    source.Set(2, 1, 0xFF0000);
    source.Set(4, 2, 0x0000FF);
    for (const PixelLayout& layout :
         {kRgb888, kRgb565, PixelLayout{0xFF0000, 0xFF00, 0xFF, 24, true}}) {
        const int bytes = layout.bitsPerPixel / 8;
        const std::size_t stride = 3 * bytes + 5;  // padding the converter must leave alone
        std::vector<std::uint8_t> image(stride * 2, 0xAA);
        ConvertRect(source, 2, 1, 3, 2, layout, image.data(), stride);
        for (int row = 0; row < 2; ++row) {
            for (int col = 0; col < 3; ++col) {
                std::vector<std::uint8_t> want(bytes);
                StorePixel(want.data(), PackPixel(source.At(2 + col, 1 + row), layout), layout);
                const std::uint8_t* got = image.data() + row * stride + col * bytes;
                EXPECT_EQ(std::vector<std::uint8_t>(got, got + bytes), want)
                    << layout.bitsPerPixel << " bpp at " << col << "," << row;
            }
            for (std::size_t pad = 3 * bytes; pad < stride; ++pad)
                EXPECT_EQ(image[row * stride + pad], 0xAA) << "padding overwritten";
        }
    }
}

TEST(X11Pixels, ChangedRectBoundsEveryDifference) {
    struct Change {
        int x, y;
    };
    struct Case {
        const char* name;
        std::vector<Change> changes;
        bool changed;
        int x, y, w, h;
    };
    const Case cases[] = {
        {"nothing", {}, false, 0, 0, 0, 0},
        {"one pixel", {{3, 2}}, true, 3, 2, 1, 1},
        {"corners", {{0, 0}, {9, 7}}, true, 0, 0, 10, 8},
        {"two in a row", {{2, 5}, {6, 5}}, true, 2, 5, 5, 1},
        {"diagonal", {{6, 1}, {1, 4}}, true, 1, 1, 6, 4},
    };
    const Framebuffer before = Filled(10, 8, 0x808080);
    for (const auto& c : cases) {
        Framebuffer after = before;
        for (const auto& change : c.changes) after.Set(change.x, change.y, 0x010203);
        int x = -1, y = -1, w = -1, h = -1;
        ASSERT_EQ(ChangedRect(before, after, &x, &y, &w, &h), c.changed) << c.name;
        if (!c.changed) continue;
        EXPECT_EQ(x, c.x) << c.name;
        EXPECT_EQ(y, c.y) << c.name;
        EXPECT_EQ(w, c.w) << c.name;
        EXPECT_EQ(h, c.h) << c.name;
    }
}

}  // namespace
}  // namespace tevorin::display
