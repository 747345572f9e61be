#include <cstdint>

#include "app/update_state.h"
#include "download/download_file.h"
#include "platform/win/message_loop.h"
#include "ui/download_dlg.h"

DWORD DownloadThreadProc(LPVOID parameter) {
    const auto index = static_cast<int>(reinterpret_cast<std::intptr_t>(parameter));
    // The wizard outlives every worker it started: its destruction stops and
    // waits for those still running before any of its memory goes.
    if (CDownloadDlg* wizard = theDownloadDlg) wizard->DownloadWorker(index);
    return 0;
}

void CDownloadDlg::DownloadWorker(int index) {
    FileDownloadJob job;
    job.index = index;
    job.reportTo = workerWindow;
    job.upgradeDir = upgradeDir;
    job.retryMode = retryMode != 0;
    job.cancel = &stopWorkers;
    const auto& files = theUpdateState.files;
    if (index < 0 || static_cast<std::size_t>(index) >= files.size() ||
        !files[static_cast<std::size_t>(index)]) {
        PostMessageW(workerWindow, WM_DOWNLOAD_DONE, static_cast<WPARAM>(index), 0);
        return;
    }
    job.entry = *files[static_cast<std::size_t>(index)];
    DownloadFileEntry(job);
}
