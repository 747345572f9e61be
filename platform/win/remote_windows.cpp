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
    return g_remote.load();
}

}  // namespace tevorin::win
