// The picture tool: its answers to bad calls, and the pictures it writes.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/gdi/png_file.h"
#include "support/machine_wide_turn.h"
#include "support/run_process.h"
#include "support/scratch_dir.h"
#include "support/test_http_server.h"

namespace {

const std::string kTool = TEVORIN_WIZARD_SHOT_EXE;
const std::string kManifest = std::string(TEVORIN_TEST_DATA_DIR) + "/ui/sample_manifest.xml";

TEST(WizardShotTool, RefusesBadCallsWithAReason) {
    tevorin_test::ScratchDir scratch;
    const std::string noFiles = scratch.Path() + "no_files.xml";
    std::ofstream(noFiles) << "<update><version>2</version></update>";
    const std::string out = scratch.Path() + "out.png";
    struct Case {
        const char* what;
        std::vector<std::string> args;
        int exitCode;
    };
    const Case cases[] = {
        {"no arguments", {}, 2},
        {"unknown language", {kManifest, "fr", out}, 2},
        {"unknown option", {kManifest, "ch", out, "--all"}, 2},
        {"missing manifest", {scratch.Path() + "absent.xml", "ch", out}, 1},
        {"manifest without files", {noFiles, "en", out}, 1},
        {"unwritable picture", {kManifest, "ch", scratch.Path() + "no/such/dir/out.png"}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto result = test_support::RunProcess(kTool, c.args);
        ASSERT_TRUE(result.started);
        EXPECT_EQ(result.exitCode, c.exitCode);
        EXPECT_FALSE(result.err.empty()) << "says why";
        EXPECT_FALSE(std::filesystem::exists(out));
    }
}

TEST(WizardShotTool, WritesTheWizardOfEachLanguage) {
    tevorin_test::ScratchDir scratch;
    for (const char* language : {"ch", "en"}) {
        SCOPED_TRACE(language);
        const std::string out = scratch.Path() + language + ".png";
        const auto result = test_support::RunProcess(kTool, {kManifest, language, out});
        ASSERT_TRUE(result.started);
        EXPECT_EQ(result.exitCode, 0) << result.err;
        Framebuffer picture;
        ASSERT_TRUE(ReadPng(out, &picture));
        // The wizard's frame around 247 x 168 dialog units of its 9-point font.
        EXPECT_GT(picture.width, 300);
        EXPECT_GT(picture.height, 200);
    }
}

// A manifest whose word starts the download at once: the picture tool still
// only takes the picture. It neither stops a running main program nor
// fetches a file.
TEST(WizardShotTool, ASilentManifestStopsNothingAndFetchesNothing) {
    tevorin_test::MachineWideTurn turn;
    ASSERT_TRUE(turn.Take());
    test_support::TestHttpServer server([](const test_support::HttpRequest&) {
        return test_support::ResponseScript().Send(test_support::HttpResponseWithLength(200, "x"));
    });
    ASSERT_TRUE(server.Started());
    tevorin_test::ScratchDir scratch;
    const std::string manifest = scratch.Path() + "silent.xml";
    std::ofstream(manifest) << "<update><version>2A</version><action>Default</action>"
                            << "<filename src=\"" << server.Url("/voice.dll")
                            << "\">voice.dll</filename></update>";
    // A process that the process list names Tevorin.exe.
    const pid_t mainProgram = ::fork();
    ASSERT_GE(mainProgram, 0);
    if (mainProgram == 0) {
        (void)::prctl(PR_SET_PDEATHSIG, SIGKILL);
        (void)::prctl(PR_SET_NAME, "Tevorin.exe", 0, 0, 0);
        for (;;) ::pause();
    }
    const std::string out = scratch.Path() + "silent.png";
    const auto result = test_support::RunProcess(kTool, {manifest, "en", out});
    int status = 0;
    const bool stillRunning = ::waitpid(mainProgram, &status, WNOHANG) == 0;
    ::kill(mainProgram, SIGKILL);
    (void)::waitpid(mainProgram, &status, 0);
    ASSERT_TRUE(result.started);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(stillRunning) << "the running main program was stopped";
    EXPECT_TRUE(server.Requests().empty()) << "a file was fetched";
    EXPECT_TRUE(std::filesystem::exists(out));
}

}  // namespace
