#include "ui/download_services.h"

#include "install/process_control.h"
#include "ui/download_dlg.h"

DownloadServices SystemDownloadServices() {
    DownloadServices services;
    services.stopMainProgram = [] { StopMainProgram(); };
    services.installPendingUpdate = [](CDownloadDlg& wizard) {
        return wizard.InstallPendingUpdate();
    };
    // The wizard closes whatever the installation's outcome; the
    // installation has told the user what went wrong.
    services.installNow = [](CDownloadDlg& wizard) { (void)wizard.InstallDownloadedFiles(); };
    services.storePendingUpdate = [](CDownloadDlg& wizard) { wizard.WritePendingUpdate(); };
    services.createThread = [](LPTHREAD_START_ROUTINE start, LPVOID parameter) {
        return CreateThread(nullptr, 0, start, parameter, 0, nullptr);
    };
    return services;
}

DownloadServices InertDownloadServices() {
    DownloadServices services;
    services.stopMainProgram = [] {};
    services.installPendingUpdate = [](CDownloadDlg&) { return false; };
    services.installNow = [](CDownloadDlg&) {};
    services.storePendingUpdate = [](CDownloadDlg&) {};
    services.createThread = [](LPTHREAD_START_ROUTINE, LPVOID) -> HANDLE { return nullptr; };
    return services;
}

DownloadServices& TheDownloadServices() {
    static DownloadServices services = SystemDownloadServices();
    return services;
}
