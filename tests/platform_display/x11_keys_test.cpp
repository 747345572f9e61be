#include "platform/display/x11_keys.h"

#include <gtest/gtest.h>

namespace tevorin::display {
namespace {

TEST(X11Keys, KeysymsGiveKeyCodesAndCharacters) {
    struct Case {
        const char* name;
        unsigned long keysym;
        unsigned virtualKey;
        char32_t character;
    };
    const Case cases[] = {
        {"Return", 0xFF0D, 0x0D, U'\r'},
        {"keypad Enter", 0xFF8D, 0x0D, U'\r'},
        {"Escape", 0xFF1B, 0x1B, 0x1B},
        {"Tab", 0xFF09, 0x09, U'\t'},
        {"Shift+Tab", 0xFE20, 0x09, U'\t'},
        {"BackSpace", 0xFF08, 0x08, 0x08},
        {"Delete", 0xFFFF, 0x2E, 0},
        {"Left", 0xFF51, 0x25, 0},
        {"Next", 0xFF56, 0x22, 0},
        {"F5", 0xFFC2, 0x74, 0},
        {"Shift", 0xFFE1, 0x10, 0},
        {"a", 0x61, 'A', U'a'},
        {"A", 0x41, 'A', U'A'},
        {"7", 0x37, '7', U'7'},
        {"space", 0x20, 0x20, U' '},
        {"comma", 0x2C, 0xBC, U','},
        {"keypad 3", 0xFFB3, 0x63, U'3'},
        {"e acute (Latin-1)", 0xE9, 0, U'\u00E9'},
        {"Chinese (Unicode keysym)", 0x01004E2D, 0, U'\u4E2D'},
        {"emoji beyond the BMP", 0x0101F600, 0, U'\U0001F600'},
        {"surrogate is no character", 0x0100D800, 0, 0},
        {"dead key", 0xFE51, 0, 0},
        {"NoSymbol", 0, 0, 0},
    };
    for (const auto& c : cases) {
        const KeyMeaning meaning = MeaningOfKeysym(c.keysym);
        EXPECT_EQ(meaning.virtualKey, c.virtualKey) << c.name;
        EXPECT_EQ(static_cast<unsigned>(meaning.character), static_cast<unsigned>(c.character))
            << c.name;
    }
}

}  // namespace
}  // namespace tevorin::display
