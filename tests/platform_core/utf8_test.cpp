#include <gtest/gtest.h>

#include <string>

#include "platform/core/text.h"
#include "platform_core/u16_print.h"

namespace {

TEST(Utf8ToUtf16, DecodesWellFormedText) {
    struct Case {
        std::string input;
        std::u16string expected;
    } cases[] = {
        {"", u""},
        {"Tevorin.exe", u"Tevorin.exe"},
        {"\xE4\xB8\xAD\xE6\x96\x87", u"中文"},
        {"\xC2\xA0\xC3\xA9", u"\u00A0é"},
        {"\xF0\x9F\x98\x80", u"\U0001F600"},
        {"\xF4\x8F\xBF\xBF", u"\U0010FFFF"},
        {"\xEF\xBB\xBFx", u"\uFEFFx"},
        {std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Utf8ToUtf16(c.input), c.expected) << "expected " << Show(c.expected);
    }
}

TEST(Utf8ToUtf16, ReplacesEachIllFormedSubsequence) {
    struct Case {
        std::string input;
        std::u16string expected;
    } cases[] = {
        {"\x80", u"\uFFFD"},
        {"a\xBF"
         "b",
         u"a\uFFFDb"},
        {"\xC0\xAF", u"\uFFFD\uFFFD"},                      // overlong '/'
        {"\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD"},            // overlong, second byte out of range
        {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},            // encoded surrogate
        {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // past U+10FFFF
        {"\xF5\x80", u"\uFFFD\uFFFD"},
        {"\xFF", u"\uFFFD"},
        {"\xE4\xB8", u"\uFFFD"},    // truncated at the end
        {"\xE4\xB8x", u"\uFFFDx"},  // truncated before ASCII
        {"\xF0\x9F\x98", u"\uFFFD"},
        {"\xE4\xE4\xB8\xAD", u"\uFFFD中"},  // restart at the lead byte
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Utf8ToUtf16(c.input), c.expected) << "expected " << Show(c.expected);
    }
}

TEST(Utf16ToUtf8, EncodesAndReplacesUnpairedSurrogates) {
    struct Case {
        std::u16string input;
        std::string expected;
    } cases[] = {
        {u"", ""},
        {u"abc", "abc"},
        {u"中文", "\xE4\xB8\xAD\xE6\x96\x87"},
        {u"\u07FF\u0800\uFFFF", "\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF"},
        {u"\U0001F600", "\xF0\x9F\x98\x80"},
        {std::u16string(1, char16_t(0xD83D)), "\xEF\xBF\xBD"},
        {std::u16string(1, char16_t(0xDE00)) + u"x", "\xEF\xBF\xBDx"},
        {std::u16string{char16_t(0xDE00), char16_t(0xD83D)}, "\xEF\xBF\xBD\xEF\xBF\xBD"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Utf16ToUtf8(c.input), c.expected) << "input " << Utf16ToUtf8(c.input);
    }
}

TEST(Utf8, RoundTripsEveryScalarValue) {
    std::u16string all;
    for (char32_t cp = 1; cp <= 0x10FFFF; cp += (cp < 0x10000 ? 1 : 97)) {
        if (cp >= 0xD800 && cp <= 0xDFFF) continue;
        if (cp < 0x10000) {
            all.push_back(static_cast<char16_t>(cp));
        } else {
            all.push_back(static_cast<char16_t>(0xD800 | ((cp - 0x10000) >> 10)));
            all.push_back(static_cast<char16_t>(0xDC00 | ((cp - 0x10000) & 0x3FF)));
        }
    }
    EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(all)), all);
}

}  // namespace
