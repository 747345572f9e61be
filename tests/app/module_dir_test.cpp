#include "app/module_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/core/text.h"
#include "platform_core/temp_dir.h"
#include "platform_core/u16_print.h"
#include "support/run_process.h"

namespace {

const std::filesystem::path kProbe = std::filesystem::path(TEVORIN_BINARY_DIR) / "tests/app/app_probe";

TEST(DirectoryOf, KeepsEverythingUpToTheLastSlash) {
    struct Case {
        std::u16string path;
        std::u16string expected;
    } cases[] = {
        {u"/opt/tevorin/TevorinLiveUpdate.exe", u"/opt/tevorin/"},
        {u"/TevorinLiveUpdate.exe", u"/"},
        {u"TevorinLiveUpdate.exe", u""},
        {u"/opt/a\\b/u", u"/opt/a\\b/"},  // a backslash is part of a name here
        {u"/opt/升级/u", u"/opt/升级/"},
        {u"", u""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DirectoryOf(c.path), c.expected) << Show(c.path);
    }
}

TEST(GetModuleDir, IsTheDirectoryOfTheRunningExecutable) {
    const std::filesystem::path self =
        std::filesystem::canonical(testing::internal::GetArgvs().front());
    EXPECT_EQ(GetModuleDir(), Utf8ToUtf16(self.parent_path().string()) + u"/");
}

// Copies the probe into `dir` and runs it there with `args`.
test_support::ProcessResult RunProbeIn(const std::filesystem::path& dir,
                                       const std::vector<std::string>& args) {
    std::filesystem::create_directories(dir);
    const std::filesystem::path copy = dir / "TevorinLiveUpdate.exe";
    std::filesystem::copy_file(kProbe, copy, std::filesystem::copy_options::overwrite_existing);
    return test_support::RunProcess(copy.string(), args, std::chrono::seconds(20));
}

TEST(GetModuleDir, HandlesPathsLongerThanTheOldLimit) {
    TempDir temp;
    std::filesystem::path dir = temp.path();
    while (dir.string().size() < 400) dir /= "a-rather-long-directory-name-升级";
    const auto result = RunProbeIn(dir, {"module-dir"});
    ASSERT_TRUE(result.started);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, dir.string() + "/");
}

TEST(WriteVersionStamp, StampsTheMainProgramNextToTheUpdater) {
    TempDir temp;
    temp.Write("Tevorin.exe", std::string(40, 'x'));
    auto result = RunProbeIn(temp.path(), {"write-stamp", "C1A2C"});
    ASSERT_TRUE(result.started);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(temp.Read("Tevorin.exe"),
              std::string(32, 'x') + std::string("\x2C\x1A\x0C\x00", 4) + "xxxx");

    std::filesystem::remove(temp.path() / "Tevorin.exe");
    result = RunProbeIn(temp.path(), {"write-stamp", "C1A2D"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_FALSE(std::filesystem::exists(temp.path() / "Tevorin.exe"));
}

}  // namespace
