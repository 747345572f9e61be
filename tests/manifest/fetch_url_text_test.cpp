#include "manifest/fetch_url_text.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <future>

#include "platform/core/text.h"
#include "support/test_http_server.h"

namespace {

using namespace std::chrono_literals;
using test_support::HttpRequest;
using test_support::HttpResponseBytes;
using test_support::HttpResponseWithLength;
using test_support::ResponseScript;
using test_support::TestHttpServer;

// Runs FetchUrlText with the given code page and a short stall time, and
// fails instead of hanging when it does not come back.
std::u16string Fetch(const std::u16string& url, const char* codePage = "UTF-8",
                     const char* stallMs = "5000") {
    setenv("TEVORIN_ACP", codePage, 1);
    setenv("TEVORIN_HTTP_STALL_MS", stallMs, 1);
    auto result = std::async(std::launch::async, [url] { return FetchUrlText(url); });
    if (result.wait_for(120s) != std::future_status::ready) {
        ADD_FAILURE() << "FetchUrlText did not return";
        std::abort();  // the call cannot be abandoned safely
    }
    unsetenv("TEVORIN_HTTP_STALL_MS");
    unsetenv("TEVORIN_ACP");
    return result.get();
}

std::string Letters(std::size_t n, char first = 'a') {
    std::string s(n, first);
    for (std::size_t i = 0; i < n; ++i) s[i] = static_cast<char>(first + i % 26);
    return s;
}

std::u16string Widen(const std::string& ascii) {
    return std::u16string(ascii.begin(), ascii.end());
}

TEST(FetchUrlText, ReturnsTheBodyConvertedChunkByChunk) {
    const std::string chunk1 = Letters(8192);
    std::string zeroChunk = Letters(8192, 'A');
    zeroChunk[100] = '\0';
    const std::string utf8Split = std::string(8191, 'u') + "\xE4\xB8\xAD" + "\xE6\x96\x87" + "end";
    const std::string gbkSplit = std::string(8191, 'g') + "\xD6\xD0" + "\xCE\xC4" + "end";
    struct Case {
        const char* name;
        std::vector<std::string> pieces;  // sent with pauses in between
        const char* codePage;
        std::u16string expected;
    };
    const Case cases[] = {
        {"one full chunk", {chunk1}, "UTF-8", Widen(chunk1)},
        {"three chunks and a bit",
         {chunk1 + chunk1 + chunk1 + "tail"},
         "UTF-8",
         Widen(chunk1 + chunk1 + chunk1 + "tail")},
        {"zero byte cuts the rest of its chunk",
         {zeroChunk, "next"},
         "UTF-8",
         Widen(zeroChunk.substr(0, 100) + "next")},
        {"character split across chunks (UTF-8)",
         {utf8Split},
         "UTF-8",
         Widen(std::string(8191, 'u')) + u"\u4E2D\u6587end"},
        {"character split across chunks (GBK)",
         {gbkSplit},
         "GBK",
         Widen(std::string(8191, 'g')) + u"\u4E2D\u6587end"},
        {"declaration naming another encoding changes nothing",
         {"<?xml version='1.0' encoding='gb2312'?><update>\xE4\xB8\xAD</update>"},
         "UTF-8",
         u"<?xml version='1.0' encoding='gb2312'?><update>\u4E2D</update>"},
        {"invalid bytes",
         {"a\xFF"
          "b"},
         "UTF-8",
         u"a\uFFFDb"},
        {"empty body", {}, "UTF-8", u""},
    };
    for (const Case& c : cases) {
        std::string body;
        for (const std::string& p : c.pieces) body += p;
        TestHttpServer server([&c, &body](const HttpRequest&) {
            ResponseScript script;
            script.Send(
                HttpResponseBytes(200, {"Content-Length: " + std::to_string(body.size())}, ""));
            for (const std::string& piece : c.pieces) script.Pause(100ms).Send(piece);
            return script;
        });
        std::u16string got = Fetch(server.Url16("/cs/update2010.asp?ver=1"), c.codePage);
        EXPECT_EQ(Utf16ToUtf8(got), Utf16ToUtf8(c.expected)) << c.name;
        ASSERT_EQ(server.Requests().size(), 1u) << c.name;
        EXPECT_EQ(server.Requests()[0].Header("User-Agent"), "OstrelLiveUpdate") << c.name;
    }
}

TEST(FetchUrlText, ReturnsWhateverArrivedWhenTheTransferFails) {
    struct Case {
        const char* name;
        ResponseScript script;
        std::u16string expected;
    };
    const Case cases[] = {
        {"error page", ResponseScript().Send(HttpResponseWithLength(404, "<html>gone</html>")),
         u"<html>gone</html>"},
        {"server error with a manifest",
         ResponseScript().Send(
             HttpResponseWithLength(500, "<update><version>2</version></update>")),
         u"<update><version>2</version></update>"},
        {"connection reset",
         ResponseScript()
             .Send(HttpResponseBytes(200, {"Content-Length: 9999"}, "<update>"))
             .Pause(100ms)
             .Reset(),
         u"<update>"},
        {"stalled body", ResponseScript().Send(HttpResponseBytes(200, {}, "<upd")).HoldOpen(),
         u"<upd"},
        {"no answer at all", ResponseScript(), u""},
        {"stalled before the headers", ResponseScript().HoldOpen(), u""},
    };
    for (const Case& c : cases) {
        TestHttpServer server([&c](const HttpRequest&) { return c.script; });
        EXPECT_EQ(Utf16ToUtf8(Fetch(server.Url16("/"), "UTF-8", "500")), Utf16ToUtf8(c.expected))
            << c.name;
        server.Stop();
    }
}

TEST(FetchUrlText, UnreachableServerGivesEmptyText) {
    std::u16string url;
    {
        TestHttpServer server([](const HttpRequest&) { return ResponseScript(); });
        url = server.Url16("/cs/update2010.asp?ver=1");
    }
    EXPECT_EQ(Fetch(url), u"");
    EXPECT_EQ(Fetch(u"not a url"), u"");
}

TEST(FetchUrlText, HugeBodyArrivesWhole) {
    const std::string body = Letters(12'000'000);
    TestHttpServer server([&body](const HttpRequest&) {
        return ResponseScript().Send(HttpResponseWithLength(200, body));
    });
    std::u16string got = Fetch(server.Url16("/"));
    ASSERT_EQ(got.size(), body.size());
    EXPECT_TRUE(std::equal(got.begin(), got.end(), body.begin(),
                           [](char16_t a, char b) { return a == static_cast<char16_t>(b); }));
}

}  // namespace
