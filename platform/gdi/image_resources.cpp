#include "platform/gdi/image_resources.h"

#include <map>
#include <memory>
#include <mutex>
#include <utility>

#include "platform/gdi/dib_decoder.h"
#include "platform/gdi/system_palette.h"
#include "platform/resource/resource_table.h"

namespace {

int IdOfName(const char16_t* name) {
    const auto value = reinterpret_cast<std::uintptr_t>(name);
    return value != 0 && value < 0x10000 ? static_cast<int>(value) : -1;
}

// Shared icons, kept for the life of the process.
struct IconCache {
    std::mutex lock;
    std::map<std::pair<int, int>, std::unique_ptr<GdiIcon>> icons;
};

IconCache& SharedIcons() {
    static IconCache cache;
    return cache;
}

}  // namespace

HBITMAP CreateBitmapFromBytes(std::span<const std::uint8_t> bytes) {
    Framebuffer image;
    if (!DecodeBitmapBytes(bytes, &image)) return nullptr;
    HBITMAP bitmap = CreateBitmapOfSize(image.width, image.height);
    if (bitmap == nullptr) return nullptr;
    bitmap->image = std::move(image);
    return bitmap;
}

HBITMAP LoadBitmapW(HINSTANCE, int id) {
    const BinaryResource* resource = FindBitmapResource(id);
    if (resource == nullptr) return nullptr;
    return CreateBitmapFromBytes(resource->bytes);
}

HBITMAP LoadBitmapW(HINSTANCE instance, const char16_t* name) {
    const int id = IdOfName(name);
    return id < 0 ? nullptr : LoadBitmapW(instance, id);
}

HICON LoadIconOfSize(int id, int size) {
    IconCache& cache = SharedIcons();
    std::lock_guard guard(cache.lock);
    auto key = std::make_pair(id, size);
    if (auto it = cache.icons.find(key); it != cache.icons.end()) return it->second.get();
    const BinaryResource* resource = FindIconResource(id);
    if (resource == nullptr) return nullptr;
    HICON made = CreateIconFromIcoBytes(resource->bytes, size);
    if (made == nullptr) return nullptr;
    // From here on the cache owns the icon; marking it as the system's keeps
    // DestroyIcon and DeleteObject from freeing it.
    RegisterStockObject(made);
    cache.icons.emplace(key, std::unique_ptr<GdiIcon>(made));
    return made;
}

HICON LoadIconW(HINSTANCE, int id) {
    return LoadIconOfSize(id, GetSystemMetrics(SM_CXICON));
}

HICON LoadIconW(HINSTANCE instance, const char16_t* name) {
    const int id = IdOfName(name);
    return id < 0 ? nullptr : LoadIconW(instance, id);
}
