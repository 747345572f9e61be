#include "platform/gdi/image_drawing.h"

#include "platform/gdi/system_palette.h"

namespace {

// Source pixel at window point (sx, sy) of the source context, or false
// outside its surface.
bool SourcePixel(const DeviceContext& source, int sx, int sy, std::uint32_t* pixel) {
    const int fx = sx + source.Origin().x;
    const int fy = sy + source.Origin().y;
    if (!source.Target().Contains(fx, fy)) return false;
    *pixel = source.Target().At(fx, fy);
    return true;
}

// Scaled index: which of `sourceSize` source pixels target pixel i of
// `targetSize` shows.
int Sample(int i, int targetSize, int sourceSize) {
    return static_cast<int>((static_cast<long long>(i) * sourceSize) / targetSize);
}

}  // namespace

BOOL StretchBlt(HDC target, int x, int y, int cx, int cy, HDC source, int sx, int sy, int sw,
                int sh, DWORD rop) {
    if (target == nullptr || source == nullptr || rop != SRCCOPY) return FALSE;
    if (cx <= 0 || cy <= 0 || sw <= 0 || sh <= 0) return TRUE;
    // Copy through a buffer first: source and target may be the same surface.
    std::vector<std::uint32_t> block(static_cast<std::size_t>(cx) * cy);
    std::vector<std::uint8_t> present(block.size(), 0);
    for (int j = 0; j < cy; ++j)
        for (int i = 0; i < cx; ++i) {
            const std::size_t k = static_cast<std::size_t>(j) * cx + i;
            present[k] =
                SourcePixel(*source, sx + Sample(i, cx, sw), sy + Sample(j, cy, sh), &block[k]);
        }
    for (int j = 0; j < cy; ++j)
        for (int i = 0; i < cx; ++i) {
            const std::size_t k = static_cast<std::size_t>(j) * cx + i;
            if (present[k]) target->Put(x + i, y + j, ColorRefFromPixel(block[k]));
        }
    return TRUE;
}

BOOL BitBlt(HDC target, int x, int y, int cx, int cy, HDC source, int sx, int sy, DWORD rop) {
    return StretchBlt(target, x, y, cx, cy, source, sx, sy, cx, cy, rop);
}

BOOL DrawBitmap(HDC target, int x, int y, HBITMAP bitmap) {
    if (target == nullptr || !IsLiveObject(bitmap, OBJ_BITMAP)) return FALSE;
    const Framebuffer& image = bitmap->image;
    for (int j = 0; j < image.height; ++j)
        for (int i = 0; i < image.width; ++i)
            target->Put(x + i, y + j, ColorRefFromPixel(image.At(i, j)));
    return TRUE;
}

BOOL DrawIconEx(HDC dc, int x, int y, HICON icon, int cx, int cy, UINT, HBRUSH, UINT flags) {
    if (dc == nullptr || !IsLiveObject(icon, OBJ_ICON_IMAGE)) return FALSE;
    if (icon->width <= 0 || icon->height <= 0) return FALSE;
    if (cx <= 0) cx = icon->width;
    if (cy <= 0) cy = icon->height;
    const bool useMask = (flags & DI_MASK) != 0;
    const bool useImage = (flags & DI_IMAGE) != 0;
    for (int j = 0; j < cy; ++j) {
        const int sy = Sample(j, cy, icon->height);
        for (int i = 0; i < cx; ++i) {
            const std::size_t k =
                static_cast<std::size_t>(sy) * icon->width + Sample(i, cx, icon->width);
            const std::uint32_t argb = icon->pixels[k];
            const COLORREF colour = ColorRefFromPixel(argb & 0x00FFFFFFu);
            if (icon->screenMask.empty()) {
                const int alpha = static_cast<int>(argb >> 24);
                if (!useMask)
                    dc->Put(x + i, y + j, colour);
                else if (useImage)
                    dc->Blend(x + i, y + j, colour, alpha);
                continue;
            }
            const bool keepsScreen = icon->screenMask[k] != 0;
            if (useMask && keepsScreen) {
                if (!useImage || (argb & 0x00FFFFFFu) == 0) continue;
                // The AND mask keeps the screen; the colour is XORed onto it.
                const COLORREF under = dc->Get(x + i, y + j);
                if (under != CLR_INVALID) dc->Put(x + i, y + j, under ^ colour);
            } else if (useImage) {
                dc->Put(x + i, y + j, colour);
            }
        }
    }
    return TRUE;
}

BOOL DrawIcon(HDC dc, int x, int y, HICON icon) {
    return DrawIconEx(dc, x, y, icon, GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0,
                      nullptr, DI_NORMAL);
}
