#pragma once
// Drawing objects: brushes, pens, fonts and bitmaps, addressed by handles.
//
// A handle is a pointer to the object, but every call that takes one first
// checks it against the table of live objects, so a stale or foreign handle
// makes the call fail instead of touching freed memory. Objects made by a
// Create... call belong to the caller until DeleteObject. Stock objects and
// system-colour brushes belong to the system: DeleteObject ignores them.
// Deleting an object that is still selected into a device context is
// deferred: the object is freed when the last device context lets go of it,
// and it can no longer be selected meanwhile.

#include "platform/core/win_types.h"
#include "platform/gdi/framebuffer.h"
#include "platform/gdi/gdi_types.h"

struct GdiObject {
    const DWORD kind;
    // Owned by the system; never freed. Set once, before the object is shared.
    bool stock = false;
    // Device contexts that hold the object selected; guarded by the object table.
    int selections = 0;
    // DeleteObject was called while the object was selected; guarded likewise.
    bool deletePending = false;

    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    virtual ~GdiObject() = default;

  protected:
    explicit GdiObject(DWORD objectKind) : kind(objectKind) {}
};

struct GdiBrush final : GdiObject {
    COLORREF color = 0;
    bool hollow = false;  // a NULL_BRUSH paints nothing
    GdiBrush() : GdiObject(OBJ_BRUSH) {}
};

struct GdiPen final : GdiObject {
    int style = PS_SOLID;
    int width = 1;
    COLORREF color = 0;
    GdiPen() : GdiObject(OBJ_PEN) {}
};

struct GdiFont final : GdiObject {
    LOGFONTW description;
    GdiFont() : GdiObject(OBJ_FONT) {}
};

struct GdiBitmap final : GdiObject {
    // A memory device context that selects the bitmap draws into this image.
    Framebuffer image;
    GdiBitmap() : GdiObject(OBJ_BITMAP) {}
};

using HGDIOBJ = GdiObject*;
using HBRUSH = GdiBrush*;
using HPEN = GdiPen*;
using HFONT = GdiFont*;
using HBITMAP = GdiBitmap*;

HBRUSH CreateSolidBrush(COLORREF color);
// Widths below 1 draw one pixel wide, as the system does.
HPEN CreatePen(int style, int width, COLORREF color);
// Null when `description` is null.
HFONT CreateFontIndirectW(const LOGFONTW* description);
// A bitmap of the given size filled with black; null for sizes below 1 or
// above 16384.
HBITMAP CreateBitmapOfSize(int width, int height);

// Frees an object made by a Create... call. FALSE for a null, unknown or
// already deleted handle; TRUE (and nothing happens) for stock objects.
BOOL DeleteObject(HGDIOBJ object);

// Null for an unknown index.
HGDIOBJ GetStockObject(int index);

// Fills `buffer` with the object's description (LOGBRUSH, LOGPEN, LOGFONTW or
// BITMAP by kind) and returns the bytes written. With a null buffer, returns
// the size the description needs. 0 for an unknown handle or a buffer that is
// too small.
int GetObjectW(HGDIOBJ object, int bufferSize, void* buffer);

// OBJ_BRUSH, OBJ_PEN, OBJ_FONT, OBJ_BITMAP, or 0 for an unknown handle.
DWORD GetObjectType(HGDIOBJ object);

// True when `object` is a live object of that kind; used by every call that
// takes a handle before it reads the object.
bool IsLiveObject(const GdiObject* object, DWORD kind);

// Enters a heap object made by another module of the drawing layer (icons)
// into the table; it then belongs to whoever receives the handle.
GdiObject* RegisterObject(GdiObject* object);

// Enters a system-owned object (a stock object, a system-colour brush) into
// the table for good. The object must live in static storage.
void RegisterStockObject(GdiObject* object);

// Called by device contexts when they select or let go of an object.
// RetainSelection fails when the object is not live (unknown, or deleted
// while selected elsewhere) or is a bitmap already selected elsewhere;
// ReleaseSelection returns false when letting go freed a deleted object.
[[nodiscard]] bool RetainSelection(GdiObject* object);
bool ReleaseSelection(GdiObject* object);

// The 1 x 1 bitmap a memory device context holds before the application
// selects its own.
HBITMAP DefaultBitmap();
