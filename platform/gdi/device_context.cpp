#include "platform/gdi/device_context.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "platform/gdi/system_palette.h"

namespace {

RECT Intersect(const RECT& a, const RECT& b) {
    RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
           std::min(a.bottom, b.bottom)};
    if (r.right < r.left) r.right = r.left;
    if (r.bottom < r.top) r.bottom = r.top;
    return r;
}

RECT Normalised(const RECT& r) {
    return RECT{std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right),
                std::max(r.top, r.bottom)};
}

int MixChannel(int under, int over, int coverage) {
    return (under * (255 - coverage) + over * coverage + 127) / 255;
}

// Window brushes may be given as system colour index + 1.
bool BrushColor(HBRUSH brush, COLORREF* color) {
    const auto value = reinterpret_cast<std::uintptr_t>(brush);
    if (value >= 1 && value <= 31) {
        *color = GetSysColor(static_cast<int>(value) - 1);
        return true;
    }
    if (!IsLiveObject(brush, OBJ_BRUSH) || brush->hollow) return false;
    *color = brush->color;
    return true;
}

}  // namespace

DeviceContext::DeviceContext(Framebuffer& target, POINT origin, RECT clip)
    : target_(&target),
      origin_(origin),
      clip_(Intersect(Normalised(clip), RECT{0, 0, target.width, target.height})) {
    // Stock objects are always live, so these selections cannot fail.
    pen_ = static_cast<HPEN>(GetStockObject(BLACK_PEN));
    brush_ = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    font_ = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
    bitmap_ = DefaultBitmap();
    for (GdiObject* object : {static_cast<GdiObject*>(pen_), static_cast<GdiObject*>(brush_),
                              static_cast<GdiObject*>(font_), static_cast<GdiObject*>(bitmap_)}) {
        [[maybe_unused]] const bool retained = RetainSelection(object);
    }
}

DeviceContext::~DeviceContext() {
    ReleaseSelection(pen_);
    ReleaseSelection(brush_);
    ReleaseSelection(font_);
    ReleaseSelection(bitmap_);
}

std::unique_ptr<DeviceContext> DeviceContext::CreateMemoryContext() {
    auto surface = std::make_unique<Framebuffer>();
    surface->Resize(1, 1, 0);
    auto dc = std::make_unique<DeviceContext>(*surface, POINT{0, 0}, RECT{0, 0, 1, 1});
    dc->memory_ = true;
    dc->ownSurface_ = std::move(surface);
    return dc;
}

void DeviceContext::Retarget(Framebuffer& target) {
    target_ = &target;
    origin_ = POINT{0, 0};
    clip_ = RECT{0, 0, target.width, target.height};
}

bool DeviceContext::IntersectClip(const RECT& windowRect) {
    RECT r = windowRect;
    r.left += origin_.x;
    r.right += origin_.x;
    r.top += origin_.y;
    r.bottom += origin_.y;
    clip_ = Intersect(clip_, Normalised(r));
    return !clip_.IsEmpty();
}

void DeviceContext::SetClipInFramebuffer(const RECT& clip) {
    clip_ = Intersect(Normalised(clip), RECT{0, 0, target_->width, target_->height});
}

RECT DeviceContext::ClipBox() const {
    return RECT{clip_.left - origin_.x, clip_.top - origin_.y, clip_.right - origin_.x,
                clip_.bottom - origin_.y};
}

HGDIOBJ DeviceContext::Select(HGDIOBJ object) {
    GdiObject** slot = nullptr;
    GdiObject* pen = pen_;
    GdiObject* brush = brush_;
    GdiObject* font = font_;
    GdiObject* bitmap = bitmap_;
    switch (GetObjectType(object)) {
        case OBJ_PEN:
            slot = &pen;
            break;
        case OBJ_BRUSH:
            slot = &brush;
            break;
        case OBJ_FONT:
            slot = &font;
            break;
        case OBJ_BITMAP:
            if (!memory_) return nullptr;
            slot = &bitmap;
            break;
        default:
            return nullptr;
    }
    GdiObject* previous = *slot;
    if (previous == object) return previous;
    if (!RetainSelection(object)) return nullptr;
    *slot = object;
    pen_ = static_cast<HPEN>(pen);
    brush_ = static_cast<HBRUSH>(brush);
    font_ = static_cast<HFONT>(font);
    bitmap_ = static_cast<HBITMAP>(bitmap);
    if (object->kind == OBJ_BITMAP) {
        // The shared default bitmap never receives drawing; the context's
        // private surface stands in for it.
        Retarget(object->stock ? *ownSurface_ : bitmap_->image);
    }
    // A previous object that was deleted while selected is freed now and
    // cannot be handed back.
    if (!ReleaseSelection(previous)) return nullptr;
    return previous;
}

void DeviceContext::Fill(const RECT& windowRect, COLORREF color) {
    RECT r = Normalised(windowRect);
    r.left += origin_.x;
    r.right += origin_.x;
    r.top += origin_.y;
    r.bottom += origin_.y;
    r = Intersect(r, clip_);
    if (r.IsEmpty()) return;
    const std::uint32_t pixel = PixelFromColorRef(color);
    for (int y = r.top; y < r.bottom; ++y) {
        std::uint32_t* row = target_->pixels.data() + static_cast<std::size_t>(y) * target_->width;
        std::fill(row + r.left, row + r.right, pixel);
    }
}

void DeviceContext::Blend(int x, int y, COLORREF color, int coverage) {
    if (coverage <= 0) return;
    const int fx = x + origin_.x;
    const int fy = y + origin_.y;
    if (fx < clip_.left || fy < clip_.top || fx >= clip_.right || fy >= clip_.bottom) return;
    if (coverage >= 255) {
        target_->Set(fx, fy, PixelFromColorRef(color));
        return;
    }
    const std::uint32_t under = target_->At(fx, fy);
    const int r = MixChannel((under >> 16) & 0xFF, GetRValue(color), coverage);
    const int g = MixChannel((under >> 8) & 0xFF, GetGValue(color), coverage);
    const int b = MixChannel(under & 0xFF, GetBValue(color), coverage);
    target_->Set(fx, fy,
                 PixelFromRgb(static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g),
                              static_cast<std::uint8_t>(b)));
}

COLORREF DeviceContext::Get(int x, int y) const {
    const int fx = x + origin_.x;
    const int fy = y + origin_.y;
    if (fx < clip_.left || fy < clip_.top || fx >= clip_.right || fy >= clip_.bottom)
        return CLR_INVALID;
    return ColorRefFromPixel(target_->At(fx, fy));
}

void DeviceContext::Invert(int x, int y) {
    const int fx = x + origin_.x;
    const int fy = y + origin_.y;
    if (fx < clip_.left || fy < clip_.top || fx >= clip_.right || fy >= clip_.bottom) return;
    target_->Set(fx, fy, ~target_->At(fx, fy) & 0x00FFFFFFu);
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
    return dc ? dc->Select(object) : nullptr;
}

HGDIOBJ GetCurrentObject(HDC dc, UINT kind) {
    if (dc == nullptr) return nullptr;
    switch (kind) {
        case OBJ_PEN:
            return dc->Pen();
        case OBJ_BRUSH:
            return dc->Brush();
        case OBJ_FONT:
            return dc->Font();
        case OBJ_BITMAP:
            return dc->Bitmap();
        default:
            return nullptr;
    }
}

COLORREF SetTextColor(HDC dc, COLORREF color) {
    if (dc == nullptr) return CLR_INVALID;
    return std::exchange(dc->textColor, color & 0x00FFFFFFu);
}

COLORREF GetTextColor(HDC dc) {
    return dc ? dc->textColor : CLR_INVALID;
}

COLORREF SetBkColor(HDC dc, COLORREF color) {
    if (dc == nullptr) return CLR_INVALID;
    return std::exchange(dc->bkColor, color & 0x00FFFFFFu);
}

COLORREF GetBkColor(HDC dc) {
    return dc ? dc->bkColor : CLR_INVALID;
}

int SetBkMode(HDC dc, int mode) {
    if (dc == nullptr || (mode != TRANSPARENT && mode != OPAQUE)) return 0;
    return std::exchange(dc->bkMode, mode);
}

int GetBkMode(HDC dc) {
    return dc ? dc->bkMode : 0;
}

int FillRect(HDC dc, const RECT* rect, HBRUSH brush) {
    COLORREF color = 0;
    if (dc == nullptr || rect == nullptr || !BrushColor(brush, &color)) return 0;
    if (rect->IsEmpty()) return 1;
    dc->Fill(*rect, color);
    return 1;
}

int FrameRect(HDC dc, const RECT* rect, HBRUSH brush) {
    COLORREF color = 0;
    if (dc == nullptr || rect == nullptr || !BrushColor(brush, &color)) return 0;
    const RECT& r = *rect;
    if (r.IsEmpty()) return 1;
    dc->Fill({r.left, r.top, r.right, r.top + 1}, color);
    dc->Fill({r.left, r.bottom - 1, r.right, r.bottom}, color);
    dc->Fill({r.left, r.top, r.left + 1, r.bottom}, color);
    dc->Fill({r.right - 1, r.top, r.right, r.bottom}, color);
    return 1;
}

void FillSolidRect(HDC dc, const RECT& rect, COLORREF color) {
    if (dc == nullptr) return;
    dc->Fill(Normalised(rect), color & 0x00FFFFFFu);
}

namespace {

// The pen's colour when it draws at all.
bool PenColor(HDC dc, COLORREF* color, int* width) {
    HPEN pen = dc->Pen();
    if (pen == nullptr || pen->style == PS_NULL) return false;
    *color = pen->color;
    *width = std::max(pen->width, 1);
    return true;
}

}  // namespace

BOOL Rectangle(HDC dc, int left, int top, int right, int bottom) {
    if (dc == nullptr) return FALSE;
    const RECT r = Normalised(RECT{left, top, right, bottom});
    COLORREF penColor = 0;
    int width = 1;
    const bool outlined = PenColor(dc, &penColor, &width);
    // The selected brush stays valid while selected, even after DeleteObject.
    const bool filled = !dc->Brush()->hollow;
    const COLORREF brushColor = dc->Brush()->color;
    if (!outlined) {
        // Without a pen the filled area is one pixel smaller on the right and
        // at the bottom, as the outline would have covered it.
        if (filled) dc->Fill({r.left, r.top, r.right - 1, r.bottom - 1}, brushColor);
        return TRUE;
    }
    if (filled)
        dc->Fill({r.left + width, r.top + width, r.right - width, r.bottom - width}, brushColor);
    dc->Fill({r.left, r.top, r.right, std::min(r.top + width, r.bottom)}, penColor);
    dc->Fill({r.left, std::max(r.bottom - width, r.top), r.right, r.bottom}, penColor);
    dc->Fill({r.left, r.top, std::min(r.left + width, r.right), r.bottom}, penColor);
    dc->Fill({std::max(r.right - width, r.left), r.top, r.right, r.bottom}, penColor);
    return TRUE;
}

BOOL MoveToEx(HDC dc, int x, int y, POINT* previous) {
    if (dc == nullptr) return FALSE;
    if (previous != nullptr) *previous = dc->currentPosition;
    dc->currentPosition = POINT{x, y};
    return TRUE;
}

BOOL LineTo(HDC dc, int x, int y) {
    if (dc == nullptr) return FALSE;
    const POINT from = dc->currentPosition;
    dc->currentPosition = POINT{x, y};
    COLORREF color = 0;
    int width = 1;
    if (!PenColor(dc, &color, &width)) return TRUE;
    // Bresenham, leaving out the end point.
    int cx = from.x;
    int cy = from.y;
    const int dx = std::abs(x - cx);
    const int dy = -std::abs(y - cy);
    const int sx = cx < x ? 1 : -1;
    const int sy = cy < y ? 1 : -1;
    int error = dx + dy;
    const int half = (width - 1) / 2;
    while (cx != x || cy != y) {
        if (width == 1) {
            dc->Put(cx, cy, color);
        } else {
            dc->Fill({cx - half, cy - half, cx - half + width, cy - half + width}, color);
        }
        const int doubled = 2 * error;
        if (doubled >= dy) {
            error += dy;
            cx += sx;
        }
        if (doubled <= dx) {
            error += dx;
            cy += sy;
        }
    }
    return TRUE;
}

COLORREF SetPixel(HDC dc, int x, int y, COLORREF color) {
    if (dc == nullptr || dc->Get(x, y) == CLR_INVALID) return CLR_INVALID;
    dc->Put(x, y, color & 0x00FFFFFFu);
    return color & 0x00FFFFFFu;
}

COLORREF GetPixel(HDC dc, int x, int y) {
    return dc ? dc->Get(x, y) : CLR_INVALID;
}

void Draw3dRect(HDC dc, const RECT& rect, COLORREF topLeft, COLORREF bottomRight) {
    if (dc == nullptr) return;
    const int x = rect.left;
    const int y = rect.top;
    const int cx = rect.Width();
    const int cy = rect.Height();
    FillSolidRect(dc, RECT{x, y, x + cx - 1, y + 1}, topLeft);
    FillSolidRect(dc, RECT{x, y, x + 1, y + cy - 1}, topLeft);
    FillSolidRect(dc, RECT{x + cx, y, x + cx - 1, y + cy}, bottomRight);
    FillSolidRect(dc, RECT{x, y + cy, x + cx, y + cy - 1}, bottomRight);
}

BOOL DrawEdge(HDC dc, RECT* rect, UINT edge, UINT flags) {
    if (dc == nullptr || rect == nullptr) return FALSE;
    RECT r = *rect;
    // Each ring: its top-left and bottom-right colours.
    struct Ring {
        UINT raised;
        UINT sunken;
        int raisedTopLeft, raisedBottomRight, sunkenTopLeft, sunkenBottomRight;
    };
    const Ring rings[] = {
        {BDR_RAISEDOUTER, BDR_SUNKENOUTER, COLOR_3DLIGHT, COLOR_3DDKSHADOW, COLOR_3DSHADOW,
         COLOR_3DHILIGHT},
        {BDR_RAISEDINNER, BDR_SUNKENINNER, COLOR_3DHILIGHT, COLOR_3DSHADOW, COLOR_3DDKSHADOW,
         COLOR_3DLIGHT},
    };
    for (const Ring& ring : rings) {
        int topLeft = -1;
        int bottomRight = -1;
        if (edge & ring.raised) {
            topLeft = ring.raisedTopLeft;
            bottomRight = ring.raisedBottomRight;
        } else if (edge & ring.sunken) {
            topLeft = ring.sunkenTopLeft;
            bottomRight = ring.sunkenBottomRight;
        }
        if (topLeft < 0 || r.IsEmpty()) continue;
        const COLORREF tl = GetSysColor(topLeft);
        const COLORREF br = GetSysColor(bottomRight);
        if (flags & BF_TOP) dc->Fill({r.left, r.top, r.right, r.top + 1}, tl);
        if (flags & BF_LEFT) dc->Fill({r.left, r.top, r.left + 1, r.bottom}, tl);
        if (flags & BF_BOTTOM) dc->Fill({r.left, r.bottom - 1, r.right, r.bottom}, br);
        if (flags & BF_RIGHT) dc->Fill({r.right - 1, r.top, r.right, r.bottom}, br);
        if (flags & BF_TOP) ++r.top;
        if (flags & BF_LEFT) ++r.left;
        if (flags & BF_BOTTOM) --r.bottom;
        if (flags & BF_RIGHT) --r.right;
    }
    if ((flags & BF_MIDDLE) && !r.IsEmpty()) dc->Fill(r, GetSysColor(COLOR_3DFACE));
    if (flags & BF_ADJUST) *rect = r;
    return TRUE;
}

int IntersectClipRect(HDC dc, int left, int top, int right, int bottom) {
    if (dc == nullptr) return ERROR;
    return dc->IntersectClip(RECT{left, top, right, bottom}) ? SIMPLEREGION : NULLREGION;
}

int GetClipBox(HDC dc, RECT* rect) {
    if (dc == nullptr || rect == nullptr) return ERROR;
    *rect = dc->ClipBox();
    return rect->IsEmpty() ? NULLREGION : SIMPLEREGION;
}

int GetDeviceCaps(HDC dc, int index) {
    if (dc == nullptr) return 0;
    if (index == LOGPIXELSX || index == LOGPIXELSY) return kScreenDpi;
    return 0;
}

HDC CreateCompatibleDC(HDC) {
    return DeviceContext::CreateMemoryContext().release();
}

BOOL DeleteDC(HDC dc) {
    if (dc == nullptr) return FALSE;
    delete dc;
    return TRUE;
}

HBITMAP CreateCompatibleBitmap(HDC, int width, int height) {
    return CreateBitmapOfSize(width, height);
}
