#include <vector>

#include "platform/controls/control_classes.h"
#include "platform/controls/framework/clistctrl.h"

BOOL CListCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    if (!tevorin::controls::RegisterControlClasses()) return FALSE;
    return CWnd::Create(WC_LISTVIEWW, u"", style, rect, parent, id);
}

int CListCtrl::InsertColumn(int column, const char16_t* heading, int format, int width,
                            int subItem) {
    LVCOLUMNW info;
    info.mask = LVCF_FMT | LVCF_TEXT;
    info.fmt = format;
    info.pszText = const_cast<char16_t*>(heading != nullptr ? heading : u"");
    if (width != -1) {
        info.mask |= LVCF_WIDTH;
        info.cx = width;
    }
    if (subItem != -1) {
        info.mask |= LVCF_SUBITEM;
        info.iSubItem = subItem;
    }
    return static_cast<int>(
        SendMessage(LVM_INSERTCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&info)));
}

int CListCtrl::InsertItem(const LVITEMW* item) {
    return static_cast<int>(SendMessage(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(item)));
}

int CListCtrl::InsertItem(int index, const char16_t* text) {
    LVITEMW item;
    item.mask = LVIF_TEXT;
    item.iItem = index;
    item.pszText = const_cast<char16_t*>(text);
    return InsertItem(&item);
}

int CListCtrl::InsertItem(int index, const char16_t* text, int image) {
    LVITEMW item;
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = index;
    item.pszText = const_cast<char16_t*>(text);
    item.iImage = image;
    return InsertItem(&item);
}

BOOL CListCtrl::SetItem(const LVITEMW* item) {
    return static_cast<BOOL>(SendMessage(LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(item)));
}

BOOL CListCtrl::SetItem(int index, int subItem, UINT mask, const char16_t* text, int image,
                        UINT state, UINT stateMask, LPARAM param) {
    LVITEMW item;
    item.mask = mask;
    item.iItem = index;
    item.iSubItem = subItem;
    item.pszText = const_cast<char16_t*>(text);
    item.iImage = image;
    item.state = state;
    item.stateMask = stateMask;
    item.lParam = param;
    return SetItem(&item);
}

BOOL CListCtrl::GetItem(LVITEMW* item) {
    return static_cast<BOOL>(SendMessage(LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(item)));
}

BOOL CListCtrl::SetItemText(int index, int subItem, const char16_t* text) {
    LVITEMW item;
    item.iSubItem = subItem;
    item.pszText = const_cast<char16_t*>(text);
    return static_cast<BOOL>(
        SendMessage(LVM_SETITEMTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)));
}

std::u16string CListCtrl::GetItemText(int index, int subItem) {
    std::vector<char16_t> buffer(1024, u'\0');
    LVITEMW item;
    item.iSubItem = subItem;
    item.pszText = buffer.data();
    item.cchTextMax = static_cast<int>(buffer.size());
    const LRESULT length =
        SendMessage(LVM_GETITEMTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    return std::u16string(buffer.data(), static_cast<size_t>(length > 0 ? length : 0));
}

BOOL CListCtrl::SetItemData(int index, DWORD_PTR data) {
    return SetItem(index, 0, LVIF_PARAM, nullptr, 0, 0, 0, static_cast<LPARAM>(data));
}

DWORD_PTR CListCtrl::GetItemData(int index) {
    LVITEMW item;
    item.mask = LVIF_PARAM;
    item.iItem = index;
    return GetItem(&item) ? static_cast<DWORD_PTR>(item.lParam) : 0;
}

UINT CListCtrl::GetItemState(int index, UINT mask) {
    return static_cast<UINT>(
        SendMessage(LVM_GETITEMSTATE, static_cast<WPARAM>(index), static_cast<LPARAM>(mask)));
}

BOOL CListCtrl::SetItemState(int index, UINT state, UINT mask) {
    LVITEMW item;
    item.state = state;
    item.stateMask = mask;
    return static_cast<BOOL>(
        SendMessage(LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)));
}

int CListCtrl::GetItemCount() { return static_cast<int>(SendMessage(LVM_GETITEMCOUNT)); }

BOOL CListCtrl::DeleteAllItems() { return static_cast<BOOL>(SendMessage(LVM_DELETEALLITEMS)); }

DWORD CListCtrl::SetExtendedStyle(DWORD extendedStyle) {
    return static_cast<DWORD>(
        SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, static_cast<LPARAM>(extendedStyle)));
}

DWORD CListCtrl::GetExtendedStyle() {
    return static_cast<DWORD>(SendMessage(LVM_GETEXTENDEDLISTVIEWSTYLE));
}

CImageList* CListCtrl::SetImageList(CImageList* images, int kind) {
    CImageList** slot = kind == LVSIL_SMALL ? &smallImages_ : kind == LVSIL_NORMAL ? &normalImages_
                                                                                    : nullptr;
    if (slot == nullptr) return nullptr;
    (void)SendMessage(LVM_SETIMAGELIST, static_cast<WPARAM>(kind),
                      reinterpret_cast<LPARAM>(images != nullptr ? images->m_hImageList : nullptr));
    CImageList* previous = *slot;
    *slot = images;
    return previous;
}

BOOL CListCtrl::GetSubItemRect(int index, int subItem, int area, RECT& rect) {
    rect = RECT{area, subItem, 0, 0};
    return static_cast<BOOL>(
        SendMessage(LVM_GETSUBITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&rect)));
}

BOOL CListCtrl::RedrawItems(int first, int last) {
    return static_cast<BOOL>(
        SendMessage(LVM_REDRAWITEMS, static_cast<WPARAM>(first), static_cast<LPARAM>(last)));
}
