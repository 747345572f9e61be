#include "app/update_decision.h"

#include <gtest/gtest.h>

#include <string>

#include "platform_core/u16_print.h"

namespace {

TEST(IsUpdateDue, NeedsAHigherVersionAndAtLeastOneFile) {
    struct Case {
        DWORD server;
        DWORD installed;
        std::size_t files;
        bool due;
    } cases[] = {
        {0xC1A2C, 0xC1A2B, 2, true},
        {0xC1A2B, 0xC1A2B, 2, false},
        {0xC1A2A, 0xC1A2B, 2, false},
        {0xC1A2C, 0xC1A2B, 0, false},
        {0x80000000, 0x7FFFFFFF, 1, true},  // compared unsigned
        {0xFFFFFFFF, 0xFFFFFFFE, 1, true},
        {0, 0xFFFFFFFF, 1, false},
        {1, 0, 1, true},
        {0, 0, 1, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsUpdateDue(c.server, c.installed, c.files), c.due)
            << std::hex << c.server << " over " << c.installed << " with " << c.files << " files";
    }
}

TEST(IsWizardShown, HiddenOnlyForASilentDefaultRun) {
    struct Case {
        int userUpgrade;
        std::u16string action;
        bool shown;
    } cases[] = {
        {0, u"Default", false},       {1, u"Default", true},
        {0, u"UserPrompt", true},     {1, u"UserPrompt", true},
        {0, u"UpdateRightNow", true}, {1, u"UpdateRightNow", true},
        {0, u"default", true},        {0, u"", true},
        {0, u"Default ", true},       {0, u"DEFAULT", true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsWizardShown(c.userUpgrade, c.action), c.shown)
            << "userUpgrade " << c.userUpgrade << " action " << Show(c.action);
    }
}

}  // namespace
