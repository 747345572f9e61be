#pragma once
// The stand-in main program's window and message loop.

#include <string>

#include "platform/core/win_types.h"
#include "tools/main/main_arguments.h"

namespace main_stand_in {

inline constexpr char16_t kMainWindowTitle[] = u"Tevorin";

// Shows the window titled "Tevorin" with `version`, starts the updater in
// `dir` as `mode` asks once the window exists, and runs the message loop
// until WM_QUIT or the window's destruction. Returns the exit code. Prints
// "minimised" when the window is minimised and "told to quit" when a quit
// message ends it without the window's destruction.
int RunMainWindow(MainMode mode, const std::string& dir, DWORD version);

// The updater's arguments (its own path first) for the window `handle`.
std::vector<std::string> UpdaterArguments(const std::string& updaterPath, int handle,
                                          MainMode mode);

}  // namespace main_stand_in
