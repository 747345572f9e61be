#include "platform/gdi/dib_decoder.h"

#include <cstring>

namespace {

constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint64_t kLargestPixelCount = 64ull << 20;

std::uint16_t U16(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}
std::uint32_t U32(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::uint32_t>(b[at]) | (static_cast<std::uint32_t>(b[at + 1]) << 8) |
           (static_cast<std::uint32_t>(b[at + 2]) << 16) |
           (static_cast<std::uint32_t>(b[at + 3]) << 24);
}
std::int32_t I32(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::int32_t>(U32(b, at));
}

struct DibLayout {
    int width = 0;
    int height = 0;  // of one stacked image
    bool topDown = false;
    int bitCount = 0;
    std::size_t paletteOffset = 0;
    std::size_t paletteEntries = 0;
    std::size_t stride = 0;
};

// Reads and checks the info header at the start of `dib`.
bool ReadLayout(std::span<const std::uint8_t> dib, int heightFactor, DibLayout* layout) {
    if (dib.size() < 40) return false;
    const std::uint32_t headerSize = U32(dib, 0);
    if (headerSize < 40 || headerSize > dib.size()) return false;
    const std::int32_t width = I32(dib, 4);
    const std::int32_t rawHeight = I32(dib, 8);
    const std::uint16_t planes = U16(dib, 12);
    const std::uint16_t bitCount = U16(dib, 14);
    const std::uint32_t compression = U32(dib, 16);
    const std::uint32_t colorsUsed = U32(dib, 32);
    if (planes != 1 || compression != kBiRgb) return false;
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 &&
        bitCount != 32)
        return false;
    if (rawHeight == INT32_MIN) return false;
    const bool topDown = rawHeight < 0;
    if (topDown && heightFactor != 1) return false;  // stacked images are always bottom-up
    const std::int64_t fullHeight = topDown ? -static_cast<std::int64_t>(rawHeight) : rawHeight;
    if (width <= 0 || width > kLargestDibSide || fullHeight <= 0 || fullHeight % heightFactor != 0)
        return false;
    const std::int64_t height = fullHeight / heightFactor;
    if (height > kLargestDibSide) return false;
    if (static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) > kLargestPixelCount)
        return false;

    std::size_t paletteEntries = 0;
    if (bitCount <= 8) {
        const std::size_t most = std::size_t{1} << bitCount;
        paletteEntries = colorsUsed == 0 ? most : colorsUsed;
        if (paletteEntries > most) return false;
    } else if (colorsUsed > 256) {
        return false;
    } else {
        paletteEntries = colorsUsed;  // an optional palette we skip over
    }
    layout->width = width;
    layout->height = static_cast<int>(height);
    layout->topDown = topDown;
    layout->bitCount = bitCount;
    layout->paletteOffset = headerSize;
    layout->paletteEntries = paletteEntries;
    if (paletteEntries * 4 > dib.size() - headerSize) return false;
    layout->stride = ((static_cast<std::size_t>(width) * bitCount + 31) / 32) * 4;
    return true;
}

std::uint32_t PaletteColour(std::span<const std::uint8_t> dib, const DibLayout& layout,
                            std::size_t index) {
    if (index >= layout.paletteEntries) return 0xFF000000u;  // out-of-range indices show black
    const std::size_t at = layout.paletteOffset + index * 4;
    return 0xFF000000u | (static_cast<std::uint32_t>(dib[at + 2]) << 16) |
           (static_cast<std::uint32_t>(dib[at + 1]) << 8) | dib[at];
}

// Decodes the rows at `pixelOffset` of `dib`; the caller has checked that
// they lie inside it.
void DecodeRows(std::span<const std::uint8_t> dib, const DibLayout& layout, std::size_t pixelOffset,
                DibImage* image) {
    image->width = layout.width;
    image->height = layout.height;
    image->pixels.assign(static_cast<std::size_t>(layout.width) * layout.height, 0);
    image->hasAlphaChannel = false;
    for (int row = 0; row < layout.height; ++row) {
        const int y = layout.topDown ? row : layout.height - 1 - row;
        const std::uint8_t* source =
            dib.data() + pixelOffset + static_cast<std::size_t>(row) * layout.stride;
        std::uint32_t* target = image->pixels.data() + static_cast<std::size_t>(y) * layout.width;
        for (int x = 0; x < layout.width; ++x) {
            std::uint32_t pixel = 0;
            switch (layout.bitCount) {
                case 1:
                    pixel = PaletteColour(dib, layout, (source[x / 8] >> (7 - x % 8)) & 1);
                    break;
                case 4:
                    pixel = PaletteColour(dib, layout, (source[x / 2] >> (x % 2 ? 0 : 4)) & 0xF);
                    break;
                case 8:
                    pixel = PaletteColour(dib, layout, source[x]);
                    break;
                case 16: {
                    const unsigned v = source[x * 2] | (source[x * 2 + 1] << 8);
                    const unsigned r = (v >> 10) & 31, g = (v >> 5) & 31, b = v & 31;
                    pixel = 0xFF000000u | (((r << 3) | (r >> 2)) << 16) |
                            (((g << 3) | (g >> 2)) << 8) | ((b << 3) | (b >> 2));
                    break;
                }
                case 24:
                    pixel = 0xFF000000u | (static_cast<std::uint32_t>(source[x * 3 + 2]) << 16) |
                            (static_cast<std::uint32_t>(source[x * 3 + 1]) << 8) | source[x * 3];
                    break;
                case 32:
                    pixel = (static_cast<std::uint32_t>(source[x * 4 + 3]) << 24) |
                            (static_cast<std::uint32_t>(source[x * 4 + 2]) << 16) |
                            (static_cast<std::uint32_t>(source[x * 4 + 1]) << 8) | source[x * 4];
                    if (source[x * 4 + 3] != 0) image->hasAlphaChannel = true;
                    break;
            }
            target[x] = pixel;
        }
    }
}

bool RowsFit(std::size_t available, std::size_t offset, const DibLayout& layout) {
    if (offset > available) return false;
    return layout.stride * static_cast<std::size_t>(layout.height) <= available - offset;
}

}  // namespace

bool DecodePackedDib(std::span<const std::uint8_t> bytes, int heightFactor, DibImage* image,
                     std::size_t* followingOffset) {
    if (image == nullptr || heightFactor < 1) return false;
    DibLayout layout;
    if (!ReadLayout(bytes, heightFactor, &layout)) return false;
    const std::size_t pixelOffset = layout.paletteOffset + layout.paletteEntries * 4;
    if (!RowsFit(bytes.size(), pixelOffset, layout)) return false;
    DecodeRows(bytes, layout, pixelOffset, image);
    if (followingOffset != nullptr)
        *followingOffset = pixelOffset + layout.stride * static_cast<std::size_t>(layout.height);
    return true;
}

bool DecodeBitmapBytes(std::span<const std::uint8_t> bytes, Framebuffer* image) {
    if (image == nullptr) return false;
    DibImage decoded;
    if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M') {
        if (bytes.size() < kFileHeaderSize + 40) return false;
        const std::uint32_t pixelOffset = U32(bytes, 10);
        const std::span<const std::uint8_t> dib = bytes.subspan(kFileHeaderSize);
        DibLayout layout;
        if (!ReadLayout(dib, 1, &layout)) return false;
        // The file names where its pixels start; it must not point back into
        // the headers or past the end.
        const std::size_t paletteEnd =
            kFileHeaderSize + layout.paletteOffset + layout.paletteEntries * 4;
        if (pixelOffset < paletteEnd || !RowsFit(bytes.size(), pixelOffset, layout)) return false;
        DecodeRows(bytes.subspan(kFileHeaderSize), layout, pixelOffset - kFileHeaderSize, &decoded);
    } else if (!DecodePackedDib(bytes, 1, &decoded, nullptr)) {
        return false;
    }
    Framebuffer result;
    result.width = decoded.width;
    result.height = decoded.height;
    result.pixels.resize(decoded.pixels.size());
    for (std::size_t i = 0; i < decoded.pixels.size(); ++i)
        result.pixels[i] = decoded.pixels[i] & 0x00FFFFFFu;
    *image = std::move(result);
    return true;
}
