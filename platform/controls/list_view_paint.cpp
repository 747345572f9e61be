#include "platform/controls/list_view_paint.h"

#include <algorithm>

#include "platform/controls/image_list.h"
#include "platform/gdi/system_palette.h"
#include "platform/gdi/text_drawing.h"
#include "platform/win/message_loop.h"
#include "platform/win/window.h"

namespace tevorin::controls {

namespace {

constexpr int kImageMargin = 2;
constexpr int kLabelMargin = 2;
constexpr int kSubItemMargin = 6;

bool Intersects(const RECT& a, const RECT& b) {
    return std::max(a.left, b.left) < std::min(a.right, b.right) &&
           std::max(a.top, b.top) < std::min(a.bottom, b.bottom);
}

// Sends one custom-draw notification to the parent and returns its answer.
class CustomDrawChannel {
  public:
    CustomDrawChannel(HWND list, HDC dc) : list_(list), parent_(GetParent(list)), dc_(dc) {}

    LRESULT Ask(NMLVCUSTOMDRAW& record) const {
        if (parent_ == nullptr) return CDRF_DODEFAULT;
        record.nmcd.hdr.hwndFrom = list_;
        record.nmcd.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(list_));
        record.nmcd.hdr.code = NM_CUSTOMDRAW;
        record.nmcd.hdc = dc_;
        return SendMessageW(parent_, WM_NOTIFY, record.nmcd.hdr.idFrom,
                            reinterpret_cast<LPARAM>(&record));
    }

  private:
    HWND list_;
    HWND parent_;
    HDC dc_;
};

struct SelectionLook {
    bool shown = false;
    COLORREF text = 0;
    COLORREF back = 0;
};

SelectionLook SelectionLookOf(const ListViewState& state, DWORD style, const ListViewRow& row) {
    SelectionLook look;
    if ((row.state & LVIS_SELECTED) == 0) return look;
    if (state.focused) {
        look = {true, GetSysColor(COLOR_HIGHLIGHTTEXT), GetSysColor(COLOR_HIGHLIGHT)};
    } else if ((style & LVS_SHOWSELALWAYS) != 0) {
        look = {true, GetSysColor(COLOR_WINDOWTEXT), GetSysColor(COLOR_BTNFACE)};
    }
    return look;
}

UINT TextAlignment(int format) {
    if ((format & LVCFMT_RIGHT) != 0) return DT_RIGHT;
    if ((format & LVCFMT_CENTER) != 0) return DT_CENTER;
    return DT_LEFT;
}

void DrawCellText(HDC dc, const std::u16string& text, RECT rect, int format, COLORREF colour) {
    if (text.empty()) return;
    SetTextColor(dc, colour);
    SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect,
              TextAlignment(format) | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
}

// The list's own drawing of one cell, in the colours the custom-draw record
// carries (the parent may have changed them).
void DrawCellDefault(const ListViewState& state, DWORD style, int rowIndex, int column,
                     const RECT& cell, const NMLVCUSTOMDRAW& record, HDC dc) {
    const ListViewRow& row = state.rows[static_cast<size_t>(rowIndex)];
    const ListViewColumn& info = state.columns[static_cast<size_t>(column)];
    const std::u16string& text =
        column < static_cast<int>(row.texts.size()) ? row.texts[static_cast<size_t>(column)]
                                                     : std::u16string{};
    const SelectionLook look = SelectionLookOf(state, style, row);
    const bool fullRow = (state.extendedStyle & LVS_EX_FULLROWSELECT) != 0;

    if (column != 0) {
        const bool highlighted = look.shown && fullRow;
        FillSolidRect(dc, cell, highlighted ? look.back : record.clrTextBk);
        RECT textRect{cell.left + kSubItemMargin, cell.top, cell.right - kSubItemMargin,
                      cell.bottom};
        DrawCellText(dc, text, textRect, info.format, highlighted ? look.text : record.clrText);
        return;
    }

    FillSolidRect(dc, cell, record.clrTextBk);
    int labelLeft = cell.left + kLabelMargin;
    int imageWidth = 0;
    int imageHeight = 0;
    if (state.smallImages != nullptr &&
        ImageList_GetIconSize(state.smallImages, &imageWidth, &imageHeight)) {
        const int x = cell.left + kImageMargin;
        const int y = cell.top + (cell.bottom - cell.top - imageHeight) / 2;
        if (row.image >= 0) {
            RECT saved = dc->ClipInFramebuffer();
            if (dc->IntersectClip(cell)) {
                (void)ImageList_Draw(state.smallImages, row.image, dc, x, y, ILD_NORMAL);
            }
            dc->SetClipInFramebuffer(saved);
        }
        labelLeft = x + imageWidth + kLabelMargin;
    }
    RECT label{labelLeft, cell.top, cell.right, cell.bottom};
    if (label.right <= label.left) return;
    COLORREF textColour = record.clrText;
    if (look.shown) {
        FillSolidRect(dc, label, look.back);
        textColour = look.text;
    }
    RECT textRect{label.left + kLabelMargin, label.top, label.right - kLabelMargin, label.bottom};
    DrawCellText(dc, text, textRect, info.format, textColour);
}

void DrawHeader(const ListViewState& state, const ListViewGeometry& geometry, HDC dc) {
    const RECT client = geometry.Client();
    const RECT band{client.left, client.top, client.right, client.top + geometry.HeaderHeight()};
    FillSolidRect(dc, band, GetSysColor(COLOR_BTNFACE));
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    FillSolidRect(dc, RECT{band.left, band.bottom - 1, band.right, band.bottom}, shadow);
    for (int column = 0; column < static_cast<int>(state.columns.size()); ++column) {
        const ListViewColumn& info = state.columns[static_cast<size_t>(column)];
        const int left = geometry.ColumnLeft(column);
        const int right = left + info.width;
        if (info.width > 0) {
            FillSolidRect(dc, RECT{right - 1, band.top + 2, right, band.bottom - 3}, shadow);
        }
        RECT textRect{left + kSubItemMargin, band.top, right - kSubItemMargin, band.bottom - 1};
        DrawCellText(dc, info.text, textRect, info.format, GetSysColor(COLOR_BTNTEXT));
    }
}

void DrawGridLines(const ListViewState& state, const ListViewGeometry& geometry, HDC dc) {
    const RECT client = geometry.Client();
    const COLORREF colour = GetSysColor(COLOR_BTNFACE);
    const int top = client.top + geometry.HeaderHeight();
    for (int y = top + geometry.RowHeight() - 1; y < client.bottom; y += geometry.RowHeight()) {
        FillSolidRect(dc, RECT{client.left, y, geometry.ColumnsRight(), y + 1}, colour);
    }
    for (int column = 0; column < static_cast<int>(state.columns.size()); ++column) {
        const int right = geometry.ColumnLeft(column + 1);
        FillSolidRect(dc, RECT{right - 1, top, right, client.bottom}, colour);
    }
}

}  // namespace

void PaintListView(HWND list, const ListViewState& state, HDC dc, const RECT& clip) {
    RECT client;
    if (!GetClientRect(list, &client)) return;
    const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(list, GWL_STYLE));
    const ListViewGeometry geometry(state, style, client);

    const HGDIOBJ previousFont = SelectObject(dc, FontOrDefault(state.font));
    const COLORREF previousText = GetTextColor(dc);
    const COLORREF previousBack = GetBkColor(dc);
    const int previousMode = GetBkMode(dc);
    const COLORREF window = GetSysColor(COLOR_WINDOW);
    const COLORREF windowText = GetSysColor(COLOR_WINDOWTEXT);

    const CustomDrawChannel channel(list, dc);
    NMLVCUSTOMDRAW whole;
    whole.nmcd.dwDrawStage = CDDS_PREPAINT;
    whole.nmcd.rc = client;
    whole.clrText = windowText;
    whole.clrTextBk = window;
    const LRESULT paintAnswer = channel.Ask(whole);

    if ((paintAnswer & CDRF_SKIPDEFAULT) == 0) {
        if (geometry.HeaderHeight() > 0 &&
            Intersects(clip, RECT{client.left, client.top, client.right,
                                  client.top + geometry.HeaderHeight()})) {
            DrawHeader(state, geometry, dc);
        }
        int paintedBottom = client.top + geometry.HeaderHeight();
        for (int row = geometry.FirstVisibleRow(); row < geometry.EndVisibleRow(); ++row) {
            const RECT band = geometry.RowBand(row);
            paintedBottom = band.bottom;
            if (!Intersects(band, clip)) continue;
            const ListViewRow& data = state.rows[static_cast<size_t>(row)];
            NMLVCUSTOMDRAW item;
            item.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
            item.nmcd.rc = band;
            item.nmcd.dwItemSpec = static_cast<DWORD_PTR>(row);
            item.nmcd.uItemState = ((data.state & LVIS_SELECTED) != 0 ? CDIS_SELECTED : 0) |
                                   ((data.state & LVIS_FOCUSED) != 0 ? CDIS_FOCUS : 0);
            item.nmcd.lItemlParam = data.param;
            item.clrText = windowText;
            item.clrTextBk = window;
            LRESULT itemAnswer = CDRF_DODEFAULT;
            if ((paintAnswer & CDRF_NOTIFYITEMDRAW) != 0) itemAnswer = channel.Ask(item);
            if ((itemAnswer & CDRF_SKIPDEFAULT) != 0) continue;

            const RECT beyond{geometry.ColumnsRight(), band.top, band.right, band.bottom};
            if (Intersects(beyond, clip)) FillSolidRect(dc, beyond, window);
            for (int column = 0; column < static_cast<int>(state.columns.size()); ++column) {
                const RECT cell = geometry.CellRect(row, column);
                if (cell.right <= cell.left || !Intersects(cell, clip)) continue;
                NMLVCUSTOMDRAW sub = item;
                sub.iSubItem = column;
                sub.nmcd.rc = cell;
                if ((itemAnswer & CDRF_NOTIFYSUBITEMDRAW) != 0) {
                    sub.nmcd.dwDrawStage = CDDS_ITEMPREPAINT | CDDS_SUBITEM;
                    if ((channel.Ask(sub) & CDRF_SKIPDEFAULT) != 0) continue;
                }
                DrawCellDefault(state, style, row, column, cell, sub, dc);
            }
            if ((itemAnswer & CDRF_NOTIFYPOSTPAINT) != 0) {
                item.nmcd.dwDrawStage = CDDS_ITEMPOSTPAINT;
                (void)channel.Ask(item);
            }
        }
        const RECT below{client.left, paintedBottom, client.right, client.bottom};
        if (Intersects(below, clip)) FillSolidRect(dc, below, window);
        if ((state.extendedStyle & LVS_EX_GRIDLINES) != 0) DrawGridLines(state, geometry, dc);
    }
    if ((paintAnswer & CDRF_NOTIFYPOSTPAINT) != 0) {
        whole.nmcd.dwDrawStage = CDDS_POSTPAINT;
        (void)channel.Ask(whole);
    }

    SetBkMode(dc, previousMode);
    SetBkColor(dc, previousBack);
    SetTextColor(dc, previousText);
    if (previousFont != nullptr) SelectObject(dc, previousFont);
}

}  // namespace tevorin::controls
