#include "platform/display/headless_display.h"

#include <cstdio>

#include "platform/core/text.h"
#include "platform/gdi/png_file.h"
#include "platform/gdi/window_frame.h"

namespace tevorin::display {
namespace {

constexpr std::size_t kTitleCharacters = 60;

bool SameImage(const Framebuffer& a, const Framebuffer& b) {
    return a.width == b.width && a.height == b.height && a.pixels == b.pixels;
}

}  // namespace

std::string SnapshotFileName(int sequence, int handle, std::u16string_view title) {
    std::u16string cleaned(title.substr(0, kTitleCharacters));
    for (auto& c : cleaned)
        if (c < 0x20 || c == u'/' || c == u'\\' || c == 0x7F) c = u'_';
    if (cleaned.empty() || cleaned == u"." || cleaned == u"..") cleaned = u"untitled";
    char prefix[48];
    std::snprintf(prefix, sizeof prefix, "%04d-%d-", sequence, handle);
    return prefix + Utf16ToUtf8(cleaned) + ".png";
}

HeadlessDisplay::HeadlessDisplay(std::string snapshotDirectory)
    : directory_(std::move(snapshotDirectory)) {}

void HeadlessDisplay::Present(const WindowImage& image) {
    if (directory_.empty() || !image.visible || image.client == nullptr) return;
    std::lock_guard lock(mutex_);
    auto it = lastWritten_.find(image.handle);
    if (it != lastWritten_.end() && it->second.title == image.title &&
        SameImage(it->second.client, *image.client))
        return;  // one file per change, not per paint
    const Framebuffer framed = ComposeWindowImage(*image.client, image.title, true);
    const std::string path =
        directory_ + "/" + SnapshotFileName(sequence_ + 1, image.handle, image.title);
    if (!WritePng(framed, path)) return;  // a full disk loses snapshots, never the program
    ++sequence_;
    lastWritten_[image.handle] = Shown{std::u16string(image.title), *image.client};
}

void HeadlessDisplay::Forget(int handle) {
    std::lock_guard lock(mutex_);
    lastWritten_.erase(handle);
}

bool HeadlessDisplay::Snapshot(const WindowImage& image, const std::string& path) {
    if (image.client == nullptr) return false;
    return WritePng(ComposeWindowImage(*image.client, image.title, true), path);
}

int HeadlessDisplay::SnapshotsWritten() const {
    std::lock_guard lock(mutex_);
    return sequence_;
}

}  // namespace tevorin::display
