#pragma once
// Text forms of tevorin-desktop's arguments and output lines.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/core/win_types.h"

namespace desktop_tool {

// UTF-8 of `text` with a backslash, tab, CR and LF written as "\\", "\t",
// "\r" and "\n", so that one window always takes exactly one output line.
std::string EscapeText(std::u16string_view text);

// "x,y,w,h" of a rectangle given as left, top, right, bottom.
std::string FormatRect(const RECT& rect);

// A number argument: decimal digits, or "0x"/"0X" and hexadecimal digits,
// within [0, max]. Nothing else is accepted: no blanks, signs or suffixes.
std::optional<std::uint64_t> ParseUnsigned(std::string_view text, std::uint64_t max);

// As ParseUnsigned up to 2^64 - 1, and also "-" and decimal digits down to
// -2^63, which give the two's complement bit pattern: the forms a message
// parameter is written in.
std::optional<std::uint64_t> ParseMessageParameter(std::string_view text);

// Seconds for `wait`: a non-negative decimal number with an optional
// fraction, at most one day. Milliseconds, or nothing when malformed.
std::optional<long long> ParseSeconds(std::string_view text);

}  // namespace desktop_tool
