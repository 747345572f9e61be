#pragma once
// PNG files of framebuffers (window snapshots) and PNG decoding for icon
// images, through libpng.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/gdi/framebuffer.h"

// Straight (not premultiplied) 0xAARRGGBB pixels, top row first.
struct ArgbImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
};

// Largest width or height accepted when decoding; larger images are refused
// before any pixel memory is taken.
inline constexpr int kLargestPngSide = 16384;

// Writes the framebuffer as an 8-bit RGB PNG. The file is written as
// `path` + ".partial" and renamed into place; on failure returns false,
// removes the partial file and leaves whatever was at `path` alone. An empty
// framebuffer cannot be written.
[[nodiscard]] bool WritePng(const Framebuffer& image, const std::string& path);

// Reads a PNG file into a framebuffer; alpha is dropped. False (and `image`
// unchanged) for a missing, truncated or corrupt file.
[[nodiscard]] bool ReadPng(const std::string& path, Framebuffer* image);

// Decodes PNG bytes of any colour type and depth.
[[nodiscard]] bool DecodePng(std::span<const std::uint8_t> bytes, ArgbImage* image);
