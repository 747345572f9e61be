#pragma once
// Text output and measurement on a device context, in the font selected into
// it. Text is UTF-16; characters the font lacks are drawn from fallback
// fonts (Chinese from a CJK font). Glyphs are anti-aliased and blended in the
// text colour over what is already there; in OPAQUE background mode the box
// of each line of text is first filled with the background colour.

#include <string_view>

#include "platform/core/win_types.h"
#include "platform/gdi/device_context.h"
#include "platform/gdi/gdi_types.h"

// Draws one line with its top-left corner at (x, y). A negative count means
// a null-terminated text.
BOOL TextOutW(HDC dc, int x, int y, const char16_t* text, int count);

inline constexpr UINT ETO_OPAQUE = 0x0002;
inline constexpr UINT ETO_CLIPPED = 0x0004;

// TextOutW with options: ETO_OPAQUE fills `rect` with the background colour
// first, ETO_CLIPPED keeps the text inside `rect`. `advances`, when given,
// holds one pen advance per UTF-16 unit in place of the font's.
BOOL ExtTextOutW(HDC dc, int x, int y, UINT options, const RECT* rect, const char16_t* text,
                 int count, const int* advances);

// Lays text out in `rect` by `format` (DT_LEFT, DT_CENTER, DT_RIGHT, DT_TOP,
// DT_VCENTER and DT_BOTTOM with DT_SINGLELINE, DT_WORDBREAK, DT_EXPANDTABS,
// DT_NOCLIP, DT_CALCRECT, DT_NOPREFIX, DT_END_ELLIPSIS) and draws it. Without
// DT_SINGLELINE, "\r\n", "\n" and "\r" start new lines. DT_WORDBREAK breaks
// lines at spaces and between Chinese characters (not before closing or
// after opening punctuation); a word wider than the rectangle is broken
// between characters. Unless DT_NOPREFIX, "&x" underlines x and "&&" shows
// "&". With DT_CALCRECT nothing is drawn and `rect` is set to the bounds of
// the text. Returns the height of the text (with DT_VCENTER or DT_BOTTOM: the
// offset from rect->top to the bottom of the text); 0 on failure.
int DrawTextW(HDC dc, const char16_t* text, int count, RECT* rect, UINT format);

// Width of the text and height of the font's line, in pixels.
BOOL GetTextExtentPoint32W(HDC dc, const char16_t* text, int count, SIZE* size);

// Metrics of the selected font. tmAveCharWidth is the average of the 52
// Latin letters as dialog units use it.
BOOL GetTextMetricsW(HDC dc, TEXTMETRICW* metrics);

// The LOGFONTW height of a font of `points` points on this screen:
// -(points * 96 / 72), rounded half away from zero.
int PointsToFontHeight(int points);

// The dialog base units of a font: {average character width, line height}.
// A dialog unit is a quarter of the first horizontally and an eighth of the
// second vertically.
SIZE DialogBaseUnits(const LOGFONTW& font);
// Dialog units to pixels with the base units above, rounded as the system
// rounds (half away from zero).
int DialogUnitsToPixelsX(int units, SIZE baseUnits);
int DialogUnitsToPixelsY(int units, SIZE baseUnits);

// Text extents without a device context, for layout code that has only a
// font description.
SIZE MeasureTextExtent(const LOGFONTW& font, std::u16string_view text);
