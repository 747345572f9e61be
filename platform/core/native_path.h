#pragma once
// File names cross into the operating system as UTF-8 bytes; paths inside the
// program are UTF-16 with '/' as the separator.

#include <string>
#include <string_view>

inline constexpr char16_t kPathSeparator = u'/';

// The bytes to hand to the system for a path. Unpaired surrogates, which no
// file name on disk can hold, become U+FFFD and so name no existing file.
std::string ToNativePath(std::u16string_view path);

// A path from the system in program text; bytes that are not UTF-8 become
// U+FFFD.
std::u16string FromNativePath(std::string_view path);
