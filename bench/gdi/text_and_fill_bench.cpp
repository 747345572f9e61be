// What one progress report costs to paint: the cell's fill, outline, bar and
// centred percentage, as the file list draws them for every block a worker
// reads; and the cost of measuring and drawing a line of mixed text.
#include <benchmark/benchmark.h>

#include <string>

#include "platform/gdi/device_context.h"
#include "platform/gdi/text_drawing.h"

namespace {

LOGFONTW DialogFont() {
    LOGFONTW font{};
    font.lfHeight = -11;
    font.lfWeight = FW_NORMAL;
    const std::u16string_view face = u"MS Shell Dlg";
    std::copy(face.begin(), face.end(), font.lfFaceName);
    return font;
}

void BM_ProgressCellPaint(benchmark::State& state) {
    Framebuffer fb;
    fb.Resize(400, 300, 0xFFFFFF);
    DeviceContext dc(fb, POINT{10, 40}, RECT{10, 40, 320, 250});
    const LOGFONTW description = DialogFont();
    HFONT font = CreateFontIndirectW(&description);
    SelectObject(&dc, font);
    HBRUSH green = CreateSolidBrush(RGB(0, 255, 0));
    int percent = 0;
    for (auto _ : state) {
        const RECT cell{160, 20, 290, 37};
        FillSolidRect(&dc, cell, RGB(255, 255, 255));
        Rectangle(&dc, cell.left + 1, cell.top + 1, cell.right - 1, cell.bottom - 2);
        const RECT bar{cell.left + 2, cell.top + 2, cell.left + 1 + (127 * percent) / 100,
                       cell.bottom - 3};
        FillRect(&dc, &bar, green);
        const std::u16string text =
            std::u16string(u"") + static_cast<char16_t>(u'0' + percent % 10) + u"%";
        SetBkMode(&dc, TRANSPARENT);
        RECT textRect = cell;
        DrawTextW(&dc, text.c_str(), -1, &textRect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        percent = (percent + 7) % 101;
        benchmark::DoNotOptimize(fb.pixels.data());
    }
    SelectObject(&dc, GetStockObject(SYSTEM_FONT));
    DeleteObject(font);
    DeleteObject(green);
}
BENCHMARK(BM_ProgressCellPaint);

void BM_MixedTextLine(benchmark::State& state) {
    Framebuffer fb;
    fb.Resize(400, 40, 0xD4D0C8);
    DeviceContext dc(fb, POINT{0, 0}, RECT{0, 0, 400, 40});
    const LOGFONTW description = DialogFont();
    HFONT font = CreateFontIndirectW(&description);
    SelectObject(&dc, font);
    SetBkMode(&dc, TRANSPARENT);
    const std::u16string text = u"本程序可以帮助您自动升级Tevorin网络电话软件。";
    for (auto _ : state) {
        TextOutW(&dc, 2, 2, text.c_str(), static_cast<int>(text.size()));
        benchmark::DoNotOptimize(fb.pixels.data());
    }
    SelectObject(&dc, GetStockObject(SYSTEM_FONT));
    DeleteObject(font);
}
BENCHMARK(BM_MixedTextLine);

void BM_TextExtent(benchmark::State& state) {
    const LOGFONTW font = DialogFont();
    const std::u16string text = u"对不起，由于网络繁忙，文件未能全部下载";
    for (auto _ : state) benchmark::DoNotOptimize(MeasureTextExtent(font, text));
}
BENCHMARK(BM_TextExtent);

}  // namespace

BENCHMARK_MAIN();
