#pragma once

#include <string>

#include "platform/core/win_types.h"

// A version given on the command line: 1 to 8 hexadecimal digits, either
// case, an optional 0x in front. Strict, unlike the manifest's reading: a
// typing error must not publish or stamp some other version.
[[nodiscard]] bool ParseVersionArgument(std::string text, DWORD& version);
