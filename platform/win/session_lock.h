#pragma once
// Named locks of the desktop session: at most one process of the session
// holds a lock of a given name at a time. Taking one is atomic, so two
// processes started at the same moment cannot both get it. A lock lasts
// until it is released or its process ends, however it ends (a crash or a
// kill included); programs started by the holder do not inherit it.

#include <string>
#include <string_view>

namespace tevorin::win {

enum class SessionLockResult {
    kTaken,          // this object holds the lock now
    kHeldElsewhere,  // another holder has it (another process, or another object)
    kUnavailable,    // no usable session directory or lock file; nothing is held
};

class SessionLock {
  public:
    SessionLock() = default;
    ~SessionLock();
    SessionLock(const SessionLock&) = delete;
    SessionLock& operator=(const SessionLock&) = delete;

    // Takes the lock `name` (letters, digits, '.', '_' and '-', not starting
    // with '.') in the session directory `directory`, without waiting. An
    // object that already holds a lock releases it first.
    [[nodiscard]] SessionLockResult TryTake(const std::string& directory, std::string_view name);
    // The same in this process's desktop session (DesktopSessionDirectory).
    [[nodiscard]] SessionLockResult TryTakeInDesktopSession(std::string_view name);

    bool Held() const { return fd_ >= 0; }
    void Release();

  private:
    int fd_ = -1;
};

// Whether `name` is acceptable as a lock name.
bool IsSessionLockName(std::string_view name);

}  // namespace tevorin::win
