#pragma once
// Starting a program as a process of its own that nobody waits for.

#include <optional>
#include <string>
#include <vector>

// Starts `program` (a path to an executable file) with `arguments` (the first
// being the program's own name) in `directory`, or in the caller's current
// directory when none is given. No shell takes part: every argument reaches
// the program as it is.
//
// The program is started through an intermediate process that ends at once,
// so the started program belongs to the system's process reaper, never turns
// into a zombie of ours, and no signal disposition of ours is changed.
// Returns 0 once the program runs, otherwise the error number of what failed
// (the program could not be executed, the directory does not exist, ...).
[[nodiscard]] int StartDetachedProcess(const std::string& program,
                                       const std::vector<std::string>& arguments,
                                       const std::optional<std::string>& directory);

// The executable file that a program name without a directory stands for:
// the first executable regular file of that name in `directories`, then in
// the directories of PATH. Empty when there is none.
[[nodiscard]] std::string FindProgram(const std::string& name,
                                      const std::vector<std::string>& directories);
