#pragma once
// Rows of controls that hold lists (the list view), for the window tree
// that tools read. The window system knows no control; a control library
// registers a reader for its class, and the tree asks it for each window of
// that class.

#include <string>
#include <vector>

#include "platform/core/win_types.h"

namespace tevorin::win {

struct WindowTreeRow {
    int image = -1;
    long long data = 0;
    std::vector<std::u16string> texts;  // one per column
};

// Reads the rows of a window of the class; called on the window's thread.
using WindowTreeRowReader = std::vector<WindowTreeRow> (*)(HWND);

// Registers (or, with null, removes) the reader of a class; names compare
// without regard to ASCII case.
void SetWindowTreeRowReader(const char16_t* className, WindowTreeRowReader reader);
// The reader of the window's class, or null.
WindowTreeRowReader FindWindowTreeRowReader(HWND hwnd);

}  // namespace tevorin::win
