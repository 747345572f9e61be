#pragma once
// CImageList: owns one image list and destroys it with itself.

#include "platform/controls/image_list.h"
#include "platform/gdi/cdc.h"
#include "platform/gdi/gdi_wrappers.h"

class CImageList {
  public:
    CImageList() = default;
    virtual ~CImageList();
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;

    HIMAGELIST m_hImageList = nullptr;
    HIMAGELIST GetSafeHandle() const { return this == nullptr ? nullptr : m_hImageList; }
    operator HIMAGELIST() const { return m_hImageList; }

    // FALSE when this object already holds a list or the sizes are invalid.
    BOOL Create(int cx, int cy, UINT flags, int initial, int grow);
    BOOL DeleteImageList();
    // ImageList_AddMasked with the bitmap; index of the first new image or -1.
    int Add(CBitmap* bitmap, COLORREF maskColor);
    int GetImageCount() const;
    BOOL Draw(CDC* dc, int image, POINT point, UINT style);
};
