#include "app/startup.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <string>

#include "platform/core/text.h"
#include "platform_core/temp_dir.h"
#include "platform_core/u16_print.h"

namespace {

TEST(ParseLaunchArguments, ReadsHandleAndUpgradeFlag) {
    struct Case {
        std::u16string commandLine;
        int handle;
        int userUpgrade;
    } cases[] = {
        {u"/opt/t/TevorinLiveUpdate.exe <handle>918</handle><userupgrade>TRUE</userupgrade>", 918,
         1},
        {u"u <handle> 918 </handle> <userupgrade> TRUE </userupgrade>", 918, 0},
        {u"u <handle>918</handle>", 918, 0},
        {u"u <userupgrade>true</userupgrade><handle>5</handle>", 5, 0},
        {u"u <userupgrade> TRUE</userupgrade>", 0, 0},
        {u"u <userupgrade>TRUE </userupgrade>", 0, 0},
        {u"u <userupgrade>TRUE</userupgrade>", 0, 1},
        {u"u </handle>918<handle>", 0, 0},
        {u"u <handle>1</handle><handle>2</handle>", 1, 0},
        {u"u <handle>0x1A</handle>", 0, 0},
        {u"u <handle> 77abc</handle>", 77, 0},
        {u"u <handle></handle>", 0, 0},
        {u"u <HANDLE>5</HANDLE>", 0, 0},
        {u"u <handle>99999999999</handle>", INT_MAX, 0},
        {u"u", 0, 0},
        {u"", 0, 0},
    };
    for (const auto& c : cases) {
        const LaunchArguments arguments = ParseLaunchArguments(c.commandLine);
        EXPECT_EQ(HwndToInt(arguments.mainWindow), c.handle) << Show(c.commandLine);
        EXPECT_EQ(arguments.userUpgrade, c.userUpgrade) << Show(c.commandLine);
    }
}

TEST(UiLanguageFromSetting, MapsTheSettingsWord) {
    struct Case {
        std::u16string value;
        int expected;
    } cases[] = {
        {u"ch", 0}, {u"CH", 0}, {u" Ch\t", 0}, {u"tw", 1}, {u"TW ", 1}, {u"zh", 2},
        {u"", 2},   {u"en", 2}, {u"chs", 2},   {u"c h", 2}, {u"中文", 2},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(UiLanguageFromSetting(c.value), c.expected) << Show(c.value);
    }
}

TEST(ReadUiLanguage, ReadsTheMainProgramsSettingsFile) {
    struct Case {
        const char* name;
        const char* content;  // null: no settings file
        int expected;
    } cases[] = {
        {"no file", nullptr, 0},
        {"no key", "[Window]\nother=1\n", 0},
        {"tw with a blank", "[Window]\nlang=TW \n", 1},
        {"empty value", "[Window]\nlang=\n", 2},
        {"zh", "[Window]\nlang=zh\n", 2},
        {"other section", "[Main]\nlang=tw\n", 0},
    };
    for (const auto& c : cases) {
        TempDir dir;
        if (c.content != nullptr) {
            std::filesystem::create_directory(dir.path() / "data");
            dir.Write("data/pro.ini", c.content);
        }
        EXPECT_EQ(ReadUiLanguage(dir.U16() + u"/"), c.expected) << c.name;
    }
}

TEST(ReadUiLanguage, CutsAValueLongerThanTheReadLimit) {
    TempDir dir;
    std::filesystem::create_directory(dir.path() / "data");
    // "tw" followed by blanks to the limit and more: cut to 253 characters,
    // the rest of the blanks trimmed.
    dir.Write("data/pro.ini", "[Window]\nlang=tw" + std::string(300, ' ') + "x\n");
    EXPECT_EQ(ReadUiLanguage(dir.U16() + u"/"), 1);
}

class ReadStartupDataTest : public testing::Test {
protected:
    void SetUp() override {
        moduleDir_ = dir_.U16() + u"/";
        std::filesystem::create_directory(dir_.path() / "data");
    }
    void WriteMainProgram() {
        std::string bytes(64, 'x');
        bytes.replace(32, 4, std::string("\x2B\x1A\x0C\x00", 4));
        dir_.Write("Tevorin.exe", bytes);
    }

    TempDir dir_;
    std::u16string moduleDir_;
};

TEST_F(ReadStartupDataTest, ReadsVersionArgumentsAndLanguage) {
    WriteMainProgram();
    dir_.Write("data/pro.ini", "[Window]\nlang=tw\n");
    StartupData data;
    EXPECT_EQ(ReadStartupData(moduleDir_, u"u <handle>918</handle><userupgrade>TRUE</userupgrade>",
                              data),
              StartupResult::kProceed);
    EXPECT_EQ(data.installedVersion, 0xC1A2Bu);
    EXPECT_EQ(HwndToInt(data.arguments.mainWindow), 918);
    EXPECT_EQ(data.arguments.userUpgrade, 1);
    EXPECT_EQ(data.UiLanguage, 1);
}

TEST_F(ReadStartupDataTest, WithoutTheMainProgramReadsNothingElse) {
    dir_.Write("data/pro.ini", "[Window]\nlang=tw\n");
    StartupData data;
    data.arguments.mainWindow = HwndFromInt(7);
    data.arguments.userUpgrade = 5;
    data.UiLanguage = 9;
    EXPECT_EQ(ReadStartupData(moduleDir_, u"u <handle>918</handle>", data),
              StartupResult::kNoMainProgram);
    EXPECT_EQ(data.installedVersion, 0u);
    EXPECT_EQ(HwndToInt(data.arguments.mainWindow), 7);
    EXPECT_EQ(data.arguments.userUpgrade, 5);
    EXPECT_EQ(data.UiLanguage, 9);
}

TEST_F(ReadStartupDataTest, WithoutAWindowHandleStopsAfterReadingTheLanguage) {
    WriteMainProgram();
    dir_.Write("data/pro.ini", "[Window]\nlang=en\n");
    for (const char16_t* commandLine :
         {u"u", u"u <handle>0</handle>", u"u <handle>0x1A</handle>", u"u </handle>5<handle>"}) {
        StartupData data;
        EXPECT_EQ(ReadStartupData(moduleDir_, commandLine, data), StartupResult::kNoMainWindow)
            << Show(commandLine);
        EXPECT_EQ(data.installedVersion, 0xC1A2Bu);
        EXPECT_EQ(data.UiLanguage, 2);
    }
}

}  // namespace
