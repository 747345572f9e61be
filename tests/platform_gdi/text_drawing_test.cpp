#include "platform/gdi/text_drawing.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/gdi/font_engine.h"
#include "platform_gdi/pixel_checks.h"

namespace {

constexpr std::uint32_t kPaper = 0xFFFFFF;

LOGFONTW MakeFont(std::u16string_view face, LONG height, LONG weight = FW_NORMAL) {
    LOGFONTW font{};
    font.lfHeight = height;
    font.lfWeight = weight;
    std::copy(face.begin(), face.end(), font.lfFaceName);
    return font;
}

// A white canvas and a context with the font selected and black text.
struct TextCanvas {
    Framebuffer fb;
    HFONT font;
    std::unique_ptr<DeviceContext> dc;

    TextCanvas(int w, int h, const LOGFONTW& description) {
        fb.Resize(w, h, kPaper);
        font = CreateFontIndirectW(&description);
        dc = std::make_unique<DeviceContext>(fb, POINT{0, 0}, RECT{0, 0, w, h});
        SelectObject(dc.get(), font);
        SetBkMode(dc.get(), TRANSPARENT);
    }
    ~TextCanvas() {
        dc.reset();
        DeleteObject(font);
    }
    SIZE Extent(std::u16string_view text) {
        SIZE size{};
        EXPECT_TRUE(
            GetTextExtentPoint32W(dc.get(), text.data(), static_cast<int>(text.size()), &size));
        return size;
    }
};

TEST(TextDrawingTest, LatinAndChineseInkStaysInsideTheTextBox) {
    struct Case {
        const char* name;
        std::u16string_view face;
        std::u16string_view text;
    };
    const Case cases[] = {
        {"latin in the dialog face", u"MS Shell Dlg", u"Downloading files,please wait..."},
        {"chinese in the dialog face (fallback)", u"MS Shell Dlg", u"软件自动升级中，请稍候。。。"},
        {"chinese in SimSun", u"宋体", u"本次升级需更新以下文件"},
        {"mixed", u"Tahoma", u"Tevorin有新版本了！"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TextCanvas canvas(400, 40, MakeFont(c.face, -12));
        const SIZE extent = canvas.Extent(c.text);
        ASSERT_GT(extent.cx, 0);
        ASSERT_GT(extent.cy, 0);
        ASSERT_TRUE(
            TextOutW(canvas.dc.get(), 7, 5, c.text.data(), static_cast<int>(c.text.size())));
        // Anti-aliasing may smear a glyph with a zero side bearing ("T") one
        // pixel sideways; nothing may go further, above or below the line.
        const RECT box{7 - 1, 5, 7 + extent.cx + 1, 5 + extent.cy};
        EXPECT_EQ(gdi_test::FirstChangedOutside(canvas.fb, box, kPaper), "");
        const RECT ink = gdi_test::InkBounds(canvas.fb, kPaper);
        // The ink spans most of the box: every glyph was drawn.
        EXPECT_GE(ink.right - ink.left, extent.cx * 8 / 10);
        EXPECT_GE(ink.bottom - ink.top, extent.cy / 2);
    }
}

TEST(TextDrawingTest, EveryChineseCharacterGetsInkFromTheFallbackFont) {
    // The dialog face has no Chinese glyphs; each character must still show.
    const std::u16string text = u"软件自动升级";
    TextCanvas canvas(300, 40, MakeFont(u"MS Shell Dlg", -12));
    const TextRun run = LayoutText(MakeFont(u"MS Shell Dlg", -12), text);
    ASSERT_EQ(run.advances.size(), text.size());
    TextOutW(canvas.dc.get(), 0, 0, text.c_str(), -1);
    int x = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_GE(run.advances[i], 8);  // a full-width glyph, not an empty box
        const RECT cell{x, 0, x + run.advances[i], 40};
        EXPECT_GT(40 * run.advances[i] - gdi_test::CountPixels(canvas.fb, cell, kPaper), 10);
        x += run.advances[i];
    }
}

TEST(TextDrawingTest, TextColourAndOpaqueBackground) {
    TextCanvas canvas(200, 40, MakeFont(u"MS Shell Dlg", -13, FW_BOLD));
    const std::u16string text = u"IlI";
    SetTextColor(canvas.dc.get(), RGB(255, 0, 0));
    SetBkColor(canvas.dc.get(), RGB(0, 0, 255));
    SetBkMode(canvas.dc.get(), OPAQUE);
    TextOutW(canvas.dc.get(), 10, 10, text.c_str(), -1);
    const SIZE extent = canvas.Extent(text);
    const RECT box{10, 10, 10 + extent.cx, 10 + extent.cy};
    // The whole box is background, text or a blend of the two; nothing outside changes.
    EXPECT_EQ(gdi_test::FirstChangedOutside(canvas.fb, box, kPaper), "");
    EXPECT_EQ(gdi_test::CountPixels(canvas.fb, box, kPaper), 0);
    EXPECT_GT(gdi_test::CountPixels(canvas.fb, box, 0xFF0000), 10);  // full-coverage stems
    EXPECT_GT(gdi_test::CountPixels(canvas.fb, box, 0x0000FF), 10);
    for (int y = box.top; y < box.bottom; ++y)
        for (int x = box.left; x < box.right; ++x) {
            const std::uint32_t p = canvas.fb.At(x, y);
            ASSERT_EQ(p & 0x00FF00, 0u) << "green in a red-on-blue blend at " << x << "," << y;
        }
}

TEST(TextDrawingTest, DrawTextCentresASingleLineBothWays) {
    const LOGFONTW font = MakeFont(u"MS Shell Dlg", -11);
    const std::u16string text = u"50%";
    const RECT cell{20, 10, 150, 29};
    TextCanvas centred(200, 50, font);
    EXPECT_GT(DrawTextW(centred.dc.get(), text.c_str(), -1, const_cast<RECT*>(&cell),
                        DT_CENTER | DT_VCENTER | DT_SINGLELINE),
              0);
    // Same pixels as plain output at the centred position.
    TextCanvas reference(200, 50, font);
    const SIZE extent = reference.Extent(text);
    TextOutW(reference.dc.get(), cell.left + (cell.right - cell.left - extent.cx) / 2,
             cell.top + (cell.bottom - cell.top - extent.cy) / 2, text.c_str(), -1);
    EXPECT_EQ(centred.fb.pixels, reference.fb.pixels);
    const RECT ink = gdi_test::InkBounds(centred.fb, kPaper);
    ASSERT_FALSE(ink.IsEmpty());
    EXPECT_LE(std::abs((ink.left - cell.left) - (cell.right - ink.right)), 3);
    EXPECT_LE(std::abs((ink.top - cell.top) - (cell.bottom - ink.bottom)), 4);
}

TEST(TextDrawingTest, RightAndBottomAlignment) {
    const LOGFONTW font = MakeFont(u"MS Shell Dlg", -11);
    TextCanvas canvas(200, 60, font);
    RECT r{10, 10, 190, 50};
    DrawTextW(canvas.dc.get(), u"Cancel", -1, &r, DT_RIGHT | DT_BOTTOM | DT_SINGLELINE);
    const SIZE extent = canvas.Extent(u"Cancel");
    TextCanvas reference(200, 60, font);
    TextOutW(reference.dc.get(), 190 - extent.cx, 50 - extent.cy, u"Cancel", -1);
    EXPECT_EQ(canvas.fb.pixels, reference.fb.pixels);
}

TEST(TextDrawingTest, WordBreakWrapsInsideTheWidth) {
    struct Case {
        const char* name;
        std::u16string_view text;
        int width;
    };
    const Case cases[] = {
        {"latin words", u"This procedure can help you automatically upgrade Tevorin", 120},
        {"chinese without spaces", u"本程序可以帮助您自动升级Tevorin网络电话软件。", 90},
        {"one long word", u"Supercalifragilisticexpialidocious", 60},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const LOGFONTW font = MakeFont(u"MS Shell Dlg", -11);
        TextCanvas canvas(300, 200, font);
        const int lineHeight = canvas.Extent(u"A").cy;
        RECT measured{5, 5, 5 + c.width, 5};
        const int height =
            DrawTextW(canvas.dc.get(), c.text.data(), static_cast<int>(c.text.size()), &measured,
                      DT_WORDBREAK | DT_CALCRECT);
        EXPECT_GE(height, 2 * lineHeight);
        EXPECT_EQ(height % lineHeight, 0);
        EXPECT_LE(measured.right, 5 + c.width);
        EXPECT_EQ(measured.bottom, 5 + height);
        EXPECT_EQ(gdi_test::CountPixels(canvas.fb, RECT{0, 0, 300, 200}, kPaper), 300 * 200);

        RECT r{5, 5, 5 + c.width, 195};
        EXPECT_EQ(DrawTextW(canvas.dc.get(), c.text.data(), static_cast<int>(c.text.size()), &r,
                            DT_WORDBREAK | DT_LEFT),
                  height);
        const RECT ink = gdi_test::InkBounds(canvas.fb, kPaper);
        EXPECT_GE(ink.left, 5);
        EXPECT_LE(ink.right, 5 + c.width);
        EXPECT_GT(ink.bottom - ink.top, lineHeight);  // more than one line of ink
        EXPECT_LE(ink.bottom, 5 + height);
    }
}

TEST(TextDrawingTest, LineBreaksStartNewLinesAndSingleLineIgnoresThem) {
    const LOGFONTW font = MakeFont(u"MS Shell Dlg", -11);
    TextCanvas canvas(300, 100, font);
    const int lineHeight = canvas.Extent(u"A").cy;
    RECT r{0, 0, 300, 100};
    EXPECT_EQ(DrawTextW(canvas.dc.get(), u"one\r\ntwo\nthree\rfour", -1, &r, DT_LEFT | DT_CALCRECT),
              4 * lineHeight);
    RECT single{0, 0, 300, 100};
    EXPECT_EQ(DrawTextW(canvas.dc.get(), u"one\r\ntwo", -1, &single, DT_SINGLELINE | DT_CALCRECT),
              lineHeight);
}

TEST(TextDrawingTest, DrawTextClipsToTheRectangleUnlessNoClip) {
    const LOGFONTW font = MakeFont(u"MS Shell Dlg", -16);
    TextCanvas canvas(300, 60, font);
    RECT r{10, 10, 40, 20};
    DrawTextW(canvas.dc.get(), u"Wide text that overflows", -1, &r, DT_SINGLELINE);
    EXPECT_EQ(gdi_test::FirstChangedOutside(canvas.fb, r, kPaper), "");
    EXPECT_FALSE(gdi_test::InkBounds(canvas.fb, kPaper).IsEmpty());
    DrawTextW(canvas.dc.get(), u"Wide text that overflows", -1, &r, DT_SINGLELINE | DT_NOCLIP);
    EXPECT_GT(gdi_test::InkBounds(canvas.fb, kPaper).right, 100);
}

TEST(TextDrawingTest, PrefixUnderlinesOneCharacterAndDoubleAmpersandShowsOne) {
    const LOGFONTW font = MakeFont(u"MS Shell Dlg", -11);
    TextCanvas prefixed(100, 30, font);
    TextCanvas plain(100, 30, font);
    RECT r{0, 0, 100, 30};
    DrawTextW(prefixed.dc.get(), u"&Next", -1, &r, DT_SINGLELINE);
    DrawTextW(plain.dc.get(), u"Next", -1, &r, DT_SINGLELINE | DT_NOPREFIX);
    int differing = 0;
    for (std::size_t i = 0; i < plain.fb.pixels.size(); ++i)
        if (plain.fb.pixels[i] != prefixed.fb.pixels[i]) ++differing;
    const int nWidth = plain.Extent(u"N").cx;
    EXPECT_GT(differing, 0);
    EXPECT_LE(differing, nWidth);  // one underline row under "N"

    TextCanvas doubled(100, 30, font);
    TextCanvas single(100, 30, font);
    DrawTextW(doubled.dc.get(), u"A&&B", -1, &r, DT_SINGLELINE);
    DrawTextW(single.dc.get(), u"A&B", -1, &r, DT_SINGLELINE | DT_NOPREFIX);
    EXPECT_EQ(doubled.fb.pixels, single.fb.pixels);
}

TEST(TextDrawingTest, EndEllipsisKeepsTheLineInsideTheRectangle) {
    const LOGFONTW font = MakeFont(u"MS Shell Dlg", -11);
    TextCanvas canvas(300, 30, font);
    RECT r{0, 0, 60, 30};
    DrawTextW(canvas.dc.get(), u"averyveryverylongfilename.dll", -1, &r,
              DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOCLIP);
    const RECT ink = gdi_test::InkBounds(canvas.fb, kPaper);
    EXPECT_LE(ink.right, 60);
    EXPECT_GT(ink.right, 40);
}

TEST(TextDrawingTest, ExtentMatchesDrawingAndBoldIsWider) {
    struct Case {
        const char* name;
        std::u16string_view face;
        std::u16string_view text;
    };
    const Case cases[] = {
        {"latin", u"MS Shell Dlg", u"Tevorin Update"},
        {"chinese", u"宋体", u"本次升级需更新以下文件"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TextCanvas normal(400, 30, MakeFont(c.face, -12, FW_NORMAL));
        TextCanvas bold(400, 30, MakeFont(c.face, -12, FW_BOLD));
        const SIZE normalExtent = normal.Extent(c.text);
        const SIZE boldExtent = bold.Extent(c.text);
        EXPECT_GT(boldExtent.cx, normalExtent.cx);
        // The extent equals the sum of the drawn advances.
        const TextRun run = LayoutText(MakeFont(c.face, -12, FW_BOLD), c.text);
        EXPECT_EQ(run.width, boldExtent.cx);
        // Bold puts more ink down.
        TextOutW(normal.dc.get(), 0, 0, c.text.data(), static_cast<int>(c.text.size()));
        TextOutW(bold.dc.get(), 0, 0, c.text.data(), static_cast<int>(c.text.size()));
        const RECT all{0, 0, 400, 30};
        EXPECT_LT(gdi_test::CountPixels(bold.fb, all, kPaper),
                  gdi_test::CountPixels(normal.fb, all, kPaper));
    }
}

TEST(TextDrawingTest, MetricsFollowTheHeightConventionAndDialogUnits) {
    struct Case {
        LONG height;
        int expectedEm;      // for negative heights
        int expectedHeight;  // for positive heights, 0 otherwise
    };
    const Case cases[] = {{-11, 11, 0}, {-16, 16, 0}, {16, 0, 16}, {13, 0, 13}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.height);
        TextCanvas canvas(10, 10, MakeFont(u"MS Shell Dlg", c.height));
        TEXTMETRICW tm;
        ASSERT_TRUE(GetTextMetricsW(canvas.dc.get(), &tm));
        EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
        if (c.expectedHeight != 0) {
            EXPECT_EQ(tm.tmHeight, c.expectedHeight);
        } else {
            EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, c.expectedEm);
        }
        const SIZE letters = canvas.Extent(u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
        EXPECT_EQ(tm.tmAveCharWidth, (letters.cx / 26 + 1) / 2);
        const SIZE base = DialogBaseUnits(MakeFont(u"MS Shell Dlg", c.height));
        EXPECT_EQ(base.cx, tm.tmAveCharWidth);
        EXPECT_EQ(base.cy, tm.tmHeight);
    }
    EXPECT_EQ(PointsToFontHeight(8), -11);
    EXPECT_EQ(PointsToFontHeight(9), -12);
    EXPECT_EQ(DialogUnitsToPixelsX(247, SIZE{6, 13}), 371);  // 247 * 6 / 4 = 370.5
    EXPECT_EQ(DialogUnitsToPixelsY(168, SIZE{6, 13}), 273);
}

TEST(TextDrawingTest, TabsExpandToStopsOfEightAverageCharacters) {
    const LOGFONTW font = MakeFont(u"MS Shell Dlg", -11);
    TextCanvas canvas(400, 30, font);
    TEXTMETRICW tm;
    GetTextMetricsW(canvas.dc.get(), &tm);
    RECT r{0, 0, 400, 30};
    DrawTextW(canvas.dc.get(), u"a\tb", -1, &r, DT_SINGLELINE | DT_EXPANDTABS | DT_CALCRECT);
    EXPECT_EQ(r.right, 8 * tm.tmAveCharWidth + canvas.Extent(u"b").cx);
}

}  // namespace
