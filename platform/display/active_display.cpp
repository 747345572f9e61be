#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "platform/display/display_backend.h"
#include "platform/display/headless_display.h"
#include "platform/display/x11_display.h"

namespace tevorin::display {

DisplayKind RequestedDisplayKind(const char* tevorinDisplay, const char* display) {
    const std::string_view asked = tevorinDisplay != nullptr ? tevorinDisplay : "";
    if (asked == "headless") return DisplayKind::kHeadless;
    if (asked == "x11") return DisplayKind::kX11;
    return display != nullptr && *display != '\0' ? DisplayKind::kX11 : DisplayKind::kHeadless;
}

DisplayBackend& ActiveDisplay() {
    static const std::unique_ptr<DisplayBackend> backend = []() -> std::unique_ptr<DisplayBackend> {
        const char* directory = std::getenv("TEVORIN_SNAPSHOT_DIR");
        const std::string snapshots = directory != nullptr ? directory : "";
        if (RequestedDisplayKind(std::getenv("TEVORIN_DISPLAY"), std::getenv("DISPLAY")) ==
            DisplayKind::kX11) {
            std::string error;
            if (auto x11 = X11Display::Connect("", snapshots, &error)) return x11;
            std::fprintf(stderr, "tevorin: %s; windows are not shown\n", error.c_str());
        }
        return std::make_unique<HeadlessDisplay>(snapshots);
    }();
    return *backend;
}

}  // namespace tevorin::display
