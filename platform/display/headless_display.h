#pragma once
// The display without a screen: windows paint, nothing is shown. With a
// snapshot directory, every visible top-level window writes a PNG of itself
// (frame and caption included) each time its image changes, named
// "<sequence>-<handle>-<title>.png" so that order and window are clear.

#include <map>
#include <mutex>
#include <string>

#include "platform/display/display_backend.h"

namespace tevorin::display {

class HeadlessDisplay final : public DisplayBackend {
  public:
    // An empty directory writes no snapshots.
    explicit HeadlessDisplay(std::string snapshotDirectory);
    const char* Name() const override { return "headless"; }
    void Present(const WindowImage& image) override;
    void Forget(int handle) override;
    bool Snapshot(const WindowImage& image, const std::string& path) override;
    int SnapshotsWritten() const;

  private:
    struct Shown {
        std::u16string title;
        Framebuffer client;
    };
    std::string directory_;
    mutable std::mutex mutex_;
    std::map<int, Shown> lastWritten_;
    int sequence_ = 0;
};

// "0007-42-Tevorin_Update.png": the title in UTF-8 with path separators and
// control characters replaced, cut to a sensible length.
std::string SnapshotFileName(int sequence, int handle, std::u16string_view title);

}  // namespace tevorin::display
