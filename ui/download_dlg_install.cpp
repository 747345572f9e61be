// The wizard's installing operations: each hands the wizard's download
// directory, its window and the installation directory to the installation.

#include "app/module_dir.h"
#include "app/update_state.h"
#include "install/install_downloaded_files.h"
#include "install/install_pending_update.h"
#include "install/install_update_file.h"
#include "install/pending_update.h"
#include "ui/download_dlg.h"

bool CDownloadDlg::InstallUpdateFile(const UpdateFileEntry& entry) {
    return ::InstallUpdateFile(entry, upgradeDir, GetModuleDir());
}

bool CDownloadDlg::InstallDownloadedFiles() {
    InteractiveInstallation installation;
    installation.owner = m_hWnd;
    installation.upgradeDir = upgradeDir;
    installation.installDir = GetModuleDir();
    installation.messageBox = ::MessageBoxW;
    return ::InstallDownloadedFiles(installation, theUpdateState);
}

void CDownloadDlg::WritePendingUpdate() {
    // A pending update that cannot be written is downloaded again next time.
    (void)::WritePendingUpdate(upgradeDir, theUpdateState);
}

bool CDownloadDlg::InstallPendingUpdate() {
    DeferredInstallation installation;
    installation.upgradeDir = upgradeDir;
    installation.installDir = GetModuleDir();
    installation.installedVersion = theUpdateState.installedVersion;
    installation.serverVersion = theUpdateState.serverVersion;
    installation.showNotice = ShowDefaultUpgradeNotice;
    return ::InstallPendingUpdate(installation);
}
