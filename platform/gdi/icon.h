#pragma once
// Icons: ICO files with several images, picked by size, and drawn with their
// mask or alpha channel.
//
// Accepted images: 32-bit with alpha, 24/8/4/1-bit with an AND mask, and
// PNG-compressed entries (as larger icons are stored). The best image for a
// size is the one of that exact size with the most colours; without one,
// the smallest larger image, else the largest, scaled when drawn.
//
// An HICON made by CreateIconFromIcoBytes belongs to the caller
// (DestroyIcon); icons from LoadIconW are shared and never destroyed.

#include <cstdint>
#include <span>
#include <vector>

#include "platform/core/win_types.h"
#include "platform/gdi/gdi_objects.h"

inline constexpr DWORD OBJ_ICON_IMAGE = 0x49434F;  // our own kind; icons are not drawing objects

struct GdiIcon final : GdiObject {
    int width = 0;
    int height = 0;
    // 0xAARRGGBB, top row first.
    std::vector<std::uint32_t> pixels;
    // Per pixel: 1 where the AND mask keeps the screen (the colour is then
    // XORed onto it), 0 where the colour replaces it. Empty when the image
    // has an alpha channel, which then decides alone.
    std::vector<std::uint8_t> screenMask;
    GdiIcon() : GdiObject(OBJ_ICON_IMAGE) {}
};
using HICON = GdiIcon*;

struct IcoEntry {
    int width = 0;  // 256 for the stored 0
    int height = 0;
    int bitCount = 0;  // as the directory says; 0 when it does not
    std::uint32_t offset = 0;
    std::uint32_t size = 0;
};

// The directory of an ICO file; false when the header or any entry does not
// lie inside the bytes.
[[nodiscard]] bool ReadIcoDirectory(std::span<const std::uint8_t> bytes,
                                    std::vector<IcoEntry>* entries);

// The index of the entry that suits `size` best (see above); -1 for none.
int ChooseIcoEntry(const std::vector<IcoEntry>& entries, int size);

// Decodes the entry that suits `size` into a new icon; null for damaged
// bytes. The icon keeps its own size; drawing scales it.
HICON CreateIconFromIcoBytes(std::span<const std::uint8_t> bytes, int size);

// Frees an icon made by CreateIconFromIcoBytes; FALSE for a shared or
// unknown icon.
BOOL DestroyIcon(HICON icon);
