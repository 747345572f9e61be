#pragma once
// The pictures of message boxes, drawn in the classic shapes: information
// (blue disc with "i"), warning (yellow triangle with "!"), error (red disc
// with a white cross) and question (blue disc with "?").

#include "platform/core/win_types.h"
#include "platform/gdi/gdi_objects.h"

namespace tevorin::framework {

inline constexpr int kMessageBoxIconSize = 32;

// A new 32 x 32 bitmap on `background` for the MB_ICON... bits of `type`;
// null when the type asks for no icon. The caller owns it.
HBITMAP CreateMessageBoxIcon(UINT type, COLORREF background);

}  // namespace tevorin::framework
