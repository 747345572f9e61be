#include "install/install_downloaded_files.h"

#include "app/version_stamp.h"
#include "install/install_update_file.h"
#include "platform/core/text.h"
#include "platform/core/window_styles.h"
#include "platform/process/process_start.h"
#include "platform/win/window.h"

bool InstallDownloadedFiles(const InteractiveInstallation& installation, const UpdateState& state) {
    ProcessServices& processes =
        installation.processes != nullptr ? *installation.processes : SystemProcessServices();
    // The user closes the main program; the updater never ends it here.
    while (FindProcessByName(kMainProgramImageName, processes) != 0) {
        const int answer = installation.messageBox(installation.owner, kCloseMainProgramText,
                                                   kInstallCaption, kCloseMainProgramBoxType);
        if (answer == IDCANCEL) return false;
    }

    bool allInstalled = true;
    for (std::size_t i = 0; i < state.files.size(); ++i) {
        const UpdateFileEntry& entry = *state.files[i];
        if (InstallUpdateFile(entry, installation.upgradeDir, installation.installDir)) continue;
        allInstalled = false;
        const std::u16string text = FormatText(kFileFailedFormat, ReadSlot(entry.filename).c_str());
        (void)installation.messageBox(installation.owner, text.c_str(), kInstallCaption,
                                      kFailureBoxType);
    }

    const std::u16string mainProgram = installation.installDir + kMainProgramFileName;
    if (allInstalled && WriteVersionStampAt(mainProgram, state.serverVersion)) {
        // A main program that does not start leaves the update installed.
        (void)ShellExecuteW(GetDesktopWindow(), u"open", mainProgram.c_str(), u"", u"", SW_SHOW);
        return true;
    }
    (void)installation.messageBox(installation.owner, kInstallFailedText, kInstallCaption,
                                  kFailureBoxType);
    (void)ShellExecuteW(nullptr, u"open", kProductDownloadPage, nullptr, nullptr, SW_SHOW);
    return false;
}
