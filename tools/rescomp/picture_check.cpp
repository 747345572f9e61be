#include "tools/rescomp/picture_check.h"

#include <string_view>

#include "platform/core/text.h"

namespace {

std::uint32_t U16At(const std::vector<std::uint8_t>& b, size_t at) {
    return b[at] | (b[at + 1] << 8);
}
std::uint32_t U32At(const std::vector<std::uint8_t>& b, size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}
std::int32_t S32At(const std::vector<std::uint8_t>& b, size_t at) {
    return static_cast<std::int32_t>(U32At(b, at));
}

constexpr size_t kFileHeaderSize = 14;
constexpr size_t kInfoHeaderSize = 40;
constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiBitfields = 3;

bool IsKnownBitCount(std::uint32_t bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

std::uint64_t RowBytes(std::uint64_t width, std::uint32_t bits) { return (width * bits + 31) / 32 * 4; }

}  // namespace

std::string CheckBmpFile(const std::vector<std::uint8_t>& bytes) {
    if (bytes.size() < kFileHeaderSize + kInfoHeaderSize) return "too short for a BMP file";
    if (bytes[0] != 'B' || bytes[1] != 'M') return "not a BMP file (no 'BM' signature)";
    if (U32At(bytes, 2) != bytes.size()) return "the BMP header's file size does not match the file";
    const std::uint32_t pixelOffset = U32At(bytes, 10);
    const std::uint32_t infoSize = U32At(bytes, 14);
    if (infoSize < kInfoHeaderSize || kFileHeaderSize + infoSize > bytes.size()) {
        return "unsupported BMP info header (need BITMAPINFOHEADER or later)";
    }
    const std::int32_t width = S32At(bytes, 18);
    const std::int32_t height = S32At(bytes, 22);
    const std::uint32_t planes = U16At(bytes, 26);
    const std::uint32_t bits = U16At(bytes, 28);
    const std::uint32_t compression = U32At(bytes, 30);
    if (width <= 0 || height == 0 || height == INT32_MIN) return "the BMP has no pixels";
    if (planes != 1) return "a BMP has one plane";
    if (!IsKnownBitCount(bits)) return "unsupported BMP bit count " + std::to_string(bits);
    if (compression != kBiRgb && !(compression == kBiBitfields && (bits == 16 || bits == 32))) {
        return "compressed BMP files are not supported";
    }
    const std::uint64_t rows = height < 0 ? -static_cast<std::int64_t>(height) : height;
    const std::uint64_t pixelBytes = RowBytes(width, bits) * rows;
    if (pixelOffset < kFileHeaderSize + infoSize || pixelOffset > bytes.size() ||
        bytes.size() - pixelOffset < pixelBytes) {
        return "the BMP's pixel data lies outside the file";
    }
    return {};
}

std::string CheckIcoFile(const std::vector<std::uint8_t>& bytes) {
    constexpr size_t kDirHeader = 6;
    constexpr size_t kDirEntry = 16;
    if (bytes.size() < kDirHeader) return "too short for an ICO file";
    if (U16At(bytes, 0) != 0 || U16At(bytes, 2) != 1) return "not an ICO file (reserved 0, type 1)";
    const std::uint32_t count = U16At(bytes, 4);
    if (count == 0) return "the ICO file holds no image";
    if (bytes.size() < kDirHeader + count * kDirEntry) return "the ICO directory lies outside the file";
    for (std::uint32_t i = 0; i < count; ++i) {
        const size_t entry = kDirHeader + i * kDirEntry;
        const std::string which = "ICO image " + std::to_string(i + 1) + ": ";
        const std::uint32_t width = bytes[entry] == 0 ? 256 : bytes[entry];
        const std::uint32_t height = bytes[entry + 1] == 0 ? 256 : bytes[entry + 1];
        const std::uint32_t size = U32At(bytes, entry + 8);
        const std::uint32_t offset = U32At(bytes, entry + 12);
        if (size == 0 || offset > bytes.size() || bytes.size() - offset < size) {
            return which + "its data lies outside the file";
        }
        static constexpr std::string_view kPng = "\x89PNG\r\n\x1a\n";
        if (size >= kPng.size() &&
            std::string_view(reinterpret_cast<const char*>(&bytes[offset]), kPng.size()) == kPng) {
            continue;
        }
        if (size < kInfoHeaderSize || U32At(bytes, offset) != kInfoHeaderSize) {
            return which + "neither a PNG nor a DIB with BITMAPINFOHEADER";
        }
        const std::int32_t dibWidth = S32At(bytes, offset + 4);
        const std::int32_t dibHeight = S32At(bytes, offset + 8);
        const std::uint32_t bits = U16At(bytes, offset + 14);
        if (dibWidth != static_cast<std::int32_t>(width) ||
            dibHeight != static_cast<std::int32_t>(2 * height)) {
            return which + "its DIB size does not match the directory entry (the DIB height counts "
                           "colour and mask rows)";
        }
        if (!IsKnownBitCount(bits)) return which + "unsupported bit count " + std::to_string(bits);
        std::uint64_t colours = U32At(bytes, offset + 32);
        if (colours == 0 && bits <= 8) colours = 1ull << bits;
        const std::uint64_t needed = kInfoHeaderSize + colours * 4 + RowBytes(width, bits) * height +
                                     RowBytes(width, 1) * height;
        if (size < needed) return which + "its pixels or mask are cut short";
    }
    return {};
}

std::string CheckManifestText(const std::vector<std::uint8_t>& bytes) {
    if (bytes.empty()) return "the manifest is empty";
    const std::string text(bytes.begin(), bytes.end());
    if (Utf16ToUtf8(Utf8ToUtf16(text)) != text) return "the manifest is not valid UTF-8";
    return {};
}
