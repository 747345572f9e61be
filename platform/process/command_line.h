#pragma once
// Splitting a one-line command into a program name and its arguments, by the
// rules that programs of the updater's home system use for their own command
// lines, so that a command built for it reaches the started program unchanged.

#include <string>
#include <string_view>
#include <vector>

// The program name ends at the first blank or tab, or, when it begins with a
// quote, at the next quote; backslashes in it are taken literally. In every
// argument after it:
//   - blanks and tabs outside quotes separate arguments;
//   - a quote toggles the quoted state and is dropped;
//   - 2n backslashes before a quote give n backslashes, and the quote toggles;
//   - 2n+1 backslashes before a quote give n backslashes and a literal quote;
//   - backslashes anywhere else are literal.
// An empty quoted text ("") is an empty argument. No other character has a
// meaning of its own. An empty or blank command gives an empty list.
[[nodiscard]] std::vector<std::string> SplitCommandLine(std::string_view commandLine);

// The arguments only, all by the argument rules above (no program name).
[[nodiscard]] std::vector<std::string> SplitArguments(std::string_view arguments);
