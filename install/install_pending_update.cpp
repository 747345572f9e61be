#include "install/install_pending_update.h"

#include "app/version_stamp.h"
#include "install/install_update_file.h"
#include "install/pending_update.h"
#include "platform/core/text.h"
#include "platform/process/process_start.h"
#include "platform/win/window.h"

namespace {

bool IsSetupProgram(const UpdateFileEntry& entry) {
    return ToLowerCase(TrimWhiteSpace(ReadSlot(entry.filename))) == kSetupProgramName;
}

}  // namespace

bool InstallPendingUpdate(const DeferredInstallation& installation) {
    ProcessServices& processes =
        installation.processes != nullptr ? *installation.processes : SystemProcessServices();
    std::unique_ptr<UpdateNotice> notice;
    bool result = true;
    bool setupStarted = false;

    PendingUpdateSteps steps;
    steps.opened = [&] {
        if (installation.showNotice) notice = installation.showNotice();
    };
    steps.accepted = [&](DWORD) {
        StopMainProgram(processes);
        // Files of a running main program must not be replaced under it.
        return FindProcessByName(kMainProgramImageName, processes) == 0;
    };
    const auto onRecord = [&](const UpdateFileEntry& entry) {
        if (IsSetupProgram(entry)) {
            // The setup program is started under its name exactly as stored.
            const std::u16string setup = installation.upgradeDir + ReadSlot(entry.filename);
            (void)ShellExecuteW(GetDesktopWindow(), u"open", setup.c_str(), u"", u"", SW_SHOW);
            setupStarted = true;
        } else if (!InstallUpdateFile(entry, installation.upgradeDir, installation.installDir)) {
            result = false;
        }
    };
    const PendingUpdateResult read =
        ReadPendingUpdate(installation.upgradeDir, installation.installedVersion,
                          installation.serverVersion, onRecord, steps);
    if (read == PendingUpdateResult::kNoFile) return false;
    if (read != PendingUpdateResult::kComplete) result = false;

    if (result && !setupStarted) {
        const std::u16string mainProgram = installation.installDir + kMainProgramFileName;
        result = WriteVersionStampAt(mainProgram, installation.serverVersion);
        // The files are in place either way, so the user gets the program back.
        (void)ShellExecuteW(GetDesktopWindow(), u"open", mainProgram.c_str(), u"", u"", SW_SHOW);
    }
    if (result) processes.Sleep(kNoticeLingerMs);
    return result;
}
