#include "platform/gdi/cdc.h"

#include <gtest/gtest.h>

#include "platform/gdi/system_palette.h"
#include "platform/gdi/text_drawing.h"
#include "platform_gdi/fixture_files.h"
#include "platform_gdi/pixel_checks.h"

namespace {

struct Canvas {
    Framebuffer fb;
    std::unique_ptr<DeviceContext> context;
    CDC dc;
    Canvas(int w, int h) {
        fb.Resize(w, h, 0x808080);
        context = std::make_unique<DeviceContext>(fb, POINT{0, 0}, RECT{0, 0, w, h});
        EXPECT_TRUE(dc.Attach(context.get()));
    }
};

TEST(CdcTest, SelectReturnsThePreviousObjectSoItCanBePutBack) {
    Canvas canvas(10, 10);
    LOGFONTW description{};
    description.lfHeight = -11;
    description.lfWeight = FW_BOLD;
    CFont bold;
    ASSERT_TRUE(bold.CreateFontIndirect(&description));
    const HGDIOBJ original = ::GetCurrentObject(canvas.context.get(), OBJ_FONT);
    CFont* noted = canvas.dc.SelectObject(&bold);
    ASSERT_NE(noted, nullptr);
    EXPECT_EQ(noted->m_hObject, original);
    EXPECT_EQ(canvas.dc.GetCurrentFont()->m_hObject, bold.m_hObject);
    CFont* back = canvas.dc.SelectObject(noted);
    EXPECT_EQ(back->m_hObject, bold.m_hObject);
    EXPECT_EQ(::GetCurrentObject(canvas.context.get(), OBJ_FONT), original);
    LOGFONTW read{};
    ASSERT_GT(bold.GetLogFont(&read), 0);
    EXPECT_EQ(read.lfWeight, FW_BOLD);
    // A wrapper of an object that failed to select gives null.
    CBrush empty;
    EXPECT_EQ(canvas.dc.SelectObject(&empty), nullptr);
}

TEST(CdcTest, PenBrushRectangleAndFillSolidRectBackground) {
    Canvas canvas(12, 12);
    CPen pen(PS_SOLID, 1, RGB(255, 0, 0));
    CBrush brush(RGB(0, 0, 255));
    CPen* oldPen = canvas.dc.SelectObject(&pen);
    CBrush* oldBrush = canvas.dc.SelectObject(&brush);
    const RECT r{1, 1, 8, 6};
    ASSERT_TRUE(canvas.dc.Rectangle(&r));
    EXPECT_EQ(canvas.fb.At(1, 1), 0xFF0000u);
    EXPECT_EQ(canvas.fb.At(7, 5), 0xFF0000u);
    EXPECT_EQ(canvas.fb.At(4, 3), 0x0000FFu);
    canvas.dc.SelectObject(oldPen);
    canvas.dc.SelectObject(oldBrush);
    // FillSolidRect paints and, like the framework's, leaves the background
    // colour at the fill colour.
    canvas.dc.SetBkColor(RGB(1, 1, 1));
    canvas.dc.FillSolidRect(9, 9, 2, 2, RGB(0, 255, 0));
    EXPECT_EQ(canvas.fb.At(10, 10), 0x00FF00u);
    EXPECT_EQ(canvas.fb.At(11, 11), 0x808080u);
    EXPECT_EQ(canvas.dc.GetBkColor(), RGB(0, 255, 0));
}

TEST(CdcTest, Draw3dRectMatchesTheFreeFunctionAndFrameFitsTheRect) {
    Canvas a(12, 12);
    Canvas b(12, 12);
    const RECT r{2, 2, 10, 9};
    a.dc.Draw3dRect(&r, RGB(107, 133, 206), RGB(107, 133, 206));
    ::Draw3dRect(b.context.get(), r, RGB(107, 133, 206), RGB(107, 133, 206));
    EXPECT_EQ(a.fb.pixels, b.fb.pixels);
    // A one-pixel ring along the inside of the rectangle.
    EXPECT_EQ(gdi_test::CountPixels(a.fb, r, 0x6B85CE), 2 * 8 + 2 * 5);
    EXPECT_EQ(gdi_test::FirstChangedOutside(a.fb, r, 0x808080), "");
}

TEST(CdcTest, MemoryContextWithBitmapAndBitBlt) {
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.LoadBitmapFromBytes(gdi_test::Fixture("rgb24_bottom_up.bmp")));
    EXPECT_EQ(bitmap.GetBitmapDimension().cx, 5);
    CDC memory;
    ASSERT_TRUE(memory.CreateCompatibleDC(nullptr));
    CBitmap* old = memory.SelectObject(&bitmap);
    ASSERT_NE(old, nullptr);
    Canvas canvas(10, 10);
    ASSERT_TRUE(canvas.dc.BitBlt(1, 1, 5, 3, &memory, 0, 0, SRCCOPY));
    EXPECT_EQ(canvas.fb.At(1, 1), PixelFromRgb(0, 0, 7));
    EXPECT_EQ(canvas.fb.At(5, 3), PixelFromRgb(200, 200, 7));
    memory.SelectObject(old);
}

TEST(CdcTest, WrappersOwnWhatTheyCreateAndNotWhatTheyWrap) {
    HBRUSH raw = ::CreateSolidBrush(RGB(1, 2, 3));
    {
        CBrush* temporary = CBrush::FromHandle(raw);
        EXPECT_EQ(temporary, CBrush::FromHandle(raw));  // reused per handle
        CGdiObject::DeleteTempMap();
    }
    EXPECT_EQ(GetObjectType(raw), OBJ_BRUSH);  // the temporary did not delete it
    HGDIOBJ detached = nullptr;
    {
        CBrush owner;
        ASSERT_TRUE(owner.Attach(raw));
        EXPECT_FALSE(owner.Attach(raw));
        detached = owner.Detach();
    }
    EXPECT_EQ(GetObjectType(detached), OBJ_BRUSH);  // detached: still alive
    {
        CBrush owner;
        owner.Attach(raw);
    }
    EXPECT_EQ(GetObjectType(raw), 0u);  // the owner deleted it
    CFont font;
    ASSERT_TRUE(font.CreatePointFont(80, u"MS Shell Dlg"));
    LOGFONTW read{};
    font.GetLogFont(&read);
    EXPECT_EQ(read.lfHeight, -11);
    EXPECT_EQ(std::u16string_view(read.lfFaceName), u"MS Shell Dlg");
}

TEST(CdcTest, TextThroughTheWrapperMatchesTheFreeFunctions) {
    LOGFONTW description{};
    description.lfHeight = -12;
    const std::u16string_view face = u"宋体";
    std::copy(face.begin(), face.end(), description.lfFaceName);
    CFont font;
    font.CreateFontIndirect(&description);
    Canvas a(200, 30);
    Canvas b(200, 30);
    a.dc.SelectObject(&font);
    ::SelectObject(b.context.get(), font);
    a.dc.SetBkMode(TRANSPARENT);
    ::SetBkMode(b.context.get(), TRANSPARENT);
    a.dc.TextOut(3, 4, u"软件自动升级中，请稍候。。。");
    ::TextOutW(b.context.get(), 3, 4, u"软件自动升级中，请稍候。。。", -1);
    EXPECT_EQ(a.fb.pixels, b.fb.pixels);
    EXPECT_NE(gdi_test::CountPixels(a.fb, RECT{0, 0, 200, 30}, 0x808080), 200 * 30);
    const SIZE extent = a.dc.GetTextExtent(u"软件");
    EXPECT_GT(extent.cx, 16);
    a.dc.SelectStockObject(SYSTEM_FONT);
    ::SelectObject(b.context.get(), GetStockObject(SYSTEM_FONT));
}

}  // namespace
