#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>

#include "platform/core/text.h"
#include "platform_core/u16_print.h"

namespace {

struct Case {
    std::u16string actual;
    std::u16string expected;
};

void ExpectAll(const Case* begin, const Case* end) {
    for (const Case* c = begin; c != end; ++c) {
        EXPECT_EQ(c->actual, c->expected) << "row " << (c - begin);
    }
}

TEST(FormatText, FormatsIntegers) {
    const Case cases[] = {
        {FormatText(u"%d", 0), u"0"},
        {FormatText(u"%d", -42), u"-42"},
        {FormatText(u"%i", 918), u"918"},
        {FormatText(u"%d", INT_MIN), u"-2147483648"},
        {FormatText(u"%d", INT_MAX), u"2147483647"},
        {FormatText(u"%u", 4294967295u), u"4294967295"},
        {FormatText(u"%x", 0xC1A2Bu), u"c1a2b"},
        {FormatText(u"%X", 0xC1A2Bu), u"C1A2B"},
        {FormatText(u"%x", 0u), u"0"},
        {FormatText(u"%X", 0xFFFFFFFFu), u"FFFFFFFF"},
        {FormatText(u"%X", 0x80000000u), u"80000000"},
        {FormatText(u"%d%%", 57), u"57%"},
        {FormatText(u"%ld", -7L), u"-7"},
        {FormatText(u"%lu", 4000000000UL), u"4000000000"},
        {FormatText(u"%lx", 0xABCDUL), u"abcd"},
        {FormatText(u"%lld", -9000000000LL), u"-9000000000"},
        {FormatText(u"%llx", 0x123456789ULL), u"123456789"},
        {FormatText(u"%hd", 5), u"5"},
    };
    ExpectAll(std::begin(cases), std::end(cases));
}

TEST(FormatText, AppliesFlagsWidthAndPrecision) {
    const Case cases[] = {
        {FormatText(u"%5d|", 42), u"   42|"},
        {FormatText(u"%-5d|", 42), u"42   |"},
        {FormatText(u"%05d", 42), u"00042"},
        {FormatText(u"%05d", -42), u"-0042"},
        {FormatText(u"%-05d|", 42), u"42   |"},
        {FormatText(u"%08X", 0xBEEFu), u"0000BEEF"},
        {FormatText(u"%+d %+d", 3, -3), u"+3 -3"},
        {FormatText(u"% d", 3), u" 3"},
        {FormatText(u"%.3d", 7), u"007"},
        {FormatText(u"%6.3d|", -7), u"  -007|"},
        {FormatText(u"%.0d|", 0), u"|"},
        {FormatText(u"%1d", 12345), u"12345"},
        {FormatText(u"%8s|", u"ab"), u"      ab|"},
        {FormatText(u"%-8s|", u"ab"), u"ab      |"},
        {FormatText(u"%.2s", u"abcdef"), u"ab"},
    };
    ExpectAll(std::begin(cases), std::end(cases));
}

TEST(FormatText, InsertsTexts) {
    const char16_t* nothing = nullptr;
    const Case cases[] = {
        {FormatText(u"%sdata/pro.ini", u"/opt/tevorin/"), u"/opt/tevorin/data/pro.ini"},
        {FormatText(u"\"%s\" /regserver", u"c:/a b/x.exe"), u"\"c:/a b/x.exe\" /regserver"},
        {FormatText(u"%s%s", u"中文", u""), u"中文"},
        {FormatText(u"[%s]", nothing), u"[(null)]"},
        {FormatText(u"%c%c", u'O', 0x4E2D), u"O中"},
        {FormatText(u"update/filename[%d]", 3), u"update/filename[3]"},
        {FormatText(u"no conversions"), u"no conversions"},
        {FormatText(u""), u""},
    };
    ExpectAll(std::begin(cases), std::end(cases));
}

TEST(FormatText, KeepsMalformedDirectivesWithoutReadingFurther) {
    // An unknown conversion takes no argument, so the next directive still
    // gets the first argument.
    const Case cases[] = {
        {FormatText(u"100%"), u"100%"},
        {FormatText(u"%"), u"%"},
        {FormatText(u"%-"), u"%-"},
        {FormatText(u"%5"), u"%5"},
        {FormatText(u"%l"), u"%l"},
        {FormatText(u"%q%d", 4), u"%q4"},
        {FormatText(u"%*d", 4), u"%*d"},
        {FormatText(u"a%%b"), u"a%b"},
        {FormatText(u"%99999999999999999999d", 1), std::u16string(4095, u' ') + u"1"},
    };
    ExpectAll(std::begin(cases), std::end(cases));
    EXPECT_EQ(FormatText(nullptr), u"");
}

}  // namespace
