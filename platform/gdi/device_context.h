#pragma once
// A device context: what one painting operation draws with and where.
//
// It draws into a Framebuffer in the coordinates of the window being painted:
// `origin` is where that window's (0, 0) lies in the framebuffer, and `clip`
// (in framebuffer coordinates) bounds every pixel the context may touch.
// Nothing is ever drawn outside the clip rectangle or outside the framebuffer.
// Rectangles are left, top, right, bottom with right and bottom exclusive.
//
// The context holds one selected pen, brush, font and (for memory contexts)
// bitmap, the text and background colours, the background mode and the
// current position of MoveToEx/LineTo. It is used on one thread at a time.

#include <memory>

#include "platform/core/win_types.h"
#include "platform/gdi/framebuffer.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/gdi_types.h"

class DeviceContext {
  public:
    DeviceContext(Framebuffer& target, POINT origin, RECT clip);
    ~DeviceContext();
    DeviceContext(const DeviceContext&) = delete;
    DeviceContext& operator=(const DeviceContext&) = delete;

    Framebuffer& Target() const { return *target_; }
    POINT Origin() const { return origin_; }
    // The clip rectangle in framebuffer coordinates, already cut to the
    // framebuffer's bounds.
    RECT ClipInFramebuffer() const { return clip_; }
    // Narrows the clip rectangle to `windowRect` (window coordinates). Returns
    // false when nothing is left to paint.
    bool IntersectClip(const RECT& windowRect);
    // The clip rectangle in window coordinates.
    RECT ClipBox() const;
    // Replaces the clip rectangle (framebuffer coordinates, cut to the
    // framebuffer); used to put back a clip narrowed for one operation.
    void SetClipInFramebuffer(const RECT& clip);

    // Selects a live object of its kind and returns the one it replaces; null
    // (and nothing changes) for an unknown or deleted handle.
    HGDIOBJ Select(HGDIOBJ object);
    HPEN Pen() const { return pen_; }
    HBRUSH Brush() const { return brush_; }
    HFONT Font() const { return font_; }
    HBITMAP Bitmap() const { return bitmap_; }

    COLORREF textColor = RGB(0, 0, 0);
    COLORREF bkColor = RGB(255, 255, 255);
    int bkMode = OPAQUE;
    POINT currentPosition;

    // Pixel work in window coordinates, clipped.
    void Fill(const RECT& windowRect, COLORREF color);
    // Mixes `color` over the pixel with coverage 0 (nothing) to 255 (replace).
    void Blend(int x, int y, COLORREF color, int coverage);
    void Put(int x, int y, COLORREF color) { Blend(x, y, color, 255); }
    // CLR_INVALID (0xFFFFFFFF) outside the clip rectangle or the framebuffer.
    COLORREF Get(int x, int y) const;
    // Replaces the pixel with its bitwise inverse (icons with an AND mask).
    void Invert(int x, int y);

    // A memory context draws into the image of the bitmap selected into it,
    // or into a 1 x 1 surface before one is selected.
    static std::unique_ptr<DeviceContext> CreateMemoryContext();

  private:
    void Retarget(Framebuffer& target);

    Framebuffer* target_;
    POINT origin_;
    RECT clip_;
    bool memory_ = false;
    std::unique_ptr<Framebuffer> ownSurface_;
    HPEN pen_ = nullptr;
    HBRUSH brush_ = nullptr;
    HFONT font_ = nullptr;
    HBITMAP bitmap_ = nullptr;
};

using HDC = DeviceContext*;

inline constexpr COLORREF CLR_INVALID = 0xFFFFFFFFu;

// The operations application code calls on a device context. Each one fails
// quietly (FALSE, 0 or CLR_INVALID) for a null context.

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
// The object of that kind currently selected (OBJ_PEN, OBJ_BRUSH, OBJ_FONT,
// OBJ_BITMAP).
HGDIOBJ GetCurrentObject(HDC dc, UINT kind);

COLORREF SetTextColor(HDC dc, COLORREF color);  // returns the previous colour
COLORREF GetTextColor(HDC dc);
COLORREF SetBkColor(HDC dc, COLORREF color);  // returns the previous colour
COLORREF GetBkColor(HDC dc);
int SetBkMode(HDC dc, int mode);  // returns the previous mode; 0 for a bad mode
int GetBkMode(HDC dc);

// Fills the rectangle with the brush; right and bottom are exclusive. A brush
// value of 1 to 31 stands for the system colour (value - 1), as window
// classes write their background brushes.
int FillRect(HDC dc, const RECT* rect, HBRUSH brush);
// A one-pixel frame along the inside of the rectangle, in the brush's colour.
int FrameRect(HDC dc, const RECT* rect, HBRUSH brush);
// Fills the rectangle with a colour without a brush. The rectangle is
// normalised first, so a negative width or height counts from the other side.
void FillSolidRect(HDC dc, const RECT& rect, COLORREF color);
// Outline with the current pen and inside with the current brush; right and
// bottom exclusive: the outline's right column is right - 1.
BOOL Rectangle(HDC dc, int left, int top, int right, int bottom);
BOOL MoveToEx(HDC dc, int x, int y, POINT* previous);
// A line from the current position up to, not including, (x, y), in the
// current pen; the current position moves to (x, y).
BOOL LineTo(HDC dc, int x, int y);
COLORREF SetPixel(HDC dc, int x, int y, COLORREF color);
COLORREF GetPixel(HDC dc, int x, int y);
// One-pixel frame: top and left in `topLeft`, right and bottom in
// `bottomRight`; the top-right and bottom-left corners take `bottomRight`.
void Draw3dRect(HDC dc, const RECT& rect, COLORREF topLeft, COLORREF bottomRight);
// The classic two-pixel 3D edges (EDGE_RAISED, EDGE_SUNKEN, EDGE_ETCHED,
// EDGE_BUMP) on the sides `flags` names; BF_MIDDLE fills the inside with the
// face colour, BF_ADJUST shrinks `rect` to the inside.
BOOL DrawEdge(HDC dc, RECT* rect, UINT edge, UINT flags);

int IntersectClipRect(HDC dc, int left, int top, int right, int bottom);
// The clip rectangle in the window's coordinates.
int GetClipBox(HDC dc, RECT* rect);
int GetDeviceCaps(HDC dc, int index);

// Regions returned by the clip calls.
inline constexpr int ERROR = 0;
inline constexpr int NULLREGION = 1;
inline constexpr int SIMPLEREGION = 2;

// A memory device context (see DeviceContext::CreateMemoryContext); the
// `reference` context is not needed and may be null. Free it with DeleteDC.
HDC CreateCompatibleDC(HDC reference);
BOOL DeleteDC(HDC dc);
// A black bitmap of the given size (see CreateBitmapOfSize).
HBITMAP CreateCompatibleBitmap(HDC reference, int width, int height);
