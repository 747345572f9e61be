#pragma once
// The on-disk names of UTF-16 paths, for the file operations of this layer.

#include <optional>
#include <string>
#include <string_view>

// The on-disk name of a UTF-16 path. Empty when the path holds an unpaired
// surrogate or a zero unit: such a path cannot be written on disk faithfully,
// and an empty name makes every system call fail instead of touching some
// other file.
[[nodiscard]] std::optional<std::string> ToFileSystemName(std::u16string_view path);

// The on-disk name of a path given as narrow text in the ANSI code page, as
// the narrow-path file functions (fopen, gzopen) need it. Empty when the text
// holds a character that cannot name a file.
[[nodiscard]] std::optional<std::string> AnsiPathToFileSystemName(std::string_view ansiPath);
