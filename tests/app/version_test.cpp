#include "app/version.h"

#include <gtest/gtest.h>

#include "platform_core/code_page_guard.h"
#include "platform_core/u16_print.h"

namespace {

TEST(ParseHexVersion, ReadsHexadecimalText) {
    struct Case {
        std::u16string text;
        DWORD expected;
    } cases[] = {
        {u"c1a2c", 0xC1A2C},
        {u" 1a2B ", 0x1A2B},
        {u"\t\r\n12\r\n", 0x12},
        {u"ABCDEF", 0xABCDEF},
        {u"00000001", 1},
        {u"FFFFFFFF", 0xFFFFFFFF},
        {u"10000000F", 0xF},  // only the last eight digits count
        {u"123456789abcdef0", 0x9ABCDEF0},
        {u"", 0},
        {u"   ", 0},
        {u"\u3000\u00A07\u3000", 7},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseHexVersion(c.text), c.expected) << "text " << Show(c.text);
    }
}

TEST(ParseHexVersion, NonDigitsRepeatTheDigitBefore) {
    struct Case {
        std::u16string text;
        DWORD expected;
    } cases[] = {
        {u"1.2", 0x112},
        {u"1g", 0x11},
        {u"1..", 0x111},
        {u"a b", 0xAAB},
        {u".5", 0x05},  // nothing before the first: it counts as 0
        {u"x1", 0x01},
        {u"zz", 0},
        {u"0x1A", 0x1A},
        {u"v2", 0x02},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseHexVersion(c.text), c.expected) << "text " << Show(c.text);
    }
}

TEST(ParseHexVersion, WalksNarrowBytesOfNonAsciiTextWithinBounds) {
    // A multi-byte character shifts the narrow bytes against the UTF-16
    // count; the walk still stops at that count and reads nothing beyond.
    struct Case {
        const char* codePage;
        std::u16string text;
        DWORD expected;
    } cases[] = {
        {"UTF-8", u"1中2", 0x111},                // bytes 31 E4 B8 | AD 32
        {"GBK", u"1中2", 0x111},                  // bytes 31 D6 D0 | 32
        {"UTF-8", u"中1", 0x00},                  // bytes E4 B8 | AD 31
        {"GBK", u"1ｶ2", 0x112},                   // not in GBK: taken as '?'
        {"UTF-8", u"1\U0001F600" u"2", 0x1111},   // four bytes for two units
        {"UTF-8", std::u16string{u'1', char16_t(0xD800), u'2'}, 0x112},  // lone surrogate
        {"ISO-8859-1", u"1é2", 0x112},            // one byte per unit: no shift
        {"ISO-8859-1", u"1中2", 0x112},           // not representable: '?'
    };
    for (const auto& c : cases) {
        CodePageGuard guard(c.codePage);
        EXPECT_EQ(ParseHexVersion(c.text), c.expected) << c.codePage << " " << Show(c.text);
    }
}

TEST(VersionDirName, IsUpperCaseHexadecimal) {
    struct Case {
        DWORD version;
        std::u16string expected;
    } cases[] = {
        {0xC1A2B, u"C1A2B"}, {0, u"0"}, {0x10, u"10"}, {0xFFFFFFFF, u"FFFFFFFF"},
        {0x80000000, u"80000000"}, {0xabcdef, u"ABCDEF"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(VersionDirName(c.version), c.expected) << std::hex << c.version;
        EXPECT_EQ(ParseHexVersion(c.expected), c.version) << std::hex << c.version;
    }
}

TEST(IsNewerVersion, ComparesUnsigned) {
    struct Case {
        DWORD server;
        DWORD installed;
        bool newer;
    } cases[] = {
        {0xC1A2C, 0xC1A2B, true},
        {0xC1A2B, 0xC1A2B, false},
        {0xC1A2A, 0xC1A2B, false},
        {0x80000000, 0x7FFFFFFF, true},
        {0xFFFFFFFF, 0xFFFFFFFF, false},
        {0, 0xFFFFFFFF, false},
        {0, 0, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsNewerVersion(c.server, c.installed), c.newer)
            << std::hex << c.server << " over " << c.installed;
    }
}

}  // namespace
