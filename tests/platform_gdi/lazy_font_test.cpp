// Its own executable: whether font work has started is a process-wide fact.
#include <gtest/gtest.h>

#include "platform/gdi/font_engine.h"
#include "platform/gdi/text_drawing.h"

namespace {

TEST(LazyFontTest, FontsStartOnlyWhenTextIsMeasuredOrDrawn) {
    LOGFONTW description{};
    description.lfHeight = -11;
    std::u16string_view face = u"MS Shell Dlg";
    std::copy(face.begin(), face.end(), description.lfFaceName);
    HFONT font = CreateFontIndirectW(&description);
    Framebuffer fb;
    fb.Resize(50, 20, 0xFFFFFF);
    {
        DeviceContext dc(fb, POINT{0, 0}, RECT{0, 0, 50, 20});
        SelectObject(&dc, font);
        const RECT r{0, 0, 50, 20};
        FillRect(&dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        LOGFONTW back{};
        EXPECT_GT(GetObjectW(font, sizeof back, &back), 0);
        EXPECT_FALSE(FontWorkStarted());
        SIZE size{};
        EXPECT_TRUE(GetTextExtentPoint32W(&dc, u"x", 1, &size));
        EXPECT_TRUE(FontWorkStarted());
        EXPECT_GT(size.cx, 0);
    }
    DeleteObject(font);
}

}  // namespace
