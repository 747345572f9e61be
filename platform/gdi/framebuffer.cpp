#include "platform/gdi/framebuffer.h"

#include <algorithm>
#include <cstddef>

void Framebuffer::Resize(int w, int h, std::uint32_t fill) {
    width = std::max(w, 0);
    height = std::max(h, 0);
    pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill);
}

std::uint32_t Framebuffer::At(int x, int y) const {
    if (!Contains(x, y)) return 0;
    return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                  static_cast<std::size_t>(x)];
}

void Framebuffer::Set(int x, int y, std::uint32_t pixel) {
    if (!Contains(x, y)) return;
    pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
           static_cast<std::size_t>(x)] = pixel;
}
