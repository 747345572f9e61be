#pragma once
// What the stand-in main program's window shows: its name and the installed
// version.

#include "platform/core/win_types.h"

namespace main_stand_in {

void PaintMainWindow(HWND hwnd, DWORD version);

}  // namespace main_stand_in
