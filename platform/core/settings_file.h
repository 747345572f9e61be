#pragma once
// Reading values from INI-style settings files, as the main program keeps
// them ("data/pro.ini").
//
// File format, as read here:
//  - text in UTF-8 or UTF-16 when it starts with the matching byte-order mark;
//    without a mark, UTF-8 when the bytes are valid UTF-8 (plain ASCII
//    included), else the ANSI code page;
//  - lines end with LF or CR LF; "[name]" starts a section; "key=value" lines
//    belong to the section above them; lines starting with ';' (after
//    leading white space) are comments; other lines are ignored;
//  - section and key names are matched without regard to ASCII case, with
//    white space around them removed; white space around the value is removed,
//    and then one pair of matching double or single quotes around it;
//  - the first matching section and, in it, the first matching key count.

#include <optional>
#include <string>
#include <string_view>

#include "platform/core/win_types.h"

// The value of `key` in `section` of the settings file at `path`, or nullopt
// when the file, the section or the key is missing.
std::optional<std::u16string> ReadSettingsValue(std::u16string_view section,
                                                std::u16string_view key, std::u16string_view path);

// Copies the value, or `defaultValue` (null: empty) when there is none, into
// `buffer` of `size` characters, cut to size - 1 characters and
// zero-terminated. Returns the number of characters copied without the
// terminator; 0 for a null buffer or size 0. A null section or key gives the
// default.
DWORD GetPrivateProfileStringW(const char16_t* section, const char16_t* key,
                               const char16_t* defaultValue, char16_t* buffer, DWORD size,
                               const char16_t* path);
