#pragma once
// A small, strict reader of the BMP and ICO files the program embeds, so the
// tests can look at the pictures pixel by pixel.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

struct Rgba {
    std::uint8_t r = 0, g = 0, b = 0, a = 0;
    friend bool operator==(const Rgba&, const Rgba&) = default;
};

struct Picture {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
    std::uint32_t compression = 0;
    std::vector<Rgba> pixels;  // top row first
    const Rgba& At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// A BMP file of 24 bits per pixel; nothing for anything else.
std::optional<Picture> ReadBmp24(std::span<const std::uint8_t> file, std::string& error);

// Every image of an ICO file (DIBs of 8 or 32 bits per pixel with their AND
// mask), in directory order. Transparent pixels get alpha 0; 8 bpp pixels
// that the mask keeps get alpha 255.
std::optional<std::vector<Picture>> ReadIco(std::span<const std::uint8_t> file, std::string& error);
