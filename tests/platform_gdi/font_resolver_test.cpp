#include "platform/gdi/font_resolver.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace {

// Steers fontconfig through its environment for the life of the object, which
// also makes the resolver ask fontconfig rather than look at packaged places.
class FontconfigSteered {
  public:
    FontconfigSteered() { ::setenv("FONTCONFIG_FILE", "/etc/fonts/fonts.conf", 1); }
    ~FontconfigSteered() { ::unsetenv("FONTCONFIG_FILE"); }
};

// The dialog face found at its packaged place is the very file fontconfig
// would choose, in every style, so skipping fontconfig changes no pixel.
TEST(FontResolverTest, PackagedDialogFaceIsFontconfigsOwnChoice) {
    if (::access("/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf", R_OK) != 0 &&
        ::access("/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf", R_OK) != 0)
        GTEST_SKIP() << "Liberation Sans is not installed (scripts/install-deps.sh installs it)";
    ASSERT_EQ(std::getenv("FONTCONFIG_FILE"), nullptr);
    struct Case {
        bool bold;
        bool italic;
        const char* fileEnding;
    } cases[] = {{false, false, "LiberationSans-Regular.ttf"},
                 {true, false, "LiberationSans-Bold.ttf"},
                 {false, true, "LiberationSans-Italic.ttf"},
                 {true, true, "LiberationSans-BoldItalic.ttf"}};
    for (const Case& c : cases) {
        const std::optional<FontFile> packaged = ResolveFontFile(u"MS Shell Dlg", c.bold, c.italic);
        ASSERT_TRUE(packaged.has_value()) << c.fileEnding;
        EXPECT_TRUE(packaged->path.ends_with(c.fileEnding)) << packaged->path;
        std::optional<FontFile> chosen;
        {
            FontconfigSteered steered;
            chosen = ResolveFontFile(u"MS Shell Dlg", c.bold, c.italic);
        }
        ASSERT_TRUE(chosen.has_value()) << c.fileEnding;
        EXPECT_EQ(*packaged, *chosen) << c.fileEnding << ": fontconfig chose " << chosen->path;
    }
}

TEST(FontResolverTest, OtherFacesStillGoToFontconfig) {
    const std::optional<FontFile> chinese = ResolveFontFile(u"宋体", false, false);
    ASSERT_TRUE(chinese.has_value());
    EXPECT_EQ(chinese->path.find("LiberationSans"), std::string::npos) << chinese->path;
}

}  // namespace
