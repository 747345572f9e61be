#pragma once
// CListCtrl: the framework object of a list view control, with the
// operations of report mode that the file list uses.

#include <string>

#include "platform/controls/common_controls.h"
#include "platform/controls/framework/cimagelist.h"
#include "platform/framework/wnd.h"

class CListCtrl : public CWnd {
  public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);

    // Index of the new column, -1 on failure. A width of -1 leaves it 0.
    int InsertColumn(int column, const char16_t* heading, int format = LVCFMT_LEFT, int width = -1,
                     int subItem = -1);
    int InsertItem(const LVITEMW* item);
    int InsertItem(int index, const char16_t* text);
    int InsertItem(int index, const char16_t* text, int image);
    BOOL SetItem(const LVITEMW* item);
    BOOL SetItem(int index, int subItem, UINT mask, const char16_t* text, int image, UINT state,
                 UINT stateMask, LPARAM param);
    BOOL GetItem(LVITEMW* item);
    BOOL SetItemText(int index, int subItem, const char16_t* text);
    std::u16string GetItemText(int index, int subItem);
    BOOL SetItemData(int index, DWORD_PTR data);
    DWORD_PTR GetItemData(int index);
    UINT GetItemState(int index, UINT mask);
    BOOL SetItemState(int index, UINT state, UINT mask);
    int GetItemCount();
    BOOL DeleteAllItems();
    // Returns the previous extended style.
    DWORD SetExtendedStyle(DWORD extendedStyle);
    DWORD GetExtendedStyle();
    // Returns the object previously set for that kind through this object,
    // or null.
    CImageList* SetImageList(CImageList* images, int kind);
    BOOL GetSubItemRect(int index, int subItem, int area, RECT& rect);
    BOOL RedrawItems(int first, int last);

  private:
    CImageList* smallImages_ = nullptr;
    CImageList* normalImages_ = nullptr;
};
