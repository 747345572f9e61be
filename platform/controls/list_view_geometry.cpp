#include <algorithm>

#include "platform/controls/image_list.h"
#include "platform/controls/list_view_state.h"
#include "platform/gdi/text_drawing.h"

namespace tevorin::controls {

namespace {

constexpr int kHeaderPadding = 8;
constexpr int kRowPadding = 2;

}  // namespace

HFONT FontOrDefault(HFONT font) {
    if (font != nullptr && IsLiveObject(font, OBJ_FONT)) return font;
    return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

int MeasureLineHeight(HFONT font) {
    LOGFONTW description;
    if (GetObjectW(FontOrDefault(font), sizeof description, &description) == 0) return 13;
    const SIZE extent = MeasureTextExtent(description, u"Ag");
    return std::max<LONG>(extent.cy, 1);
}

ListViewGeometry::ListViewGeometry(const ListViewState& state, DWORD style, RECT client)
    : state_(state), client_(client) {
    const int line = state.lineHeight > 0 ? state.lineHeight : MeasureLineHeight(state.font);
    headerHeight_ = (style & LVS_NOCOLUMNHEADER) != 0 ? 0 : line + kHeaderPadding;
    int imageHeight = 0;
    int imageWidth = 0;
    if (state.smallImages != nullptr) {
        (void)ImageList_GetIconSize(state.smallImages, &imageWidth, &imageHeight);
    }
    rowHeight_ = std::max(line, imageHeight) + kRowPadding;
}

int ListViewGeometry::ColumnLeft(int column) const {
    int x = client_.left;
    for (int i = 0; i < column && i < static_cast<int>(state_.columns.size()); ++i) {
        x += state_.columns[static_cast<size_t>(i)].width;
    }
    return x;
}

int ListViewGeometry::ColumnsRight() const {
    return ColumnLeft(static_cast<int>(state_.columns.size()));
}

RECT ListViewGeometry::RowBand(int row) const {
    const int top = client_.top + headerHeight_ + (row - state_.topIndex) * rowHeight_;
    return RECT{client_.left, top, client_.right, top + rowHeight_};
}

RECT ListViewGeometry::CellRect(int row, int column) const {
    const RECT band = RowBand(row);
    const int left = ColumnLeft(column);
    const int width = column < static_cast<int>(state_.columns.size())
                          ? state_.columns[static_cast<size_t>(column)].width
                          : 0;
    return RECT{left, band.top, left + width, band.bottom};
}

int ListViewGeometry::FirstVisibleRow() const { return state_.topIndex; }

int ListViewGeometry::EndVisibleRow() const {
    const int height = client_.bottom - client_.top - headerHeight_;
    const int shown = height <= 0 ? 0 : (height + rowHeight_ - 1) / rowHeight_;
    return std::min(static_cast<int>(state_.rows.size()), state_.topIndex + shown);
}

int ListViewGeometry::RowsPerPage() const {
    const int height = client_.bottom - client_.top - headerHeight_;
    return height <= 0 ? 0 : height / rowHeight_;
}

int ListViewGeometry::RowAt(POINT point) const {
    if (point.y < client_.top + headerHeight_ || point.y >= client_.bottom) return -1;
    if (point.x < client_.left || point.x >= ColumnsRight()) return -1;
    const int row = state_.topIndex + (point.y - client_.top - headerHeight_) / rowHeight_;
    return row < static_cast<int>(state_.rows.size()) ? row : -1;
}

int ListViewGeometry::ColumnAt(int x) const {
    for (int column = 0; column < static_cast<int>(state_.columns.size()); ++column) {
        if (x >= ColumnLeft(column) && x < ColumnLeft(column + 1)) return column;
    }
    return -1;
}

}  // namespace tevorin::controls
