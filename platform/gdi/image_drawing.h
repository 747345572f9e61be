#pragma once
// Copying pictures onto a device context: bitmaps from memory contexts, and
// icons with their masks or alpha.

#include "platform/gdi/device_context.h"
#include "platform/gdi/icon.h"

// Copies a cx x cy block from `source` at (sx, sy) to `target` at (x, y).
// Only SRCCOPY is supported. Pixels outside the source's surface are not
// copied; the target's clip applies as always.
BOOL BitBlt(HDC target, int x, int y, int cx, int cy, HDC source, int sx, int sy, DWORD rop);

// As BitBlt, scaling the source block (sw x sh) to cx x cy by nearest pixel.
BOOL StretchBlt(HDC target, int x, int y, int cx, int cy, HDC source, int sx, int sy, int sw,
                int sh, DWORD rop);

// Draws the whole bitmap with its top-left corner at (x, y): what a picture
// control with a bitmap does.
BOOL DrawBitmap(HDC target, int x, int y, HBITMAP bitmap);

inline constexpr UINT DI_MASK = 0x0001;
inline constexpr UINT DI_IMAGE = 0x0002;
inline constexpr UINT DI_NORMAL = DI_MASK | DI_IMAGE;

// Draws the icon at the system icon size (SM_CXICON x SM_CYICON).
BOOL DrawIcon(HDC dc, int x, int y, HICON icon);
// Draws the icon at cx x cy (0 means the icon's own size), scaling by
// nearest pixel. Alpha images are blended; mask images keep the screen where
// the mask is set and XOR their colour onto it there.
BOOL DrawIconEx(HDC dc, int x, int y, HICON icon, int cx, int cy, UINT step, HBRUSH flickerFree,
                UINT flags);
