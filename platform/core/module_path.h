#pragma once
// The path of the running executable.

#include <string>

#include "platform/core/win_types.h"

// The full path of the running executable (from /proc/self/exe), or the empty
// text when the system cannot tell it.
std::u16string GetModuleFilePath();

// The module file name copied into `buffer` of `size` characters, always
// zero-terminated. Returns the number of characters copied without the
// terminator; when the path does not fit, it is cut to size - 1 characters and
// `size` is returned. `module` must be null (the executable itself); any other
// value, an empty buffer or an unknown path gives 0.
DWORD GetModuleFileNameW(void* module, char16_t* buffer, DWORD size);
