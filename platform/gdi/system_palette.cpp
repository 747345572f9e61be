#include "platform/gdi/system_palette.h"

#include <array>
#include <atomic>

namespace {

constexpr int kColorCount = 31;

// The classic Windows 2000 scheme, in index order.
constexpr std::array<COLORREF, kColorCount> kClassicColors = {
    RGB(212, 208, 200),  // COLOR_SCROLLBAR
    RGB(58, 110, 165),   // COLOR_BACKGROUND
    RGB(10, 36, 106),    // COLOR_ACTIVECAPTION
    RGB(128, 128, 128),  // COLOR_INACTIVECAPTION
    RGB(212, 208, 200),  // COLOR_MENU
    RGB(255, 255, 255),  // COLOR_WINDOW
    RGB(0, 0, 0),        // COLOR_WINDOWFRAME
    RGB(0, 0, 0),        // COLOR_MENUTEXT
    RGB(0, 0, 0),        // COLOR_WINDOWTEXT
    RGB(255, 255, 255),  // COLOR_CAPTIONTEXT
    RGB(212, 208, 200),  // COLOR_ACTIVEBORDER
    RGB(212, 208, 200),  // COLOR_INACTIVEBORDER
    RGB(128, 128, 128),  // COLOR_APPWORKSPACE
    RGB(10, 36, 106),    // COLOR_HIGHLIGHT
    RGB(255, 255, 255),  // COLOR_HIGHLIGHTTEXT
    RGB(212, 208, 200),  // COLOR_BTNFACE
    RGB(128, 128, 128),  // COLOR_BTNSHADOW
    RGB(128, 128, 128),  // COLOR_GRAYTEXT
    RGB(0, 0, 0),        // COLOR_BTNTEXT
    RGB(212, 208, 200),  // COLOR_INACTIVECAPTIONTEXT
    RGB(255, 255, 255),  // COLOR_BTNHIGHLIGHT
    RGB(64, 64, 64),     // COLOR_3DDKSHADOW
    RGB(212, 208, 200),  // COLOR_3DLIGHT
    RGB(0, 0, 0),        // COLOR_INFOTEXT
    RGB(255, 255, 225),  // COLOR_INFOBK
    RGB(181, 181, 181),  // index 25 has no element; the system answers this grey
    RGB(0, 0, 128),      // COLOR_HOTLIGHT
    RGB(166, 202, 240),  // COLOR_GRADIENTACTIVECAPTION
    RGB(192, 192, 192),  // COLOR_GRADIENTINACTIVECAPTION
    RGB(10, 36, 106),    // COLOR_MENUHILIGHT
    RGB(212, 208, 200),  // COLOR_MENUBAR
};

struct SystemBrushes {
    std::array<GdiBrush, kColorCount> brushes;
    SystemBrushes() {
        for (int i = 0; i < kColorCount; ++i) {
            brushes[i].color = kClassicColors[i];
            RegisterStockObject(&brushes[i]);
        }
    }
};

std::atomic<int> screenWidth{1024};
std::atomic<int> screenHeight{768};

}  // namespace

COLORREF GetSysColor(int index) {
    if (index < 0 || index >= kColorCount) return 0;
    return kClassicColors[index];
}

HBRUSH GetSysColorBrush(int index) {
    if (index < 0 || index >= kColorCount) return nullptr;
    static SystemBrushes systemBrushes;
    return &systemBrushes.brushes[index];
}

void SetScreenSize(int width, int height) {
    if (width < 1 || height < 1) return;
    screenWidth = width;
    screenHeight = height;
}

int GetSystemMetrics(int index) {
    switch (index) {
        case SM_CXSCREEN:
            return screenWidth;
        case SM_CYSCREEN:
            return screenHeight;
        case SM_CXFULLSCREEN:
            return screenWidth;
        case SM_CYFULLSCREEN:
            return screenHeight - 19;
        case SM_CXVSCROLL:
        case SM_CYHSCROLL:
        case SM_CYVSCROLL:
        case SM_CXHSCROLL:
        case SM_CYVTHUMB:
        case SM_CXHTHUMB:
            return 16;
        case SM_CYCAPTION:
            return 19;
        case SM_CXBORDER:
        case SM_CYBORDER:
            return 1;
        case SM_CXDLGFRAME:
        case SM_CYDLGFRAME:
            return 3;
        case SM_CXICON:
        case SM_CYICON:
        case SM_CXCURSOR:
        case SM_CYCURSOR:
            return 32;
        case SM_CYMENU:
            return 19;
        case SM_CXMIN:
            return 112;
        case SM_CYMIN:
            return 27;
        case SM_CXSIZE:
        case SM_CYSIZE:
            return 18;
        case SM_CXFRAME:
        case SM_CYFRAME:
            return 4;
        case SM_CXEDGE:
        case SM_CYEDGE:
            return 2;
        case SM_CXSMICON:
        case SM_CYSMICON:
            return 16;
        case SM_CYSMCAPTION:
            return 16;
        case SM_CXSMSIZE:
        case SM_CYSMSIZE:
            return 15;
        default:
            return 0;
    }
}
