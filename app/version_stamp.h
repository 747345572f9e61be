#pragma once
// The installed version, stamped as four little-endian bytes at offset 32 of
// the main program's executable. Those bytes lie in reserved words of the
// executable's header, so stamping does not change how the program runs.

#include <string>

#include "platform/core/win_types.h"

inline constexpr long kVersionStampOffset = 32;
inline constexpr char16_t kMainProgramFileName[] = u"Tevorin.exe";

// Reads the stamp of `path`, opened for shared reading (a running main program
// does not prevent it). False, and `value` untouched, when the file cannot be
// opened. Bytes past the end of the file leave the matching bytes of `value`
// as they were.
[[nodiscard]] bool ReadVersionStamp(const std::u16string& path, DWORD& value);

// Writes `version` as the stamp of `path`, which is opened for exclusive
// writing and neither created nor truncated: false when it is missing, not
// writable, or open anywhere else (as it is while the main program runs), and
// false when the bytes could not be written. No other byte changes; a file
// shorter than 36 bytes is extended to hold the stamp.
[[nodiscard]] bool WriteVersionStampAt(const std::u16string& path, DWORD version);

// WriteVersionStampAt of the main program next to the updater:
// GetModuleDir() + "Tevorin.exe".
[[nodiscard]] bool WriteVersionStamp(DWORD version);
