#pragma once
// The system's process list: every running process with its image name.

#include <string>
#include <vector>

#include "platform/core/win_types.h"

struct ProcessEntry {
    DWORD processId = 0;
    // The image name: the file name of the program the process runs, without
    // its directory, as the kernel records it for the process.
    std::u16string exeFile;
};

// Fills `entries` with every live process, in ascending process id order.
// Processes that have ended but were not yet collected by their parent are
// left out: they run nothing and cannot be stopped again. False when the list
// cannot be read at all.
[[nodiscard]] bool TakeProcessSnapshot(std::vector<ProcessEntry>& entries);
