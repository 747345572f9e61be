#include "platform/core/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/core/text.h"
#include "platform_core/u16_print.h"

namespace {

TEST(JoinCommandLine, QuotesOnlyWhatNeedsQuotes) {
    struct Case {
        std::vector<std::u16string> arguments;
        std::u16string expected;
    } cases[] = {
        {{}, u""},
        {{u"/opt/t/TevorinLiveUpdate.exe"}, u"/opt/t/TevorinLiveUpdate.exe"},
        {{u"/opt/t/u", u"<handle>918</handle><userupgrade>TRUE</userupgrade>"},
         u"/opt/t/u <handle>918</handle><userupgrade>TRUE</userupgrade>"},
        {{u"u", u"<handle>", u"918", u"</handle>"}, u"u <handle> 918 </handle>"},
        {{u"/my dir/u", u"<userupgrade> TRUE</userupgrade>"},
         u"\"/my dir/u\" \"<userupgrade> TRUE</userupgrade>\""},
        {{u"u", u""}, u"u \"\""},
        {{u"a\"b"}, u"\"a\\\"b\""},
        {{u"a\\b"}, u"a\\b"},
        {{u"a b\\"}, u"\"a b\\\\\""},
        {{u"a\\\"b c"}, u"\"a\\\\\\\"b c\""},
        {{u"tab\there"}, u"\"tab\there\""},
        {{u"升级"}, u"升级"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(JoinCommandLine(c.arguments), c.expected) << "expected " << Show(c.expected);
    }
}

TEST(GetProcessArguments, AreTheArgumentsThisProcessGot) {
    std::vector<std::u16string> expected;
    for (const std::string& argument : testing::internal::GetArgvs()) {
        expected.push_back(Utf8ToUtf16(argument));
    }
    EXPECT_EQ(GetProcessArguments(), expected);
    EXPECT_EQ(std::u16string(GetCommandLineW()), JoinCommandLine(expected));
}

}  // namespace
