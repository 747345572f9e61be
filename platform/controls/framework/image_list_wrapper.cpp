#include "platform/controls/framework/cimagelist.h"

CImageList::~CImageList() { (void)DeleteImageList(); }

BOOL CImageList::Create(int cx, int cy, UINT flags, int initial, int grow) {
    if (m_hImageList != nullptr) return FALSE;
    m_hImageList = ImageList_Create(cx, cy, flags, initial, grow);
    return m_hImageList != nullptr ? TRUE : FALSE;
}

BOOL CImageList::DeleteImageList() {
    if (m_hImageList == nullptr) return FALSE;
    const BOOL destroyed = ImageList_Destroy(m_hImageList);
    m_hImageList = nullptr;
    return destroyed;
}

int CImageList::Add(CBitmap* bitmap, COLORREF maskColor) {
    if (bitmap == nullptr) return -1;
    return ImageList_AddMasked(m_hImageList, static_cast<HBITMAP>(*bitmap), maskColor);
}

int CImageList::GetImageCount() const { return ImageList_GetImageCount(m_hImageList); }

BOOL CImageList::Draw(CDC* dc, int image, POINT point, UINT style) {
    if (dc == nullptr) return FALSE;
    return ImageList_Draw(m_hImageList, image, dc->GetSafeHdc(), point.x, point.y, style);
}
