#include "ui/progress_list_ctrl.h"

#include <cstdint>
#include <string>
#include <string_view>

#include "app/update_state.h"
#include "platform/gdi/system_palette.h"
#include "resources/resource_ids.h"

namespace {

constexpr int kStatusImageWidth = 16;
constexpr int kStatusImageHeight = 17;

struct ColumnLayout {
    const char16_t* header;
    int width;
};
// The headers are the same in both languages.
constexpr ColumnLayout kColumns[] = {
    {u"文件名", 95},
    {u"大小(KB)", 65},
    {u"已下载", 130},
};

// The file name of a record; the slot is read no further than its end even
// when it lacks its terminating zero.
std::u16string FileNameOf(const UpdateFileEntry& entry) {
    const std::u16string_view slot(entry.filename, std::size(entry.filename));
    return std::u16string(slot.substr(0, slot.find(u'\0')));
}

// The item data of a row carries a signed percent.
int PercentOf(DWORD_PTR itemData) {
    return static_cast<int>(static_cast<std::intptr_t>(itemData));
}

// "%d%%": the number in decimal followed by a percent sign.
std::u16string PercentText(int percent) {
    const std::string digits = std::to_string(percent);
    return std::u16string(digits.begin(), digits.end()) + u"%";
}

}  // namespace

BEGIN_MESSAGE_MAP(CProgressListCtrl, CListCtrl)
ON_NOTIFY_REFLECT(NM_CUSTOMDRAW, &CProgressListCtrl::OnCustomDraw)
END_MESSAGE_MAP()

void CProgressListCtrl::InitFileList() {
    SetExtendedStyle(GetExtendedStyle() | LVS_EX_GRIDLINES);
    for (int column = 0; column < static_cast<int>(std::size(kColumns)); ++column) {
        (void)InsertColumn(column, kColumns[column].header, LVCFMT_LEFT, kColumns[column].width);
    }

    CBitmap strip;
    if (statusImages.m_hImageList == nullptr &&
        statusImages.Create(kStatusImageWidth, kStatusImageHeight, ILC_COLOR24, 0, 1)) {
        // The strip has no black pixel, so black as the mask colour keeps
        // every picture opaque on its white background.
        if (strip.LoadBitmap(IDB_FILE_STATUS)) (void)statusImages.Add(&strip, RGB(0, 0, 0));
        (void)SetImageList(&statusImages, LVSIL_SMALL);
    }

    int row = 0;
    for (const auto& entry : theUpdateState.files) {
        if (entry == nullptr) continue;
        std::u16string name = FileNameOf(*entry);
        LVITEMW item;
        item.mask = LVIF_TEXT | LVIF_IMAGE;
        item.iItem = row;
        item.pszText = name.data();
        item.iImage = kStatusPending;
        item.lParam = 0;
        if (InsertItem(&item) < 0) continue;
        (void)SetItemText(row, kSizeColumn, u"");
        (void)SetItemText(row, kProgressColumn, u"");
        ++row;
    }
    (void)strip.DeleteObject();
}

void CProgressListCtrl::SetProgress(int row, int percent) {
    // A large file reports hundreds of chunks per percent: an unchanged
    // value would only repaint the same bar. (A row that does not exist
    // reads as 0 and has nothing to change either.)
    if (GetItemData(row) == static_cast<DWORD_PTR>(static_cast<LPARAM>(percent))) return;
    (void)SetItem(row, 0, LVIF_PARAM, nullptr, 0, 0, 0, static_cast<LPARAM>(percent));
    RECT cell{0, 0, 0, 0};
    // A row that does not exist has no cell to repaint.
    if (GetSubItemRect(row, kProgressColumn, LVIR_BOUNDS, cell)) InvalidateRect(&cell, TRUE);
}

void CProgressListCtrl::ResetRows() {
    const int rows = static_cast<int>(SendMessage(LVM_GETITEMCOUNT));
    for (int row = 0; row < rows; ++row) {
        RECT cell{0, 0, 0, 0};
        const BOOL haveCell = GetSubItemRect(row, kProgressColumn, LVIR_BOUNDS, cell);
        (void)SetItemData(row, 0);
        if (haveCell) InvalidateRect(&cell, TRUE);
        LVITEMW item;
        item.mask = LVIF_IMAGE;
        item.iItem = row;
        item.iSubItem = 0;
        item.iImage = kStatusPending;
        (void)SendMessage(LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
}

void CProgressListCtrl::OnCustomDraw(NMHDR* notification, LRESULT* result) {
    *result = CDRF_DODEFAULT;
    auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(notification);
    if (draw == nullptr) return;
    const DWORD stage = draw->nmcd.dwDrawStage;
    if (stage == CDDS_PREPAINT || stage == CDDS_ITEMPREPAINT) {
        *result = CDRF_NOTIFYSUBITEMDRAW;
        return;
    }
    if (stage != (CDDS_ITEMPREPAINT | CDDS_SUBITEM) || draw->iSubItem != kProgressColumn) return;

    const int row = static_cast<int>(draw->nmcd.dwItemSpec);
    const COLORREF frameColour = GetSysColor(COLOR_WINDOWFRAME);
    const COLORREF windowColour = GetSysColor(COLOR_WINDOW);
    RECT cell{0, 0, 0, 0};
    if (!GetSubItemRect(row, kProgressColumn, LVIR_BOUNDS, cell)) return;
    const bool selected =
        SendMessage(LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_SELECTED) != 0;
    const COLORREF textColour = selected ? GetSysColor(COLOR_HIGHLIGHT) : frameColour;
    const COLORREF fillColour = selected ? GetSysColor(COLOR_HIGHLIGHT) : windowColour;
    DrawProgressCell(row, kProgressColumn, CDC::FromHandle(draw->nmcd.hdc), textColour, fillColour,
                     cell);
    *result = CDRF_SKIPDEFAULT;
}

void CProgressListCtrl::DrawProgressCell(int row, int /*subItem*/, CDC* dc, COLORREF textColour,
                                         COLORREF fillColour, const RECT& cell) {
    if (dc == nullptr) return;
    dc->FillSolidRect(&cell, fillColour);
    const int percent = PercentOf(GetItemData(row));

    const RECT r{cell.left + 1, cell.top + 1, cell.right - 1, cell.bottom - 1};
    (void)dc->Rectangle(r.left, r.top, r.right, r.bottom - 1);

    // 64-bit arithmetic: a wildly large percent must not overflow; it only
    // makes the bar run further to the right.
    const std::int64_t inside = static_cast<std::int64_t>(r.right) - r.left - 1;
    std::int64_t right = r.left + (inside * percent) / 100;
    const int left = r.left + 1;
    if (right < left) right = left;
    if (right > INT32_MAX) right = INT32_MAX;
    RECT bar{left, r.top + 1, static_cast<int>(right), r.bottom - 2};
    CBrush green;
    if (green.CreateSolidBrush(kProgressBarColour)) {
        dc->FillRect(&bar, &green);
        (void)green.DeleteObject();
    }

    const std::u16string text = PercentText(percent);
    if (!text.empty()) {
        dc->SetBkMode(TRANSPARENT);
        dc->SetTextColor(textColour);
        dc->SetBkColor(fillColour);
        RECT textRect = cell;
        (void)dc->DrawText(text, &textRect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
}
