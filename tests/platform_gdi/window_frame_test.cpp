#include "platform/gdi/window_frame.h"

#include <gtest/gtest.h>

#include "platform/gdi/system_palette.h"
#include "platform_gdi/pixel_checks.h"

namespace {

TEST(WindowFrameTest, FramesTheClientWithEdgeCaptionAndCloseBox) {
    Framebuffer client;
    client.Resize(120, 50, 0x00FF00);
    const Framebuffer framed = ComposeWindowImage(client, u"Tevorin在线升级", true);
    ASSERT_EQ(framed.width, 126);
    ASSERT_EQ(framed.height, 75);
    // The client image sits whole at (3, 22).
    EXPECT_EQ(gdi_test::CountPixels(framed, RECT{3, 22, 123, 72}, 0x00FF00), 120 * 50);
    EXPECT_EQ(gdi_test::CountPixels(framed, RECT{0, 0, 126, 75}, 0x00FF00), 120 * 50);

    const std::uint32_t face = PixelFromColorRef(GetSysColor(COLOR_3DFACE));
    struct Case {
        const char* where;
        int x, y;
        std::uint32_t pixel;
    };
    const Case cases[] = {
        {"outer top-left edge", 0, 0, PixelFromColorRef(GetSysColor(COLOR_3DLIGHT))},
        {"inner top-left edge", 1, 1, 0xFFFFFF},
        {"outer bottom-right edge", 125, 74, PixelFromColorRef(GetSysColor(COLOR_3DDKSHADOW))},
        {"inner bottom-right edge", 124, 73, PixelFromColorRef(GetSysColor(COLOR_3DSHADOW))},
        {"face ring", 2, 40, face},
        {"caption start", 3, 20, PixelFromColorRef(GetSysColor(COLOR_ACTIVECAPTION))},
        {"caption end", 122, 3, PixelFromColorRef(GetSysColor(COLOR_GRADIENTACTIVECAPTION))},
        {"line under the caption", 60, 21, face},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.where);
        EXPECT_EQ(framed.At(c.x, c.y), c.pixel);
    }
    // The title is written in white on the caption, left of the close box.
    const RECT close = CloseBoxRect(framed.width);
    EXPECT_GT(gdi_test::CountPixels(framed, RECT{5, 3, close.left, 21}, 0xFFFFFF), 20);
    // The close box is a face-coloured button with a black cross.
    EXPECT_GT(gdi_test::CountPixels(framed, close, 0x000000), 20);
    EXPECT_GT(gdi_test::CountPixels(framed, close, face), 50);
}

TEST(WindowFrameTest, InactiveCaptionIsGrey) {
    Framebuffer client;
    client.Resize(60, 10, 0);
    const Framebuffer framed = ComposeWindowImage(client, u"x", false);
    EXPECT_EQ(framed.At(3, 12), PixelFromColorRef(GetSysColor(COLOR_INACTIVECAPTION)));
    EXPECT_EQ(gdi_test::CountPixels(framed, RECT{3, 3, 40, 21}, 0xFFFFFF), 0);
}

TEST(WindowFrameTest, ClientWithMismatchedPixelsIsLeftOut) {
    Framebuffer client;
    client.Resize(10, 10, 0x00FF00);
    client.pixels.resize(5);
    const Framebuffer framed = ComposeWindowImage(client, u"", true);
    EXPECT_EQ(framed.width, 16);
    EXPECT_EQ(gdi_test::CountPixels(framed, RECT{0, 0, 16, 35}, 0x00FF00), 0);
}

}  // namespace
