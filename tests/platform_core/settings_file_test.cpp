#include "platform/core/settings_file.h"

#include <gtest/gtest.h>

#include <string>

#include "platform_core/code_page_guard.h"
#include "platform_core/temp_dir.h"
#include "platform_core/u16_print.h"

namespace {

const char16_t kDefault[] = u"CH";

// GetPrivateProfileStringW of section "Window", key "lang" in a file holding
// `content`, with a buffer of 256 and a limit of `size`.
std::u16string ReadLang(const std::string& content, DWORD size = 254) {
    TempDir dir;
    dir.Write("pro.ini", content);
    char16_t buffer[256];
    std::fill(std::begin(buffer), std::end(buffer), u'#');
    const DWORD copied = GetPrivateProfileStringW(u"Window", u"lang", kDefault, buffer, size,
                                                  dir.U16("pro.ini").c_str());
    EXPECT_EQ(buffer[copied], u'\0');
    return std::u16string(buffer, copied);
}

TEST(GetPrivateProfileStringW, FindsValuesByTheFileRules) {
    struct Case {
        std::string content;
        std::u16string expected;
    } cases[] = {
        {"[Window]\nlang=tw\n", u"tw"},
        {"[Window]\r\nlang=TW \r\n", u"TW"},
        {"[window]\nLANG=en", u"en"},
        {"  [ Window ]  \n  lang  =  ch  \n", u"ch"},
        {"[Window]\nlang=\n", u""},
        {"[Window]\nlang=a=b\n", u"a=b"},
        {"[Window]\nlang=\"zh tw\"\n", u"zh tw"},
        {"[Window]\nlang='x'\n", u"x"},
        {"[Window]\nlang=\"x'\n", u"\"x'"},
        {"[Window]\n;lang=tw\nlang=en\n", u"en"},
        {"[Window]\n  ; lang=tw\n", u"CH"},
        {"[Window]\nlanguage=tw\n", u"CH"},
        {"[Other]\nlang=tw\n[Window]\nx=1\n", u"CH"},
        {"lang=tw\n[Window]\n", u"CH"},
        {"[Window]\nlang=first\nlang=second\n", u"first"},
        {"[Window]\nx=1\n[Window]\nlang=later\n", u"CH"},
        {"[Window]\n[Other]\nlang=tw\n", u"CH"},
        {"[Window]\nnot a pair\nlang=tw\n", u"tw"},
        {"[Window\nlang=tw\n", u"tw"},
        {"", u"CH"},
        {"\xEF\xBB\xBF[Window]\nlang=\xE4\xB8\xAD\xE6\x96\x87\n", u"中文"},
        {std::string("\xFF\xFE[\0W\0i\0n\0d\0o\0w\0]\0\n\0l\0a\0n\0g\0=\0t\0w\0", 34), u"tw"},
        {std::string("\xFE\xFF\0[\0W\0i\0n\0d\0o\0w\0]\0\n\0l\0a\0n\0g\0=\0t\0w", 34), u"tw"},
        {"[Window]\nlang=\xE4\xB8\xAD\n", u"中"},
        {std::string("[Window]\nlang=t\0w\n", 18), std::u16string(u"t\0w", 3)},
        {"\x80\x81\xFF garbage\n[Window]\nlang=ok\n", u"ok"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ReadLang(c.content), c.expected) << "file: " << c.content;
    }
}

TEST(GetPrivateProfileStringW, ReadsFilesWithoutMarkInTheAnsiCodePageWhenNotUtf8) {
    CodePageGuard guard("GBK");
    EXPECT_EQ(ReadLang("[Window]\nlang=\xD6\xD0\xCE\xC4\n"), u"中文");
    EXPECT_EQ(ReadLang("[Window]\nlang=\xE4\xB8\xAD\n"), u"中");  // valid UTF-8 wins
}

TEST(GetPrivateProfileStringW, CutsTheResultToTheBufferSize) {
    struct Case {
        DWORD size;
        std::u16string expected;
    } cases[] = {
        {254, u"abcdef"}, {7, u"abcdef"}, {6, u"abcde"}, {2, u"a"}, {1, u""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ReadLang("[Window]\nlang=abcdef\n", c.size), c.expected) << "size " << c.size;
    }
    EXPECT_EQ(ReadLang("", 2), u"C");  // the default is cut the same way
}

TEST(GetPrivateProfileStringW, GivesTheDefaultWithoutAFileOrArguments) {
    TempDir dir;
    char16_t buffer[16] = {u'#'};
    const std::u16string missing = dir.U16("data/pro.ini");
    EXPECT_EQ(GetPrivateProfileStringW(u"Window", u"lang", u"CH", buffer, 16, missing.c_str()), 2u);
    EXPECT_EQ(std::u16string(buffer), u"CH");
    EXPECT_EQ(GetPrivateProfileStringW(u"Window", u"lang", nullptr, buffer, 16, missing.c_str()), 0u);
    EXPECT_EQ(buffer[0], u'\0');
    EXPECT_EQ(GetPrivateProfileStringW(u"Window", u"lang", u"CH", buffer, 16, dir.U16().c_str()),
              2u);  // a directory is no settings file
    EXPECT_EQ(GetPrivateProfileStringW(nullptr, u"lang", u"CH", buffer, 16, missing.c_str()), 2u);
    EXPECT_EQ(GetPrivateProfileStringW(u"Window", u"lang", u"CH", nullptr, 16, missing.c_str()), 0u);
    buffer[0] = u'#';
    EXPECT_EQ(GetPrivateProfileStringW(u"Window", u"lang", u"CH", buffer, 0, missing.c_str()), 0u);
    EXPECT_EQ(buffer[0], u'#');
}

TEST(ReadSettingsValue, TellsAMissingKeyFromAnEmptyValue) {
    TempDir dir;
    dir.Write("a.ini", "[S]\nempty=\n");
    EXPECT_EQ(ReadSettingsValue(u"S", u"empty", dir.U16("a.ini")), std::u16string());
    EXPECT_EQ(ReadSettingsValue(u"S", u"none", dir.U16("a.ini")), std::nullopt);
    EXPECT_EQ(ReadSettingsValue(u"S", u"empty", dir.U16("b.ini")), std::nullopt);
}

}  // namespace
