// The real updater, started the way the main program starts it, up to the
// end of its update check when no update is due.

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "updater_test_support.h"

using namespace std::chrono_literals;
using test_support::HttpRequest;
using test_support::ResponseScript;
using test_support::TestHttpServer;
using updater_test::Gate;
using updater_test::HandleArgument;
using updater_test::ManifestXml;
using updater_test::SampleInstallation;

namespace {

constexpr char kMarkerTitle[] = "tevorin_abe87_liveupdate_window_xxycy";
constexpr DWORD kInstalled = 0xC1A2B;

ResponseScript Answer(const std::string& body) {
    return ResponseScript().Send(test_support::HttpResponseWithLength(200, body));
}

TEST(UpdaterStart, EndsShowingNothingWhenNoUpdateIsDue) {
    struct Case {
        const char* name;
        std::string body;  // the manifest the server answers with
        bool serverDown;   // nothing listens at the server's address
    } cases[] = {
        {"equal version", ManifestXml("C1A2B", "UserPrompt", {"http://127.0.0.1:1/a"}), false},
        {"lower version", ManifestXml("C1A2A", "UserPrompt", {"http://127.0.0.1:1/a"}), false},
        {"higher version without files", ManifestXml("C1A2C", "UserPrompt", {}), false},
        {"garbage body", "<update><version>C1A2C</version><filename>a", false},
        {"empty body", "", false},
        {"unreachable server", "", true},
    };
    for (const auto& c : cases) {
        SampleInstallation install;
        ASSERT_TRUE(install.Valid());
        ASSERT_TRUE(install.WriteMainProgram(kInstalled));
        TestHttpServer server([&](const HttpRequest&) { return Answer(c.body); });
        ASSERT_TRUE(server.Started());
        const std::string address = server.Url("");
        if (c.serverDown) server.Stop();
        install.UseEnvironment(address);

        const auto result = install.RunUpdater({HandleArgument(918)}, 30s);
        EXPECT_FALSE(result.timedOut) << c.name;
        EXPECT_EQ(result.exitCode, 0) << c.name << ": " << result.err;
        EXPECT_TRUE(install.Snapshots().empty()) << c.name << ": a window was shown";
        if (!c.serverDown) {
            const auto requests = server.Requests();
            ASSERT_EQ(requests.size(), 1u) << c.name;
            EXPECT_EQ(requests[0].target, "/cs/update2010.asp?ver=c1a2b") << c.name;
            EXPECT_EQ(requests[0].Header("User-Agent"), "OstrelLiveUpdate") << c.name;
        }
    }
}

TEST(UpdaterStart, PreconditionsEndItBeforeTheServerIsAsked) {
    struct Case {
        const char* name;
        std::vector<std::string> args;
        bool mainProgram;      // Tevorin.exe present
        std::size_t requests;  // manifest requests expected
    } cases[] = {
        {"started properly", {"<handle>918</handle>"}, true, 1},
        {"no arguments", {}, true, 0},
        {"handle 0", {"<handle>0</handle>"}, true, 0},
        {"hexadecimal handle", {"<handle>0x1A</handle>"}, true, 0},
        {"tags reversed", {"</handle>918<handle>"}, true, 0},
        {"tag in capitals", {"<HANDLE>918</HANDLE>"}, true, 0},
        {"no main program", {"<handle>918</handle>"}, false, 0},
        {"handle with a blank in front", {"<handle> 77abc</handle>"}, true, 1},
    };
    for (const auto& c : cases) {
        SampleInstallation install;
        ASSERT_TRUE(install.Valid());
        if (c.mainProgram) ASSERT_TRUE(install.WriteMainProgram(kInstalled));
        TestHttpServer server([](const HttpRequest&) { return Answer(""); });
        ASSERT_TRUE(server.Started());
        install.UseEnvironment(server.Url(""));

        const auto result = install.RunUpdater(c.args, 30s);
        EXPECT_FALSE(result.timedOut) << c.name;
        EXPECT_EQ(result.exitCode, 0) << c.name << ": " << result.err;
        EXPECT_EQ(server.Requests().size(), c.requests) << c.name;
        EXPECT_TRUE(install.Snapshots().empty()) << c.name;
    }
}

// While the check waits for the server, the hidden host window carries the
// marker title, and a second updater ends at once without asking the server.
TEST(UpdaterStart, TheHostCarriesTheMarkerAndASecondUpdaterEndsAtOnce) {
    SampleInstallation install;
    ASSERT_TRUE(install.Valid());
    ASSERT_TRUE(install.WriteMainProgram(kInstalled));
    auto gate = std::make_shared<Gate>();
    TestHttpServer server([gate](const HttpRequest&) {
        gate->Wait(20s);
        return Answer(ManifestXml("C1A2B", "UserPrompt", {"http://127.0.0.1:1/a"}));
    });
    ASSERT_TRUE(server.Started());
    install.UseEnvironment(server.Url(""));

    auto first = install.StartUpdater({HandleArgument(918)}, "first.log");
    ASSERT_TRUE(first->Started());
    ASSERT_TRUE(updater_test::WaitForRequests(server, 1, 20s));
    const auto marker = install.WaitForWindow(kMarkerTitle, first->Pid(), 10s);
    ASSERT_TRUE(marker.has_value()) << "no marker window while the check runs";
    EXPECT_FALSE(marker->visible);

    const auto second = install.RunUpdater({HandleArgument(918)}, 20s);
    EXPECT_FALSE(second.timedOut);
    EXPECT_EQ(server.Requests().size(), 1u) << "the second updater asked the server";

    gate->Open();
    EXPECT_EQ(first->WaitForExit(20s), 0);
    EXPECT_FALSE(install.WaitForWindow(kMarkerTitle, 0, 0ms).has_value())
        << "the marker outlived its process";
    EXPECT_TRUE(install.Snapshots().empty());
}

// Two updaters started at the same moment: exactly one of them checks.
TEST(UpdaterStart, OfTwoUpdatersStartedTogetherOnlyOneChecks) {
    SampleInstallation install;
    ASSERT_TRUE(install.Valid());
    ASSERT_TRUE(install.WriteMainProgram(kInstalled));
    for (int round = 0; round < 8; ++round) {
        auto gate = std::make_shared<Gate>();
        TestHttpServer server([gate](const HttpRequest&) {
            gate->Wait(20s);
            return Answer(ManifestXml("C1A2B", "UserPrompt", {"http://127.0.0.1:1/a"}));
        });
        ASSERT_TRUE(server.Started());
        install.UseEnvironment(server.Url(""));
        auto a = install.StartUpdater({HandleArgument(918)}, "a.log");
        auto b = install.StartUpdater({HandleArgument(918)}, "b.log");
        ASSERT_TRUE(a->Started() && b->Started());
        // The one that lost ends at once, while the other waits for the server.
        const auto end = std::chrono::steady_clock::now() + 20s;
        while (!updater_test::HasEnded(a->Pid()) && !updater_test::HasEnded(b->Pid()) &&
               std::chrono::steady_clock::now() < end) {
            std::this_thread::sleep_for(5ms);
        }
        gate->Open();
        EXPECT_EQ(a->WaitForExit(20s), 0) << "round " << round;
        EXPECT_EQ(b->WaitForExit(20s), 0) << "round " << round;
        EXPECT_EQ(server.Requests().size(), 1u) << "round " << round;
    }
}

}  // namespace
