#include "platform/core/text.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "platform_core/u16_print.h"

namespace {

TEST(TrimWhiteSpace, RemovesWhiteSpaceAtBothEndsOnly) {
    struct Case {
        std::u16string input;
        std::u16string expected;
    } cases[] = {
        {u"", u""},
        {u"   ", u""},
        {u" TW ", u"TW"},
        {u"\t\r\n\v\fch\r\n", u"ch"},
        {u"a b", u"a b"},
        {u"  a \t b  ", u"a \t b"},
        {u"\u00A0\u3000中文\u2003\u2028", u"中文"},
        {u"\u0085x\u205F", u"x"},
        {u"\u200Bx", u"\u200Bx"},  // zero-width space is not white space
        {u"\uFEFFx", u"\uFEFFx"},  // neither is the byte-order mark
        {u"x\u001F", u"x\u001F"},
        {std::u16string(u"\0x\0", 3), std::u16string(u"\0x\0", 3)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TrimWhiteSpace(c.input), c.expected) << "input: " << Show(c.input);
    }
}

TEST(IsWhiteSpace, MatchesTheUnicodeWhiteSpaceSet) {
    const char16_t white[] = {0x09,   0x0A,   0x0B,   0x0C,   0x0D,   0x20,   0x85,   0xA0,  0x1680,
                              0x2000, 0x2005, 0x200A, 0x2028, 0x2029, 0x202F, 0x205F, 0x3000};
    const char16_t other[] = {0x00, 0x08, 0x0E,   0x1C,   0x1F,   0x21,   0x7F,   0x84,   0x86,
                              0x9F, 0xA1, 0x180E, 0x200B, 0x2027, 0x202A, 0x3001, 0xFEFF, 0xFFFF};
    for (char16_t c : white) EXPECT_TRUE(IsWhiteSpace(c)) << std::hex << int(c);
    for (char16_t c : other) EXPECT_FALSE(IsWhiteSpace(c)) << std::hex << int(c);
}

TEST(ToLowerCase, FoldsAsciiLettersAndKeepsEverythingElse) {
    struct Case {
        std::u16string input;
        std::u16string expected;
    } cases[] = {
        {u"", u""},
        {u"CH", u"ch"},
        {u"Setup.EXE", u"setup.exe"},
        {u"AZaz@[`{09", u"azaz@[`{09"},
        {u"ÄÖÜ", u"ÄÖÜ"},
        {u"ＡＢＣ", u"ＡＢＣ"},
        {u"TRUE 中文", u"true 中文"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ToLowerCase(c.input), c.expected) << "input: " << Show(c.input);
    }
}

TEST(EqualsIgnoringAsciiCase, FoldsOnlyAsciiLetters) {
    struct Case {
        std::u16string a;
        std::u16string b;
        bool equal;
    } cases[] = {
        {u"", u"", true},
        {u"Button", u"BUTTON", true},
        {u"SysListView32", u"syslistview32", true},
        {u"Static", u"Statics", false},
        {u"@[", u"`{", false},  // the neighbours of A-Z and a-z do not fold
        {u"Ä", u"ä", false},
        {u"ＡＢ", u"ａｂ", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EqualsIgnoringAsciiCase(c.a, c.b), c.equal) << Show(c.a) << " vs " << Show(c.b);
    }
}

TEST(ReplaceAll, ReplacesLeftToRightWithoutOverlap) {
    struct Case {
        std::u16string text, from, to, expected;
    } cases[] = {
        {u"a<br>b<br>c", u"<br>", u"\r\n", u"a\r\nb\r\nc"},
        {u"<br><br>", u"<br>", u"\r\n", u"\r\n\r\n"},
        {u"<BR>", u"<br>", u"\r\n", u"<BR>"},
        {u"aaa", u"aa", u"b", u"ba"},
        {u"aaaa", u"aa", u"a", u"aa"},
        {u"abc", u"", u"x", u"abc"},
        {u"", u"a", u"b", u""},
        {u"abc", u"b", u"", u"ac"},
        {u"xyz", u"xyz", u"xyzxyz", u"xyzxyz"},
        {u"<br", u"<br>", u"!", u"<br"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ReplaceAll(c.text, c.from, c.to), c.expected)
            << "text: " << Show(c.text) << " from: " << Show(c.from);
    }
}

TEST(Wtoi, ParsesLikeTheWideRuntime) {
    struct Case {
        const char16_t* input;
        int expected;
    } cases[] = {
        {u"918", 918},
        {u" 77abc", 77},
        {u"\t\n -12", -12},
        {u"+5", 5},
        {u"0x1A", 0},
        {u"abc", 0},
        {u"", 0},
        {u"-", 0},
        {u"+-3", 0},
        {u"- 3", 0},
        {u"007", 7},
        {u"\u3000 42", 42},
        {u"١٢", 0},  // only ASCII digits count
        {u"2147483647", INT_MAX},
        {u"2147483648", INT_MAX},
        {u"99999999999999999999999999", INT_MAX},
        {u"-2147483648", INT_MIN},
        {u"-2147483649", INT_MIN},
        {u"-99999999999999999999999999", INT_MIN},
        {nullptr, 0},
    };
    for (const auto& c : cases) {
        const std::u16string shown = c.input ? c.input : u"(null)";
        EXPECT_EQ(_wtoi(c.input), c.expected) << "input: " << Show(shown);
        EXPECT_EQ(_wtol(c.input), static_cast<long>(c.expected)) << "input: " << Show(shown);
    }
}

}  // namespace
