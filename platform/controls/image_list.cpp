#include "platform/controls/image_list.h"

#include <cstdint>
#include <mutex>
#include <unordered_set>
#include <vector>

#include "platform/gdi/framebuffer.h"

struct ImageList {
    int cx = 0;
    int cy = 0;
    UINT flags = 0;
    std::vector<Framebuffer> images;
    // One entry per pixel of each image: true where the image is transparent.
    std::vector<std::vector<bool>> masks;
};

namespace {

constexpr int kLargestSide = 4096;

std::mutex& LiveListsMutex() {
    static std::mutex mutex;
    return mutex;
}

std::unordered_set<const ImageList*>& LiveLists() {
    static std::unordered_set<const ImageList*> lists;
    return lists;
}

bool HasMask(const ImageList& list) { return (list.flags & ILC_MASK) != 0; }

}  // namespace

namespace tevorin::controls {

bool IsLiveImageList(HIMAGELIST list) {
    if (list == nullptr) return false;
    std::lock_guard lock(LiveListsMutex());
    return LiveLists().count(list) != 0;
}

}  // namespace tevorin::controls

using tevorin::controls::IsLiveImageList;

HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int initial, int grow) {
    (void)grow;
    if (cx < 1 || cy < 1 || cx > kLargestSide || cy > kLargestSide) return nullptr;
    auto* list = new ImageList;
    list->cx = cx;
    list->cy = cy;
    list->flags = flags;
    if (initial > 0 && initial < 1024) list->images.reserve(static_cast<size_t>(initial));
    std::lock_guard lock(LiveListsMutex());
    LiveLists().insert(list);
    return list;
}

BOOL ImageList_Destroy(HIMAGELIST list) {
    if (list == nullptr) return FALSE;
    {
        std::lock_guard lock(LiveListsMutex());
        if (LiveLists().erase(list) == 0) return FALSE;
    }
    delete list;
    return TRUE;
}

int ImageList_AddMasked(HIMAGELIST list, HBITMAP bitmap, COLORREF maskColor) {
    if (!IsLiveImageList(list) || !IsLiveObject(bitmap, OBJ_BITMAP)) return -1;
    const Framebuffer& strip = bitmap->image;
    const int count = strip.width / list->cx;
    if (count < 1) return -1;
    const std::uint32_t maskPixel = PixelFromColorRef(maskColor & 0x00FFFFFFu);
    const int first = static_cast<int>(list->images.size());
    for (int n = 0; n < count; ++n) {
        Framebuffer image;
        image.Resize(list->cx, list->cy, maskPixel);
        std::vector<bool> mask(static_cast<size_t>(list->cx) * static_cast<size_t>(list->cy),
                               true);
        for (int y = 0; y < list->cy && y < strip.height; ++y) {
            for (int x = 0; x < list->cx; ++x) {
                const std::uint32_t pixel = strip.At(n * list->cx + x, y) & 0x00FFFFFFu;
                image.Set(x, y, pixel);
                mask[static_cast<size_t>(y) * static_cast<size_t>(list->cx) +
                     static_cast<size_t>(x)] = pixel == maskPixel;
            }
        }
        list->images.push_back(std::move(image));
        list->masks.push_back(HasMask(*list) ? std::move(mask) : std::vector<bool>{});
    }
    return first;
}

int ImageList_GetImageCount(HIMAGELIST list) {
    if (!IsLiveImageList(list)) return 0;
    return static_cast<int>(list->images.size());
}

BOOL ImageList_GetIconSize(HIMAGELIST list, int* cx, int* cy) {
    if (!IsLiveImageList(list) || cx == nullptr || cy == nullptr) return FALSE;
    *cx = list->cx;
    *cy = list->cy;
    return TRUE;
}

BOOL ImageList_Remove(HIMAGELIST list, int index) {
    if (!IsLiveImageList(list)) return FALSE;
    if (index == -1) {
        list->images.clear();
        list->masks.clear();
        return TRUE;
    }
    if (index < 0 || index >= static_cast<int>(list->images.size())) return FALSE;
    list->images.erase(list->images.begin() + index);
    list->masks.erase(list->masks.begin() + index);
    return TRUE;
}

BOOL ImageList_Draw(HIMAGELIST list, int index, HDC dc, int x, int y, UINT style) {
    (void)style;
    if (dc == nullptr || !IsLiveImageList(list)) return FALSE;
    if (index < 0 || index >= static_cast<int>(list->images.size())) return FALSE;
    const Framebuffer& image = list->images[static_cast<size_t>(index)];
    const std::vector<bool>& mask = list->masks[static_cast<size_t>(index)];
    for (int row = 0; row < image.height; ++row) {
        for (int column = 0; column < image.width; ++column) {
            if (!mask.empty() &&
                mask[static_cast<size_t>(row) * static_cast<size_t>(image.width) +
                     static_cast<size_t>(column)]) {
                continue;
            }
            dc->Put(x + column, y + row, ColorRefFromPixel(image.At(column, row)));
        }
    }
    return TRUE;
}
