#include "platform/fs/file_system_name.h"

#include <gtest/gtest.h>

#include <cstdlib>
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

TEST(FileSystemName, ReadsAnsiPathsInTheCodePage) {
    const char* saved = std::getenv("TEVORIN_ACP");
    const std::string restore = saved != nullptr ? saved : "";
    struct Case {
        const char* codePage;
        std::string ansi;
        std::optional<std::string> expected;
    };
    const Case cases[] = {
        {"UTF-8", "/tmp/\xE9\x80\x9A.gz", "/tmp/\xE9\x80\x9A.gz"},
        {"GBK", "/tmp/\xCD\xA8.gz", "/tmp/\xE9\x80\x9A.gz"},
        {"GBK", "/tmp/\x81\x5C.gz", "/tmp/\xE4\xB9\x97.gz"},  // second byte looks like a backslash
        {"ISO-8859-1", "/tmp/\xE9.gz", "/tmp/\xC3\xA9.gz"},
    };
    for (const Case& c : cases) {
        setenv("TEVORIN_ACP", c.codePage, 1);
        EXPECT_EQ(AnsiPathToFileSystemName(c.ansi), c.expected) << c.codePage << " " << c.ansi;
    }
    if (saved != nullptr) {
        setenv("TEVORIN_ACP", restore.c_str(), 1);
    } else {
        unsetenv("TEVORIN_ACP");
    }
}

}  // namespace
