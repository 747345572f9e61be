#pragma once
// The updater's own directory, which is the main program's installation
// directory.

#include <string>
#include <string_view>

// The directory part of a path, with its trailing '/': everything up to and
// including the last '/'; empty when the path has none.
std::u16string DirectoryOf(std::u16string_view path);

// The directory of the running executable with a trailing '/', for example
// "/opt/tevorin/" for /opt/tevorin/TevorinLiveUpdate.exe. The path is taken
// whole, however long it is.
std::u16string GetModuleDir();
