#pragma once
// Shared by the control tests: a canvas to paint controls into and read
// pixels back, and a bitmap strip built pixel by pixel.

#include <cstdint>
#include <memory>

#include "platform/gdi/device_context.h"
#include "platform/gdi/framebuffer.h"
#include "platform/gdi/gdi_objects.h"

inline constexpr COLORREF kCanvasColour = RGB(255, 0, 255);

// A framebuffer with a device context over all of it, origin at (0, 0).
struct Canvas {
    Canvas(int width, int height);
    Framebuffer pixels;
    std::unique_ptr<DeviceContext> dc;
    COLORREF At(int x, int y) const { return ColorRefFromPixel(pixels.At(x, y)); }
    // Pixels inside rect (right and bottom exclusive) equal to colour.
    int Count(const RECT& rect, COLORREF colour) const;
    // Pixels inside rect that are at least half `ink` over `background`.
    int CountInk(const RECT& rect, COLORREF ink, COLORREF background) const;
    // Pixels inside rect darker than mid grey: text strokes.
    int CountDark(const RECT& rect) const;
};

// A 48 x 17 strip of three 16 x 17 pictures: white background with an 8 x 8
// square in the middle of each, blue, green and red from left to right.
inline constexpr COLORREF kStripColours[3] = {RGB(0, 0, 255), RGB(0, 160, 0), RGB(255, 0, 0)};
HBITMAP MakeStatusStrip(int width = 48, int height = 17);

// Registers the control classes and fails the test when that does not work.
void RegisterControlsForTest();
