#include "tools/desktop/window_tree_lines.h"

#include <gtest/gtest.h>

using namespace desktop_tool;

namespace {

// "OK" and "下" as four hex digits per UTF-16 unit.
constexpr char kTree[] =
    "0 7 0 DesktopPeer 90000000 1 1 100 50 300 170 \n"
    "1 8 1 Button 50000000 1 1 110 70 130 80 004f004b\n"
    "2 9 5 Static 40000000 0 1 111 71 112 72 \n"
    "1 10 3 Button 58000000 1 0 110 90 130 100 4e0b\n";

TEST(WindowTreeLines, ChildrenInOrderWithoutTheWindowItself) {
    auto children = ParseWindowTree(kTree);
    ASSERT_TRUE(children.has_value());
    ASSERT_EQ(children->size(), 3u);
    EXPECT_EQ(FormatChildLine((*children)[0]), "1\tButton\t1\t1\t110,70,20,10\tOK");
    EXPECT_EQ(FormatChildLine((*children)[1]), "5\tStatic\t0\t1\t111,71,1,1\t");
    EXPECT_EQ(FormatChildLine((*children)[2]), "3\tButton\t1\t0\t110,90,20,10\t下");
    EXPECT_EQ((*children)[1].depth, 2);
    EXPECT_EQ((*children)[2].handle, 10);
}

TEST(WindowTreeLines, ControlsAreFoundByIdDepthFirst) {
    auto children = ParseWindowTree(kTree);
    ASSERT_TRUE(children.has_value());
    const struct {
        int id;
        int handle;  // 0: none
    } cases[] = {{1, 8}, {5, 9}, {3, 10}, {0, 0}, {2, 0}};
    for (const auto& c : cases) {
        const ChildWindow* found = FindChildById(*children, c.id);
        EXPECT_EQ(found == nullptr ? 0 : found->handle, c.handle) << "row: id " << c.id;
    }
}

TEST(WindowTreeLines, AWindowWithoutChildrenHasAnEmptyTree) {
    auto children = ParseWindowTree("0 7 0 Top 0 1 1 0 0 10 10 \n");
    ASSERT_TRUE(children.has_value());
    EXPECT_TRUE(children->empty());
}

TEST(WindowTreeLines, ListRowsBelongToTheListBeforeThemAndPrintTabSeparated) {
    // Columns "a.dll", "" and "下载" (the second one empty).
    auto children = ParseWindowTree(
        "0 7 0 Top 0 1 1 0 0 10 10 \n"
        "1 8 1006 SysListView32 50000000 1 1 0 0 10 10 \n"
        "row 0 2 -5 x0061002e0064006c006c x x4e0b8f7d\n"
        "row 1 -1 9 x0062\n"
        "1 9 1008 Static 50000000 1 1 0 0 10 10 \n");
    ASSERT_TRUE(children.has_value());
    ASSERT_EQ(children->size(), 2u);
    ASSERT_EQ((*children)[0].rows.size(), 2u);
    EXPECT_TRUE((*children)[1].rows.empty());
    EXPECT_EQ(FormatRowLine((*children)[0].rows[0]), "row\t0\timage=2\tdata=-5\ta.dll\t\t下载");
    EXPECT_EQ(FormatRowLine((*children)[0].rows[1]), "row\t1\timage=-1\tdata=9\tb");
}

TEST(WindowTreeLines, MalformedAnswersAreRefusedWhole) {
    const char* cases[] = {
        "",                                                      // not even the window
        "0 7 0 Top 0 1 1 0 0 10 10 ",                            // cut before the line end
        "0 7 0 Top 0 1 1 0 0 10 \n",                             // a field missing
        "0 7 0 Top 0 1 1 0 0 10 10  x\n",                        // a field too many
        "0 7 0 Top 0 2 1 0 0 10 10 \n",                          // visible not 0 or 1
        "0 7 0 Top 0 1 1 0 0 10 1x \n",                          // bad number
        "0 7 0 Top 0 1 1 0 0 10 10 004\n",                       // text not whole units
        "0 7 0 Top 0 1 1 0 0 10 10 00zz\n",                      // text not hexadecimal
        "1 8 1 Button 0 1 1 0 0 1 1 \n",                         // no window line first
        "0 7 0 Top 0 1 1 0 0 10 10 \n0 8 1 B 0 1 1 0 0 1 1 \n",  // a second root
        "0 7 0 Top 0 1 1 0 0 10 10 \n-1 8 1 B 0 1 1 0 0 1 1 \n",
        "0 7 0  0 1 1 0 0 10 10 \n",                      // empty class
        "0 7 0 Top 0 1 1 0 0 10 10 \nrow 0 1 2 x0041\n",  // a row of the top-level window
        "0 7 0 Top 0 1 1 0 0 10 10 \n1 8 6 L 0 1 1 0 0 1 1 \nrow 0 1 2 0041\n",  // no x
        "0 7 0 Top 0 1 1 0 0 10 10 \n1 8 6 L 0 1 1 0 0 1 1 \nrow -1 1 2 x\n",    // index
        "0 7 0 Top 0 1 1 0 0 10 10 \n1 8 6 L 0 1 1 0 0 1 1 \nrow 0 1 x\n",       // no data
        "0 7 0 Top 0 1 1 0 0 10 10 \n1 8 6 L 0 1 1 0 0 1 1 \nrow 0 1 2 x004\n",  // cut unit
    };
    for (const char* answer : cases)
        EXPECT_FALSE(ParseWindowTree(answer).has_value()) << "row: " << answer;
}

}  // namespace
