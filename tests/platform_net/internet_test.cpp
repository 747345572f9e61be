#include "platform/net/internet.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>

#include "platform_net/http_fetch.h"
#include "support/test_http_server.h"

namespace {

using namespace std::chrono_literals;
using test_support::ChunkedBody;
using test_support::HttpRequest;
using test_support::HttpResponseBytes;
using test_support::HttpResponseWithLength;
using test_support::ResponseScript;
using test_support::TestHttpServer;

InternetSessionOptions TestOptions(Watchdog& watchdog, std::chrono::milliseconds stall = 2s) {
    InternetSessionOptions options;
    options.connectTimeout = 2s;
    options.stallTimeout = stall;
    options.cancel = &watchdog.cancel;
    return options;
}

std::string Pattern(std::size_t size) {
    std::string s(size, '\0');
    for (std::size_t i = 0; i < size; ++i) s[i] = static_cast<char>('a' + (i * 7 + i / 251) % 26);
    return s;
}

// Serves each path with its own script.
TestHttpServer::Handler Routes(std::map<std::string, std::function<ResponseScript()>> routes) {
    return [routes = std::move(routes)](const HttpRequest& request) {
        auto it = routes.find(request.target);
        if (it == routes.end()) return ResponseScript().Send(HttpResponseWithLength(404, "none"));
        return it->second();
    };
}

TEST(Internet, ResponsesAreReportedAsTheServerSentThem) {
    struct Case {
        const char* name;
        std::function<ResponseScript()> script;
        bool opened;
        std::string status;
        std::optional<std::string> contentLength;
        std::string body;
        bool readFailed;
    };
    const std::string big = Pattern(1'000'000);
    const Case cases[] = {
        {"plain", [] { return ResponseScript().Send(HttpResponseWithLength(200, "hello")); }, true,
         "200", "5", "hello", false},
        {"error status keeps its body",
         [] { return ResponseScript().Send(HttpResponseWithLength(404, "<html>gone</html>")); },
         true, "404", "17", "<html>gone</html>", false},
        {"server error", [] { return ResponseScript().Send(HttpResponseWithLength(500, "")); },
         true, "500", "0", "", false},
        {"no length, body ends at close",
         [] { return ResponseScript().Send(HttpResponseBytes(200, {}, "until close")); }, true,
         "200", std::nullopt, "until close", false},
        {"length with blanks",
         [] {
             return ResponseScript().Send(
                 HttpResponseBytes(200, {"Content-Length:   4  "}, "abcd"));
         },
         true, "200", "4", "abcd", false},
        {"length that is no number",
         [] {
             return ResponseScript().Send(HttpResponseBytes(200, {"Content-Length: abc"}, "xyz"));
         },
         true, "200", "abc", "xyz", false},
        {"more bytes than announced",
         [] {
             return ResponseScript().Send(
                 HttpResponseBytes(200, {"Content-Length: 5"}, "helloEXTRA"));
         },
         true, "200", "5", "helloEXTRA", false},
        {"fewer bytes than announced",
         [] {
             return ResponseScript().Send(HttpResponseBytes(200, {"Content-Length: 100"}, "short"));
         },
         true, "200", "100", "short", true},
        {"chunked",
         [] {
             return ResponseScript()
                 .Send(HttpResponseBytes(200, {"Transfer-Encoding: chunked"}, ""))
                 .Send(ChunkedBody({"one,", "two,"}, false))
                 .Pause(20ms)
                 .Send(ChunkedBody({"three"}));
         },
         true, "200", std::nullopt, "one,two,three", false},
        {"chunked with a length header",
         [] {
             return ResponseScript().Send(
                 HttpResponseBytes(200, {"Content-Length: 3", "Transfer-Encoding: chunked"},
                                   ChunkedBody({"chunked"})));
         },
         true, "200", "3", "chunked", false},
        {"chunked body cut off",
         [] {
             return ResponseScript().Send(HttpResponseBytes(200, {"Transfer-Encoding: chunked"},
                                                            ChunkedBody({"part"}, false)));
         },
         true, "200", std::nullopt, "part", true},
        {"connection reset in the body",
         [] {
             return ResponseScript()
                 .Send(HttpResponseBytes(200, {"Content-Length: 1000"}, "begin"))
                 .Pause(50ms)
                 .Reset();
         },
         true, "200", "1000", "begin", true},
        {"redirect",
         [] {
             return ResponseScript().Send(
                 HttpResponseBytes(302, {"Location: /final", "Content-Length: 5"}, "moved"));
         },
         true, "200", "6", "landed", false},
        {"redirect loop",
         [] { return ResponseScript().Send(HttpResponseBytes(302, {"Location: /loop"}, "")); },
         false, "", std::nullopt, "", false},
        {"not http", [] { return ResponseScript().Send("garbage\r\n\r\n"); }, false, "",
         std::nullopt, "", false},
        {"closed without answer", [] { return ResponseScript(); }, false, "", std::nullopt, "",
         false},
        {"large body", [&big] { return ResponseScript().Send(HttpResponseWithLength(200, big)); },
         true, "200", "1000000", big, false},
    };
    for (const Case& c : cases) {
        std::map<std::string, std::function<ResponseScript()>> routes = {
            {"/case", c.script},
            {"/loop",
             [] { return ResponseScript().Send(HttpResponseBytes(302, {"Location: /case"}, "")); }},
            {"/final", [] { return ResponseScript().Send(HttpResponseWithLength(200, "landed")); }},
        };
        TestHttpServer server(Routes(routes));
        ASSERT_TRUE(server.Started());
        Watchdog watchdog(20s);
        FetchOutcome got = FetchWhole(server.Url16("/case"), TestOptions(watchdog));
        watchdog.Disarm();
        EXPECT_FALSE(watchdog.Fired()) << c.name;
        EXPECT_EQ(got.opened, c.opened) << c.name;
        EXPECT_EQ(got.status, c.status) << c.name;
        EXPECT_EQ(got.contentLength, c.contentLength) << c.name;
        EXPECT_TRUE(got.body == c.body) << c.name << ": got " << got.body.size() << " bytes";
        EXPECT_EQ(got.readFailed, c.readFailed) << c.name;
        EXPECT_LE(got.largestRead, 8192u) << c.name;
    }
}

TEST(Internet, ReadsNeverExceedTheSizeAskedFor) {
    const std::string body = Pattern(100'000);
    TestHttpServer server([&body](const HttpRequest&) {
        return ResponseScript().Send(HttpResponseWithLength(200, body));
    });
    Watchdog watchdog(20s);
    for (DWORD chunk : {1u, 7u, 8192u, 200'000u}) {
        FetchOutcome got = FetchWhole(server.Url16("/"), TestOptions(watchdog), chunk);
        EXPECT_TRUE(got.body == body) << "chunk " << chunk;
        EXPECT_LE(got.largestRead, chunk);
        EXPECT_FALSE(got.readFailed);
    }
}

TEST(Internet, SendsAgentAndAsksForAFreshCopy) {
    TestHttpServer server([](const HttpRequest&) {
        return ResponseScript().Send(HttpResponseWithLength(200, "ok"));
    });
    Watchdog watchdog(20s);
    FetchOutcome got =
        FetchWhole(server.Url16("/cs/update2010.asp?ver=c1a2b"), TestOptions(watchdog));
    ASSERT_TRUE(got.opened);
    std::vector<HttpRequest> requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].method, "GET");
    EXPECT_EQ(requests[0].target, "/cs/update2010.asp?ver=c1a2b");
    EXPECT_EQ(requests[0].Header("User-Agent"), "OstrelLiveUpdate");
    EXPECT_EQ(requests[0].Header("Cache-Control"), "no-cache");
    EXPECT_EQ(requests[0].Header("Cookie"), "");
}

TEST(Internet, StallsAndCancelsEndWithinBoundedTime) {
    struct Case {
        const char* name;
        ResponseScript script;
        bool cancelFromOutside;
        bool opened;
        std::string body;
    };
    const Case cases[] = {
        {"stall before the headers", ResponseScript().HoldOpen(), false, false, ""},
        {"stall in the body",
         ResponseScript().Send(HttpResponseBytes(200, {"Content-Length: 50"}, "some")).HoldOpen(),
         false, true, "some"},
        {"stall without a length",
         ResponseScript().Send(HttpResponseBytes(200, {}, "some")).HoldOpen(), false, true, "some"},
        {"cancel in the body", ResponseScript().Send(HttpResponseBytes(200, {}, "some")).HoldOpen(),
         true, true, "some"},
    };
    for (const Case& c : cases) {
        TestHttpServer server([&c](const HttpRequest&) { return c.script; });
        Watchdog watchdog(20s);
        std::atomic<bool> cancel{false};
        InternetSessionOptions options = TestOptions(watchdog, c.cancelFromOutside ? 60s : 300ms);
        std::thread canceller;
        if (c.cancelFromOutside) {
            options.cancel = &cancel;
            canceller = std::thread([&cancel] {
                std::this_thread::sleep_for(300ms);
                cancel.store(true);
            });
        }
        const auto start = std::chrono::steady_clock::now();
        FetchOutcome got = FetchWhole(server.Url16("/"), options);
        const auto took = std::chrono::steady_clock::now() - start;
        if (canceller.joinable()) canceller.join();
        watchdog.Disarm();
        EXPECT_EQ(got.opened, c.opened) << c.name;
        EXPECT_EQ(got.body, c.body) << c.name;
        if (c.opened) {
            EXPECT_TRUE(got.readFailed) << c.name;
        }
        EXPECT_LT(took, 5s) << c.name;
        server.Stop();
    }
}

TEST(Internet, RefusesWhatItCannotServe) {
    Watchdog watchdog(20s);
    // A port that nobody listens on: take one from a server and stop it.
    std::u16string deadUrl;
    {
        TestHttpServer server([](const HttpRequest&) { return ResponseScript(); });
        deadUrl = server.Url16("/");
    }
    struct Case {
        const char* name;
        std::u16string url;
    };
    const Case cases[] = {
        {"nobody listening", deadUrl},
        {"other scheme", u"ftp://127.0.0.1/x"},
        {"file scheme", u"file:///etc/hostname"},
        {"no address", u""},
        {"malformed", u"http://[::1"},
    };
    for (const Case& c : cases) {
        FetchOutcome got = FetchWhole(c.url, TestOptions(watchdog));
        EXPECT_FALSE(got.opened) << c.name;
    }
    EXPECT_EQ(InternetOpenW(u"a", 3, nullptr, nullptr, 0), nullptr);
    EXPECT_EQ(InternetOpenW(u"a", INTERNET_OPEN_TYPE_PRECONFIG, u"proxy:8080", nullptr, 0),
              nullptr);
    DWORD read = 5;
    char byte;
    EXPECT_FALSE(InternetReadFile(nullptr, &byte, 1, &read));
    EXPECT_EQ(read, 0u);
    EXPECT_FALSE(InternetCloseHandle(nullptr));
}

TEST(Internet, QueryReportsAbsentHeaderAndSmallBuffer) {
    TestHttpServer server(
        [](const HttpRequest&) { return ResponseScript().Send(HttpResponseBytes(200, {}, "x")); });
    Watchdog watchdog(20s);
    HINTERNET session = InternetOpenW(u"t", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    ASSERT_NE(session, nullptr);
    ASSERT_TRUE(InternetSetSessionOptions(session, TestOptions(watchdog)));
    HINTERNET request = InternetOpenUrlW(session, server.Url16("/").c_str(), nullptr, 0, 0, 0);
    ASSERT_NE(request, nullptr);
    char16_t buffer[8];
    DWORD length = sizeof buffer;
    EXPECT_FALSE(HttpQueryInfoW(request, HTTP_QUERY_CONTENT_LENGTH, buffer, &length, nullptr));
    length = 4;  // "200" needs 8 bytes with its zero
    EXPECT_FALSE(HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE, buffer, &length, nullptr));
    EXPECT_EQ(length, 8u);
    EXPECT_TRUE(HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE, buffer, &length, nullptr));
    EXPECT_EQ(std::u16string(buffer), u"200");
    EXPECT_EQ(length, 6u);
    EXPECT_FALSE(HttpQueryInfoW(session, HTTP_QUERY_STATUS_CODE, buffer, &length, nullptr));
    EXPECT_TRUE(InternetCloseHandle(request));
    EXPECT_TRUE(InternetCloseHandle(session));
}

}  // namespace
