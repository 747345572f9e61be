// A stand-in for the updater's installing moments, run as a process of its
// own so that a test can kill it at any moment:
//   installation_runner interactive UPGRADE_DIR INSTALL_DIR VERSION FILE...
//   installation_runner deferred    UPGRADE_DIR INSTALL_DIR OLD_VERSION NEW_VERSION
//   installation_runner pending     UPGRADE_DIR VERSION FILE...   (rewrites update.lock forever)
// Versions are hexadecimal. The main program never counts as running, so no
// process of the machine is stopped, and no question is ever asked. Once set
// up, it creates UPGRADE_DIR/../running, so that a test can aim its kill at
// the installation rather than at the start of the process.

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "install/install_downloaded_files.h"
#include "install/install_pending_update.h"
#include "install/pending_update.h"
#include "platform/core/native_path.h"
#include "platform/core/window_styles.h"

namespace {

class NothingRuns final : public ProcessServices {
  public:
    bool TakeSnapshot(std::vector<ProcessEntry>& entries) override {
        entries.clear();
        return true;
    }
    bool Terminate(DWORD, UINT) override { return true; }
    void Sleep(DWORD) override {}
};

int AnswerOk(HWND, const char16_t*, const char16_t*, UINT) {
    return IDOK;
}

DWORD Hex(const char* text) {
    return static_cast<DWORD>(std::strtoul(text, nullptr, 16));
}

void FillState(UpdateState& state, char** names, int count) {
    for (int i = 0; i < count; ++i) {
        auto entry = std::make_unique<UpdateFileEntry>();
        CopyToSlot(entry->filename, FromNativePath(names[i]));
        state.files.push_back(std::move(entry));
    }
}

void AnnounceRunning(const std::string& upgradeDir) {
    if (std::FILE* marker = std::fopen((upgradeDir + "/../running").c_str(), "w")) {
        std::fclose(marker);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) return 2;
    const std::string mode = argv[1];
    const std::u16string upgradeDir = FromNativePath(argv[2]) + u"/";
    NothingRuns processes;
    AnnounceRunning(argv[2]);
    if (mode == "interactive" && argc >= 5) {
        UpdateState state;
        state.serverVersion = Hex(argv[4]);
        FillState(state, argv + 5, argc - 5);
        InteractiveInstallation installation;
        installation.upgradeDir = upgradeDir;
        installation.installDir = FromNativePath(argv[3]) + u"/";
        installation.messageBox = AnswerOk;
        installation.processes = &processes;
        return InstallDownloadedFiles(installation, state) ? 0 : 1;
    }
    if (mode == "deferred" && argc == 6) {
        DeferredInstallation installation;
        installation.upgradeDir = upgradeDir;
        installation.installDir = FromNativePath(argv[3]) + u"/";
        installation.installedVersion = Hex(argv[4]);
        installation.serverVersion = Hex(argv[5]);
        installation.showNotice = [] { return std::make_unique<UpdateNotice>(); };
        installation.processes = &processes;
        return InstallPendingUpdate(installation) ? 0 : 1;
    }
    if (mode == "pending") {
        UpdateState state;
        state.installedVersion = 1;
        state.serverVersion = Hex(argv[3]);
        FillState(state, argv + 4, argc - 4);
        for (;;) {
            if (!WritePendingUpdate(upgradeDir, state)) return 1;
        }
    }
    return 2;
}
