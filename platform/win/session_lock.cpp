#include "platform/win/session_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "platform/win/desktop_session.h"

namespace tevorin::win {

namespace {

// Lock files are never removed: a file unlinked while held would let the
// next process lock a fresh file of the same name beside the held one.
constexpr char kLockPrefix[] = "lock-";

bool IsNameCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
           c == '_' || c == '-';
}

}  // namespace

bool IsSessionLockName(std::string_view name) {
    if (name.empty() || name.front() == '.' || name.size() > 200) return false;
    for (char c : name) {
        if (!IsNameCharacter(c)) return false;
    }
    return true;
}

SessionLock::~SessionLock() {
    Release();
}

void SessionLock::Release() {
    if (fd_ < 0) return;
    // Closing the only descriptor of the open file drops its lock.
    ::close(fd_);
    fd_ = -1;
}

SessionLockResult SessionLock::TryTake(const std::string& directory, std::string_view name) {
    Release();
    if (directory.empty() || !IsSessionLockName(name)) return SessionLockResult::kUnavailable;
    const std::string path = directory + "/" + kLockPrefix + std::string(name);
    // Close-on-exec: a program this process starts must not keep the lock alive.
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return SessionLockResult::kUnavailable;
    int result;
    do {
        result = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
        const int error = errno;
        ::close(fd);
        return error == EWOULDBLOCK ? SessionLockResult::kHeldElsewhere
                                    : SessionLockResult::kUnavailable;
    }
    fd_ = fd;
    return SessionLockResult::kTaken;
}

SessionLockResult SessionLock::TryTakeInDesktopSession(std::string_view name) {
    SessionDirectory* session = DesktopSessionDirectory();
    if (session == nullptr) {
        Release();
        return SessionLockResult::kUnavailable;
    }
    return TryTake(session->Path(), name);
}

}  // namespace tevorin::win
