#pragma once
// What an X key symbol means to a window: the virtual-key code of
// WM_KEYDOWN/WM_KEYUP and the character of WM_CHAR.

namespace tevorin::display {

struct KeyMeaning {
    unsigned virtualKey = 0;  // 0: a key the windows have no code for
    char32_t character = 0;   // 0: the key types nothing
};

// keysym as XLookupKeysym/XLookupString give it, already adjusted for Shift.
KeyMeaning MeaningOfKeysym(unsigned long keysym);

}  // namespace tevorin::display
