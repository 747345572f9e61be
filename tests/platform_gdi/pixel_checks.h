#pragma once
// Helpers for reading painted pixels back in tests.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/gdi/framebuffer.h"

namespace gdi_test {

// Every pixel outside `inside` (right and bottom exclusive) still has the
// colour `background`; returns a description of the first one that does not,
// or an empty string.
inline std::string FirstChangedOutside(const Framebuffer& fb, const RECT& inside,
                                       std::uint32_t background) {
    for (int y = 0; y < fb.height; ++y) {
        for (int x = 0; x < fb.width; ++x) {
            const bool in =
                x >= inside.left && x < inside.right && y >= inside.top && y < inside.bottom;
            if (!in && fb.At(x, y) != background) {
                char text[96];
                std::snprintf(text, sizeof text, "pixel (%d,%d) is %06X", x, y, fb.At(x, y));
                return text;
            }
        }
    }
    return {};
}

// The smallest rectangle holding every pixel that differs from `background`;
// empty (all zero) when there is none.
inline RECT InkBounds(const Framebuffer& fb, std::uint32_t background) {
    RECT r{fb.width, fb.height, 0, 0};
    bool any = false;
    for (int y = 0; y < fb.height; ++y) {
        for (int x = 0; x < fb.width; ++x) {
            if (fb.At(x, y) == background) continue;
            any = true;
            r.left = std::min<LONG>(r.left, x);
            r.top = std::min<LONG>(r.top, y);
            r.right = std::max<LONG>(r.right, x + 1);
            r.bottom = std::max<LONG>(r.bottom, y + 1);
        }
    }
    return any ? r : RECT{};
}

inline int CountPixels(const Framebuffer& fb, const RECT& area, std::uint32_t pixel) {
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (fb.At(x, y) == pixel) ++count;
    return count;
}

}  // namespace gdi_test
