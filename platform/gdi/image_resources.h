#pragma once
// Pictures from the program's resources: bitmaps (BMP files) and icon
// groups (ICO files), looked up by id in the installed resource table.

#include <cstdint>
#include <span>

#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/icon.h"

// The module whose resources are meant. This program has one resource table,
// so any instance value (null included) finds the same resources.
struct HINSTANCE__;
using HINSTANCE = HINSTANCE__*;

// A new bitmap from BMP file bytes or a packed DIB; null when the bytes are
// damaged. The caller owns it (DeleteObject).
HBITMAP CreateBitmapFromBytes(std::span<const std::uint8_t> bytes);

// Bitmap resource `id` as a new bitmap the caller owns (DeleteObject); null
// when there is no such resource or it is damaged.
HBITMAP LoadBitmapW(HINSTANCE instance, int id);
// The same with the name form resource ids travel in: a value below 0x10000
// is the id itself; text names are not used by this program and give null.
HBITMAP LoadBitmapW(HINSTANCE instance, const char16_t* name);

// Icon resource `id` at the system icon size (SM_CXICON). Shared: every call
// for the same id returns the same icon, which lives until the process ends
// and must not be destroyed. Null when there is no such resource or it is
// damaged.
HICON LoadIconW(HINSTANCE instance, int id);
HICON LoadIconW(HINSTANCE instance, const char16_t* name);

// Icon resource `id` with the image that suits `size` best (SM_CXSMICON for
// small icons); shared like LoadIconW's.
HICON LoadIconOfSize(int id, int size);
