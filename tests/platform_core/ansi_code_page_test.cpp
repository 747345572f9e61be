#include "platform/core/ansi_code_page.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>

#include "platform_core/code_page_guard.h"
#include "platform_core/u16_print.h"

namespace {

// "Tevorin自动升级：下载完成，正在安装 v1.2" in code page 936 (GBK).
const std::string kGbkText =
    "\x54\x65\x76\x6F\x72\x69\x6E\xD7\xD4\xB6\xAF\xC9\xFD\xBC\xB6\xA3\xBA\xCF\xC2\xD4\xD8\xCD"
    "\xEA\xB3\xC9\xA3\xAC\xD5\xFD\xD4\xDA\xB0\xB2\xD7\xB0\x20\x76\x31\x2E\x32";
const std::u16string kText = u"Tevorin自动升级：下载完成，正在安装 v1.2";
const std::string kUtf8Text =
    "Tevorin\xE8\x87\xAA\xE5\x8A\xA8\xE5\x8D\x87\xE7\xBA\xA7\xEF\xBC\x9A\xE4\xB8\x8B\xE8\xBD\xBD"
    "\xE5\xAE\x8C\xE6\x88\x90\xEF\xBC\x8C\xE6\xAD\xA3\xE5\x9C\xA8\xE5\xAE\x89\xE8\xA3\x85 v1.2";

TEST(AnsiCodePage, NameComesFromTheEnvironmentOrFallsBackToUtf8) {
    {
        CodePageGuard guard("GBK");
        EXPECT_EQ(AnsiCodePageName(), "GBK");
    }
    {
        CodePageGuard guard("NO-SUCH-ENCODING-42");
        EXPECT_EQ(AnsiCodePageName(), "UTF-8");
        EXPECT_EQ(MultiByteToWideChar(kUtf8Text), kText);
    }
    {
        // Without the variable the locale decides; the test runs in a C or
        // UTF-8 locale, both of which count as UTF-8.
        CodePageGuard guard(nullptr);
        const char* lang = std::getenv("LC_ALL");
        if (lang == nullptr || *lang == 0) lang = std::getenv("LC_CTYPE");
        if (lang == nullptr || *lang == 0) lang = std::getenv("LANG");
        const std::string locale = lang ? lang : "";
        if (locale.empty() || locale == "C" || locale == "POSIX" ||
            locale.find("UTF-8") != std::string::npos ||
            locale.find("utf8") != std::string::npos) {
            EXPECT_EQ(AnsiCodePageName(), "UTF-8");
        }
    }
}

TEST(MultiByteToWideChar, ConvertsWholeBuffersInEachCodePage) {
    struct Case {
        const char* codePage;
        std::string bytes;
        std::u16string expected;
    } cases[] = {
        {"GBK", kGbkText, kText},
        {"GBK", "", u""},
        {"GBK", "\xD6\xD0", u"中"},
        {"CP936", "\xD6\xD0\xCE\xC4", u"中文"},
        {"UTF-8", kUtf8Text, kText},
        {"UTF-8", "", u""},
        {"UTF-8", "\xF0\x9F\x98\x80", u"\U0001F600"},
        {"UTF-8", std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
        {"ISO-8859-1", "caf\xE9", u"café"},
        {"CP1252", "\x80", u"€"},
    };
    for (const auto& c : cases) {
        CodePageGuard guard(c.codePage);
        EXPECT_EQ(MultiByteToWideChar(c.bytes), c.expected)
            << c.codePage << " expected " << Show(c.expected);
    }
}

TEST(MultiByteToWideChar, ReplacesInvalidBytesAndKeepsGoing) {
    struct Case {
        const char* codePage;
        std::string bytes;
        std::u16string expected;
    } cases[] = {
        {"UTF-8", "\xFF", u"\uFFFD"},
        {"UTF-8", "a\x80z", u"a\uFFFDz"},
        {"UTF-8", "\xE4\xB8", u"\uFFFD"},  // incomplete at the end
        {"UTF-8", "\xFE\xFE\xFE", u"\uFFFD\uFFFD\uFFFD"},
        {"GBK", "\xFF", u"\uFFFD"},
        {"GBK", "\x80", u"€"},  // the euro sign of code page 936
        {"GBK", "\xFF\xD6\xD0", u"\uFFFD中"},
        {"GBK", "\xD6", u"\uFFFD"},  // lead byte without its trail byte
        {"GBK", "A\xD6", u"A\uFFFD"},
        {"GBK", "\xD6\xD0\xD6", u"中\uFFFD"},
    };
    for (const auto& c : cases) {
        CodePageGuard guard(c.codePage);
        EXPECT_EQ(MultiByteToWideChar(c.bytes), c.expected)
            << c.codePage << " expected " << Show(c.expected);
    }
}

TEST(MultiByteToWideChar, SurvivesEveryByteValue) {
    std::string all;
    for (int round = 0; round < 3; ++round) {
        for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    }
    for (const char* codePage : {"GBK", "UTF-8", "ISO-2022-JP", "BIG5", "GB18030"}) {
        CodePageGuard guard(codePage);
        const std::u16string text = MultiByteToWideChar(all);
        // Every byte yields at most one unit, except four-byte GB18030
        // characters, which yield at most two.
        EXPECT_FALSE(text.empty()) << codePage;
        EXPECT_LE(text.size(), all.size()) << codePage;
        EXPECT_EQ(text.substr(0x30, 10), u"0123456789") << codePage;
    }
}

TEST(WideCharToMultiByte, ConvertsOrReportsUnrepresentableText) {
    struct Case {
        const char* codePage;
        std::u16string text;
        std::optional<std::string> expected;
    } cases[] = {
        {"GBK", kText, kGbkText},
        {"GBK", u"", std::string()},
        {"GBK", u"C:/升级/a.gz", std::string("C:/\xC9\xFD\xBC\xB6/a.gz")},
        {"GBK", u"日本語ｶﾀｶﾅ", std::nullopt},  // half-width katakana is not in GBK
        {"GBK", u"\U0001F600", std::nullopt},
        {"UTF-8", kText, kUtf8Text},
        {"UTF-8", u"\U0001F600", std::string("\xF0\x9F\x98\x80")},
        {"UTF-8", std::u16string(1, char16_t(0xD800)), std::nullopt},
        {"UTF-8", std::u16string{u'a', char16_t(0xDC00), u'b'}, std::nullopt},
        {"ISO-8859-1", u"café", std::string("caf\xE9")},
        {"ISO-8859-1", u"中", std::nullopt},
        {"UTF-8", std::u16string(u"a\0b", 3), std::string("a\0b", 3)},
    };
    for (const auto& c : cases) {
        CodePageGuard guard(c.codePage);
        EXPECT_EQ(WideCharToMultiByte(c.text), c.expected) << c.codePage << " text " << Show(c.text);
    }
}

TEST(WideCharToMultiByte, EndsStatefulEncodingsInTheInitialState) {
    CodePageGuard guard("ISO-2022-JP");
    const auto narrow = WideCharToMultiByte(u"日本");
    ASSERT_TRUE(narrow.has_value());
    EXPECT_EQ(*narrow, "\x1B$BF|K\\\x1B(B");
    EXPECT_EQ(MultiByteToWideChar(*narrow), u"日本");
}

// Feeds the bytes split at `cut` and returns the joined text.
std::u16string DecodeInTwoChunks(std::string_view bytes, std::size_t cut) {
    AnsiStreamDecoder decoder;
    std::u16string text = decoder.Feed(bytes.substr(0, cut));
    text += decoder.Feed(bytes.substr(cut));
    text += decoder.Finish();
    return text;
}

TEST(AnsiStreamDecoder, JoinsCharactersSplitAtEveryChunkBoundary) {
    struct Case {
        const char* codePage;
        std::string bytes;
        std::u16string expected;
    } cases[] = {
        {"GBK", kGbkText, kText},
        {"UTF-8", kUtf8Text, kText},
        {"GB18030", "\x90\x30\x81\x30\x81\x30\x84\x36", u"\U00010000\u00A5"},
        {"UTF-8", "\xF0\x9F\x98\x80\xF0\x9F\x98\x80", u"\U0001F600\U0001F600"},
    };
    for (const auto& c : cases) {
        CodePageGuard guard(c.codePage);
        for (std::size_t cut = 0; cut <= c.bytes.size(); ++cut) {
            EXPECT_EQ(DecodeInTwoChunks(c.bytes, cut), c.expected)
                << c.codePage << " cut at " << cut;
        }
    }
}

TEST(AnsiStreamDecoder, HandlesOneByteChunksAndEmptyChunks) {
    CodePageGuard guard("GBK");
    AnsiStreamDecoder decoder;
    std::u16string text;
    for (char b : kGbkText) {
        text += decoder.Feed(std::string_view(&b, 1));
        text += decoder.Feed("");
    }
    text += decoder.Finish();
    EXPECT_EQ(text, kText);
}

TEST(AnsiStreamDecoder, HoldsBackOnlyTheIncompleteTail) {
    CodePageGuard guard("GBK");
    AnsiStreamDecoder decoder;
    EXPECT_EQ(decoder.Feed("ab\xD6"), u"ab");
    EXPECT_EQ(decoder.Feed("\xD0\xCE"), u"中");
    EXPECT_EQ(decoder.Feed("\xC4"), u"文");
    EXPECT_EQ(decoder.Finish(), u"");
}

TEST(AnsiStreamDecoder, FinishTurnsADanglingTailIntoOneReplacement) {
    struct Case {
        const char* codePage;
        std::string bytes;
        std::u16string fed;
        std::u16string finished;
    } cases[] = {
        {"GBK", "x\xD6", u"x", u"\uFFFD"},
        {"UTF-8", "x\xE4\xB8", u"x", u"\uFFFD"},
        {"UTF-8", "x\xF0\x9F\x98", u"x", u"\uFFFD"},
        {"UTF-8", "x", u"x", u""},
        {"UTF-8", "", u"", u""},
        {"UTF-8", "\xE4\xB8\xFF", u"\uFFFD\uFFFD\uFFFD", u""},  // not a tail: invalid now
    };
    for (const auto& c : cases) {
        CodePageGuard guard(c.codePage);
        AnsiStreamDecoder decoder;
        EXPECT_EQ(decoder.Feed(c.bytes), c.fed) << c.codePage << " " << Show(c.fed);
        EXPECT_EQ(decoder.Finish(), c.finished) << c.codePage << " " << Show(c.fed);
        // After Finish the decoder starts a fresh stream.
        EXPECT_EQ(decoder.Feed("ok"), u"ok");
        EXPECT_EQ(decoder.Finish(), u"");
    }
}

TEST(AnsiStreamDecoder, KeepsTheCodePageItWasMadeWith) {
    std::optional<AnsiStreamDecoder> decoder;
    {
        CodePageGuard guard("GBK");
        decoder.emplace();
    }
    CodePageGuard guard("UTF-8");
    EXPECT_EQ(decoder->Feed("\xD6\xD0"), u"中");
}

TEST(AnsiStreamDecoder, ChunkingNeverChangesTheResult) {
    // Valid text with random bytes spliced in, cut into random chunks: the
    // stream must decode exactly as the whole buffer does.
    std::mt19937 random(20261211);
    struct Case {
        const char* codePage;
        std::u16string text;
    } cases[] = {
        {"GBK", u"升级 abc 下载完成，正在安装"},
        {"UTF-8", u"升级 abc 下载完成，正在安装 \U0001F600"},
        {"GB18030", u"升级 abc 下载完成 \U0001F600"},
        {"BIG5", u"升級 abc 下載完成，正在安裝"},
    };
    for (const auto& [codePage, text] : cases) {
        CodePageGuard guard(codePage);
        const std::optional<std::string> valid = WideCharToMultiByte(text);
        ASSERT_TRUE(valid.has_value()) << codePage;
        for (int round = 0; round < 200; ++round) {
            std::string bytes;
            for (int piece = 0; piece < 6; ++piece) {
                if (random() % 2 == 0) {
                    bytes += *valid;
                } else {
                    for (unsigned n = random() % 5; n > 0; --n) bytes.push_back(char(random()));
                }
            }
            const std::u16string whole = MultiByteToWideChar(bytes);
            AnsiStreamDecoder decoder;
            std::u16string streamed;
            for (std::size_t at = 0; at < bytes.size();) {
                const std::size_t length = 1 + random() % 9;
                streamed += decoder.Feed(std::string_view(bytes).substr(at, length));
                at += length;
            }
            streamed += decoder.Finish();
            ASSERT_EQ(streamed, whole) << codePage << " round " << round;
        }
    }
}

}  // namespace
