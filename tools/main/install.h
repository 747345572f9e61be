#pragma once
// tevorin-main --install: puts the program and its stamped launcher into a
// directory, replacing an older install without a moment in which either
// file is missing or half written.

#include <string>

#include "platform/core/win_types.h"

namespace main_stand_in {

// Copies the running executable to DIR/tevorin-main and writes
// DIR/Tevorin.exe stamped with `version`; creates DIR when missing. Each
// file is written under a temporary name, flushed and renamed into place.
// False with `error` set on any failure; then no temporary file is left.
[[nodiscard]] bool InstallMainProgram(const std::string& dir, DWORD version, std::string* error);

}  // namespace main_stand_in
