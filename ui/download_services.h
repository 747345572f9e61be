#pragma once
// The operations of other subsystems that the wizard's download calls, kept
// in one replaceable table so that the coordination can be exercised without
// stopping processes, installing files or running out of threads.

#include <functional>

#include "platform/thread/thread.h"

class CDownloadDlg;

struct DownloadServices {
    // Ends a running main program before the first attempt.
    std::function<void()> stopMainProgram;
    // A silent run's first step: installs the update an earlier run left
    // pending; true when it did, and the wizard then closes.
    std::function<bool(CDownloadDlg& wizard)> installPendingUpdate;
    // Installs the downloaded files now; its result changes nothing.
    std::function<void(CDownloadDlg& wizard)> installNow;
    // Keeps the downloaded files for the next silent run.
    std::function<void(CDownloadDlg& wizard)> storePendingUpdate;
    // Starts one worker thread; null when it cannot be created.
    std::function<HANDLE(LPTHREAD_START_ROUTINE start, LPVOID parameter)> createThread;
};

// The table in use; it starts with the real operations.
DownloadServices& TheDownloadServices();
// The real operations.
DownloadServices SystemDownloadServices();
// Operations that do nothing, for a wizard that is only looked at: it stops,
// installs, stores and fetches nothing, whatever the manifest's word (every
// worker thread fails to start, so each file reports a failure).
DownloadServices InertDownloadServices();
