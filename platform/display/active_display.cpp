#include <cstdlib>
#include <memory>

#include "platform/display/display_backend.h"
#include "platform/display/headless_display.h"

namespace tevorin::display {

DisplayBackend& ActiveDisplay() {
    // Only the headless backend exists so far; TEVORIN_DISPLAY=headless will
    // keep choosing it once a screen backend is added.
    static const std::unique_ptr<DisplayBackend> backend = [] {
        const char* directory = std::getenv("TEVORIN_SNAPSHOT_DIR");
        return std::make_unique<HeadlessDisplay>(directory != nullptr ? directory : "");
    }();
    return *backend;
}

}  // namespace tevorin::display
