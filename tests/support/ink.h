#pragma once
// Antialiased text: a stroke pixel is a blend of the ink and the background,
// and thin strokes rarely reach the pure ink colour. Text checks count the
// pixels that are at least half ink instead.

#include <cstdlib>

#include "platform/core/win_types.h"

inline bool IsMostlyInk(COLORREF pixel, COLORREF ink, COLORREF background) {
    const int channels[3][3] = {
        {GetRValue(pixel), GetRValue(ink), GetRValue(background)},
        {GetGValue(pixel), GetGValue(ink), GetGValue(background)},
        {GetBValue(pixel), GetBValue(ink), GetBValue(background)},
    };
    int widest = 0;
    for (int c = 1; c < 3; ++c)
        if (std::abs(channels[c][1] - channels[c][2]) >
            std::abs(channels[widest][1] - channels[widest][2]))
            widest = c;
    const int span = channels[widest][1] - channels[widest][2];
    if (span == 0) return pixel == ink;
    const double share = static_cast<double>(channels[widest][0] - channels[widest][2]) / span;
    if (share < 0.5 || share > 1.0) return false;
    for (const auto& channel : channels) {
        const double expected = channel[2] + share * (channel[1] - channel[2]);
        if (std::abs(channel[0] - expected) > 6.0) return false;
    }
    return true;
}
