#pragma once

#include <string>
#include <string_view>

// `text` as a JSON string literal, quotes included, in UTF-8. Quote,
// backslash and control characters are escaped (\uXXXX for the controls);
// an unpaired surrogate is written as its \uXXXX escape, so that every unit
// of the text survives.
std::string JsonString(std::u16string_view text);
