#pragma once
// Image lists: a row of equally sized pictures, addressed by index, that
// controls draw from (the list view's status pictures).
//
// Every image is kept as its own copy of the pixels, so the bitmap that was
// added may be deleted at once. An image list made with ILC_MASK also keeps a
// mask: pixels of the mask colour given to ImageList_AddMasked are left out
// when the image is drawn. Without ILC_MASK images are always drawn opaque.
// A handle is checked against the live image lists before every use, so a
// destroyed or foreign handle fails the call instead of touching freed memory.

#include "platform/controls/common_controls.h"
#include "platform/gdi/device_context.h"
#include "platform/gdi/gdi_objects.h"

// Null for sizes below 1 or above 4096. `initial` and `grow` only reserve room.
HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int initial, int grow);
BOOL ImageList_Destroy(HIMAGELIST list);

// Splits `bitmap` from the left into images of the list's width and appends
// them (a 48 x 17 strip in a 16 x 17 list gives three images; a rest narrower
// than one image is dropped). Returns the index of the first new image, or -1
// when the list or bitmap is invalid or narrower than one image. Rows beyond
// the list's height are ignored; a bitmap lower than the list fills the rest
// of each image with the mask colour (left out when drawn with a mask).
int ImageList_AddMasked(HIMAGELIST list, HBITMAP bitmap, COLORREF maskColor);
int ImageList_GetImageCount(HIMAGELIST list);
BOOL ImageList_GetIconSize(HIMAGELIST list, int* cx, int* cy);
BOOL ImageList_Remove(HIMAGELIST list, int index);  // -1 removes every image

// Draws image `index` with its top-left corner at (x, y) in the context's
// coordinates. ILD_TRANSPARENT (or ILD_NORMAL, which for a masked list means
// the same here) leaves masked pixels untouched; a list without a mask paints
// every pixel.
BOOL ImageList_Draw(HIMAGELIST list, int index, HDC dc, int x, int y, UINT style);

namespace tevorin::controls {

// True while `list` is a live image list.
bool IsLiveImageList(HIMAGELIST list);

}  // namespace tevorin::controls
