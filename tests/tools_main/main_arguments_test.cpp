#include "tools/main/main_arguments.h"

#include <gtest/gtest.h>

using namespace main_stand_in;

namespace {

TEST(MainArguments, VersionsAreOneToEightHexDigits) {
    const struct {
        const char* text;
        std::optional<DWORD> expected;
    } cases[] = {
        {"1", 1u},
        {"C1A2B", 0xC1A2Bu},
        {"c1a2b", 0xC1A2Bu},
        {"0xC1A2C", 0xC1A2Cu},
        {"0XFFFFFFFF", 0xFFFFFFFFu},
        {"00000000", 0u},
        {"100000000", std::nullopt},
        {"0x", std::nullopt},
        {"", std::nullopt},
        {"12g", std::nullopt},
        {" 1", std::nullopt},
        {"-1", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseVersionArgument(c.text), c.expected) << "row: '" << c.text << "'";
}

TEST(MainArguments, TheDocumentedFormsAndNothingElse) {
    const struct {
        std::vector<std::string> args;
        bool valid;
        MainMode mode;
        std::string dir;
        DWORD version;
    } cases[] = {
        {{}, true, MainMode::kRun, "", 1},
        {{"--check"}, true, MainMode::kCheck, "", 1},
        {{"--update"}, true, MainMode::kUpdate, "", 1},
        {{"--install", "/x"}, true, MainMode::kInstall, "/x", 1},
        {{"--install", "/x", "--version", "C1A2B"}, true, MainMode::kInstall, "/x", 0xC1A2B},
        {{"--install"}, false, MainMode::kRun, "", 0},
        {{"--install", ""}, false, MainMode::kRun, "", 0},
        {{"--install", "/x", "--version"}, false, MainMode::kRun, "", 0},
        {{"--install", "/x", "--version", "zz"}, false, MainMode::kRun, "", 0},
        {{"--install", "/x", "--other", "1"}, false, MainMode::kRun, "", 0},
        {{"--check", "--update"}, false, MainMode::kRun, "", 0},
        {{"--CHECK"}, false, MainMode::kRun, "", 0},
        {{"extra"}, false, MainMode::kRun, "", 0},
    };
    for (const auto& c : cases) {
        std::string row;
        for (const auto& a : c.args) row += a + " ";
        std::string error;
        const auto parsed = ParseMainArguments(c.args, &error);
        ASSERT_EQ(parsed.has_value(), c.valid) << "row: " << row;
        if (!c.valid) {
            EXPECT_FALSE(error.empty()) << "row: " << row;
            continue;
        }
        EXPECT_EQ(parsed->mode, c.mode) << "row: " << row;
        EXPECT_EQ(parsed->installDir, c.dir) << "row: " << row;
        EXPECT_EQ(parsed->version, c.version) << "row: " << row;
    }
}

}  // namespace
