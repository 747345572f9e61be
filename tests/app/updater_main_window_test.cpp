// What the main program's window receives from the updater: the test's own
// window stands in for it, so the order of the messages can be seen.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <memory>
#include <string>

#include "platform/win/desktop_session.h"
#include "platform/win/message_loop.h"
#include "platform/win/window.h"
#include "platform_win/loop_watchdog.h"
#include "platform_win/test_window_class.h"
#include "updater_test_support.h"

using namespace std::chrono_literals;
using test_support::HttpRequest;
using test_support::ResponseScript;
using test_support::TestHttpServer;
using updater_test::ControlText;
using updater_test::HandleArgument;
using updater_test::ManifestXml;
using updater_test::SampleInstallation;

namespace {

constexpr char kWizardTitle[] = "Tevorin在线升级";
constexpr int kPageTitle = 1003;

// This process's desktop session, shared with the updaters it starts.
const std::string& SharedSession() {
    static tevorin_test::ScratchDir dir;
    static const std::string path = [] {
        const std::string session = dir / "session";
        ::setenv("TEVORIN_DESKTOP", session.c_str(), 1);
        return session;
    }();
    return path;
}

TEST(UpdaterMainWindow, OnlyUpdateRightNowMinimisesItAndTellsItToQuit) {
    struct Case {
        const char* action;
        bool toldToQuit;
        const char* title;
    } cases[] = {
        {"UpdateRightNow", true, "Tevorin有新版本了！请升级到最新版本。"},
        {"UserPrompt", false, "Tevorin有新版本了！"},
    };
    const std::string session = SharedSession();
    ASSERT_TRUE(tevorin::win::EnsureDesktopSession()) << tevorin::win::DesktopSessionError();
    for (const auto& c : cases) {
        SampleInstallation install;
        ASSERT_TRUE(install.Valid());
        install.ShareSession(session);
        ASSERT_TRUE(install.WriteMainProgram(0xC1A2B));
        std::string manifest;
        TestHttpServer server([&manifest](const HttpRequest&) {
            return ResponseScript().Send(test_support::HttpResponseWithLength(200, manifest));
        });
        ASSERT_TRUE(server.Started());
        manifest = ManifestXml("C1A2C", c.action, {server.Url("/files/a.dat")});
        install.UseEnvironment(server.Url(""));

        const HWND mainWindow = MakeTopLevel(u"Tevorin", WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE);
        ASSERT_NE(mainWindow, nullptr);
        tevorin::win::AttachDesktopSessionToThisThread();
        auto updater = install.StartUpdater({HandleArgument(HwndToInt(mainWindow))}, "u.log");
        ASSERT_TRUE(updater->Started());

        bool quit = false;
        {
            LoopWatchdog watchdog(60s, std::string("waiting for the updater, ") + c.action);
            MSG msg;
            if (c.toldToQuit) {
                // Blocks until the quit message arrives.
                while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
                quit = true;
                EXPECT_TRUE(IsIconic(mainWindow)) << "told to quit before it was minimised";
            }
            const auto wizard = install.WaitForWindow(kWizardTitle, updater->Pid(), 20s);
            ASSERT_TRUE(wizard.has_value()) << c.action;
            // Answered once the updater's message loop runs, after the host
            // has shown the wizard.
            const std::string tree = updater_test::WindowTree(wizard->handle);
            const auto shown = install.WaitForWindow(kWizardTitle, updater->Pid(), 0ms);
            EXPECT_TRUE(shown && shown->visible) << c.action;
            EXPECT_EQ(ControlText(tree, kPageTitle).value_or("(none)"), c.title) << c.action;
            // Whatever the updater sent has arrived by now.
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (msg.message == WM_QUIT) quit = true;
                DispatchMessageW(&msg);
            }
        }
        EXPECT_EQ(quit, c.toldToQuit) << c.action;
        EXPECT_EQ(IsIconic(mainWindow) != FALSE, c.toldToQuit) << c.action;
        // The updater waits for Next in both rows: nothing was downloaded.
        EXPECT_EQ(server.Requests().size(), 1u) << c.action;
        DestroyWindow(mainWindow);
    }
}

}  // namespace
