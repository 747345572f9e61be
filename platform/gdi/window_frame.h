#pragma once
// The classic system frame around a top-level window's client image, for
// snapshots and for displays that draw no decoration of their own: a raised
// two-pixel edge and a pixel of face colour, a caption bar with the title in
// bold white on the active caption's blue gradient (grey when inactive), and
// a close box at its right end.

#include <string_view>

#include "platform/gdi/framebuffer.h"

// Sizes of the frame parts, in pixels.
inline constexpr int kFrameBorder = 3;     // each side: edge of 2 plus 1 of face colour
inline constexpr int kCaptionHeight = 18;  // caption bar
inline constexpr int kCaptionGap = 1;      // face-coloured line under the caption

// The framed window: client.width + 6 wide, client.height + 25 high, with
// the client image at (3, 22).
Framebuffer ComposeWindowImage(const Framebuffer& client, std::u16string_view title, bool active);

// Where the close box lies in an image of the given outer width.
RECT CloseBoxRect(int outerWidth);
