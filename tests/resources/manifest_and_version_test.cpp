#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <string>

#include "resources/tevorin_resources.h"

namespace {

class ProgramResources : public ::testing::Test {
protected:
    void SetUp() override { previous_ = InstallResourceTable(&TevorinResourceTable()); }
    void TearDown() override { InstallResourceTable(previous_); }

private:
    const ResourceTable* previous_ = nullptr;
};

TEST_F(ProgramResources, ManifestAsksForAdministratorRights) {
    const std::string_view text = FindApplicationManifest();
    pugi::xml_document document;
    const pugi::xml_parse_result parsed = document.load_buffer(text.data(), text.size());
    ASSERT_TRUE(parsed) << parsed.description();
    const pugi::xml_node assembly = document.child("assembly");
    ASSERT_TRUE(assembly);

    const pugi::xml_node identity = assembly.child("assemblyIdentity");
    ASSERT_TRUE(identity);
    EXPECT_STREQ(identity.attribute("version").value(), "1.0.0.0");
    EXPECT_STREQ(identity.attribute("processorArchitecture").value(), "X86");
    EXPECT_STREQ(identity.attribute("type").value(), "win32");
    EXPECT_STRNE(identity.attribute("name").value(), "");

    const pugi::xpath_node_set levels = document.select_nodes("//requestedExecutionLevel");
    ASSERT_EQ(levels.size(), 1u);
    EXPECT_STREQ(levels[0].node().attribute("level").value(), "requireAdministrator");
    EXPECT_STREQ(levels[0].node().attribute("uiAccess").value(), "false");
}

TEST_F(ProgramResources, VersionResourceNamesVersionOneZeroZeroOneOfAnApplication) {
    const VersionInfo* info = FindVersionInfo();
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->fileVersion, (std::array<WORD, 4>{1, 0, 0, 1}));
    EXPECT_EQ(info->productVersion, (std::array<WORD, 4>{1, 0, 0, 1}));
    EXPECT_EQ(info->fileType, 1u) << "an application";
    EXPECT_EQ(FindVersionString(*info, u"FileVersion"), u"1.0.0.1");
    EXPECT_EQ(FindVersionString(*info, u"ProductVersion"), u"1.0.0.1");
    EXPECT_EQ(FindVersionString(*info, u"OriginalFilename"), u"TevorinLiveUpdate.exe");
    ASSERT_EQ(info->translations.size(), 1u);
    EXPECT_EQ(info->stringTables.at(0).languageAndCodePage, u"080404b0")
        << "the string table matches the translation 0x804, 1200";
    EXPECT_EQ(info->translations[0], (std::pair<WORD, WORD>{0x804, 1200}));
}

}  // namespace
