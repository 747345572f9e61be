#include "platform/process/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct SplitCase {
    const char* name;
    const char* commandLine;
    std::vector<std::string> expected;
};

TEST(SplitCommandLine, FollowsQuoteAndBackslashRules) {
    const SplitCase cases[] = {
        {"empty", "", {}},
        {"only blanks", " \t ", {}},
        {"program alone", "regsvr32", {"regsvr32"}},
        {"registration of a server", "regsvr32 /s \"/opt/tv/a b.dll\" ",
         {"regsvr32", "/s", "/opt/tv/a b.dll"}},
        {"self-registering program", "\"/opt/tv dir/x.exe\" /regserver",
         {"/opt/tv dir/x.exe", "/regserver"}},
        {"leading blanks", "   prog a", {"prog", "a"}},
        {"tabs separate", "prog\ta\t\tb", {"prog", "a", "b"}},
        {"program name keeps backslashes", "C:\\x\\y.exe a", {"C:\\x\\y.exe", "a"}},
        {"quoted program name keeps backslashes", "\"a\\\" b", {"a\\", "b"}},
        {"text after quoted program starts an argument", "\"p\"x y", {"p", "x", "y"}},
        {"unterminated quoted program", "\"p q", {"p q"}},
        {"empty quoted argument", "p \"\" x", {"p", "", "x"}},
        {"quote in the middle joins", "p a\"b c\"d", {"p", "ab cd"}},
        {"backslashes not before a quote are literal", "p a\\\\b\\c", {"p", "a\\\\b\\c"}},
        {"2n backslashes and quote toggle", "p a\\\\\"b c\"", {"p", "a\\b c"}},
        {"2n+1 backslashes give a literal quote", "p a\\\\\\\"b c", {"p", "a\\\"b", "c"}},
        {"single backslash quote", "p \\\"x\\\"", {"p", "\"x\""}},
        {"trailing backslashes", "p a\\\\", {"p", "a\\\\"}},
        {"unterminated quote runs to the end", "p \"a b", {"p", "a b"}},
        {"shell characters are plain text", "p a;b $(x) `y` | & > < * ~",
         {"p", "a;b", "$(x)", "`y`", "|", "&", ">", "<", "*", "~"}},
    };
    for (const SplitCase& c : cases) {
        EXPECT_EQ(SplitCommandLine(c.commandLine), c.expected) << "case: " << c.name;
    }
}

TEST(SplitArguments, HasNoProgramName) {
    const SplitCase cases[] = {
        {"empty", "", {}},
        {"first word is an argument", "\"a\\\"b\" c", {"a\"b", "c"}},
        {"quoted blanks", "\"x y\"", {"x y"}},
    };
    for (const SplitCase& c : cases) {
        EXPECT_EQ(SplitArguments(c.commandLine), c.expected) << "case: " << c.name;
    }
}

}  // namespace
