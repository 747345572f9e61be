#include "app/startup.h"

#include "app/tagged_value.h"
#include "app/version_stamp.h"
#include "platform/core/settings_file.h"
#include "platform/core/text.h"

namespace {

// The settings buffer holds 256 characters; the reader is given 254.
constexpr DWORD kLanguageBufferSize = 256;
constexpr DWORD kLanguageReadLimit = 254;

}  // namespace

LaunchArguments ParseLaunchArguments(std::u16string_view commandLine) {
    LaunchArguments arguments;
    std::u16string value;
    ExtractTaggedValue(commandLine, u"<handle>", u"</handle>", value);
    arguments.mainWindow = HwndFromInt(_wtoi(value.c_str()));
    ExtractTaggedValue(commandLine, u"<userupgrade>", u"</userupgrade>", value);
    arguments.userUpgrade = value == u"TRUE" ? 1 : 0;
    return arguments;
}

int UiLanguageFromSetting(std::u16string_view value) {
    const std::u16string language = ToLowerCase(TrimWhiteSpace(value));
    if (language == u"ch") return 0;
    if (language == u"tw") return 1;
    return 2;
}

int ReadUiLanguage(const std::u16string& moduleDir) {
    const std::u16string path = FormatText(kSettingsPathFormat, moduleDir.c_str());
    char16_t buffer[kLanguageBufferSize] = {};
    const DWORD length = GetPrivateProfileStringW(u"Window", u"lang", u"CH", buffer,
                                                  kLanguageReadLimit, path.c_str());
    return UiLanguageFromSetting(std::u16string_view(buffer, length));
}

StartupResult ReadStartupData(const std::u16string& moduleDir, std::u16string_view commandLine,
                              StartupData& data) {
    if (!ReadVersionStamp(moduleDir + kMainProgramFileName, data.installedVersion)) {
        return StartupResult::kNoMainProgram;
    }
    data.arguments = ParseLaunchArguments(commandLine);
    data.UiLanguage = ReadUiLanguage(moduleDir);
    if (data.arguments.mainWindow == nullptr) return StartupResult::kNoMainWindow;
    return StartupResult::kProceed;
}
