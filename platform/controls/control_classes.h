#pragma once
// Registration of every control class of this library ("Static", "Button",
// "Edit", "SysListView32"). Call once at start, before any dialog is created;
// later calls do nothing more.

namespace tevorin::controls {

[[nodiscard]] bool RegisterControlClasses();

}  // namespace tevorin::controls
