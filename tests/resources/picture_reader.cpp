#include "picture_reader.h"

namespace {

std::uint32_t U16(std::span<const std::uint8_t> b, size_t at) { return b[at] | (b[at + 1] << 8); }
std::uint32_t U32(std::span<const std::uint8_t> b, size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}
size_t Stride(int width, int bits) { return (static_cast<size_t>(width) * bits + 31) / 32 * 4; }

// Reads one icon DIB: header, colour table, colour rows and mask rows.
std::optional<Picture> ReadIconDib(std::span<const std::uint8_t> dib, int width, int height,
                                   std::string& error) {
    if (dib.size() < 40 || U32(dib, 0) != 40) {
        error = "no BITMAPINFOHEADER";
        return std::nullopt;
    }
    Picture p;
    p.width = static_cast<int>(U32(dib, 4));
    const int doubledHeight = static_cast<int>(U32(dib, 8));
    p.height = doubledHeight / 2;
    p.bitsPerPixel = static_cast<int>(U16(dib, 14));
    p.compression = U32(dib, 16);
    if (p.width != width || p.height != height || doubledHeight != 2 * height) {
        error = "DIB size differs from the directory entry";
        return std::nullopt;
    }
    if (p.bitsPerPixel != 8 && p.bitsPerPixel != 32) {
        error = "unexpected bit count " + std::to_string(p.bitsPerPixel);
        return std::nullopt;
    }
    size_t colours = p.bitsPerPixel == 8 ? (U32(dib, 32) ? U32(dib, 32) : 256) : 0;
    const size_t paletteAt = 40;
    const size_t pixelsAt = paletteAt + colours * 4;
    const size_t maskAt = pixelsAt + Stride(width, p.bitsPerPixel) * height;
    if (dib.size() < maskAt + Stride(width, 1) * height) {
        error = "DIB cut short";
        return std::nullopt;
    }
    p.pixels.resize(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        const int row = height - 1 - y;  // bottom-up
        for (int x = 0; x < width; ++x) {
            Rgba& px = p.pixels[static_cast<size_t>(y) * width + x];
            if (p.bitsPerPixel == 32) {
                const size_t at = pixelsAt + row * Stride(width, 32) + x * 4;
                px = Rgba{dib[at + 2], dib[at + 1], dib[at], dib[at + 3]};
            } else {
                const std::uint8_t index = dib[pixelsAt + row * Stride(width, 8) + x];
                if (index >= colours) {
                    error = "palette index out of range";
                    return std::nullopt;
                }
                const size_t at = paletteAt + index * 4;
                px = Rgba{dib[at + 2], dib[at + 1], dib[at], 255};
            }
            const bool masked = (dib[maskAt + row * Stride(width, 1) + x / 8] >> (7 - x % 8)) & 1;
            if (masked) {
                if (p.bitsPerPixel == 32 && px.a != 0) {
                    error = "mask hides a pixel that its alpha shows";
                    return std::nullopt;
                }
                px.a = 0;
            }
        }
    }
    return p;
}

}  // namespace

std::optional<Picture> ReadBmp24(std::span<const std::uint8_t> file, std::string& error) {
    if (file.size() < 54 || file[0] != 'B' || file[1] != 'M') {
        error = "not a BMP file";
        return std::nullopt;
    }
    if (U32(file, 2) != file.size()) {
        error = "file size field differs from the file";
        return std::nullopt;
    }
    Picture p;
    const size_t pixelsAt = U32(file, 10);
    p.width = static_cast<int>(U32(file, 18));
    const int height = static_cast<int>(U32(file, 22));
    p.height = height < 0 ? -height : height;
    p.bitsPerPixel = static_cast<int>(U16(file, 28));
    p.compression = U32(file, 30);
    if (U32(file, 14) < 40 || p.bitsPerPixel != 24 || p.width <= 0 || p.height == 0) {
        error = "not an uncompressed 24-bit BMP";
        return std::nullopt;
    }
    const size_t stride = Stride(p.width, 24);
    if (file.size() < pixelsAt + stride * p.height) {
        error = "pixel data cut short";
        return std::nullopt;
    }
    p.pixels.resize(static_cast<size_t>(p.width) * p.height);
    for (int y = 0; y < p.height; ++y) {
        const int row = height > 0 ? p.height - 1 - y : y;
        for (int x = 0; x < p.width; ++x) {
            const size_t at = pixelsAt + row * stride + x * 3;
            p.pixels[static_cast<size_t>(y) * p.width + x] = Rgba{file[at + 2], file[at + 1], file[at], 255};
        }
    }
    return p;
}

std::optional<std::vector<Picture>> ReadIco(std::span<const std::uint8_t> file, std::string& error) {
    if (file.size() < 6 || U16(file, 0) != 0 || U16(file, 2) != 1) {
        error = "not an ICO file";
        return std::nullopt;
    }
    const size_t count = U16(file, 4);
    if (file.size() < 6 + 16 * count) {
        error = "directory cut short";
        return std::nullopt;
    }
    std::vector<Picture> images;
    for (size_t i = 0; i < count; ++i) {
        const size_t entry = 6 + 16 * i;
        const int width = file[entry] ? file[entry] : 256;
        const int height = file[entry + 1] ? file[entry + 1] : 256;
        const std::uint32_t bits = U16(file, entry + 6);
        const size_t size = U32(file, entry + 8);
        const size_t offset = U32(file, entry + 12);
        if (offset > file.size() || file.size() - offset < size) {
            error = "image " + std::to_string(i) + " outside the file";
            return std::nullopt;
        }
        auto picture = ReadIconDib(file.subspan(offset, size), width, height, error);
        if (!picture) {
            error = "image " + std::to_string(i) + ": " + error;
            return std::nullopt;
        }
        if (static_cast<int>(bits) != picture->bitsPerPixel) {
            error = "image " + std::to_string(i) + ": directory and DIB disagree on the bit count";
            return std::nullopt;
        }
        images.push_back(std::move(*picture));
    }
    return images;
}
