#pragma once
// The process's command line as one text, the way the updater's code reads it.

#include <string>
#include <string_view>
#include <vector>

// Joins arguments into one command line that splits back into the same
// arguments under the usual quoting rules of such command lines: arguments
// are separated by one blank; an argument that is empty or holds a blank, a
// tab, a line break or a double quote is put in double quotes, with each
// double quote escaped by a backslash and the backslashes before a double
// quote (or before the closing quote) doubled. Other arguments stay as they
// are, so "<handle>918</handle>" appears unchanged.
std::u16string JoinCommandLine(const std::vector<std::u16string>& arguments);

// The arguments of this process, the program path first, read from
// /proc/self/cmdline and converted from the ANSI code page.
std::vector<std::u16string> GetProcessArguments();

// JoinCommandLine of GetProcessArguments(), built on the first call and kept
// for the life of the process, as the system's own command line is.
const char16_t* GetCommandLineW();
