#include "install/process_control.h"

#include <string_view>

#include "platform/core/text.h"
#include "platform/process/process_control.h"

namespace {

// Termination reports this exit code where the system lets the caller choose one.
constexpr UINT kTerminatedExitCode = 0xFFFFFFFFu;

class SystemServices final : public ProcessServices {
public:
    bool TakeSnapshot(std::vector<ProcessEntry>& entries) override {
        return TakeProcessSnapshot(entries);
    }
    bool Terminate(DWORD processId, UINT exitCode) override {
        const ProcessHandle process = OpenProcess(PROCESS_ALL_ACCESS_LEGACY, TRUE, processId);
        if (!process.IsValid()) return false;
        return TerminateProcess(process, exitCode) != FALSE;
    }
    void Sleep(DWORD milliseconds) override { ::Sleep(milliseconds); }
};

}  // namespace

ProcessServices& SystemProcessServices() {
    static SystemServices services;
    return services;
}

DWORD FindProcessByName(const char16_t* name, ProcessServices& services) {
    if (name == nullptr) return 0;
    std::vector<ProcessEntry> entries;
    if (!services.TakeSnapshot(entries)) return 0;
    const std::u16string wanted = ToLowerCase(name);
    for (const ProcessEntry& entry : entries) {
        if (ToLowerCase(entry.exeFile) == wanted) return entry.processId;
    }
    return 0;
}

bool KillProcessByName(const char16_t* name, ProcessServices& services) {
    const DWORD processId = FindProcessByName(name, services);
    if (processId == 0) return true;
    return services.Terminate(processId, kTerminatedExitCode);
}

void StopMainProgram(ProcessServices& services) {
    if (FindProcessByName(kMainProgramImageName, services) == 0) return;
    for (int attempt = 1;; ++attempt) {
        // A failed attempt is simply repeated until the bound.
        (void)KillProcessByName(kMainProgramImageName, services);
        services.Sleep(kStopMainProgramPauseMs);
        if (attempt == kStopMainProgramAttempts) return;
        if (FindProcessByName(kMainProgramImageName, services) == 0) return;
    }
}
