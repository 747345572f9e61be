#pragma once
// Values and records of the drawing interface: object kinds, pen styles,
// background modes, text layout flags and the font description. The numeric
// values are the ones the application code and its resources are written with.

#include <cstdint>

#include "platform/core/win_types.h"

// Background modes of text output.
inline constexpr int TRANSPARENT = 1;
inline constexpr int OPAQUE = 2;

// Pen styles. Only solid and invisible pens draw differently here; the dashed
// styles draw solid.
inline constexpr int PS_SOLID = 0;
inline constexpr int PS_DASH = 1;
inline constexpr int PS_DOT = 2;
inline constexpr int PS_NULL = 5;

// Stock objects.
inline constexpr int WHITE_BRUSH = 0;
inline constexpr int LTGRAY_BRUSH = 1;
inline constexpr int GRAY_BRUSH = 2;
inline constexpr int DKGRAY_BRUSH = 3;
inline constexpr int BLACK_BRUSH = 4;
inline constexpr int NULL_BRUSH = 5;
inline constexpr int HOLLOW_BRUSH = NULL_BRUSH;
inline constexpr int WHITE_PEN = 6;
inline constexpr int BLACK_PEN = 7;
inline constexpr int NULL_PEN = 8;
inline constexpr int SYSTEM_FONT = 13;
inline constexpr int DEFAULT_GUI_FONT = 17;

// Object kinds as GetObjectType reports them.
inline constexpr DWORD OBJ_PEN = 1;
inline constexpr DWORD OBJ_BRUSH = 2;
inline constexpr DWORD OBJ_FONT = 6;
inline constexpr DWORD OBJ_BITMAP = 7;

// Font weights.
inline constexpr LONG FW_DONTCARE = 0;
inline constexpr LONG FW_NORMAL = 400;
inline constexpr LONG FW_BOLD = 700;

inline constexpr int LF_FACESIZE = 32;

// A font description. lfHeight < 0 asks for a character (em) height of
// -lfHeight pixels, lfHeight > 0 for a cell height (ascent + descent) of
// lfHeight pixels, 0 for the default size.
struct LOGFONTW {
    LONG lfHeight = 0;
    LONG lfWidth = 0;
    LONG lfEscapement = 0;
    LONG lfOrientation = 0;
    LONG lfWeight = 0;
    BYTE lfItalic = 0;
    BYTE lfUnderline = 0;
    BYTE lfStrikeOut = 0;
    BYTE lfCharSet = 0;
    BYTE lfOutPrecision = 0;
    BYTE lfClipPrecision = 0;
    BYTE lfQuality = 0;
    BYTE lfPitchAndFamily = 0;
    WCHAR lfFaceName[LF_FACESIZE] = {};
};

struct LOGPEN {
    UINT lopnStyle = 0;
    POINT lopnWidth;
    COLORREF lopnColor = 0;
};

inline constexpr UINT BS_SOLID = 0;
inline constexpr UINT BS_NULL = 1;

struct LOGBRUSH {
    UINT lbStyle = 0;
    COLORREF lbColor = 0;
    std::uintptr_t lbHatch = 0;
};

struct BITMAP {
    LONG bmType = 0;
    LONG bmWidth = 0;
    LONG bmHeight = 0;
    LONG bmWidthBytes = 0;
    WORD bmPlanes = 1;
    WORD bmBitsPixel = 32;
    void* bmBits = nullptr;
};

// Text metrics of a font in pixels.
struct TEXTMETRICW {
    LONG tmHeight = 0;
    LONG tmAscent = 0;
    LONG tmDescent = 0;
    LONG tmInternalLeading = 0;
    LONG tmExternalLeading = 0;
    LONG tmAveCharWidth = 0;
    LONG tmMaxCharWidth = 0;
    LONG tmWeight = 0;
    LONG tmOverhang = 0;
    LONG tmDigitizedAspectX = 96;
    LONG tmDigitizedAspectY = 96;
    WCHAR tmFirstChar = 0x20;
    WCHAR tmLastChar = 0xFFFF;
    WCHAR tmDefaultChar = 0x3F;
    WCHAR tmBreakChar = 0x20;
    BYTE tmItalic = 0;
    BYTE tmUnderlined = 0;
    BYTE tmStruckOut = 0;
    BYTE tmPitchAndFamily = 0;
    BYTE tmCharSet = 0;
};

// DrawTextW layout flags.
inline constexpr UINT DT_TOP = 0x0000;
inline constexpr UINT DT_LEFT = 0x0000;
inline constexpr UINT DT_CENTER = 0x0001;
inline constexpr UINT DT_RIGHT = 0x0002;
inline constexpr UINT DT_VCENTER = 0x0004;
inline constexpr UINT DT_BOTTOM = 0x0008;
inline constexpr UINT DT_WORDBREAK = 0x0010;
inline constexpr UINT DT_SINGLELINE = 0x0020;
inline constexpr UINT DT_EXPANDTABS = 0x0040;
inline constexpr UINT DT_NOCLIP = 0x0100;
inline constexpr UINT DT_CALCRECT = 0x0400;
inline constexpr UINT DT_NOPREFIX = 0x0800;
inline constexpr UINT DT_EDITCONTROL = 0x2000;
inline constexpr UINT DT_END_ELLIPSIS = 0x8000;

// Draw3dRect / DrawEdge.
inline constexpr UINT BDR_RAISEDOUTER = 0x0001;
inline constexpr UINT BDR_SUNKENOUTER = 0x0002;
inline constexpr UINT BDR_RAISEDINNER = 0x0004;
inline constexpr UINT BDR_SUNKENINNER = 0x0008;
inline constexpr UINT EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER;
inline constexpr UINT EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER;
inline constexpr UINT EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER;
inline constexpr UINT EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER;
inline constexpr UINT BF_LEFT = 0x0001;
inline constexpr UINT BF_TOP = 0x0002;
inline constexpr UINT BF_RIGHT = 0x0004;
inline constexpr UINT BF_BOTTOM = 0x0008;
inline constexpr UINT BF_RECT = BF_LEFT | BF_TOP | BF_RIGHT | BF_BOTTOM;
inline constexpr UINT BF_MIDDLE = 0x0800;
inline constexpr UINT BF_ADJUST = 0x2000;

// Raster operations of the bitmap copies.
inline constexpr DWORD SRCCOPY = 0x00CC0020;

// GetDeviceCaps.
inline constexpr int LOGPIXELSX = 88;
inline constexpr int LOGPIXELSY = 90;
