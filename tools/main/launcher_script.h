#pragma once
// Tevorin.exe: the launcher script that carries the installed version at
// bytes 32 to 35 and runs tevorin-main from its own directory.
//
// Layout: the "#!/bin/sh" line, then a here-document whose quoted delimiter
// makes the shell skip its body unread. The body's first line holds a fixed
// prefix and then the four stamp bytes at offsets 32 to 35. Whatever those
// bytes are, no body line can equal the delimiter: a line that the prefix
// starts cannot, and a line made only of stamp bytes (when some of them are
// line feeds) is at most three bytes long, shorter than the delimiter.

#include <string>

#include "platform/core/win_types.h"

namespace main_stand_in {

inline constexpr char kLauncherName[] = "Tevorin.exe";
inline constexpr char kProgramName[] = "tevorin-main";
inline constexpr char kUpdaterName[] = "TevorinLiveUpdate.exe";

// The script's bytes with `version` stamped little-endian at offset 32.
std::string LauncherScript(DWORD version);

}  // namespace main_stand_in
