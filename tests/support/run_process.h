#pragma once
// Runs a program of ours as a child process and collects what it printed.

#include <chrono>
#include <string>
#include <vector>

namespace test_support {

struct ProcessResult {
    bool started = false;
    bool timedOut = false;  // the child was killed by the watchdog
    int exitCode = -1;      // -1 when it did not exit normally
    std::string out;
    std::string err;
};

// Starts `program` with `args` (no shell), waits at most `timeout`, then kills it.
ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                         std::chrono::milliseconds timeout = std::chrono::seconds(30));

}  // namespace test_support
