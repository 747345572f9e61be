#pragma once
// What the stand-in main program's window shows: its name and the installed
// version, so that a person or a snapshot can tell which version runs.

#include <string>

#include "platform/core/win_types.h"

namespace main_stand_in {

// "Version C1A2B": the version in upper-case hexadecimal.
std::u16string VersionLine(DWORD version);

// Paints the window's invalid area (the WM_PAINT handler): "Tevorin" large
// in the upper half, the version line below it.
void PaintMainWindow(HWND hwnd, DWORD version);

}  // namespace main_stand_in
