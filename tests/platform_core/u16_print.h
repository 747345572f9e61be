#pragma once
// Shows UTF-16 text readably in GoogleTest messages, as quoted UTF-8.

#include <string>
#include <string_view>

#include "platform/core/text.h"

inline std::string Show(std::u16string_view text) {
    return '"' + Utf16ToUtf8(text) + '"';
}
