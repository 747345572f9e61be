#pragma once
// Finding the main program among the running processes and ending it, so
// that its files can be replaced.

#include <vector>

#include "platform/core/win_types.h"
#include "platform/process/process_list.h"

// The image name of the main program in the process list.
inline constexpr char16_t kMainProgramImageName[] = u"Tevorin.exe";

// How long StopMainProgram keeps trying: this many termination attempts, each
// followed by a pause of this many milliseconds (about 5.2 seconds in all).
inline constexpr int kStopMainProgramAttempts = 52;
inline constexpr DWORD kStopMainProgramPauseMs = 100;

// The system services the process control uses, replaceable so that the
// stop loop can be exercised without real processes or real waiting.
class ProcessServices {
public:
    virtual ~ProcessServices() = default;
    // Every running process, in the process list's order; false when the
    // list cannot be taken.
    [[nodiscard]] virtual bool TakeSnapshot(std::vector<ProcessEntry>& entries) = 0;
    // Opens the process and requests its termination with `exitCode`; false
    // when it cannot be opened or the request fails.
    [[nodiscard]] virtual bool Terminate(DWORD processId, UINT exitCode) = 0;
    virtual void Sleep(DWORD milliseconds) = 0;
};

// The real process list, termination and sleep.
ProcessServices& SystemProcessServices();

// The id of the first process in list order whose image name equals `name`,
// compared case-insensitively over the whole name; 0 when there is none,
// when `name` is null, or when the process list cannot be taken.
[[nodiscard]] DWORD FindProcessByName(const char16_t* name,
                                      ProcessServices& services = SystemProcessServices());

// Requests the termination of the first process named `name`, without
// waiting for it to end. True when none runs or the request succeeded.
[[nodiscard]] bool KillProcessByName(const char16_t* name,
                                     ProcessServices& services = SystemProcessServices());

// Ends a running main program: up to kStopMainProgramAttempts termination
// attempts with a pause after each, until a lookup no longer finds it.
// Reports nothing; a caller that must know looks it up again afterwards.
void StopMainProgram(ProcessServices& services = SystemProcessServices());
