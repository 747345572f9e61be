#include "platform/gdi/icon.h"

#include <algorithm>
#include <iterator>
#include <memory>

#include "platform/gdi/dib_decoder.h"
#include "platform/gdi/png_file.h"

namespace {

std::uint16_t U16(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}
std::uint32_t U32(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::uint32_t>(b[at]) | (static_cast<std::uint32_t>(b[at + 1]) << 8) |
           (static_cast<std::uint32_t>(b[at + 2]) << 16) |
           (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

bool IsPng(std::span<const std::uint8_t> image) {
    static constexpr std::uint8_t kSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    return image.size() >= 8 &&
           std::equal(std::begin(kSignature), std::end(kSignature), image.begin());
}

// A DIB icon image: colour rows, then a 1-bit AND mask of the same size.
bool DecodeDibIcon(std::span<const std::uint8_t> image, GdiIcon* icon) {
    DibImage colour;
    std::size_t maskOffset = 0;
    if (!DecodePackedDib(image, 2, &colour, &maskOffset)) return false;
    icon->width = colour.width;
    icon->height = colour.height;
    icon->pixels = std::move(colour.pixels);
    if (colour.hasAlphaChannel) return true;  // alpha decides; the mask is redundant
    // Without alpha every pixel is opaque colour unless the mask says otherwise.
    for (std::uint32_t& p : icon->pixels) p |= 0xFF000000u;
    const std::size_t maskStride = ((static_cast<std::size_t>(icon->width) + 31) / 32) * 4;
    icon->screenMask.assign(icon->pixels.size(), 0);
    // An image that ends right after its colour rows has no mask (some
    // writers leave it out); nothing is masked then. A mask cut short is damage.
    if (image.size() == maskOffset) return true;
    if (maskStride * static_cast<std::size_t>(icon->height) > image.size() - maskOffset)
        return false;
    for (int row = 0; row < icon->height; ++row) {
        const int y = icon->height - 1 - row;
        const std::uint8_t* bits =
            image.data() + maskOffset + static_cast<std::size_t>(row) * maskStride;
        for (int x = 0; x < icon->width; ++x)
            icon->screenMask[static_cast<std::size_t>(y) * icon->width + x] =
                (bits[x / 8] >> (7 - x % 8)) & 1;
    }
    return true;
}

bool DecodePngIcon(std::span<const std::uint8_t> image, GdiIcon* icon) {
    ArgbImage decoded;
    if (!DecodePng(image, &decoded)) return false;
    icon->width = decoded.width;
    icon->height = decoded.height;
    icon->pixels = std::move(decoded.pixels);
    return true;
}

}  // namespace

bool ReadIcoDirectory(std::span<const std::uint8_t> bytes, std::vector<IcoEntry>* entries) {
    if (entries == nullptr || bytes.size() < 6) return false;
    if (U16(bytes, 0) != 0 || U16(bytes, 2) != 1) return false;
    const std::size_t count = U16(bytes, 4);
    if (count == 0 || 6 + count * 16 > bytes.size()) return false;
    std::vector<IcoEntry> result;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t at = 6 + i * 16;
        IcoEntry entry;
        entry.width = bytes[at] == 0 ? 256 : bytes[at];
        entry.height = bytes[at + 1] == 0 ? 256 : bytes[at + 1];
        entry.bitCount = U16(bytes, at + 6);
        entry.size = U32(bytes, at + 8);
        entry.offset = U32(bytes, at + 12);
        if (entry.offset > bytes.size() || entry.size > bytes.size() - entry.offset ||
            entry.size == 0)
            return false;
        result.push_back(entry);
    }
    *entries = std::move(result);
    return true;
}

int ChooseIcoEntry(const std::vector<IcoEntry>& entries, int size) {
    int best = -1;
    auto better = [&](const IcoEntry& a, const IcoEntry& b) {
        // Rank: exact size first, then the smallest larger, then the largest;
        // at equal size the most colours.
        auto rank = [size](const IcoEntry& e) {
            if (e.width == size) return 0;
            return e.width > size ? 1 : 2;
        };
        if (rank(a) != rank(b)) return rank(a) < rank(b);
        if (a.width != b.width) return rank(a) == 1 ? a.width < b.width : a.width > b.width;
        return a.bitCount > b.bitCount;
    };
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (best < 0 || better(entries[i], entries[best])) best = static_cast<int>(i);
    return best;
}

HICON CreateIconFromIcoBytes(std::span<const std::uint8_t> bytes, int size) {
    std::vector<IcoEntry> entries;
    if (!ReadIcoDirectory(bytes, &entries)) return nullptr;
    const int chosen = ChooseIcoEntry(entries, size);
    if (chosen < 0) return nullptr;
    const std::span<const std::uint8_t> image =
        bytes.subspan(entries[chosen].offset, entries[chosen].size);
    auto icon = std::make_unique<GdiIcon>();
    const bool decoded =
        IsPng(image) ? DecodePngIcon(image, icon.get()) : DecodeDibIcon(image, icon.get());
    if (!decoded) return nullptr;
    return static_cast<HICON>(RegisterObject(icon.release()));
}

BOOL DestroyIcon(HICON icon) {
    if (!IsLiveObject(icon, OBJ_ICON_IMAGE) || icon->stock) return FALSE;
    return DeleteObject(icon);
}
