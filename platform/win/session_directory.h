#pragma once
// The desktop session's directory: where the processes of one user's desktop
// publish their top-level windows, take window handles from one counter, and
// find each other's sockets. Every entry is written atomically (temporary
// file and rename); entries of processes that have died are removed by
// whoever reads them. Foreign or broken entries are skipped, never trusted.

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/core/win_types.h"

namespace tevorin::win {

// A published top-level window.
struct SessionWindowEntry {
    int handle = 0;
    pid_t pid = 0;
    unsigned long long processStart = 0;  // guards against a reused process id
    DWORD threadId = 0;
    bool visible = false;
    bool iconic = false;
    RECT rect;
    std::u16string title;
};

// TEVORIN_DESKTOP when set; else tevorin-desktop under XDG_RUNTIME_DIR; else
// /tmp/tevorin-desktop-<uid>.
std::string DefaultSessionDirectory();

class SessionDirectory {
  public:
    // Creates the directory (mode 0700) when missing. Refuses a directory
    // that is a symbolic link, belongs to another user or is not a directory.
    [[nodiscard]] bool Open(const std::string& path, std::string* error);
    const std::string& Path() const { return path_; }

    // A block of count fresh handles from the session's counter: the first
    // one, or 0 when the counter cannot be used.
    int AllocateHandles(int count);

    [[nodiscard]] bool WriteWindow(const SessionWindowEntry& entry);
    void RemoveWindow(int handle);
    // The entry of a live process; a dead owner's entry is removed.
    std::optional<SessionWindowEntry> ReadWindow(int handle);
    // Every live entry, by handle; removes stale ones on the way.
    std::vector<SessionWindowEntry> ListWindows();

    std::string SocketPath(pid_t pid) const;
    // Removes sockets and temporary files of processes that no longer exist.
    void RemoveStaleProcessFiles();

  private:
    std::string WindowPath(int handle) const;
    std::string path_;
};

// The start time of a process (clock ticks since boot, as /proc reports it);
// 0 when it does not exist.
unsigned long long ProcessStartTime(pid_t pid);
bool ProcessIsAlive(pid_t pid, unsigned long long startTime);

// The window entry file format; exposed for tests of malformed entries.
std::string FormatWindowEntry(const SessionWindowEntry& entry);
std::optional<SessionWindowEntry> ParseWindowEntry(const std::string& text);

}  // namespace tevorin::win
