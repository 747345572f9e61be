// Progress updates on a list of 100 rows whose third column the parent draws
// itself: how many cell repaints per second the list sustains on the headless
// display, and what one update costs against repainting the whole list.

#include <benchmark/benchmark.h>

#include <cstdio>

#include "platform/controls/control_classes.h"
#include "platform/controls/image_list.h"
#include "platform/gdi/system_palette.h"
#include "platform/gdi/text_drawing.h"
#include "platform/win/message_loop.h"
#include "platform/win/paint.h"
#include "platform/win/window.h"

namespace {

constexpr int kRows = 100;
constexpr int kProgressColumn = 2;

struct DrawCounts {
    long long itemDraws = 0;
    long long cellDraws = 0;
};
DrawCounts g_counts;

// What the file list's owner does with the progress column: a framed bar
// with the percentage over it.
void DrawProgress(HDC dc, const RECT& cell, int percent) {
    FillSolidRect(dc, cell, GetSysColor(COLOR_WINDOW));
    const RECT r{cell.left + 1, cell.top + 1, cell.right - 1, cell.bottom - 1};
    Rectangle(dc, r.left, r.top, r.right, r.bottom - 1);
    RECT bar{r.left + 1, r.top + 1, r.left + ((r.right - r.left - 1) * percent) / 100, r.bottom - 2};
    if (bar.right < bar.left) bar.right = bar.left;
    FillSolidRect(dc, bar, RGB(0, 255, 0));
    char16_t text[16];
    int length = 0;
    char narrow[16];
    const int n = std::snprintf(narrow, sizeof narrow, "%d%%", percent);
    for (; length < n; ++length) text[length] = static_cast<char16_t>(narrow[length]);
    SetBkMode(dc, TRANSPARENT);
    RECT textRect = cell;
    DrawTextW(dc, text, length, &textRect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

LRESULT OwnerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_NOTIFY) return DefWindowProcW(hwnd, message, wParam, lParam);
    auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(lParam);
    if (draw->nmcd.hdr.code != NM_CUSTOMDRAW) return 0;
    switch (draw->nmcd.dwDrawStage) {
        case CDDS_PREPAINT: return CDRF_NOTIFYITEMDRAW;
        case CDDS_ITEMPREPAINT: ++g_counts.itemDraws; return CDRF_NOTIFYSUBITEMDRAW;
        case CDDS_ITEMPREPAINT | CDDS_SUBITEM:
            if (draw->iSubItem != kProgressColumn) return CDRF_DODEFAULT;
            ++g_counts.cellDraws;
            DrawProgress(draw->nmcd.hdc, draw->nmcd.rc, static_cast<int>(draw->nmcd.lItemlParam));
            return CDRF_SKIPDEFAULT;
        default: return CDRF_DODEFAULT;
    }
}

struct ProgressList {
    ProgressList() {
        if (!tevorin::controls::RegisterControlClasses()) return;
        WNDCLASSW owner;
        owner.lpfnWndProc = OwnerProc;
        owner.lpszClassName = u"BenchListOwner";
        (void)RegisterClassW(owner);
        parent = CreateWindowExW(0, u"BenchListOwner", u"bench", WS_POPUP | WS_VISIBLE, 0, 0, 320,
                                 2200, nullptr, nullptr, nullptr);
        list = CreateWindowExW(0, WC_LISTVIEWW, u"", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0, 300,
                               2200, parent, ChildIdMenu(1006), nullptr);
        SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_GRIDLINES);
        const int widths[] = {95, 65, 130};
        for (int i = 0; i < 3; ++i) {
            LVCOLUMNW column;
            column.mask = LVCF_WIDTH | LVCF_TEXT;
            column.cx = widths[i];
            column.pszText = const_cast<char16_t*>(u"column");
            SendMessageW(list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
        }
        images = ImageList_Create(16, 17, ILC_COLOR24, 0, 1);
        HBITMAP strip = CreateBitmapOfSize(48, 17);
        (void)ImageList_AddMasked(images, strip, 0);
        DeleteObject(strip);
        SendMessageW(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images));
        for (int row = 0; row < kRows; ++row) {
            LVITEMW item;
            item.mask = LVIF_TEXT | LVIF_IMAGE;
            item.iItem = row;
            item.pszText = const_cast<char16_t*>(u"component.dll");
            SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        }
        UpdateWindow(parent);
    }
    ~ProgressList() {
        if (parent != nullptr) DestroyWindow(parent);
        ImageList_Destroy(images);
    }
    // One progress report: new percent, its cell invalidated and painted.
    void Report(int row, int percent, bool wholeList) {
        RECT cell{LVIR_BOUNDS, kProgressColumn, 0, 0};
        SendMessageW(list, LVM_GETSUBITEMRECT, row, reinterpret_cast<LPARAM>(&cell));
        LVITEMW item;
        item.mask = LVIF_PARAM;
        item.iItem = row;
        item.lParam = percent;
        SendMessageW(list, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        InvalidateRect(list, wholeList ? nullptr : &cell, TRUE);
        UpdateWindow(list);
    }
    HWND parent = nullptr;
    HWND list = nullptr;
    HIMAGELIST images = nullptr;
};

void RunReports(benchmark::State& state, bool wholeList) {
    ProgressList bench;
    if (bench.list == nullptr) {
        state.SkipWithError("list view could not be created");
        return;
    }
    g_counts = {};
    long long updates = 0;
    int percent = 0;
    for (auto _ : state) {
        for (int row = 0; row < kRows; ++row) bench.Report(row, percent, wholeList);
        percent = (percent + 1) % 101;
        updates += kRows;
    }
    state.SetItemsProcessed(updates);
    state.counters["updates_per_s"] = benchmark::Counter(static_cast<double>(updates),
                                                         benchmark::Counter::kIsRate);
    state.counters["rows_drawn_per_update"] =
        static_cast<double>(g_counts.itemDraws) / static_cast<double>(updates);
    state.counters["progress_cells_drawn_per_update"] =
        static_cast<double>(g_counts.cellDraws) / static_cast<double>(updates);
}

void BM_ProgressUpdateRepaintsOneCell(benchmark::State& state) { RunReports(state, false); }
void BM_ProgressUpdateRepaintingWholeList(benchmark::State& state) { RunReports(state, true); }

BENCHMARK(BM_ProgressUpdateRepaintsOneCell)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProgressUpdateRepaintingWholeList)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
