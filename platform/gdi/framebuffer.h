#pragma once
// A 32-bit pixel surface that windows paint into and that the display shows
// or writes to disk. Pixels are 0x00RRGGBB (the order X11 and PNG writers
// want); colours in the drawing interface are COLORREF 0x00BBGGRR, so every
// drawing call converts with the helpers below.

#include <cstdint>
#include <vector>

#include "platform/core/win_types.h"

struct Framebuffer {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, row-major, width * height entries

    // Makes the surface w x h (negative sizes count as 0) and fills every pixel.
    void Resize(int w, int h, std::uint32_t fill);
    // The pixel at (x, y), or 0 when the point lies outside the surface.
    std::uint32_t At(int x, int y) const;
    // Writes one pixel; points outside the surface are ignored.
    void Set(int x, int y, std::uint32_t pixel);
    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
};

constexpr std::uint32_t PixelFromColorRef(COLORREF color) {
    return ((color & 0xFFu) << 16) | (color & 0xFF00u) | ((color >> 16) & 0xFFu);
}

constexpr COLORREF ColorRefFromPixel(std::uint32_t pixel) {
    return ((pixel & 0xFFu) << 16) | (pixel & 0xFF00u) | ((pixel >> 16) & 0xFFu);
}

constexpr std::uint32_t PixelFromRgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return (static_cast<std::uint32_t>(r) << 16) | (static_cast<std::uint32_t>(g) << 8) | b;
}
