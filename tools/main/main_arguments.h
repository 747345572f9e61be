#pragma once
// The command line of tevorin-main (and so of Tevorin.exe, which passes its
// arguments on).

#include <optional>
#include <string>
#include <vector>

#include "platform/core/win_types.h"

namespace main_stand_in {

enum class MainMode {
    kRun,     // no option: the main program's window
    kCheck,   // the window, and the updater started for a check
    kUpdate,  // the window, and the updater started as the user's request
    kInstall,
};

struct MainArguments {
    MainMode mode = MainMode::kRun;
    std::string installDir;  // kInstall
    DWORD version = 1;       // kInstall
};

// args without the program name. Nothing, with `error` set, for anything
// else than the documented forms.
std::optional<MainArguments> ParseMainArguments(const std::vector<std::string>& args,
                                                std::string* error);

// A version given on the command line: one to eight hexadecimal digits, with
// an optional "0x" in front.
std::optional<DWORD> ParseVersionArgument(const std::string& text);

}  // namespace main_stand_in
