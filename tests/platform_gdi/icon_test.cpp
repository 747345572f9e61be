#include "platform/gdi/icon.h"

#include <gtest/gtest.h>

#include "platform/gdi/image_drawing.h"
#include "platform/gdi/system_palette.h"
#include "platform_gdi/fixture_files.h"
#include "platform_gdi/pixel_checks.h"

namespace {

TEST(IconTest, ChoosesTheImageForEachSize) {
    const auto bytes = gdi_test::Fixture("three_sizes.ico");
    std::vector<IcoEntry> entries;
    ASSERT_TRUE(ReadIcoDirectory(bytes, &entries));
    ASSERT_EQ(entries.size(), 3u);
    struct Case {
        int size;
        int width;
    };
    const Case cases[] = {{16, 16}, {32, 32}, {48, 48}, {24, 32}, {8, 16}, {64, 48}, {256, 48}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        const int chosen = ChooseIcoEntry(entries, c.size);
        ASSERT_GE(chosen, 0);
        EXPECT_EQ(entries[chosen].width, c.width);
    }
    // At the same size the deeper image wins.
    std::vector<IcoEntry> same = {{32, 32, 8, 0, 1}, {32, 32, 32, 0, 1}, {32, 32, 4, 0, 1}};
    EXPECT_EQ(ChooseIcoEntry(same, 32), 1);
    EXPECT_EQ(ChooseIcoEntry({}, 32), -1);
}

struct IconCanvas {
    Framebuffer fb;
    DeviceContext dc;
    IconCanvas() : fb(Make()), dc(fb, POINT{0, 0}, RECT{0, 0, 64, 64}) {}
    static Framebuffer Make() {
        Framebuffer f;
        f.Resize(64, 64, 0x404040);
        return f;
    }
};

TEST(IconTest, MaskImageKeepsTheScreenWhereTheMaskIsSet) {
    HICON icon = CreateIconFromIcoBytes(gdi_test::Fixture("three_sizes.ico"), 16);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->width, 16);
    IconCanvas canvas;
    ASSERT_TRUE(DrawIconEx(&canvas.dc, 10, 10, icon, 0, 0, 0, nullptr, DI_NORMAL));
    // Left half: the mask keeps the screen and the colour (red) is XORed onto
    // it; right half: plain red.
    EXPECT_EQ(canvas.fb.At(12, 12), 0x404040u ^ 0xFF0000u);
    EXPECT_EQ(canvas.fb.At(20, 12), 0xFF0000u);
    EXPECT_EQ(gdi_test::FirstChangedOutside(canvas.fb, RECT{10, 10, 26, 26}, 0x404040), "");
    EXPECT_TRUE(DestroyIcon(icon));
    EXPECT_FALSE(DestroyIcon(icon));
}

TEST(IconTest, AlphaImageBlendsAndScales) {
    HICON icon = CreateIconFromIcoBytes(gdi_test::Fixture("three_sizes.ico"), 32);
    ASSERT_NE(icon, nullptr);
    EXPECT_TRUE(icon->screenMask.empty());
    IconCanvas canvas;
    ASSERT_TRUE(DrawIcon(&canvas.dc, 0, 0, icon));   // the system size, 32
    EXPECT_EQ(canvas.fb.At(5, 5), 0x0000C8u);        // opaque blue, top half
    EXPECT_EQ(canvas.fb.At(5, 20), 0x404040u);       // transparent bottom half
    const std::uint32_t half = canvas.fb.At(5, 16);  // alpha 128 over grey
    EXPECT_EQ(half >> 16, 0x20u);
    EXPECT_EQ(half & 0xFF, (0x40u * 127 + 200u * 128 + 127) / 255);
    // Drawn at 16 x 16 it is scaled: row 7 is still opaque, row 9 clear.
    IconCanvas small;
    DrawIconEx(&small.dc, 0, 0, icon, 16, 16, 0, nullptr, DI_NORMAL);
    EXPECT_EQ(small.fb.At(3, 7), 0x0000C8u);
    EXPECT_EQ(small.fb.At(3, 9), 0x404040u);
    EXPECT_EQ(gdi_test::FirstChangedOutside(small.fb, RECT{0, 0, 16, 16}, 0x404040), "");
    DestroyIcon(icon);
}

TEST(IconTest, PngImagesDecode) {
    HICON icon = CreateIconFromIcoBytes(gdi_test::Fixture("three_sizes.ico"), 48);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->width, 48);
    IconCanvas canvas;
    DrawIconEx(&canvas.dc, 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL);
    EXPECT_EQ(gdi_test::CountPixels(canvas.fb, RECT{0, 0, 48, 48}, 0x00FF00), 48 * 48);
    DestroyIcon(icon);
}

TEST(IconTest, DamagedIconsAreRefused) {
    const char* const names[] = {"ico_truncated_mask.ico", "ico_offset_past_end.ico",
                                 "ico_no_images.ico",      "ico_huge_image.ico",
                                 "ico_directory_cut.ico",  "ico_corrupt_png.ico"};
    for (const char* name : names) {
        SCOPED_TRACE(name);
        const auto bytes = gdi_test::Fixture(name);
        ASSERT_FALSE(bytes.empty());
        EXPECT_EQ(CreateIconFromIcoBytes(bytes, 16), nullptr);
        EXPECT_EQ(CreateIconFromIcoBytes(bytes, 48), nullptr);
    }
    // Every prefix of the good file is refused or decodes; none reads past its end.
    const auto good = gdi_test::Fixture("three_sizes.ico");
    for (std::size_t n = 0; n < good.size(); n += 3) {
        HICON icon = CreateIconFromIcoBytes(std::span(good.data(), n), 32);
        if (icon != nullptr) DestroyIcon(icon);
    }
    IconCanvas canvas;
    EXPECT_FALSE(DrawIcon(&canvas.dc, 0, 0, nullptr));
}

}  // namespace
