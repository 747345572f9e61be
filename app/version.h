#pragma once
// Versions of the main program: unsigned 32-bit numbers, compared unsigned,
// written as hexadecimal text.

#include <string>

#include "platform/core/win_types.h"

// The version in a manifest's hexadecimal text. White space around the text is
// ignored and letters may have either case; only the last eight digits count.
// A character that is no hexadecimal digit repeats the digit in front of it
// ("1.2" gives 0x112), or stands for 0 at the start of the text. The walk
// covers as many narrow bytes (in the ANSI code page) as the trimmed text has
// UTF-16 units, so a multi-byte character shifts the bytes that are read;
// positions past the narrow text count as non-digits. Never fails.
DWORD ParseHexVersion(std::u16string text);

// The download directory's name for a version: upper-case hexadecimal without
// prefix or leading zeros ("C1A2B", "0").
std::u16string VersionDirName(DWORD version);

// True when `serverVersion` is an update over `installedVersion`.
constexpr bool IsNewerVersion(DWORD serverVersion, DWORD installedVersion) {
    return serverVersion > installedVersion;
}
