#pragma once
// The process's peak resident memory, and its reset before a measured run;
// the disk's state before a measured run.

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

// VmHWM in KiB; -1 when it cannot be read.
inline long PeakResidentKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
    return -1;
}

inline void ResetPeakResident() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

// Writes back what earlier runs left in the page cache, so that no run pays
// for the one before it.
inline void SettleDisk() {
    ::sync();
}
