#include "platform/display/x11_pixels.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace tevorin::display {
namespace {

bool Contiguous(std::uint32_t mask) {
    if (mask == 0) return false;
    const std::uint32_t shifted = mask >> std::countr_zero(mask);
    return (shifted & (shifted + 1)) == 0;
}

// Places the top bits of an 8-bit channel value into the mask's bits.
std::uint32_t Channel(std::uint32_t value8, std::uint32_t mask) {
    const int shift = std::countr_zero(mask);
    const int bits = std::popcount(mask);
    const std::uint32_t scaled = bits >= 8 ? value8 << (bits - 8) : value8 >> (8 - bits);
    return (scaled << shift) & mask;
}

}  // namespace

bool PixelLayout::Valid() const {
    if (bitsPerPixel != 8 && bitsPerPixel != 16 && bitsPerPixel != 24 && bitsPerPixel != 32)
        return false;
    if (!Contiguous(redMask) || !Contiguous(greenMask) || !Contiguous(blueMask)) return false;
    if ((redMask & greenMask) != 0 || (redMask & blueMask) != 0 || (greenMask & blueMask) != 0)
        return false;
    const std::uint32_t all = redMask | greenMask | blueMask;
    return bitsPerPixel == 32 || (all >> bitsPerPixel) == 0;
}

std::uint32_t PackPixel(std::uint32_t rgb, const PixelLayout& layout) {
    return Channel((rgb >> 16) & 0xFF, layout.redMask) |
           Channel((rgb >> 8) & 0xFF, layout.greenMask) | Channel(rgb & 0xFF, layout.blueMask);
}

void StorePixel(std::uint8_t* dst, std::uint32_t value, const PixelLayout& layout) {
    const int bytes = layout.bitsPerPixel / 8;
    for (int i = 0; i < bytes; ++i) {
        const int shift = layout.mostSignificantFirst ? 8 * (bytes - 1 - i) : 8 * i;
        dst[i] = static_cast<std::uint8_t>(value >> shift);
    }
}

void ConvertRect(const Framebuffer& source, int x, int y, int width, int height,
                 const PixelLayout& layout, std::uint8_t* image, std::size_t bytesPerLine) {
    const int bytes = layout.bitsPerPixel / 8;
    const bool plain = layout.bitsPerPixel == 32 && !layout.mostSignificantFirst &&
                       layout.redMask == 0xFF0000u && layout.greenMask == 0xFF00u &&
                       layout.blueMask == 0xFFu && std::endian::native == std::endian::little;
    for (int row = 0; row < height; ++row) {
        const std::uint32_t* in =
            source.pixels.data() +
            static_cast<std::size_t>(y + row) * static_cast<std::size_t>(source.width) + x;
        std::uint8_t* out = image + static_cast<std::size_t>(row) * bytesPerLine;
        if (plain) {
            // The common visual stores the framebuffer's own layout.
            std::memcpy(out, in, static_cast<std::size_t>(width) * 4);
            continue;
        }
        for (int col = 0; col < width; ++col)
            StorePixel(out + bytes * col, PackPixel(in[col], layout), layout);
    }
}

bool ChangedRect(const Framebuffer& before, const Framebuffer& after, int* x, int* y, int* width,
                 int* height) {
    const int w = after.width;
    int top = -1;
    int bottom = -1;
    int left = w;
    int right = -1;
    for (int row = 0; row < after.height; ++row) {
        const std::uint32_t* a = before.pixels.data() + static_cast<std::size_t>(row) * w;
        const std::uint32_t* b = after.pixels.data() + static_cast<std::size_t>(row) * w;
        int first = 0;
        while (first < w && a[first] == b[first]) ++first;
        if (first == w) continue;
        int last = w - 1;
        while (last > first && a[last] == b[last]) --last;
        if (top < 0) top = row;
        bottom = row;
        left = std::min(left, first);
        right = std::max(right, last);
    }
    if (top < 0) return false;
    *x = left;
    *y = top;
    *width = right - left + 1;
    *height = bottom - top + 1;
    return true;
}

}  // namespace tevorin::display
