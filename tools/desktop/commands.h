#pragma once
// The commands of tevorin-desktop. Each prints its result on stdout and its
// errors on stderr, and returns the process's exit code.

#include <string>
#include <vector>

namespace desktop_tool {

enum ExitCode : int {
    kSuccess = 0,
    kFailed = 1,        // no answer, a refused request, a time-out
    kBadArguments = 2,  // usage, unknown handles and ids
};

// How long a window's process may take to answer a request.
inline constexpr int kAnswerTimeoutMs = 5000;

int RunCommand(const std::vector<std::string>& args);

}  // namespace desktop_tool
