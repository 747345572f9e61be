#include "platform/controls/list_view.h"

#include <gtest/gtest.h>

#include <vector>

#include "control_test_support.h"
#include "platform/controls/image_list.h"
#include "platform/gdi/system_palette.h"
#include "platform/win/paint.h"
#include "platform/win/painting.h"
#include "platform_win/test_window_class.h"

namespace {

constexpr int kListId = 1006;
constexpr int kWidth = 300;
constexpr int kHeight = 200;

struct DrawCall {
    DWORD stage;
    DWORD_PTR item;
    int subItem;
    HDC dc;
    RECT rc;
    UINT itemState;
};

class ListViewTest : public ::testing::Test {
  protected:
    void SetUp() override {
        RegisterControlsForTest();
        MessageLog::Instance().ClearHandlers();
        parent = MakeTopLevel(u"list parent", WS_POPUP, RECT{0, 0, 400, 300});
        ASSERT_NE(parent, nullptr);
        list = CreateWindowExW(0, WC_LISTVIEWW, u"",
                               WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS, 0, 0, kWidth,
                               kHeight, parent, ChildIdMenu(kListId), nullptr);
        ASSERT_NE(list, nullptr);
        FillLikeTheFileList();
        MessageLog::Instance().Take();
    }
    void TearDown() override {
        MessageLog::Instance().ClearHandlers();
        DestroyWindow(parent);
        ImageList_Destroy(images);
    }

    void FillLikeTheFileList() {
        const DWORD extended = static_cast<DWORD>(SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
        SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, extended | LVS_EX_GRIDLINES);
        const char16_t* headers[] = {u"文件名", u"大小(KB)", u"已下载"};
        const int widths[] = {95, 65, 130};
        for (int i = 0; i < 3; ++i) {
            LVCOLUMNW column;
            column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
            column.pszText = const_cast<char16_t*>(headers[i]);
            column.cx = widths[i];
            column.fmt = LVCFMT_LEFT;
            ASSERT_EQ(SendMessageW(list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column)), i);
        }
        images = ImageList_Create(16, 17, ILC_COLOR24, 0, 1);
        HBITMAP strip = MakeStatusStrip();
        ASSERT_EQ(ImageList_AddMasked(images, strip, RGB(0, 0, 0)), 0);
        DeleteObject(strip);
        SendMessageW(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images));
        const char16_t* names[] = {u"Tevorin.exe", u"voice.dll", u"readme.txt"};
        for (int i = 0; i < 3; ++i) {
            LVITEMW item;
            item.mask = LVIF_TEXT | LVIF_IMAGE;
            item.iItem = i;
            item.pszText = const_cast<char16_t*>(names[i]);
            item.iImage = 0;
            ASSERT_EQ(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)), i);
            SetText(i, 1, u"");
            SetText(i, 2, u"");
        }
    }

    void SetText(int row, int column, const char16_t* text) {
        LVITEMW item;
        item.iSubItem = column;
        item.pszText = const_cast<char16_t*>(text);
        ASSERT_TRUE(SendMessageW(list, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item)));
    }

    void SetImage(int row, int image) {
        LVITEMW item;
        item.mask = LVIF_IMAGE;
        item.iItem = row;
        item.iImage = image;
        ASSERT_TRUE(SendMessageW(list, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    }

    RECT SubItemRect(int row, int column, int part = LVIR_BOUNDS) {
        RECT rect{part, column, 0, 0};
        EXPECT_TRUE(SendMessageW(list, LVM_GETSUBITEMRECT, row, reinterpret_cast<LPARAM>(&rect)));
        return rect;
    }

    // Records every custom-draw notification; draws column 2 itself in green.
    void TakeOverProgressColumn() {
        MessageLog::Instance().SetHandler(WM_NOTIFY, [this](HWND, WPARAM, LPARAM l) -> LRESULT {
            auto* header = reinterpret_cast<NMHDR*>(l);
            if (header->code != NM_CUSTOMDRAW) return 0;
            auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(l);
            calls.push_back({draw->nmcd.dwDrawStage, draw->nmcd.dwItemSpec, draw->iSubItem,
                             draw->nmcd.hdc, draw->nmcd.rc, draw->nmcd.uItemState});
            switch (draw->nmcd.dwDrawStage) {
                case CDDS_PREPAINT:
                case CDDS_ITEMPREPAINT: return CDRF_NOTIFYSUBITEMDRAW;
                case CDDS_ITEMPREPAINT | CDDS_SUBITEM:
                    if (draw->iSubItem != 2) return CDRF_DODEFAULT;
                    FillSolidRect(draw->nmcd.hdc, draw->nmcd.rc, RGB(0, 255, 0));
                    return CDRF_SKIPDEFAULT;
                default: return CDRF_DODEFAULT;
            }
        });
    }

    void Paint(Canvas& canvas) {
        SendMessageW(list, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc.get()), 0);
    }

    HWND parent = nullptr;
    HWND list = nullptr;
    HIMAGELIST images = nullptr;
    std::vector<DrawCall> calls;
};

TEST_F(ListViewTest, ColumnsAndCellsLieSideBySide) {
    ASSERT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 3);
    const RECT first = SubItemRect(0, 0);
    const int rowHeight = first.bottom - first.top;
    EXPECT_GE(rowHeight, 17) << "a row holds its 17-pixel picture";
    EXPECT_GT(first.top, 0) << "rows start under the header";
    struct Case {
        int row, column;
        LONG left, right;
    };
    const Case cases[] = {{0, 0, 0, 290},   {0, 1, 95, 160},  {0, 2, 160, 290},
                          {1, 2, 160, 290}, {2, 1, 95, 160}};
    for (const Case& c : cases) {
        const RECT rect = SubItemRect(c.row, c.column);
        EXPECT_EQ(rect.left, c.left) << "row " << c.row << " column " << c.column;
        EXPECT_EQ(rect.right, c.right) << "row " << c.row << " column " << c.column;
        EXPECT_EQ(rect.top, first.top + c.row * rowHeight) << "row " << c.row;
        EXPECT_EQ(rect.bottom, rect.top + rowHeight) << "row " << c.row;
    }
    const RECT bad[] = {{LVIR_BOUNDS, 3, 0, 0}, {LVIR_BOUNDS, -1, 0, 0}};
    for (RECT rect : bad) {
        EXPECT_FALSE(SendMessageW(list, LVM_GETSUBITEMRECT, 0, reinterpret_cast<LPARAM>(&rect)));
    }
    RECT rect{LVIR_BOUNDS, 1, 0, 0};
    EXPECT_FALSE(SendMessageW(list, LVM_GETSUBITEMRECT, 3, reinterpret_cast<LPARAM>(&rect)));
}

TEST_F(ListViewTest, RowsShowTheirPicturesAndTexts) {
    SetImage(1, 1);
    SetImage(2, 2);
    SetText(0, 1, u"1024");
    Canvas canvas(kWidth, kHeight);
    Paint(canvas);
    for (int row = 0; row < 3; ++row) {
        SCOPED_TRACE(row);
        const RECT icon = SubItemRect(row, 0, LVIR_ICON);
        const int x = icon.right - 16;
        const int y = icon.top + (icon.bottom - icon.top - 17) / 2;
        EXPECT_EQ(canvas.Count(RECT{x + 4, y + 4, x + 12, y + 12}, kStripColours[row]), 64);
        // Drawn opaque: the picture's white background shows.
        EXPECT_EQ(canvas.At(x, y), RGB(255, 255, 255));
        EXPECT_GT(canvas.CountDark(SubItemRect(row, 0, LVIR_LABEL)), 10) << "file name drawn";
    }
    EXPECT_GT(canvas.CountDark(SubItemRect(0, 1)), 5) << "size drawn";
    EXPECT_EQ(canvas.CountDark(SubItemRect(1, 1)), 0) << "empty size stays empty";
    // Grid lines run along the bottom and right edge of every cell.
    const COLORREF grid = GetSysColor(COLOR_BTNFACE);
    const RECT cell = SubItemRect(1, 1);
    EXPECT_EQ(canvas.At(cell.left + 10, cell.bottom - 1), grid);
    EXPECT_EQ(canvas.At(cell.right - 1, cell.top + 5), grid);
    EXPECT_EQ(canvas.At(cell.left + 10, cell.top + 5), GetSysColor(COLOR_WINDOW));
    // The header carries the column titles.
    EXPECT_GT(canvas.CountDark(RECT{0, 0, 95, SubItemRect(0, 0).top}), 10);
    EXPECT_EQ(canvas.Count(RECT{0, 0, kWidth, kHeight}, kCanvasColour), 0) << "all painted";
}

TEST_F(ListViewTest, WithoutGridLinesCellEdgesStayWindowColoured) {
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_GRIDLINES, 0);
    Canvas canvas(kWidth, kHeight);
    Paint(canvas);
    const RECT cell = SubItemRect(1, 1);
    EXPECT_EQ(canvas.At(cell.left + 10, cell.bottom - 1), GetSysColor(COLOR_WINDOW));
}

TEST_F(ListViewTest, CustomDrawAsksInStagesAndSkipsTheCellItDrew) {
    TakeOverProgressColumn();
    Canvas canvas(kWidth, kHeight);
    Paint(canvas);
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls[0].stage, CDDS_PREPAINT);
    std::vector<std::pair<DWORD, int>> expected;
    for (int row = 0; row < 3; ++row) {
        expected.push_back({CDDS_ITEMPREPAINT, row * 10});
        for (int column = 0; column < 3; ++column) {
            expected.push_back({CDDS_ITEMPREPAINT | CDDS_SUBITEM, row * 10 + column});
        }
    }
    std::vector<std::pair<DWORD, int>> seen;
    for (size_t i = 1; i < calls.size(); ++i) {
        seen.push_back({calls[i].stage, static_cast<int>(calls[i].item) * 10 + calls[i].subItem});
        EXPECT_EQ(calls[i].dc, canvas.dc.get()) << "call " << i;
        if (calls[i].stage == (CDDS_ITEMPREPAINT | CDDS_SUBITEM)) {
            const int row = static_cast<int>(calls[i].item);
            // The first column's own cell, not the row bounds its rectangle query answers.
            const RECT cell = calls[i].subItem == 0
                                  ? RECT{0, SubItemRect(row, 0).top, 95, SubItemRect(row, 0).bottom}
                                  : SubItemRect(row, calls[i].subItem);
            EXPECT_EQ(calls[i].rc, cell) << "call " << i;
        }
    }
    EXPECT_EQ(seen, expected);
    for (int row = 0; row < 3; ++row) {
        const RECT cell = SubItemRect(row, 2);
        // The list drew nothing over the cell but its grid lines.
        const RECT inside{cell.left, cell.top, cell.right - 1, cell.bottom - 1};
        EXPECT_EQ(canvas.Count(inside, RGB(0, 255, 0)),
                  (inside.right - inside.left) * (inside.bottom - inside.top))
            << "row " << row;
    }
}

TEST_F(ListViewTest, InvalidatingOneCellRepaintsOnlyThatCell) {
    TakeOverProgressColumn();
    ValidateRect(list, nullptr);
    const RECT cell = SubItemRect(1, 2);
    // What a progress report does: new item data, then the cell invalidated.
    LVITEMW item;
    item.mask = LVIF_PARAM;
    item.iItem = 1;
    item.lParam = 50;
    ASSERT_TRUE(SendMessageW(list, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    RECT update;
    EXPECT_FALSE(GetUpdateRect(list, &update, FALSE)) << "item data alone repaints nothing";
    InvalidateRect(list, &cell, TRUE);
    ASSERT_TRUE(GetUpdateRect(list, &update, FALSE));
    EXPECT_EQ(update, cell);

    // Paint with the clip that the invalid area gives.
    Canvas canvas(kWidth, kHeight);
    ASSERT_TRUE(canvas.dc->IntersectClip(update));
    Paint(canvas);
    std::vector<std::pair<DWORD, int>> seen;
    for (const DrawCall& call : calls) {
        seen.push_back({call.stage, static_cast<int>(call.item) * 10 + call.subItem});
    }
    const std::vector<std::pair<DWORD, int>> expected = {
        {CDDS_PREPAINT, 0}, {CDDS_ITEMPREPAINT, 10}, {CDDS_ITEMPREPAINT | CDDS_SUBITEM, 12}};
    EXPECT_EQ(seen, expected);
    const int cellPixels = (cell.right - cell.left) * (cell.bottom - cell.top);
    EXPECT_EQ(canvas.Count(RECT{0, 0, kWidth, kHeight}, kCanvasColour), kWidth * kHeight - cellPixels);
    EXPECT_EQ(canvas.Count(cell, kCanvasColour), 0);
}

TEST_F(ListViewTest, PaintCycleOfOneInvalidCellDrawsOnlyThatCell) {
    ShowWindow(parent, SW_SHOW);
    TakeOverProgressColumn();
    ASSERT_TRUE(UpdateWindow(parent));
    ASSERT_FALSE(calls.empty()) << "the first paint draws the whole list";
    calls.clear();
    const RECT cell = SubItemRect(2, 2);
    InvalidateRect(list, &cell, TRUE);
    ASSERT_TRUE(UpdateWindow(list));
    std::vector<std::pair<DWORD, int>> seen;
    for (const DrawCall& call : calls) {
        seen.push_back({call.stage, static_cast<int>(call.item) * 10 + call.subItem});
        EXPECT_NE(call.dc, nullptr);
    }
    const std::vector<std::pair<DWORD, int>> expected = {
        {CDDS_PREPAINT, 0}, {CDDS_ITEMPREPAINT, 20}, {CDDS_ITEMPREPAINT | CDDS_SUBITEM, 22}};
    EXPECT_EQ(seen, expected);
    HDC dc = GetDC(list);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(GetPixel(dc, cell.left + 5, cell.top + 5), RGB(0, 255, 0));
    ReleaseDC(list, dc);
}

TEST_F(ListViewTest, ChangingThePictureInvalidatesTheFirstCellOnly) {
    ValidateRect(list, nullptr);
    SetImage(2, 1);
    RECT update;
    ASSERT_TRUE(GetUpdateRect(list, &update, FALSE));
    const RECT first = SubItemRect(2, 0);
    EXPECT_EQ(update, (RECT{0, first.top, 95, first.bottom}));
    ValidateRect(list, nullptr);
    SetText(0, 1, u"12");
    ASSERT_TRUE(GetUpdateRect(list, &update, FALSE));
    EXPECT_EQ(update, SubItemRect(0, 1));
}

TEST_F(ListViewTest, ClickSelectsTheRowUnderIt) {
    struct Case {
        const char* what;
        int row;       // row whose middle is clicked; -1 below the rows
        int selected;  // row selected afterwards; -1 none
    };
    const Case cases[] = {{"second row", 1, 1}, {"first row", 0, 0}, {"third row", 2, 2},
                          {"empty space", -1, -1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MessageLog::Instance().Take();
        POINT point{200, kHeight - 5};
        if (c.row >= 0) {
            const RECT cell = SubItemRect(c.row, 1);
            point = POINT{(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2};
        }
        SendMessageW(list, WM_LBUTTONDOWN, 0,
                     MAKELPARAM(static_cast<WORD>(point.x), static_cast<WORD>(point.y)));
        for (int row = 0; row < 3; ++row) {
            EXPECT_EQ(SendMessageW(list, LVM_GETITEMSTATE, row, LVIS_SELECTED),
                      row == c.selected ? static_cast<LRESULT>(LVIS_SELECTED) : 0)
                << "row " << row;
        }
        bool heardClick = false;
        for (const ReceivedMessage& m : MessageLog::Instance().Take()) {
            if (m.hwnd == parent && m.message == WM_NOTIFY) {
                heardClick = heardClick || reinterpret_cast<NMHDR*>(m.lParam)->code == NM_CLICK;
            }
        }
        EXPECT_TRUE(heardClick);
    }
}

TEST_F(ListViewTest, SelectedRowIsMarkedForCustomDrawAndShownWithoutFocus) {
    SendMessageW(list, WM_LBUTTONDOWN, 0, MAKELPARAM(120, static_cast<WORD>(SubItemRect(1, 1).top + 3)));
    TakeOverProgressColumn();
    Canvas canvas(kWidth, kHeight);
    Paint(canvas);
    for (const DrawCall& call : calls) {
        if (call.stage == CDDS_ITEMPREPAINT) {
            EXPECT_EQ((call.itemState & CDIS_SELECTED) != 0, call.item == 1) << "row " << call.item;
        }
    }
    // LVS_SHOWSELALWAYS keeps the selection visible while the list has no focus.
    const RECT label = SubItemRect(1, 0, LVIR_LABEL);
    EXPECT_EQ(canvas.At(label.right - 3, label.top + 2), GetSysColor(COLOR_BTNFACE));
    const RECT other = SubItemRect(0, 0, LVIR_LABEL);
    EXPECT_EQ(canvas.At(other.right - 3, other.top + 2), GetSysColor(COLOR_WINDOW));
}

TEST_F(ListViewTest, RowsReadBackForTheWindowTree) {
    LVITEMW item;
    item.mask = LVIF_IMAGE | LVIF_PARAM;
    item.iItem = 1;
    item.iImage = 1;
    item.lParam = 42;
    ASSERT_TRUE(SendMessageW(list, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    SetText(1, 1, u"12");
    const auto rows = tevorin::controls::DescribeListRows(list);
    ASSERT_EQ(rows.size(), 3u);
    const std::string expected[] = {
        "image=0 data=0 \"Tevorin.exe\" \"\" \"\"",
        "image=1 data=42 \"voice.dll\" \"12\" \"\"",
        "image=0 data=0 \"readme.txt\" \"\" \"\"",
    };
    for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(tevorin::controls::FormatListRow(rows[i]), expected[i]) << "row " << i;
    }
    EXPECT_TRUE(tevorin::controls::DescribeListRows(parent).empty());
}

TEST_F(ListViewTest, BadRowsAndSubItemsFailQuietly) {
    LVITEMW item;
    item.mask = LVIF_IMAGE;
    item.iImage = 1;
    const int badRows[] = {-1, 3, 100};
    for (int row : badRows) {
        item.iItem = row;
        EXPECT_FALSE(SendMessageW(list, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item))) << row;
        EXPECT_EQ(SendMessageW(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_SELECTED), 0);
    }
    item.iItem = 0;
    item.iSubItem = 3;
    EXPECT_FALSE(SendMessageW(list, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    EXPECT_FALSE(SendMessageW(list, LVM_SETITEMW, 0, 0));
    EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 3);
}

}  // namespace
