#pragma once
// The push button (window class "Button", BS_PUSHBUTTON and BS_DEFPUSHBUTTON):
// drawn raised, sunk while pressed, grey while disabled, with a dotted focus
// rectangle while it has the focus and a black outline while it is the
// dialog's default. A click (mouse, Space, BM_CLICK) sends
// WM_COMMAND(MAKEWPARAM(id, BN_CLICKED), button) to the parent.

namespace tevorin::controls {

inline constexpr const char16_t* WC_BUTTONW = u"Button";

// True when the class is registered afterwards (also when it already was).
[[nodiscard]] bool RegisterButtonClass();

}  // namespace tevorin::controls
