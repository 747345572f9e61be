#pragma once
// A compiled extended dialog template: what the window system needs to build a
// dialog and its controls. Coordinates and sizes are dialog units of the
// template's own font.

#include <optional>
#include <string>
#include <vector>

#include "platform/core/win_types.h"

struct DialogControl {
    int id = 0;  // IDC_STATIC (-1) for a control that code never addresses
    // The window class exactly as the script wrote it ("Button", "Static",
    // "Edit", "SysListView32"); compare it with IsDialogControlClass, since
    // class names are case-insensitive.
    std::u16string className;
    std::u16string text;
    // Set for a picture control (SS_BITMAP, SS_ICON): the bitmap or icon
    // resource it shows. The text is empty then.
    std::optional<int> imageResourceId;
    short x = 0;
    short y = 0;
    short cx = 0;
    short cy = 0;
    DWORD style = 0;  // WS_CHILD and WS_VISIBLE are already part of it where the template says so
    DWORD exStyle = 0;
};

struct DialogTemplate {
    int id = 0;
    std::u16string caption;
    std::u16string fontFace;  // empty when the template names no font
    int fontPointSize = 0;
    int fontWeight = 0;  // 0: the font's default weight
    bool fontItalic = false;
    BYTE fontCharset = 0;
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0;
    short y = 0;
    short cx = 0;
    short cy = 0;
    std::vector<DialogControl> controls;  // in template order, which is also the tab order
};

// True when the control's class is `className`, ignoring ASCII case as the
// window system does.
bool IsDialogControlClass(const DialogControl& control, std::u16string_view className);
