#pragma once
// Starting programs and handing documents and web addresses to the desktop.
// Nothing started here is awaited, and no shell ever takes part: a file name
// or an argument is never read as a command.

#include "platform/core/win_types.h"

// Window states a started program is asked to show itself in. Programs here
// choose their own windows, so the value is accepted and passed on to nobody.
inline constexpr int SW_HIDE = 0;
inline constexpr int SW_SHOW = 5;

// Results of ShellExecuteW below 33.
inline constexpr INT_PTR SE_ERR_FNF = 2;           // the file does not exist
inline constexpr INT_PTR SE_ERR_PNF = 3;           // a directory on its path does not exist
inline constexpr INT_PTR SE_ERR_ACCESSDENIED = 5;  // the system refused to start it
inline constexpr INT_PTR SE_ERR_OOM = 8;           // out of memory or processes
inline constexpr INT_PTR SE_ERR_NOASSOC = 31;      // nothing on the desktop opens it, or unknown verb

// Results of WinExec below 32.
inline constexpr UINT ERROR_FILE_NOT_FOUND = 2;
inline constexpr UINT ERROR_PATH_NOT_FOUND = 3;
inline constexpr UINT ERROR_ACCESS_DENIED = 5;
inline constexpr UINT ERROR_NOT_ENOUGH_MEMORY = 8;
inline constexpr UINT ERROR_BAD_FORMAT = 11;

// Opens `file` with the verb "open" (a null or empty verb means the same;
// any other verb gives SE_ERR_NOASSOC):
//   - a program (a binary executable, or a script whose first line names its
//     interpreter) is started directly (made executable first where it is
//     readable, as a downloaded program is not), with `parameters` split into its
//     arguments by the rules of SplitArguments, in `directory` when that is
//     given and not empty; a file name without a directory is looked up in
//     the current directory, then on PATH;
//   - a web address ("scheme://...", "mailto:...") and every other file or
//     directory are handed to the desktop's opener, xdg-open, found on PATH.
// `owner` and `showCommand` have no effect. Returns a value greater than 32
// when the program or the opener was started, otherwise one of SE_ERR_*.
[[nodiscard]] INT_PTR ShellExecuteW(HWND owner, const char16_t* verb, const char16_t* file,
                                    const char16_t* parameters, const char16_t* directory,
                                    int showCommand);

// Starts the command line `commandLine`, narrow text in the ANSI code page,
// split by the rules of SplitCommandLine. A program name without a directory
// is looked up in the system directory, then on PATH. `showCommand` has no
// effect. Returns a value greater than 31 when the program was started,
// otherwise one of the ERROR_* values above.
[[nodiscard]] UINT WinExec(const char* commandLine, UINT showCommand);
