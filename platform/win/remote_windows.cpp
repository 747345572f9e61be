#include "platform/win/remote_windows.h"

#include <atomic>

#include "platform/win/desktop_session.h"

namespace tevorin::win {
namespace {
std::atomic<RemoteWindows*> g_remote{nullptr};
}

void SetRemoteWindows(RemoteWindows* remote) {
    g_remote.store(remote);
}
RemoteWindows* GetRemoteWindows() {
    // Another process's windows are asked for before this one has any of its own.
    EnsureDesktopSession();
    return g_remote.load();
}

}  // namespace tevorin::win
