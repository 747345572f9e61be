#pragma once
// The edit control (window class "Edit"): single- or multi-line text with
// word wrap, read-only mode, vertical scrolling, colours asked of the parent
// and an edge in the non-client area.

#include "platform/controls/common_controls.h"

namespace tevorin::controls {

// Registers the window procedure of the edit class; true when the class is
// registered afterwards (also when it already was).
[[nodiscard]] bool RegisterEditClass();

// The margin between the client edge and the text, in pixels.
inline constexpr int kEditMarginX = 2;
inline constexpr int kEditMarginY = 1;

}  // namespace tevorin::controls
