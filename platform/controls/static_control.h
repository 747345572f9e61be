#pragma once
// The static control (window class "Static"): text with word wrap, a bitmap
// or an icon, etched separators, frames and filled rectangles. Text statics
// ask their parent for colours with WM_CTLCOLORSTATIC.

namespace tevorin::controls {

inline constexpr const char16_t* WC_STATICW = u"Static";

// True when the class is registered afterwards (also when it already was).
[[nodiscard]] bool RegisterStaticClass();

}  // namespace tevorin::controls
