#include "install/install_path.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

TEST(SubdirectoryBelowInstallation, StaysInsideTheInstallationDirectory) {
    struct Case {
        std::u16string localdir;
        std::optional<std::u16string> expected;
    };
    const Case cases[] = {
        {u"plugins", u"plugins"},
        {u"plugins\\codecs", u"plugins/codecs"},
        {u"plugins/codecs", u"plugins/codecs"},
        {u"plugins\\", u"plugins/"},
        {u"[system]", u"[system]"},
        {u" [SYSTEM] ", u" [SYSTEM] "},
        {u"a..b", u"a..b"},
        {u"..a", u"..a"},
        {u"./skins", u"./skins"},
        {u"插件", u"插件"},
        {u"", std::nullopt},
        {u"/etc", std::nullopt},
        {u"\\etc", std::nullopt},
        {u"C:", std::nullopt},
        {u"c:\\Windows", std::nullopt},
        {u"C:plugins", std::nullopt},
        {u"..", std::nullopt},
        {u"..\\..\\etc", std::nullopt},
        {u"plugins/../..", std::nullopt},
        {u"plugins\\..", std::nullopt},
        {u"a/../b", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SubdirectoryBelowInstallation(c.localdir), c.expected)
            << "row " << (&c - cases);
    }
}

TEST(IsPlainFileName, RejectsNamesThatLeaveTheirDirectory) {
    struct Case {
        std::u16string filename;
        bool expected;
    };
    const Case cases[] = {
        {u"Tevorin.exe", true},     {u"setup.exe", true},    {u"a b.dll", true},
        {u"..dll", true},           {u"通.dll", true},        {u"", false},
        {u".", false},              {u"..", false},          {u"../x.dll", false},
        {u"..\\x.dll", false},      {u"sub/x.dll", false},   {u"/etc/passwd", false},
        {u"x\" /unregserver", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsPlainFileName(c.filename), c.expected) << "row " << (&c - cases);
    }
}

}  // namespace
