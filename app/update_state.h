#pragma once
// The process-wide record of the update: what start-up and the manifest
// found, read by every later step. Written on the user-interface thread
// before any download worker exists; only read afterwards.

#include <string>

#include "manifest/update_file_entry.h"
#include "platform/core/win_types.h"

struct UpdateState {
    DWORD installedVersion = 0;
    DWORD serverVersion = 0;
    HWND mainWindow = nullptr;
    int userUpgrade = 0;  // 0 or 1
    int UiLanguage = 0;   // 0 "ch", 1 "tw", 2 any other language (English)
    std::u16string action;
    std::u16string description;
    // The files of the update; a record's position is the file's index
    // everywhere. Records are only appended, and the list owns them.
    UpdateFileList files;

    UpdateState() = default;
    UpdateState(const UpdateState&) = delete;
    UpdateState& operator=(const UpdateState&) = delete;
    // Frees the records first to last, then the list.
    ~UpdateState();
};

// The one update state of the process; it exists before start-up runs.
extern UpdateState theUpdateState;
