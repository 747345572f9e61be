#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "platform/net/internet.h"
#include "platform_net/http_fetch.h"
#include "support/test_http_server.h"

namespace {

using namespace std::chrono_literals;
using test_support::HttpRequest;
using test_support::HttpResponseWithLength;
using test_support::ResponseScript;
using test_support::TestHttpServer;

std::string BodyFor(const std::string& target) {
    std::string body;
    while (body.size() < 300'000) body += target + ";";
    return body;
}

TEST(InternetConcurrency, SessionsOnSeveralThreadsEachGetTheirOwnBody) {
    TestHttpServer server([](const HttpRequest& request) {
        return ResponseScript().Send(HttpResponseWithLength(200, BodyFor(request.target)));
    });
    ASSERT_TRUE(server.Started());
    Watchdog watchdog(60s);
    const int threads = 8;
    std::vector<FetchOutcome> results(threads);
    std::vector<std::thread> workers;
    for (int i = 0; i < threads; ++i) {
        workers.emplace_back([&, i] {
            InternetSessionOptions options;
            options.stallTimeout = 10s;
            options.cancel = &watchdog.cancel;
            results[i] = FetchWhole(server.Url16("/file" + std::to_string(i)), options);
        });
    }
    for (std::thread& t : workers) t.join();
    watchdog.Disarm();
    EXPECT_FALSE(watchdog.Fired());
    for (int i = 0; i < threads; ++i) {
        EXPECT_TRUE(results[i].opened) << i;
        EXPECT_FALSE(results[i].readFailed) << i;
        EXPECT_TRUE(results[i].body == BodyFor("/file" + std::to_string(i))) << i;
    }
}

}  // namespace
