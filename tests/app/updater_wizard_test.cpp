// The real updater when an update is due: which wizard it opens, and whether
// the wizard is seen, by the launch flag, the action word and the language.

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "updater_test_support.h"

using namespace std::chrono_literals;
using test_support::HttpRequest;
using test_support::ResponseScript;
using test_support::TestHttpServer;
using updater_test::ControlText;
using updater_test::Gate;
using updater_test::HandleArgument;
using updater_test::ManifestXml;
using updater_test::SampleInstallation;

namespace {

constexpr char kWizardTitle[] = "Tevorin在线升级";
constexpr int kNextButton = 1;
constexpr int kPageTitle = 1003;

TEST(UpdaterWizard, ShownOrHiddenByTheLaunchFlagAndTheAction) {
    struct Case {
        const char* name;
        bool userUpgrade;
        const char* action;
        const char* lang;  // null: no settings file
        bool shown;
        const char* nextText;
    } cases[] = {
        {"check, UserPrompt", false, "UserPrompt", "ch", true, "下一步"},
        {"check, another word", false, "default", "tw", true, "下一步"},
        {"check, no action", false, "", nullptr, true, "下一步"},
        {"check, Default", false, "Default", "ch", false, "下一步"},
        {"request, Default", true, "Default", "en", true, "Next"},
        {"request, UserPrompt", true, "UserPrompt", "EN", true, "Next"},
    };
    for (const auto& c : cases) {
        SampleInstallation install;
        ASSERT_TRUE(install.Valid());
        ASSERT_TRUE(install.WriteMainProgram(0xC1A2B));
        if (c.lang != nullptr) ASSERT_TRUE(install.WriteLanguage(c.lang));
        // The files never arrive while the test looks: downloads that start
        // at once wait at the gate.
        auto gate = std::make_shared<Gate>();
        std::string manifest;
        TestHttpServer server([gate, &manifest](const HttpRequest& request) {
            if (request.target.rfind("/cs/update2010.asp", 0) == 0)
                return ResponseScript().Send(test_support::HttpResponseWithLength(200, manifest));
            gate->Wait(30s);
            return ResponseScript().Send(test_support::HttpResponseWithLength(404, ""));
        });
        ASSERT_TRUE(server.Started());
        manifest = ManifestXml("C1A2C", c.action, {server.Url("/files/a.dat")});
        install.UseEnvironment(server.Url(""));

        std::vector<std::string> args = {HandleArgument(918)};
        if (c.userUpgrade) args.push_back("<userupgrade>TRUE</userupgrade>");
        auto updater = install.StartUpdater(args, "updater.log");
        ASSERT_TRUE(updater->Started());
        const auto wizard = install.WaitForWindow(kWizardTitle, updater->Pid(), 20s);
        ASSERT_TRUE(wizard.has_value()) << c.name << ": no wizard";
        // The tree is answered by the message loop, which runs once the host
        // has shown or hidden the wizard.
        const std::string tree = updater_test::WindowTree(wizard->handle);
        ASSERT_FALSE(tree.empty()) << c.name;
        const auto now = install.WaitForWindow(kWizardTitle, updater->Pid(), 0ms);
        ASSERT_TRUE(now.has_value()) << c.name;
        EXPECT_EQ(now->visible, c.shown) << c.name;
        EXPECT_EQ(ControlText(tree, kNextButton).value_or("(none)"), c.nextText) << c.name;
        if (std::string(c.action) == "UserPrompt") {
            EXPECT_EQ(ControlText(tree, kPageTitle).value_or("(none)"), "Tevorin有新版本了！")
                << c.name;
        }
        EXPECT_EQ(install.Snapshots().empty(), !c.shown) << c.name;
        gate->Open();
    }
}

// Cancel ends the whole run: the wizard and the hidden host.
TEST(UpdaterWizard, CancelEndsTheProcess) {
    SampleInstallation install;
    ASSERT_TRUE(install.Valid());
    ASSERT_TRUE(install.WriteMainProgram(0xC1A2B));
    std::string manifest;
    TestHttpServer server([&manifest](const HttpRequest&) {
        return ResponseScript().Send(test_support::HttpResponseWithLength(200, manifest));
    });
    ASSERT_TRUE(server.Started());
    manifest = ManifestXml("C1A2C", "UserPrompt", {server.Url("/files/a.dat")});
    install.UseEnvironment(server.Url(""));
    auto updater = install.StartUpdater({HandleArgument(918)}, "updater.log");
    const auto wizard = install.WaitForWindow(kWizardTitle, updater->Pid(), 20s);
    ASSERT_TRUE(wizard.has_value());
    ASSERT_FALSE(updater_test::WindowTree(wizard->handle).empty());
    const auto click = test_support::RunProcess(
        TEVORIN_DESKTOP_EXE, {"click", std::to_string(wizard->handle), "2"}, 20s);
    EXPECT_EQ(click.exitCode, 0) << click.err;
    // Ended by itself, cleanly: nothing of the run left behind.
    EXPECT_EQ(updater->WaitForExit(20s), 0);
    EXPECT_EQ(server.Requests().size(), 1u) << "Cancel must not download anything";
}

}  // namespace
