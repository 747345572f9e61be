#pragma once
// A sample installation of the real updater for end-to-end tests: the
// updater executable and a stamped Tevorin.exe in a scratch directory, a
// desktop session and a snapshot folder of its own, and an update server on
// 127.0.0.1 whose answers the test writes and can hold back.

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/core/win_types.h"
#include "platform/win/session_directory.h"
#include "support/background_process.h"
#include "support/machine_wide_turn.h"
#include "support/run_process.h"
#include "support/scratch_dir.h"
#include "support/test_http_server.h"

namespace updater_test {

// Holds every request that waits on it until it is opened (or a time limit
// passes, so a broken test cannot hang the server).
class Gate {
  public:
    void Open();
    void Wait(std::chrono::milliseconds limit);

  private:
    std::mutex mutex_;
    std::condition_variable opened_;
    bool open_ = false;
};

// The manifest of an update.
std::string ManifestXml(const std::string& version, const std::string& action,
                        const std::vector<std::string>& fileUrls);

class SampleInstallation {
  public:
    SampleInstallation();
    bool Valid() const { return valid_; }

    std::string AppDir() const { return scratch_ / "app"; }
    std::string UpdaterPath() const { return AppDir() + "/TevorinLiveUpdate.exe"; }
    std::string SessionDir() const {
        return sharedSession_.empty() ? scratch_ / "session" : sharedSession_;
    }
    // Runs the updater in this desktop session instead of one of its own
    // (the test process's session, whose directory is fixed at its first use).
    void ShareSession(const std::string& dir) { sharedSession_ = dir; }
    std::string SnapshotDir() const { return scratch_ / "snapshots"; }
    std::string LogPath(const std::string& name) const { return scratch_ / name; }

    // Tevorin.exe as a 64-byte file stamped with `version`.
    [[nodiscard]] bool WriteMainProgram(DWORD version);
    void RemoveMainProgram();
    [[nodiscard]] bool WriteLanguage(const std::string& value);

    // The updater's environment for this installation; also points the
    // update server variable at `server` (empty: leave it as it is).
    void UseEnvironment(const std::string& server) const;

    test_support::ProcessResult RunUpdater(const std::vector<std::string>& args,
                                           std::chrono::milliseconds limit) const;
    std::unique_ptr<test_support::BackgroundProcess> StartUpdater(
        const std::vector<std::string>& args, const std::string& logName) const;

    // The snapshot files written so far: one per image of a visible window.
    std::vector<std::string> Snapshots() const;
    // The session's top-level windows.
    std::vector<tevorin::win::SessionWindowEntry> Windows() const;
    // Waits for a top-level window titled `title` (UTF-8) of process `pid`
    // (0: any process).
    std::optional<tevorin::win::SessionWindowEntry> WaitForWindow(
        const std::string& title, pid_t pid, std::chrono::milliseconds limit) const;

  private:
    tevorin_test::ScratchDir scratch_;
    std::string sharedSession_;
    bool valid_ = false;
    tevorin_test::MachineWideTurn turn_;
};

// Waits until `server` has seen `count` requests; false after the limit.
bool WaitForRequests(const test_support::TestHttpServer& server, std::size_t count,
                     std::chrono::milliseconds limit);

std::string HandleArgument(int handle);

// The child controls of a window of another process, as tevorin-desktop
// prints them; empty when it did not answer. The answer comes from the
// window's message loop, so it also tells that the process's start-up is over.
std::string WindowTree(int handle);
// The text of the control with `id` in such a tree; nothing when there is no
// such control. Texts are as the tool escapes them.
std::optional<std::string> ControlText(const std::string& tree, int id);
// Whether the control with `id` is visible; nothing when there is none.
std::optional<bool> ControlVisible(const std::string& tree, int id);

// True when the process has ended (a zombie not yet reaped included).
bool HasEnded(pid_t pid);

}  // namespace updater_test
