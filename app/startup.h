#pragma once
// What the updater learns at start, before it contacts the update server: the
// installed version, the launch arguments and the user-interface language.

#include <string>
#include <string_view>

#include "platform/core/win_types.h"

inline constexpr char16_t kSettingsPathFormat[] = u"%sdata/pro.ini";

// The two launch arguments in the process's command line.
struct LaunchArguments {
    HWND mainWindow = nullptr;  // from "<handle>...</handle>", decimal
    int userUpgrade = 0;        // 1 when "<userupgrade>TRUE</userupgrade>", exactly
};

LaunchArguments ParseLaunchArguments(std::u16string_view commandLine);

// The language number of a settings value: "ch" 0, "tw" 1, anything else 2,
// after trimming and lower-casing.
int UiLanguageFromSetting(std::u16string_view value);

// The language from the main program's settings file under `moduleDir`
// (section "Window", key "lang", "CH" when the file or key is missing).
int ReadUiLanguage(const std::u16string& moduleDir);

struct StartupData {
    DWORD installedVersion = 0;
    LaunchArguments arguments;
    int UiLanguage = 0;
};

enum class StartupResult {
    kProceed,           // everything read; go on to the single-instance test
    kNoMainProgram,     // Tevorin.exe cannot be opened: nothing else was read
    kNoMainWindow,      // no usable "<handle>" value
};

// The start-up reads in their fixed order: the version stamp of
// `moduleDir` + "Tevorin.exe" (ending the reads at once when it cannot be
// opened), then the launch arguments of `commandLine`, then the language.
// `data` receives what was read; fields not reached keep their values.
[[nodiscard]] StartupResult ReadStartupData(const std::u16string& moduleDir,
                                            std::u16string_view commandLine, StartupData& data);
