#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "platform/gdi/font_engine.h"

namespace {

LOGFONTW MakeFont(LONG height, LONG weight) {
    LOGFONTW font{};
    font.lfHeight = height;
    font.lfWeight = weight;
    std::u16string_view face = u"MS Shell Dlg";
    std::copy(face.begin(), face.end(), font.lfFaceName);
    return font;
}

TEST(FontConcurrencyTest, MeasuringOnSeveralThreadsGivesTheSameWidths) {
    const std::u16string text = u"Tevorin有新版本了！请升级到最新版本。";
    const LONG heights[] = {-11, -12, -13, 16};
    std::vector<std::vector<int>> widths(4);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < 20; ++round)
                for (LONG h : heights)
                    widths[t].push_back(
                        LayoutText(MakeFont(h, round % 2 ? FW_BOLD : FW_NORMAL), text).width);
        });
    }
    for (std::thread& thread : threads) thread.join();
    for (int t = 1; t < 4; ++t) EXPECT_EQ(widths[t], widths[0]) << "thread " << t;
    for (int w : widths[0]) EXPECT_GT(w, 0);
}

}  // namespace
