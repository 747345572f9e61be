#pragma once
// Installing an update that an earlier silent run downloaded and described in
// "update.lock", behind a notice that the software is being updated.

#include <functional>
#include <memory>
#include <string>

#include "install/process_control.h"
#include "platform/core/win_types.h"

// How long the notice stays up after a successful installation.
inline constexpr DWORD kNoticeLingerMs = 2200;
// A record of this name (trimmed, any case) is a setup program: it is started
// from the download directory instead of being installed.
inline constexpr char16_t kSetupProgramName[] = u"setup.exe";

// The notice while it is on screen; destroying the object takes it away.
class UpdateNotice {
  public:
    virtual ~UpdateNotice() = default;
};
using ShowUpdateNotice = std::function<std::unique_ptr<UpdateNotice>()>;

// The real notice: the notice dialog, shown and painted once by hand.
std::unique_ptr<UpdateNotice> ShowDefaultUpgradeNotice();

struct DeferredInstallation {
    std::u16string upgradeDir;   // holds "update.lock" and the files, ends in '/'
    std::u16string installDir;   // the main program's directory, ends in '/'
    DWORD installedVersion = 0;  // as stamped now
    DWORD serverVersion = 0;     // as the server offers now
    ShowUpdateNotice showNotice;
    ProcessServices* processes = nullptr;  // null: the system's
};

// True when "update.lock" in `upgradeDir` was written for exactly these
// versions and every record was handled: each file installed, a setup program
// started instead. Without a setup program the new version is then stamped
// (the result is the stamp's) and the main program started. The main program
// is stopped first; when it cannot be stopped nothing is touched (false).
// Without a pending-update file: false, and no notice. Every other outcome
// shows the notice while it works; after a success it stays 2.2 s longer.
[[nodiscard]] bool InstallPendingUpdate(const DeferredInstallation& installation);
