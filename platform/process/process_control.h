#pragma once
// Opening and ending another process, and pausing the calling thread.

#include "platform/core/win_types.h"

// Every right on a process, in the older and smaller definition that the
// updater asks for. Rights are not checked here: what the system allows
// decides whether a termination succeeds.
inline constexpr DWORD PROCESS_ALL_ACCESS_LEGACY = 0x1F0FFF;

// An opened process. It stays bound to the process it was opened on even if
// the process ends and its id is given to a new one. Closed when destroyed.
class ProcessHandle {
public:
    ProcessHandle() = default;
    ProcessHandle(int descriptor, DWORD processId) : descriptor_(descriptor), processId_(processId) {}
    ProcessHandle(ProcessHandle&& other) noexcept;
    ProcessHandle& operator=(ProcessHandle&& other) noexcept;
    ProcessHandle(const ProcessHandle&) = delete;
    ProcessHandle& operator=(const ProcessHandle&) = delete;
    ~ProcessHandle();

    [[nodiscard]] bool IsValid() const { return processId_ != 0; }
    [[nodiscard]] DWORD ProcessId() const { return processId_; }
    [[nodiscard]] int Descriptor() const { return descriptor_; }

private:
    int descriptor_ = -1;  // a process descriptor, or -1 where the system has none
    DWORD processId_ = 0;
};

// Opens the process with the given id; an invalid handle when no such process
// exists. `desiredAccess` and `inheritHandle` are accepted for the callers'
// sake and have no effect: handles are never passed on to started programs.
[[nodiscard]] ProcessHandle OpenProcess(DWORD desiredAccess, BOOL inheritHandle, DWORD processId);

// Ends the process at once and unconditionally (it gets no chance to clean
// up). The system does not let the caller choose the ended process's exit
// status: its parent sees it killed by a signal, whatever `exitCode` says.
// FALSE when the handle is invalid or the system refuses (lack of rights).
[[nodiscard]] BOOL TerminateProcess(const ProcessHandle& process, UINT exitCode);

// Suspends the calling thread for at least the given time.
void Sleep(DWORD milliseconds);
