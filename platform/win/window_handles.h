#pragma once
// Where window handles come from. Handles must be unique across every process
// of the desktop session; the session installs its allocator when it opens.
// Without a session the process counts on its own.

#include <functional>

namespace tevorin::win {

inline constexpr int kDesktopWindowHandle = 0x10;
inline constexpr int kFirstWindowHandle = 0x20;

// 0 when no handle could be had.
int AllocateWindowHandle();
// source returns a fresh handle or 0; a null source restores the process's
// own counter.
void SetWindowHandleSource(std::function<int()> source);

}  // namespace tevorin::win
