#include "control_test_support.h"

#include <gtest/gtest.h>

#include "platform/controls/control_classes.h"
#include "support/ink.h"

Canvas::Canvas(int width, int height) {
    pixels.Resize(width, height, PixelFromColorRef(kCanvasColour));
    dc = std::make_unique<DeviceContext>(pixels, POINT{0, 0}, RECT{0, 0, width, height});
}

int Canvas::Count(const RECT& rect, COLORREF colour) const {
    int count = 0;
    for (int y = rect.top; y < rect.bottom; ++y) {
        for (int x = rect.left; x < rect.right; ++x) count += At(x, y) == colour ? 1 : 0;
    }
    return count;
}

int Canvas::CountInk(const RECT& rect, COLORREF ink, COLORREF background) const {
    int count = 0;
    for (int y = rect.top; y < rect.bottom; ++y) {
        for (int x = rect.left; x < rect.right; ++x) count += IsMostlyInk(At(x, y), ink, background) ? 1 : 0;
    }
    return count;
}

int Canvas::CountDark(const RECT& rect) const {
    int count = 0;
    for (int y = rect.top; y < rect.bottom; ++y) {
        for (int x = rect.left; x < rect.right; ++x) {
            const COLORREF c = At(x, y);
            const int luminance = (GetRValue(c) * 3 + GetGValue(c) * 6 + GetBValue(c)) / 10;
            count += luminance < 128 ? 1 : 0;
        }
    }
    return count;
}

HBITMAP MakeStatusStrip(int width, int height) {
    HBITMAP strip = CreateBitmapOfSize(width, height);
    if (strip == nullptr) return nullptr;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int picture = x / 16;
            const int inX = x % 16;
            const bool square = inX >= 4 && inX < 12 && y >= 4 && y < 12 && picture < 3;
            const COLORREF colour = square ? kStripColours[picture] : RGB(255, 255, 255);
            strip->image.Set(x, y, PixelFromColorRef(colour));
        }
    }
    return strip;
}

void RegisterControlsForTest() { ASSERT_TRUE(tevorin::controls::RegisterControlClasses()); }
