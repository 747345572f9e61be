#pragma once
// Fetching one file of an update into the download directory, reporting to a
// window with the three download messages (download_messages.h).

#include <atomic>
#include <string>
#include <string_view>

#include "manifest/update_file_entry.h"
#include "platform/core/win_types.h"

// Everything one download needs, copied from the wizard before it starts, so
// that the transfer never reaches back into the window object.
struct FileDownloadJob {
    UpdateFileEntry entry{};    // src, filename and zipped are used
    int index = 0;              // wParam of every report
    HWND reportTo = nullptr;    // receives the size, progress and done reports
    std::u16string upgradeDir;  // ends with a separator
    bool retryMode = false;     // a target that exists already counts as done
    // When it turns true the transfer gives up within a short time and the
    // file fails. Must outlive the call; may be null.
    const std::atomic<bool>* cancel = nullptr;
};

// True for a name that stays inside the download directory: not empty, not
// "." or "..", and without '/' or '\'.
[[nodiscard]] bool IsSafeDownloadName(std::u16string_view filename);

// True when `zipped`, trimmed and lower-cased, reads "true".
[[nodiscard]] bool IsZippedFlag(std::u16string_view zipped);

// Percent of an announced length, as the progress report carries it: the
// truncated quotient in double precision, its low 32 bits; 0 when nothing was
// announced. Above 100 when more arrives than was announced.
[[nodiscard]] LPARAM DownloadPercent(DWORD received, DWORD total);

// Downloads `job.entry` into upgradeDir + filename through upgradeDir +
// filename + ".tmp", expanding it when it is gzip-compressed, and reports to
// `job.reportTo`: at most one WM_DOWNLOAD_SIZE, a WM_DOWNLOAD_PROGRESS per
// chunk written, and last, on every path, one WM_DOWNLOAD_DONE with 1 when the
// file is in place and 0 otherwise. A failed file never leaves a partial
// target or temporary file behind, except a complete temporary file when the
// target cannot be replaced.
void DownloadFileEntry(const FileDownloadJob& job);
