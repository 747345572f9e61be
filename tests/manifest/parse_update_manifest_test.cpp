#include "manifest/parse_update_manifest.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/core/text.h"

namespace {

struct Record {
    std::u16string filename, src, localdir, zipped, regist;
    friend bool operator==(const Record&, const Record&) = default;
};

struct Parsed {
    DWORD serverVersion = 0;
    std::u16string description;
    std::u16string action;
    std::vector<Record> files;
};

Parsed Parse(const std::u16string& text) {
    Parsed parsed;
    UpdateFileList files;
    ParseUpdateManifest(text, parsed.serverVersion, parsed.description, parsed.action, files);
    for (const auto& entry : files) {
        parsed.files.push_back({ReadSlot(entry->filename), ReadSlot(entry->src),
                                ReadSlot(entry->localdir), ReadSlot(entry->zipped),
                                ReadSlot(entry->regist)});
    }
    return parsed;
}

std::string Show(const std::u16string& s) {
    return Utf16ToUtf8(s);
}

const char16_t kExample[] =
    u"<?xml version=\"1.0\" encoding=\"gb2312\"?>\r\n"
    u"<update>\r\n"
    u"  <version>C1A2B</version>\r\n"
    u"  <action>UserPrompt</action>\r\n"
    u"  <description>Clearer calls.&lt;br&gt;Faster start.</description>\r\n"
    u"  <filename src='http://h/Tevorin.exe.gz' zipped='true'>Tevorin.exe</filename>\r\n"
    u"  <filename src='http://h/codec.dll' localdir='[SYSTEM]' "
    u"regist='true'>codec.dll</filename>\r\n"
    u"  <filename src='http://h/ring.wav' localdir='sound'>ring.wav</filename>\r\n"
    u"</update>\r\n";

TEST(ParseUpdateManifest, ReadsVersionActionDescriptionAndFiles) {
    struct Case {
        const char* name;
        std::u16string text;
        DWORD version;
        std::u16string action;
        std::u16string description;
        std::vector<Record> files;
    };
    const Case cases[] = {
        {"example",
         kExample,
         0xC1A2B,
         u"UserPrompt",
         u"Clearer calls.\r\nFaster start.",
         {{u"Tevorin.exe", u"http://h/Tevorin.exe.gz", u"", u"true", u""},
          {u"codec.dll", u"http://h/codec.dll", u"[SYSTEM]", u"", u"true"},
          {u"ring.wav", u"http://h/ring.wav", u"sound", u"", u""}}},
        {"raw br tag is not well-formed",
         u"<update><version>2</version><description>a<br>b</description><filename>f</filename></"
         u"update>",
         0,
         u"",
         u"",
         {}},
        {"self-closing br gives no line break",
         u"<update><description>a<br/>b</description></update>",
         0,
         u"",
         u"ab",
         {}},
        {"br in CDATA",
         u"<update><description><![CDATA[a<br>b<br><br>]]></description></update>",
         0,
         u"",
         u"a\r\nb",
         {}},
        {"upper-case BR stays",
         u"<update><description>a&lt;BR&gt;b</description></update>",
         0,
         u"",
         u"a<BR>b",
         {}},
        {"action trimmed",
         u"<update><action> \r\n UserPrompt \r\n</action></update>",
         0,
         u"UserPrompt",
         u"",
         {}},
        {"lower-case default stays lower case",
         u"<update><action>default</action></update>",
         0,
         u"default",
         u"",
         {}},
        {"first version counts",
         u"<update><version> 1a2B </version><version>FF</version></update>",
         0x1A2B,
         u"",
         u"",
         {}},
        {"nine digits keep the last eight",
         u"<update><version>10000000F</version><filename>f</filename></update>",
         0xF,
         u"",
         u"",
         {{u"f", u"", u"", u"", u""}}},
        {"no version",
         u"<update><filename>a</filename></update>",
         0,
         u"",
         u"",
         {{u"a", u"", u"", u"", u""}}},
        {"attribute names trimmed and lower-cased, others ignored",
         u"<update><filename SRC=' http://h/a ' Src='http://h/b' size='3' xmlns:p='urn:p' "
         u"p:src='http://h/c' LocalDir=' sub ' ZIPPED=' TRUE ' "
         u"rEgIsT='yes'>a.dll</filename></update>",
         0,
         u"",
         u"",
         {{u"a.dll", u"http://h/b", u"sub", u"TRUE", u"yes"}}},
        {"filename text kept as it is",
         u"<update><filename> spaced name.txt </filename></update>",
         0,
         u"",
         u"",
         {{u" spaced name.txt ", u"", u"", u"", u""}}},
        {"only direct children of update",
         u"<update><group><filename>deep</filename></group><x/><filename>top</filename></update>",
         0,
         u"",
         u"",
         {{u"top", u"", u"", u"", u""}}},
        {"same name twice gives two records",
         u"<update><filename>a</filename><filename>a</filename></update>",
         0,
         u"",
         u"",
         {{u"a", u"", u"", u"", u""}, {u"a", u"", u"", u"", u""}}},
        {"other document element",
         u"<html><version>5</version><filename>a</filename></html>",
         0,
         u"",
         u"",
         {}},
        {"empty text", u"", 0, u"", u"", {}},
        {"not xml", u"404 Not Found", 0, u"", u"", {}},
        {"non-ASCII text",
         u"<update><description> \u65B0\u7248\u672C&lt;br&gt;\u66F4\u5FEB </description>"
         u"<filename localdir='\u58F0\u97F3'>\u94C3\u58F0.wav</filename></update>",
         0,
         u"",
         u"\u65B0\u7248\u672C\r\n\u66F4\u5FEB",
         {{u"\u94C3\u58F0.wav", u"", u"\u58F0\u97F3", u"", u""}}},
        {"description from nested markup",
         u"<update><description>one<b>two</b>&lt;br&gt;<i>three</i></description></update>",
         0,
         u"",
         u"onetwo\r\nthree",
         {}},
    };
    for (const Case& c : cases) {
        Parsed got = Parse(c.text);
        EXPECT_EQ(got.serverVersion, c.version) << c.name;
        EXPECT_EQ(Show(got.action), Show(c.action)) << c.name;
        EXPECT_EQ(Show(got.description), Show(c.description)) << c.name;
        ASSERT_EQ(got.files.size(), c.files.size()) << c.name;
        for (std::size_t i = 0; i < c.files.size(); ++i) {
            EXPECT_TRUE(got.files[i] == c.files[i])
                << c.name << ", file " << i << ": " << Show(got.files[i].filename) << " "
                << Show(got.files[i].src) << " " << Show(got.files[i].localdir) << " "
                << Show(got.files[i].zipped) << " " << Show(got.files[i].regist);
        }
    }
}

TEST(ParseUpdateManifest, LongValuesAreCutAtTheirSlots) {
    const std::u16string longSrc = u"http://h/" + std::u16string(300, u's');
    const std::u16string name64(64, u'n');
    const std::u16string text = u"<update><filename src='" + longSrc + u"' localdir='" +
                                std::u16string(70, u'd') + u"' zipped='" +
                                std::u16string(30, u'z') + u"' regist='" +
                                std::u16string(30, u'r') + u"'>" + name64 + u"</filename></update>";
    UpdateFileList files;
    DWORD version = 0;
    std::u16string description, action;
    ParseUpdateManifest(text, version, description, action, files);
    ASSERT_EQ(files.size(), 1u);
    const UpdateFileEntry& e = *files[0];
    EXPECT_EQ(ReadSlot(e.src), longSrc.substr(0, 254));
    EXPECT_EQ(ReadSlot(e.localdir), std::u16string(63, u'd'));
    EXPECT_EQ(ReadSlot(e.filename), std::u16string(63, u'n'));
    EXPECT_EQ(ReadSlot(e.zipped), std::u16string(24, u'z'));
    EXPECT_EQ(ReadSlot(e.regist), std::u16string(24, u'r'));
    unsigned char bytes[sizeof e];
    std::memcpy(bytes, &e, sizeof e);
    for (std::size_t i = 864; i < 876; ++i) EXPECT_EQ(bytes[i], 0) << "byte " << i;
    EXPECT_EQ(e.src[254], 0);
    EXPECT_EQ(e.filename[63], 0);
}

TEST(ParseUpdateManifest, AppendsToTheListAndKeepsWhatTheManifestLacks) {
    UpdateFileList files;
    files.push_back(std::make_unique<UpdateFileEntry>());
    CopyToSlot(files[0]->filename, u"earlier");
    DWORD version = 7;
    std::u16string description = u"  kept<br>text  ";
    std::u16string action = u"  Default ";
    ParseUpdateManifest(u"<update><filename>new</filename></update>", version, description, action,
                        files);
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(ReadSlot(files[0]->filename), u"earlier");
    EXPECT_EQ(ReadSlot(files[1]->filename), u"new");
    EXPECT_EQ(version, 7u);
    // Line breaks and trimming apply even to values the manifest did not set,
    // and even when the text does not load.
    EXPECT_EQ(description, u"kept\r\ntext");
    EXPECT_EQ(action, u"Default");
    description = u" a<br>b ";
    ParseUpdateManifest(u"<update>", version, description, action, files);
    EXPECT_EQ(description, u"a\r\nb");
    EXPECT_EQ(files.size(), 2u);
}

TEST(ParseUpdateManifest, ManyFilesAreReadInOrderUpToTheLimit) {
    for (std::size_t count : {kMaxManifestFiles, kMaxManifestFiles + 1}) {
        std::u16string text = u"<update><version>2</version>";
        text.reserve(count * 40);
        for (std::size_t i = 0; i < count; ++i) {
            text += u"<filename src='s'>" + FormatText(u"%u", static_cast<unsigned>(i)) +
                    u"</filename>";
        }
        text += u"</update>";
        Parsed got = Parse(text);
        EXPECT_EQ(got.serverVersion, 2u) << count;
        if (count > kMaxManifestFiles) {
            EXPECT_TRUE(got.files.empty()) << count;
            continue;
        }
        ASSERT_EQ(got.files.size(), count);
        for (std::size_t i = 0; i < count; i += 997) {
            ASSERT_EQ(got.files[i].filename, FormatText(u"%u", static_cast<unsigned>(i))) << i;
        }
        EXPECT_EQ(got.files.back().filename, FormatText(u"%u", static_cast<unsigned>(count - 1)));
    }
}

TEST(ParseUpdateManifest, HostileInputDoesNotCrash) {
    std::u16string huge = u"<update><version>3</version><description>";
    huge.append(20'000'000, u'x');
    huge += u"</description></update>";
    Parsed big = Parse(huge);
    EXPECT_EQ(big.serverVersion, 3u);
    EXPECT_EQ(big.description.size(), 20'000'000u);

    std::u16string deep = u"<update><description>";
    for (int i = 0; i < 100'000; ++i) deep += u"<a>";
    deep += u"x";
    for (int i = 0; i < 100'000; ++i) deep += u"</a>";
    deep += u"</description><filename>f</filename></update>";
    Parsed nested = Parse(deep);
    EXPECT_EQ(nested.description, u"x");
    EXPECT_EQ(nested.files.size(), 1u);

    std::u16string binary;
    for (unsigned i = 0; i < 70'000; ++i) binary += static_cast<char16_t>((i * 2654435761u) >> 16);
    Parsed junk = Parse(binary);
    EXPECT_EQ(junk.serverVersion, 0u);
    EXPECT_TRUE(junk.files.empty());
}

}  // namespace
