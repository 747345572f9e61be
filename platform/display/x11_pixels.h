#pragma once
// Turning 0x00RRGGBB framebuffer pixels into the pixel layout of an X
// visual: any true-colour channel masks, 8 to 32 bits per pixel, either byte
// order. Kept free of Xlib so that the arithmetic can be checked on its own.

#include <cstddef>
#include <cstdint>

#include "platform/gdi/framebuffer.h"

namespace tevorin::display {

struct PixelLayout {
    std::uint32_t redMask = 0;
    std::uint32_t greenMask = 0;
    std::uint32_t blueMask = 0;
    int bitsPerPixel = 32;              // 8, 16, 24 or 32
    bool mostSignificantFirst = false;  // the image's byte order

    // False for masks that are empty, overlap or are not contiguous, and for
    // a pixel size the packer does not write.
    [[nodiscard]] bool Valid() const;
};

// The visual's pixel value for a framebuffer pixel; each channel keeps its
// most significant bits.
std::uint32_t PackPixel(std::uint32_t rgb, const PixelLayout& layout);

// Writes one packed value of layout.bitsPerPixel bits at dst.
void StorePixel(std::uint8_t* dst, std::uint32_t value, const PixelLayout& layout);

// Converts the rectangle (x, y, width, height) of the framebuffer into an
// image buffer of the same size with bytesPerLine bytes per row. The
// rectangle must lie inside the framebuffer.
void ConvertRect(const Framebuffer& source, int x, int y, int width, int height,
                 const PixelLayout& layout, std::uint8_t* image, std::size_t bytesPerLine);

// The smallest rectangle holding every pixel that differs between two
// framebuffers of the same size; false when they are equal.
[[nodiscard]] bool ChangedRect(const Framebuffer& before, const Framebuffer& after, int* x, int* y,
                               int* width, int* height);

}  // namespace tevorin::display
