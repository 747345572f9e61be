#include "platform/core/module_path.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/core/text.h"
#include "platform_core/u16_print.h"

namespace {

std::u16string ExpectedPath() {
    const std::string argv0 = testing::internal::GetArgvs().front();
    return Utf8ToUtf16(std::filesystem::canonical(argv0).string());
}

TEST(GetModuleFilePath, NamesTheRunningExecutable) {
    EXPECT_EQ(GetModuleFilePath(), ExpectedPath());
}

TEST(GetModuleFileNameW, CutsThePathToTheBuffer) {
    const std::u16string path = ExpectedPath();
    const DWORD length = static_cast<DWORD>(path.size());
    struct Case {
        DWORD size;
        DWORD result;
        std::u16string text;
    } cases[] = {
        {length + 10, length, path},
        {length + 1, length, path},
        {length, length, path.substr(0, length - 1)},
        {5, 5, path.substr(0, 4)},
        {1, 1, u""},
    };
    for (const auto& c : cases) {
        std::u16string buffer(c.size + 4, u'#');
        EXPECT_EQ(GetModuleFileNameW(nullptr, buffer.data(), c.size), c.result) << "size " << c.size;
        EXPECT_EQ(std::u16string(buffer.c_str()), c.text) << "size " << c.size;
        EXPECT_EQ(buffer[c.size], u'#') << "wrote past the buffer, size " << c.size;
    }
    char16_t unused[4] = {u'#'};
    EXPECT_EQ(GetModuleFileNameW(nullptr, unused, 0), 0u);
    EXPECT_EQ(unused[0], u'#');
    EXPECT_EQ(GetModuleFileNameW(unused, unused, 4), 0u);  // other modules are unknown
}

}  // namespace
