#pragma once
// Decoding of device-independent bitmaps: BMP files (a BITMAPFILEHEADER then
// the DIB) and packed DIBs (the info header, palette and pixels, as icon
// images and bitmap resources store them).
//
// Uncompressed images of 1, 4, 8, 16 (5-5-5), 24 and 32 bits per pixel,
// bottom-up or top-down, with info headers of 40 bytes or the longer later
// forms. Every size and offset is checked against the bytes given before it
// is used: a truncated, oversized or inconsistent image is refused, never
// read past its end.

#include <cstdint>
#include <span>
#include <vector>

#include "platform/gdi/framebuffer.h"

// Largest width or height accepted.
inline constexpr int kLargestDibSide = 16384;

struct DibImage {
    int width = 0;
    int height = 0;
    // 0xAARRGGBB, top row first. Alpha is the stored byte for 32-bit images
    // and 0xFF for every other depth.
    std::vector<std::uint32_t> pixels;
    bool hasAlphaChannel = false;  // 32 bits per pixel with any non-zero alpha
};

// A BMP file or a packed DIB (told apart by the "BM" signature). Alpha is
// dropped: bitmaps are opaque.
[[nodiscard]] bool DecodeBitmapBytes(std::span<const std::uint8_t> bytes, Framebuffer* image);

// A packed DIB whose height field counts `heightFactor` stacked images
// (2 for icon images: colour rows, then the AND mask rows). Only the first
// height / heightFactor rows are decoded; `followingOffset` receives the
// offset just past them, where an icon's mask begins.
[[nodiscard]] bool DecodePackedDib(std::span<const std::uint8_t> bytes, int heightFactor,
                                   DibImage* image, std::size_t* followingOffset);
