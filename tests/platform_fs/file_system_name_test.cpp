#include "platform/fs/file_system_name.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

TEST(FileSystemName, ConvertsPathsToUtf8) {
    struct Case {
        const char* name;
        std::u16string path;
        std::optional<std::string> expected;
    };
    const Case cases[] = {
        {"ascii", u"/opt/Tevorin/Tevorin.exe", "/opt/Tevorin/Tevorin.exe"},
        {"empty", u"", ""},
        {"chinese", u"/升级/通.dll", "/\xE5\x8D\x87\xE7\xBA\xA7/\xE9\x80\x9A.dll"},
        {"two-byte", u"é", "\xC3\xA9"},
        {"surrogate pair", u"\xD83D\xDE00", "\xF0\x9F\x98\x80"},
        {"unpaired high surrogate", std::u16string(u"a") + char16_t(0xD800) + u"b", std::nullopt},
        {"high surrogate at the end", std::u16string(u"a") + char16_t(0xD800), std::nullopt},
        {"unpaired low surrogate", std::u16string(1, char16_t(0xDC00)), std::nullopt},
        {"embedded zero", std::u16string(u"a\0b", 3), std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ToFileSystemName(c.path), c.expected) << "case: " << c.name;
    }
}

TEST(FileSystemName, ConvertsNamesFromUtf8AndMarksBadBytes) {
    struct Case {
        const char* name;
        std::string bytes;
        std::u16string expected;
    };
    const Case cases[] = {
        {"ascii", "Tevorin.exe", u"Tevorin.exe"},
        {"chinese", "\xE9\x80\x9A", u"通"},
        {"four bytes", "\xF0\x9F\x98\x80", u"\xD83D\xDE00"},
        {"lone continuation byte", "a\x80z", u"a\uFFFDz"},
        {"cut sequence", "a\xE9\x80", u"a\uFFFD"},
        {"overlong form", "\xC0\xAF", u"\uFFFD\uFFFD"},
        {"encoded surrogate", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
        {"beyond unicode", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FromFileSystemName(c.bytes), c.expected) << "case: " << c.name;
    }
}

}  // namespace
