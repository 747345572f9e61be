#include "ui/progress_list_ctrl.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <memory>
#include <string>
#include <vector>

#include "app/update_state.h"
#include "platform/gdi/framebuffer.h"
#include "platform/gdi/system_palette.h"
#include "platform/win/paint.h"
#include "platform/win/painting.h"
#include "resources/resource_ids.h"
#include "ui_test_support.h"

namespace {

constexpr DWORD kListStyle =
    WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_ALIGNLEFT | WS_BORDER | WS_TABSTOP;
constexpr COLORREF kGreen = RGB(0, 255, 0);

struct Row {
    std::u16string name;
    int image;
    LPARAM data;
    std::u16string size;
    std::u16string progress;
};

class ProgressListTest : public ::testing::Test {
  protected:
    void SetUp() override {
        PrepareProgramResources();
        LoadUpdateStateFrom(SampleManifestPath());
        host = std::make_unique<HostWindow>(400, 300);
        ASSERT_NE(host->m_hWnd, nullptr);
        HWND window = CreateWindowExW(0, WC_LISTVIEWW, u"", kListStyle, 3, 40, 308, 170,
                                      host->m_hWnd, ChildIdMenu(IDC_FILE_LIST), nullptr);
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(list.SubclassWindow(window));
    }
    void TearDown() override {
        list.DestroyWindow();
        host.reset();
        ClearUpdateState();
    }

    Row RowAt(int index) {
        LVITEMW item;
        item.mask = LVIF_IMAGE | LVIF_PARAM;
        item.iItem = index;
        EXPECT_TRUE(list.GetItem(&item));
        return Row{list.GetItemText(index, 0), item.iImage, item.lParam, list.GetItemText(index, 1),
                   list.GetItemText(index, 2)};
    }

    RECT Cell(int row) {
        RECT cell{0, 0, 0, 0};
        EXPECT_TRUE(list.GetSubItemRect(row, kProgressColumn, LVIR_BOUNDS, cell));
        return cell;
    }

    void Paint() { ASSERT_TRUE(UpdateWindow(host->m_hWnd)); }

    std::unique_ptr<HostWindow> host;
    CProgressListCtrl list;
};

TEST_F(ProgressListTest, InitFileListMakesTheColumnsAndOneRowPerFile) {
    (void)list.SetExtendedStyle(LVS_EX_FULLROWSELECT);
    list.InitFileList();
    EXPECT_EQ(list.GetExtendedStyle(), LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES)
        << "grid lines are added to the bits already set";

    struct Column {
        std::u16string header;
        int width;
    };
    const Column columns[] = {{u"文件名", 95}, {u"大小(KB)", 65}, {u"已下载", 130}};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        char16_t text[64] = {};
        LVCOLUMNW column;
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        column.pszText = text;
        column.cchTextMax = 64;
        ASSERT_TRUE(list.SendMessage(LVM_GETCOLUMNW, i, reinterpret_cast<LPARAM>(&column)));
        EXPECT_EQ(std::u16string(text), columns[i].header);
        EXPECT_EQ(column.cx, columns[i].width);
        EXPECT_EQ(column.fmt, LVCFMT_LEFT);
    }

    const std::u16string names[] = {u"Tevorin.exe", u"voice.dll", u"ring.wav"};
    ASSERT_EQ(list.GetItemCount(), 3);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const Row row = RowAt(i);
        EXPECT_EQ(row.name, names[i]);
        EXPECT_EQ(row.image, kStatusPending);
        EXPECT_EQ(row.data, 0);
        EXPECT_EQ(row.size, u"");
        EXPECT_EQ(row.progress, u"");
    }

    ASSERT_NE(list.statusImages.m_hImageList, nullptr);
    EXPECT_EQ(list.statusImages.GetImageCount(), 3) << "the strip gives three pictures";
    EXPECT_EQ(reinterpret_cast<HIMAGELIST>(list.SendMessage(LVM_GETIMAGELIST, LVSIL_SMALL)),
              list.statusImages.m_hImageList);
}

TEST_F(ProgressListTest, FreshRowsShowTheArrowAndAnEmptyBarAtZeroPercent) {
    list.InitFileList();
    Paint();
    for (int row = 0; row < 3; ++row) {
        SCOPED_TRACE(row);
        const RECT cell = Cell(row);
        EXPECT_EQ(CountOf(list.m_hWnd, cell, kGreen), 0) << "empty bar";
        EXPECT_GT(CountOf(list.m_hWnd, cell, GetSysColor(COLOR_WINDOWFRAME)), 40)
            << "outline and the text 0%";
        // The picture is drawn opaque: its white background and its blue arrow.
        RECT icon{0, 0, 0, 0};
        ASSERT_TRUE(list.GetSubItemRect(row, 0, LVIR_ICON, icon));
        int bluish = 0;
        HDC dc = GetDC(list.m_hWnd);
        for (int y = icon.top; y < icon.bottom; ++y)
            for (int x = icon.left; x < icon.right; ++x) {
                const COLORREF c = GetPixel(dc, x, y);
                bluish += GetBValue(c) > 150 && GetRValue(c) < 100 && GetGValue(c) < 180 ? 1 : 0;
            }
        ReleaseDC(list.m_hWnd, dc);
        EXPECT_GT(bluish, 10) << "the blue arrow";
    }
}

// The cell's pixels for one percent, drawn on a canvas with a blue pen and a
// yellow brush. cell = (10, 5, 112, 26), so r = (11, 6, 111, 25) is 100 wide.
TEST_F(ProgressListTest, DrawProgressCellPixelRules) {
    list.InitFileList();
    constexpr int kCanvasWidth = 400;
    constexpr int kCanvasHeight = 40;
    constexpr COLORREF kBackdrop = RGB(255, 0, 255);
    constexpr COLORREF kPen = RGB(0, 0, 255);
    constexpr COLORREF kBrush = RGB(255, 255, 0);
    constexpr COLORREF kText = RGB(0, 0, 0);
    constexpr COLORREF kFill = RGB(255, 255, 255);
    const RECT cell{10, 5, 112, 26};
    struct Case {
        int percent;
        int barEnd;  // first column after the bar on its rows; 12 = empty bar
        const char* text;
    };
    const Case cases[] = {
        {0, 12, "0%"},      {1, 12, "1%"},
        {50, 60, "50%"},                         // (99 * 50) / 100 = 49: columns 12 to 59
        {99, 109, "99%"},   {100, 110, "100%"},  // up to the outline's right column
        {150, 159, "150%"},                      // runs past the outline and the cell
        {-20, 12, "-20%"},  {INT_MAX, kCanvasWidth, "2147483647%"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.percent);
        ASSERT_TRUE(list.SetItemData(0, static_cast<DWORD_PTR>(static_cast<LPARAM>(c.percent))));
        Framebuffer pixels;
        pixels.Resize(kCanvasWidth, kCanvasHeight, PixelFromColorRef(kBackdrop));
        DeviceContext dc(pixels, POINT{0, 0}, RECT{0, 0, kCanvasWidth, kCanvasHeight});
        CPen pen(PS_SOLID, 1, kPen);
        CBrush brush(kBrush);
        ASSERT_NE(SelectObject(&dc, pen.GetSafeHandle()), nullptr);
        ASSERT_NE(SelectObject(&dc, brush.GetSafeHandle()), nullptr);
        list.DrawProgressCell(0, kProgressColumn, CDC::FromHandle(&dc), kText, kFill, cell);
        auto at = [&](int x, int y) { return ColorRefFromPixel(pixels.At(x, y)); };

        // Outside the outline: the fill colour on the cell's outer ring.
        EXPECT_EQ(at(10, 5), kFill);
        EXPECT_EQ(at(111, 25), kFill);
        EXPECT_EQ(at(9, 15), kBackdrop) << "nothing left of the cell";
        // The outline: rows 6 and 23, columns 11 and 110; row 24 stays fill.
        EXPECT_EQ(at(11, 6), kPen);
        if (c.barEnd <= 110) {
            EXPECT_EQ(at(110, 15), kPen) << "unless the bar runs over it";
        }
        EXPECT_EQ(at(30, 23), kPen);
        EXPECT_EQ(at(30, 24), kFill);
        // The bar on its top and bottom rows (7 and 22), where no text reaches.
        for (int y : {7, 22}) {
            SCOPED_TRACE(y);
            if (c.barEnd > 12) {
                EXPECT_EQ(at(12, y), kGreen) << "bar starts inside the outline";
                EXPECT_EQ(at(c.barEnd - 1, y), kGreen) << "last bar column";
            }
            if (c.barEnd < 110) {
                EXPECT_EQ(at(c.barEnd, y), kBrush) << "the inside past the bar";
            } else if (c.barEnd < kCanvasWidth) {
                EXPECT_NE(at(c.barEnd, y), kGreen) << "bar ends here";
            }
        }
        EXPECT_NE(at(12, 6), kGreen) << "bar stays under the outline's top";
        EXPECT_NE(at(40, 23), kGreen) << "bar stays above the outline's bottom";
        // The text, centred, in the text colour.
        int textPixels = 0;
        for (int y = 8; y < 22; ++y)
            for (int x = 20; x < 102; ++x) textPixels += at(x, y) == kText ? 1 : 0;
        EXPECT_GT(textPixels, 5) << c.text;
    }
}

TEST_F(ProgressListTest, PaintCycleDrawsEachRowsProgressAndSelection) {
    list.InitFileList();
    list.SetProgress(0, 100);
    list.SetProgress(1, 50);
    ASSERT_TRUE(list.SetItemState(2, LVIS_SELECTED, LVIS_SELECTED));
    Paint();
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    const COLORREF window = GetSysColor(COLOR_WINDOW);
    struct Case {
        int row;
        int percent;
        COLORREF fill;
    };
    const Case cases[] = {{0, 100, window}, {1, 50, window}, {2, 0, highlight}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.row);
        const RECT cell = Cell(c.row);
        // The bar's top row runs from r.left + 1 up to r.left + (width - 1) * percent / 100.
        const int width = cell.right - cell.left - 2;
        const int expectedGreen = std::max(0, (width - 1) * c.percent / 100 - 1);
        EXPECT_EQ(
            CountOf(list.m_hWnd, RECT{cell.left, cell.top + 2, cell.right, cell.top + 3}, kGreen),
            expectedGreen);
        EXPECT_EQ(PixelOf(list.m_hWnd, cell.left, cell.top + 1), c.fill);
    }
    // The selected row's text is written in the highlight colour too, so no
    // pixel of the normal text colour shows inside its outline.
    const RECT selected = Cell(2);
    EXPECT_EQ(
        CountOf(list.m_hWnd,
                RECT{selected.left + 3, selected.top + 3, selected.right - 3, selected.bottom - 4},
                GetSysColor(COLOR_WINDOWFRAME)),
        0);
}

TEST_F(ProgressListTest, SetProgressStoresThePercentAndRepaintsOnlyThatCell) {
    list.InitFileList();
    Paint();
    RECT update;
    ASSERT_FALSE(GetUpdateRect(list.m_hWnd, &update, FALSE));
    list.SetProgress(1, 37);
    EXPECT_EQ(RowAt(1).data, 37);
    ASSERT_TRUE(GetUpdateRect(list.m_hWnd, &update, FALSE));
    EXPECT_EQ(update, Cell(1));
    Paint();
    EXPECT_GT(CountOf(list.m_hWnd, Cell(1), kGreen), 0);
    EXPECT_EQ(CountOf(list.m_hWnd, Cell(0), kGreen), 0);
    EXPECT_EQ(CountOf(list.m_hWnd, Cell(2), kGreen), 0);

    // The same percent again repaints nothing; a row that does not exist
    // changes nothing and repaints nothing.
    list.SetProgress(1, 37);
    EXPECT_FALSE(GetUpdateRect(list.m_hWnd, &update, FALSE));
    list.SetProgress(7, 80);
    EXPECT_FALSE(GetUpdateRect(list.m_hWnd, &update, FALSE));
}

TEST_F(ProgressListTest, ResetRowsPutsEveryRowBackToTheArrowAtZero) {
    list.InitFileList();
    struct Case {
        int image;
        int percent;
        const char16_t* size;
    };
    const Case before[] = {
        {kStatusDone, 100, u"120"}, {kStatusFailed, 40, u"3"}, {kStatusPending, 0, u""}};
    for (int row = 0; row < 3; ++row) {
        list.SetProgress(row, before[row].percent);
        ASSERT_TRUE(list.SetItemText(row, kSizeColumn, before[row].size));
        LVITEMW item;
        item.mask = LVIF_IMAGE;
        item.iItem = row;
        item.iImage = before[row].image;
        ASSERT_TRUE(list.SendMessage(LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    }
    Paint();
    list.ResetRows();
    for (int row = 0; row < 3; ++row) {
        SCOPED_TRACE(row);
        const Row now = RowAt(row);
        EXPECT_EQ(now.image, kStatusPending);
        EXPECT_EQ(now.data, 0);
        EXPECT_EQ(now.size, before[row].size) << "sizes stay until the next attempt";
    }
    Paint();
    for (int row = 0; row < 3; ++row) EXPECT_EQ(CountOf(list.m_hWnd, Cell(row), kGreen), 0);
}

}  // namespace
