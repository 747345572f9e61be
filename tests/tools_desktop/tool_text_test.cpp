#include "tools/desktop/tool_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>

using namespace desktop_tool;

namespace {

TEST(DesktopToolText, EscapesOnlyTheFourSeparatingCharacters) {
    const struct {
        std::u16string text;
        std::string expected;
    } cases[] = {
        {u"", ""},           {u"Tevorin", "Tevorin"},
        {u"a\\b", "a\\\\b"}, {u"a\tb\rc\nd", "a\\tb\\rc\\nd"},
        {u"\\t", "\\\\t"},   {u"下一步 \"q\"", "下一步 \"q\""},
    };
    for (const auto& c : cases) EXPECT_EQ(EscapeText(c.text), c.expected) << "row: " << c.expected;
}

TEST(DesktopToolText, RectanglesAreOriginAndSize) {
    EXPECT_EQ(FormatRect(RECT{100, 50, 300, 170}), "100,50,200,120");
    EXPECT_EQ(FormatRect(RECT{-10, -5, 0, 0}), "-10,-5,10,5");
}

TEST(DesktopToolText, UnsignedNumbersInDecimalOrHex) {
    const struct {
        const char* text;
        std::uint64_t max;
        std::optional<std::uint64_t> expected;
    } cases[] = {
        {"0", 100, 0},
        {"42", 100, 42},
        {"100", 100, 100},
        {"101", 100, std::nullopt},
        {"0x10", 100, 16},
        {"0XfF", 255, 255},
        {"0x100", 255, std::nullopt},
        {"0x", 100, std::nullopt},
        {"", 100, std::nullopt},
        {"-1", 100, std::nullopt},
        {"+1", 100, std::nullopt},
        {" 1", 100, std::nullopt},
        {"1 ", 100, std::nullopt},
        {"12a", 100, std::nullopt},
        {"0x1g", 100, std::nullopt},
        {"18446744073709551615", UINT64_MAX, UINT64_MAX},
        {"18446744073709551616", UINT64_MAX, std::nullopt},
        {"0xFFFFFFFFFFFFFFFF", UINT64_MAX, UINT64_MAX},
        {"0x10000000000000000", UINT64_MAX, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseUnsigned(c.text, c.max), c.expected) << "row: '" << c.text << "'";
}

TEST(DesktopToolText, MessageParametersMayBeNegative) {
    const struct {
        const char* text;
        std::optional<std::uint64_t> expected;
    } cases[] = {
        {"7", 7},
        {"-1", UINT64_MAX},
        {"-3", UINT64_MAX - 2},
        {"-0", 0},
        {"-9223372036854775808", std::uint64_t{1} << 63},
        {"-9223372036854775809", std::nullopt},
        {"-0x1", std::nullopt},
        {"-", std::nullopt},
        {"0xF060", 0xF060},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseMessageParameter(c.text), c.expected) << "row: '" << c.text << "'";
}

TEST(DesktopToolText, WaitSecondsWithFractions) {
    const struct {
        const char* text;
        std::optional<long long> expectedMs;
    } cases[] = {
        {"0", 0},
        {"3", 3000},
        {"0.25", 250},
        {".5", 500},
        {"1.2345", 1234},
        {"86400", 86400000},
        {"86400.1", std::nullopt},
        {"1.", std::nullopt},
        {".", std::nullopt},
        {"", std::nullopt},
        {"-1", std::nullopt},
        {"1e3", std::nullopt},
        {"99999999999999999999", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseSeconds(c.text), c.expectedMs) << "row: '" << c.text << "'";
}

}  // namespace
