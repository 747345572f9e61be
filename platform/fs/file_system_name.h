#pragma once
// File names on disk are UTF-8 byte strings; inside the program every path is
// UTF-16. These two conversions are the only place where the two meet.

#include <optional>
#include <string>
#include <string_view>

// The on-disk name of a UTF-16 path. Empty when the path holds an unpaired
// surrogate or a zero unit: such a path names no file, and an empty name makes
// every system call fail instead of touching some other file.
[[nodiscard]] std::optional<std::string> ToFileSystemName(std::u16string_view path);

// The UTF-16 form of an on-disk name; bytes that are not valid UTF-8 become
// U+FFFD, so a name read from the system is always shown, never dropped.
[[nodiscard]] std::u16string FromFileSystemName(std::string_view name);

// The on-disk name of a path given as narrow text in the ANSI code page, as
// the narrow-path file functions (fopen, gzopen) need it. Empty when the text
// holds a character that cannot name a file.
[[nodiscard]] std::optional<std::string> AnsiPathToFileSystemName(std::string_view ansiPath);
