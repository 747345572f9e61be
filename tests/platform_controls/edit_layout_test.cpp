#include "platform/controls/edit_layout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/core/text.h"

namespace {

using tevorin::controls::LayoutEditText;

// Every character is 10 pixels wide.
int FixedWidth(std::u16string_view text) { return static_cast<int>(text.size()) * 10; }

struct LayoutCase {
    std::u16string text;
    int width;
    std::vector<std::u16string> lines;
};

TEST(EditLayout, BreaksAtLineEndsAndWrapsInsideTheWidth) {
    const LayoutCase cases[] = {
        {u"", 100, {u""}},
        {u"abc", 100, {u"abc"}},
        {u"a\r\nb", 100, {u"a", u"b"}},
        {u"a\r\n", 100, {u"a", u""}},
        {u"a\r\n\r\nb", 100, {u"a", u"", u"b"}},
        {u"a\nb", 100, {u"a", u"b"}},
        {u"hello world", 60, {u"hello", u"world"}},
        {u"hello world", 110, {u"hello world"}},
        {u"ab  cd", 20, {u"ab", u"cd"}},
        {u"abcdefghij", 40, {u"abcd", u"efgh", u"ij"}},
        {u"中文测试", 25, {u"中文", u"测试"}},
        {u"你好，世界", 25, {u"你", u"好，", u"世界"}},
        {u"one two\r\nthree", 35, {u"one", u"two", u"thr", u"ee"}},
        {u"no wrap at all here", 0, {u"no wrap at all here"}},
        {u"x", 5, {u"x"}},
    };
    for (const LayoutCase& c : cases) {
        const auto lines = LayoutEditText(c.text, c.width, FixedWidth);
        std::vector<std::u16string> shown;
        for (const auto& line : lines) shown.push_back(c.text.substr(line.start, line.length));
        EXPECT_EQ(shown, c.lines) << "text \"" << Utf16ToUtf8(c.text) << "\" width " << c.width;
    }
}

TEST(EditLayout, WrappedLinesFitAndCoverEveryWord) {
    const std::u16string text =
        u"Tevorin 有新版本了，本次升级修复了若干问题 and improves call quality a lot.";
    for (int width = 30; width <= 200; width += 17) {
        const auto lines = LayoutEditText(text, width, FixedWidth);
        std::u16string joined;
        for (const auto& line : lines) {
            const std::u16string_view shown = std::u16string_view(text).substr(line.start, line.length);
            EXPECT_LE(FixedWidth(shown), width) << "width " << width;
            joined += shown;
        }
        std::u16string withoutSpaces;
        for (char16_t c : text) {
            if (c != u' ') withoutSpaces += c;
        }
        std::u16string joinedWithoutSpaces;
        for (char16_t c : joined) {
            if (c != u' ') joinedWithoutSpaces += c;
        }
        EXPECT_EQ(joinedWithoutSpaces, withoutSpaces) << "width " << width;
    }
}

}  // namespace
