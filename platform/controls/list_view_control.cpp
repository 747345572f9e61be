#include <algorithm>
#include <memory>

#include "platform/controls/control_paint.h"
#include "platform/controls/image_list.h"
#include "platform/controls/list_view.h"
#include "platform/controls/list_view_paint.h"
#include "platform/controls/list_view_state.h"
#include "platform/core/text.h"
#include "platform/gdi/system_palette.h"
#include "platform/win/message_loop.h"
#include "platform/win/paint.h"
#include "platform/win/window.h"

namespace tevorin::controls {

namespace {

constexpr int kStateSlot = 0;
constexpr int kWheelLines = 3;

ListViewState* StateOf(HWND hwnd) {
    return reinterpret_cast<ListViewState*>(GetWindowLongPtrW(hwnd, kStateSlot));
}

DWORD StyleOf(HWND hwnd) { return static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE)); }

ListViewGeometry GeometryOf(HWND hwnd, const ListViewState& state) {
    RECT client;
    (void)GetClientRect(hwnd, &client);
    return ListViewGeometry(state, StyleOf(hwnd), client);
}

bool ValidRow(const ListViewState& state, int row) {
    return row >= 0 && row < static_cast<int>(state.rows.size());
}

void InvalidateCell(HWND hwnd, const ListViewState& state, int row, int column) {
    const RECT cell = GeometryOf(hwnd, state).CellRect(row, column);
    InvalidateRect(hwnd, &cell, TRUE);
}

void InvalidateRow(HWND hwnd, const ListViewState& state, int row) {
    const RECT band = GeometryOf(hwnd, state).RowBand(row);
    InvalidateRect(hwnd, &band, TRUE);
}

void InvalidateFromRow(HWND hwnd, const ListViewState& state, int row) {
    RECT area = GeometryOf(hwnd, state).RowBand(row);
    RECT client;
    (void)GetClientRect(hwnd, &client);
    area.bottom = client.bottom;
    InvalidateRect(hwnd, &area, TRUE);
}

void CopyText(const std::u16string& text, char16_t* buffer, int capacity) {
    if (buffer == nullptr || capacity <= 0) return;
    const size_t count = std::min(text.size(), static_cast<size_t>(capacity - 1));
    std::copy_n(text.data(), count, buffer);
    buffer[count] = u'\0';
}

void NotifyParent(HWND hwnd, NMHDR& header, UINT code) {
    header.hwndFrom = hwnd;
    header.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(hwnd));
    header.code = code;
    HWND parent = GetParent(hwnd);
    if (parent != nullptr) {
        (void)SendMessageW(parent, WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
    }
}

// Changes the state bits of one row, repaints it and tells the parent.
void ChangeRowState(HWND hwnd, ListViewState& state, int row, UINT bits, UINT mask) {
    ListViewRow& data = state.rows[static_cast<size_t>(row)];
    const UINT updated = (data.state & ~mask) | (bits & mask);
    if (updated == data.state) return;
    NMLISTVIEW change;
    change.iItem = row;
    change.uOldState = data.state;
    change.uNewState = updated;
    change.uChanged = LVIF_STATE;
    change.lParam = data.param;
    data.state = updated;
    InvalidateRow(hwnd, state, row);
    NotifyParent(hwnd, change.hdr, LVN_ITEMCHANGED);
}

LRESULT InsertColumn(HWND hwnd, ListViewState& state, int index, const LVCOLUMNW* column) {
    if (column == nullptr || index < 0) return -1;
    index = std::min(index, static_cast<int>(state.columns.size()));
    ListViewColumn added;
    if ((column->mask & LVCF_TEXT) != 0 && column->pszText != nullptr) {
        added.text = column->pszText;
    }
    if ((column->mask & LVCF_WIDTH) != 0) added.width = std::max(column->cx, 0);
    if ((column->mask & LVCF_FMT) != 0) added.format = column->fmt;
    state.columns.insert(state.columns.begin() + index, added);
    for (ListViewRow& row : state.rows) {
        if (static_cast<int>(row.texts.size()) >= index) {
            row.texts.insert(row.texts.begin() + index, std::u16string{});
        }
        row.texts.resize(state.columns.size());
    }
    InvalidateRect(hwnd, nullptr, TRUE);
    return index;
}

LRESULT InsertItem(HWND hwnd, ListViewState& state, const LVITEMW* item) {
    if (item == nullptr || item->iItem < 0 || item->iSubItem != 0) return -1;
    const int index = std::min(item->iItem, static_cast<int>(state.rows.size()));
    ListViewRow row;
    row.texts.resize(std::max<size_t>(state.columns.size(), 1));
    if ((item->mask & LVIF_TEXT) != 0 && item->pszText != nullptr) row.texts[0] = item->pszText;
    if ((item->mask & LVIF_IMAGE) != 0) row.image = item->iImage;
    if ((item->mask & LVIF_PARAM) != 0) row.param = item->lParam;
    if ((item->mask & LVIF_STATE) != 0) row.state = item->state & item->stateMask;
    state.rows.insert(state.rows.begin() + index, std::move(row));
    InvalidateFromRow(hwnd, state, index);
    return index;
}

LRESULT SetItem(HWND hwnd, ListViewState& state, const LVITEMW* item) {
    if (item == nullptr || !ValidRow(state, item->iItem) || item->iSubItem < 0 ||
        item->iSubItem >= std::max<int>(static_cast<int>(state.columns.size()), 1)) {
        return FALSE;
    }
    ListViewRow& row = state.rows[static_cast<size_t>(item->iItem)];
    if ((item->mask & LVIF_TEXT) != 0) {
        row.texts.resize(std::max<size_t>(state.columns.size(), 1));
        row.texts[static_cast<size_t>(item->iSubItem)] =
            item->pszText != nullptr ? std::u16string(item->pszText) : std::u16string{};
        InvalidateCell(hwnd, state, item->iItem, item->iSubItem);
    }
    if (item->iSubItem == 0) {
        if ((item->mask & LVIF_IMAGE) != 0 && row.image != item->iImage) {
            row.image = item->iImage;
            InvalidateCell(hwnd, state, item->iItem, 0);
        }
        // The value is the parent's; it changes nothing the list draws itself.
        if ((item->mask & LVIF_PARAM) != 0) row.param = item->lParam;
        if ((item->mask & LVIF_STATE) != 0) {
            ChangeRowState(hwnd, state, item->iItem, item->state, item->stateMask);
        }
    }
    return TRUE;
}

LRESULT GetItem(const ListViewState& state, LVITEMW* item) {
    if (item == nullptr || !ValidRow(state, item->iItem) || item->iSubItem < 0) return FALSE;
    const ListViewRow& row = state.rows[static_cast<size_t>(item->iItem)];
    if ((item->mask & LVIF_TEXT) != 0) {
        const size_t column = static_cast<size_t>(item->iSubItem);
        CopyText(column < row.texts.size() ? row.texts[column] : std::u16string{}, item->pszText,
                 item->cchTextMax);
    }
    if ((item->mask & LVIF_IMAGE) != 0) item->iImage = row.image;
    if ((item->mask & LVIF_PARAM) != 0) item->lParam = row.param;
    if ((item->mask & LVIF_STATE) != 0) item->state = row.state & item->stateMask;
    return TRUE;
}

LRESULT GetSubItemRect(HWND hwnd, const ListViewState& state, int row, RECT* rect) {
    if (rect == nullptr || !ValidRow(state, row)) return FALSE;
    const int column = rect->top;
    const int part = rect->left;
    if (column < 0 || column >= std::max<int>(static_cast<int>(state.columns.size()), 1)) {
        return FALSE;
    }
    const ListViewGeometry geometry = GeometryOf(hwnd, state);
    if (column == 0 && part == LVIR_BOUNDS) {
        const RECT band = geometry.RowBand(row);
        *rect = RECT{band.left, band.top, geometry.ColumnsRight(), band.bottom};
        return TRUE;
    }
    RECT cell = geometry.CellRect(row, column);
    if (column == 0 && state.smallImages != nullptr && part != LVIR_BOUNDS) {
        int cx = 0;
        int cy = 0;
        (void)ImageList_GetIconSize(state.smallImages, &cx, &cy);
        const int split = std::min<int>(cell.left + 2 + cx, cell.right);
        if (part == LVIR_ICON) cell.right = split;
        if (part == LVIR_LABEL) cell.left = split;
    }
    *rect = cell;
    return TRUE;
}

void ScrollRows(HWND hwnd, ListViewState& state, int newTop) {
    const ListViewGeometry geometry = GeometryOf(hwnd, state);
    const int last = std::max(0, static_cast<int>(state.rows.size()) - geometry.RowsPerPage());
    newTop = std::clamp(newTop, 0, last);
    if (newTop == state.topIndex) return;
    state.topIndex = newTop;
    InvalidateRect(hwnd, nullptr, TRUE);
}

void ScrollByRequest(HWND hwnd, ListViewState& state, WPARAM request) {
    const int page = std::max(1, GeometryOf(hwnd, state).RowsPerPage());
    switch (LOWORD(request)) {
        case SB_LINEUP: ScrollRows(hwnd, state, state.topIndex - 1); break;
        case SB_LINEDOWN: ScrollRows(hwnd, state, state.topIndex + 1); break;
        case SB_PAGEUP: ScrollRows(hwnd, state, state.topIndex - page); break;
        case SB_PAGEDOWN: ScrollRows(hwnd, state, state.topIndex + page); break;
        case SB_THUMBPOSITION:
        case SB_THUMBTRACK: ScrollRows(hwnd, state, HIWORD(request)); break;
        case SB_TOP: ScrollRows(hwnd, state, 0); break;
        case SB_BOTTOM: ScrollRows(hwnd, state, static_cast<int>(state.rows.size())); break;
        default: break;
    }
}

void ClickAt(HWND hwnd, ListViewState& state, POINT point) {
    const int hit = GeometryOf(hwnd, state).RowAt(point);
    for (int row = 0; row < static_cast<int>(state.rows.size()); ++row) {
        if (row != hit) ChangeRowState(hwnd, state, row, 0, LVIS_SELECTED | LVIS_FOCUSED);
    }
    if (hit >= 0) {
        ChangeRowState(hwnd, state, hit, LVIS_SELECTED | LVIS_FOCUSED,
                       LVIS_SELECTED | LVIS_FOCUSED);
    }
    NMHDR click;
    NotifyParent(hwnd, click, NM_CLICK);
}

POINT PointFromLParam(LPARAM lParam) {
    return POINT{static_cast<std::int16_t>(LOWORD(static_cast<std::uintptr_t>(lParam))),
                 static_cast<std::int16_t>(HIWORD(static_cast<std::uintptr_t>(lParam)))};
}

LRESULT HandleListMessage(HWND hwnd, ListViewState& state, UINT message, WPARAM wParam,
                          LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
        case WM_PRINTCLIENT:
            PaintClient(hwnd, wParam, [&](HDC dc, const RECT& clip) {
                PaintListView(hwnd, state, dc, clip);
            });
            return 0;
        case WM_ERASEBKGND: {
            RECT client;
            (void)GetClientRect(hwnd, &client);
            FillSolidRect(reinterpret_cast<HDC>(wParam), client, GetSysColor(COLOR_WINDOW));
            return 1;
        }
        case WM_SETFONT:
            state.font = reinterpret_cast<HFONT>(wParam);
            state.lineHeight = MeasureLineHeight(state.font);
            if (LOWORD(static_cast<std::uintptr_t>(lParam)) != 0) {
                InvalidateRect(hwnd, nullptr, TRUE);
            }
            return 0;
        case WM_GETFONT: return reinterpret_cast<LRESULT>(state.font);
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            state.focused = message == WM_SETFOCUS;
            InvalidateRect(hwnd, nullptr, TRUE);
            return 0;
        case WM_LBUTTONDOWN: ClickAt(hwnd, state, PointFromLParam(lParam)); return 0;
        case WM_VSCROLL: ScrollByRequest(hwnd, state, wParam); return 0;
        case WM_MOUSEWHEEL: {
            const int delta = static_cast<std::int16_t>(HIWORD(wParam));
            ScrollRows(hwnd, state, state.topIndex - delta * kWheelLines / WHEEL_DELTA);
            return 0;
        }
        case LVM_GETITEMCOUNT: return static_cast<LRESULT>(state.rows.size());
        case LVM_INSERTCOLUMNW:
            return InsertColumn(hwnd, state, static_cast<int>(wParam),
                                reinterpret_cast<const LVCOLUMNW*>(lParam));
        case LVM_GETCOLUMNWIDTH: {
            const size_t column = static_cast<size_t>(wParam);
            return column < state.columns.size() ? state.columns[column].width : 0;
        }
        case LVM_SETCOLUMNWIDTH: {
            const size_t column = static_cast<size_t>(wParam);
            if (column >= state.columns.size()) return FALSE;
            state.columns[column].width = std::max<int>(static_cast<std::int16_t>(lParam), 0);
            InvalidateRect(hwnd, nullptr, TRUE);
            return TRUE;
        }
        case LVM_GETCOLUMNW: {
            auto* column = reinterpret_cast<LVCOLUMNW*>(lParam);
            const size_t index = static_cast<size_t>(wParam);
            if (column == nullptr || index >= state.columns.size()) return FALSE;
            if ((column->mask & LVCF_TEXT) != 0) {
                CopyText(state.columns[index].text, column->pszText, column->cchTextMax);
            }
            if ((column->mask & LVCF_WIDTH) != 0) column->cx = state.columns[index].width;
            if ((column->mask & LVCF_FMT) != 0) column->fmt = state.columns[index].format;
            return TRUE;
        }
        case LVM_INSERTITEMW:
            return InsertItem(hwnd, state, reinterpret_cast<const LVITEMW*>(lParam));
        case LVM_SETITEMW: return SetItem(hwnd, state, reinterpret_cast<const LVITEMW*>(lParam));
        case LVM_GETITEMW: return GetItem(state, reinterpret_cast<LVITEMW*>(lParam));
        case LVM_SETITEMTEXTW: {
            auto* item = reinterpret_cast<LVITEMW*>(lParam);
            if (item == nullptr) return FALSE;
            LVITEMW text = *item;
            text.mask = LVIF_TEXT;
            text.iItem = static_cast<int>(wParam);
            return SetItem(hwnd, state, &text);
        }
        case LVM_GETITEMTEXTW: {
            auto* item = reinterpret_cast<LVITEMW*>(lParam);
            const int row = static_cast<int>(wParam);
            if (item == nullptr || !ValidRow(state, row) || item->iSubItem < 0) return 0;
            const ListViewRow& data = state.rows[static_cast<size_t>(row)];
            const size_t column = static_cast<size_t>(item->iSubItem);
            const std::u16string text =
                column < data.texts.size() ? data.texts[column] : std::u16string{};
            CopyText(text, item->pszText, item->cchTextMax);
            return item->cchTextMax > 0
                       ? static_cast<LRESULT>(std::min<size_t>(text.size(),
                                                               static_cast<size_t>(item->cchTextMax - 1)))
                       : 0;
        }
        case LVM_SETITEMSTATE: {
            auto* item = reinterpret_cast<const LVITEMW*>(lParam);
            if (item == nullptr) return FALSE;
            const int row = static_cast<int>(static_cast<std::intptr_t>(wParam));
            if (row == -1) {
                for (int i = 0; i < static_cast<int>(state.rows.size()); ++i) {
                    ChangeRowState(hwnd, state, i, item->state, item->stateMask);
                }
                return TRUE;
            }
            if (!ValidRow(state, row)) return FALSE;
            ChangeRowState(hwnd, state, row, item->state, item->stateMask);
            return TRUE;
        }
        case LVM_GETITEMSTATE: {
            const int row = static_cast<int>(wParam);
            if (!ValidRow(state, row)) return 0;
            return static_cast<LRESULT>(state.rows[static_cast<size_t>(row)].state &
                                        static_cast<UINT>(lParam));
        }
        case LVM_DELETEITEM: {
            const int row = static_cast<int>(wParam);
            if (!ValidRow(state, row)) return FALSE;
            InvalidateFromRow(hwnd, state, row);
            state.rows.erase(state.rows.begin() + row);
            return TRUE;
        }
        case LVM_DELETEALLITEMS:
            state.rows.clear();
            state.topIndex = 0;
            InvalidateRect(hwnd, nullptr, TRUE);
            return TRUE;
        case LVM_SETIMAGELIST: {
            auto* list = reinterpret_cast<HIMAGELIST>(lParam);
            HIMAGELIST* slot = wParam == static_cast<WPARAM>(LVSIL_SMALL)    ? &state.smallImages
                               : wParam == static_cast<WPARAM>(LVSIL_NORMAL) ? &state.normalImages
                                                                             : nullptr;
            if (slot == nullptr) return 0;
            HIMAGELIST previous = *slot;
            *slot = list;
            InvalidateRect(hwnd, nullptr, TRUE);
            return reinterpret_cast<LRESULT>(previous);
        }
        case LVM_GETIMAGELIST:
            if (wParam == static_cast<WPARAM>(LVSIL_SMALL)) {
                return reinterpret_cast<LRESULT>(state.smallImages);
            }
            if (wParam == static_cast<WPARAM>(LVSIL_NORMAL)) {
                return reinterpret_cast<LRESULT>(state.normalImages);
            }
            return 0;
        case LVM_SETEXTENDEDLISTVIEWSTYLE: {
            const DWORD previous = state.extendedStyle;
            const DWORD mask = wParam == 0 ? 0xFFFFFFFFu : static_cast<DWORD>(wParam);
            state.extendedStyle = (previous & ~mask) | (static_cast<DWORD>(lParam) & mask);
            if (state.extendedStyle != previous) InvalidateRect(hwnd, nullptr, TRUE);
            return static_cast<LRESULT>(previous);
        }
        case LVM_GETEXTENDEDLISTVIEWSTYLE: return static_cast<LRESULT>(state.extendedStyle);
        case LVM_GETSUBITEMRECT:
            return GetSubItemRect(hwnd, state, static_cast<int>(wParam),
                                  reinterpret_cast<RECT*>(lParam));
        case LVM_GETITEMRECT: {
            auto* rect = reinterpret_cast<RECT*>(lParam);
            if (rect == nullptr) return FALSE;
            const int part = rect->left;
            rect->top = 0;
            rect->left = part;
            return GetSubItemRect(hwnd, state, static_cast<int>(wParam), rect);
        }
        case LVM_REDRAWITEMS: {
            const int first = std::max(static_cast<int>(wParam), 0);
            const int last =
                std::min(static_cast<int>(lParam), static_cast<int>(state.rows.size()) - 1);
            for (int row = first; row <= last; ++row) InvalidateRow(hwnd, state, row);
            return TRUE;
        }
        case LVM_HITTEST: {
            auto* info = reinterpret_cast<LVHITTESTINFO*>(lParam);
            if (info == nullptr) return -1;
            const ListViewGeometry geometry = GeometryOf(hwnd, state);
            info->iItem = geometry.RowAt(info->pt);
            info->iSubItem = info->iItem >= 0 ? geometry.ColumnAt(info->pt.x) : 0;
            info->flags = info->iItem >= 0 ? LVHT_ONITEMLABEL : LVHT_NOWHERE;
            return info->iItem;
        }
        case LVM_GETTOPINDEX: return state.topIndex;
        case LVM_GETCOUNTPERPAGE: return GeometryOf(hwnd, state).RowsPerPage();
        default: return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

LRESULT ListViewWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto state = std::make_unique<ListViewState>();
        state->lineHeight = MeasureLineHeight(nullptr);
        SetWindowLongPtrW(hwnd, kStateSlot, reinterpret_cast<LONG_PTR>(state.release()));
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    ListViewState* state = StateOf(hwnd);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, kStateSlot, 0);
        // Image lists stay with whoever made them (the framework's image list
        // object frees its own), so the list never destroys one.
        delete state;
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    if (state == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
    return HandleListMessage(hwnd, *state, message, wParam, lParam);
}

}  // namespace

bool RegisterListViewClass() {
    WNDCLASSW windowClass;
    windowClass.lpfnWndProc = ListViewWindowProc;
    windowClass.cbWndExtra = sizeof(void*);
    windowClass.lpszClassName = WC_LISTVIEWW;
    if (RegisterClassW(windowClass)) return true;
    WNDCLASSW existing;
    return GetClassInfoW(WC_LISTVIEWW, &existing);
}

std::vector<ListRowDescription> DescribeListRows(HWND list) {
    std::vector<ListRowDescription> rows;
    if (GetClassNameString(list) != std::u16string_view(WC_LISTVIEWW)) return rows;
    const int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    int columns = 0;
    for (;; ++columns) {
        LVCOLUMNW column;
        column.mask = LVCF_WIDTH;
        if (SendMessageW(list, LVM_GETCOLUMNW, static_cast<WPARAM>(columns),
                         reinterpret_cast<LPARAM>(&column)) == 0) {
            break;
        }
    }
    for (int row = 0; row < count; ++row) {
        ListRowDescription description;
        LVITEMW item;
        item.mask = LVIF_IMAGE | LVIF_PARAM | LVIF_STATE;
        item.iItem = row;
        item.stateMask = 0xFFFFFFFFu;
        if (SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)) == 0) break;
        description.image = item.iImage;
        description.data = item.lParam;
        description.state = item.state;
        for (int column = 0; column < std::max(columns, 1); ++column) {
            std::u16string buffer(1024, u'\0');
            LVITEMW text;
            text.iSubItem = column;
            text.pszText = buffer.data();
            text.cchTextMax = static_cast<int>(buffer.size());
            const LRESULT length = SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                                                reinterpret_cast<LPARAM>(&text));
            buffer.resize(static_cast<size_t>(std::max<LRESULT>(length, 0)));
            description.texts.push_back(std::move(buffer));
        }
        rows.push_back(std::move(description));
    }
    return rows;
}

std::string FormatListRow(const ListRowDescription& row) {
    std::string line = "image=" + std::to_string(row.image) + " data=" + std::to_string(row.data);
    for (const std::u16string& text : row.texts) {
        line += " \"" + ::Utf16ToUtf8(text) + "\"";
    }
    return line;
}

}  // namespace tevorin::controls
