#pragma once
// What a list view window holds: its columns, rows, image list, font and
// scroll position, and the geometry of report mode that painting, hit
// testing and the rectangle queries share.

#include <string>
#include <vector>

#include "platform/controls/common_controls.h"
#include "platform/gdi/gdi_objects.h"

namespace tevorin::controls {

struct ListViewColumn {
    std::u16string text;
    int width = 0;
    int format = LVCFMT_LEFT;
};

struct ListViewRow {
    // One text per column; column 0 is the item's own text.
    std::vector<std::u16string> texts;
    int image = -1;
    LPARAM param = 0;
    UINT state = 0;
};

struct ListViewState {
    std::vector<ListViewColumn> columns;
    std::vector<ListViewRow> rows;
    DWORD extendedStyle = 0;
    HIMAGELIST smallImages = nullptr;
    HIMAGELIST normalImages = nullptr;
    HFONT font = nullptr;  // null: the default GUI font
    int lineHeight = 0;    // of the font, measured when it is set
    int topIndex = 0;      // first row shown under the header
    bool focused = false;
};

// Geometry of report mode in client coordinates.
class ListViewGeometry {
  public:
    ListViewGeometry(const ListViewState& state, DWORD style, RECT client);

    int HeaderHeight() const { return headerHeight_; }
    int RowHeight() const { return rowHeight_; }
    RECT Client() const { return client_; }
    // Left edge of a column and the right edge of the last one.
    int ColumnLeft(int column) const;
    int ColumnsRight() const;
    // The row's band across the whole client width.
    RECT RowBand(int row) const;
    // Cell of a row and column; column 0 of LVIR_BOUNDS answers the whole
    // row, as the list's rectangle queries do, so CellRect is the one cell.
    RECT CellRect(int row, int column) const;
    // Rows that may show in the client area: [first, last).
    int FirstVisibleRow() const;
    int EndVisibleRow() const;
    int RowsPerPage() const;
    // Row under a client point, -1 for none.
    int RowAt(POINT point) const;
    int ColumnAt(int x) const;

  private:
    const ListViewState& state_;
    RECT client_;
    int headerHeight_ = 0;
    int rowHeight_ = 0;
};

// Line height of the font, the default GUI font for null.
int MeasureLineHeight(HFONT font);
HFONT FontOrDefault(HFONT font);

}  // namespace tevorin::controls
