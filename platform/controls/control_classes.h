#pragma once
// Registration of every control class of this library. Call once at start,
// before dialogs that contain edit or list view controls are created; later
// calls do nothing more.

namespace tevorin::controls {

[[nodiscard]] bool RegisterControlClasses();

}  // namespace tevorin::controls
