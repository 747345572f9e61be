#include "platform/display/x11_keys.h"

#define XK_MISCELLANY
#define XK_LATIN1
#define XK_XKB_KEYS
#include <X11/keysymdef.h>

namespace tevorin::display {
namespace {

struct NamedKey {
    unsigned long keysym;
    unsigned virtualKey;
    char32_t character;
};

// Keys without a printable character of their own, and the control
// characters that Windows types for some of them.
constexpr NamedKey kNamedKeys[] = {
    {XK_BackSpace, 0x08, 0x08}, {XK_Tab, 0x09, 0x09},      {XK_ISO_Left_Tab, 0x09, 0x09},
    {XK_Return, 0x0D, 0x0D},    {XK_KP_Enter, 0x0D, 0x0D}, {XK_Escape, 0x1B, 0x1B},
    {XK_Shift_L, 0x10, 0},      {XK_Shift_R, 0x10, 0},     {XK_Control_L, 0x11, 0},
    {XK_Control_R, 0x11, 0},    {XK_Alt_L, 0x12, 0},       {XK_Alt_R, 0x12, 0},
    {XK_Pause, 0x13, 0},        {XK_Caps_Lock, 0x14, 0},   {XK_Prior, 0x21, 0},
    {XK_Next, 0x22, 0},         {XK_End, 0x23, 0},         {XK_Home, 0x24, 0},
    {XK_Left, 0x25, 0},         {XK_Up, 0x26, 0},          {XK_Right, 0x27, 0},
    {XK_Down, 0x28, 0},         {XK_Insert, 0x2D, 0},      {XK_Delete, 0x2E, 0},
    {XK_KP_Prior, 0x21, 0},     {XK_KP_Next, 0x22, 0},     {XK_KP_End, 0x23, 0},
    {XK_KP_Home, 0x24, 0},      {XK_KP_Left, 0x25, 0},     {XK_KP_Up, 0x26, 0},
    {XK_KP_Right, 0x27, 0},     {XK_KP_Down, 0x28, 0},     {XK_KP_Delete, 0x2E, 0},
    {XK_F1, 0x70, 0},           {XK_F2, 0x71, 0},          {XK_F3, 0x72, 0},
    {XK_F4, 0x73, 0},           {XK_F5, 0x74, 0},          {XK_F6, 0x75, 0},
    {XK_F7, 0x76, 0},           {XK_F8, 0x77, 0},          {XK_F9, 0x78, 0},
    {XK_F10, 0x79, 0},          {XK_F11, 0x7A, 0},         {XK_F12, 0x7B, 0},
};

// The virtual key of a key that types a character: letters and digits have
// their upper-case ASCII code, a few punctuation keys their own codes.
unsigned VirtualKeyOfCharacter(char32_t c) {
    if (c >= U'a' && c <= U'z') return static_cast<unsigned>(c - U'a' + U'A');
    if (c >= U'A' && c <= U'Z') return static_cast<unsigned>(c);
    if (c >= U'0' && c <= U'9') return static_cast<unsigned>(c);
    switch (c) {
        case U' ':
            return 0x20;
        case U';':
        case U':':
            return 0xBA;
        case U'=':
        case U'+':
            return 0xBB;
        case U',':
        case U'<':
            return 0xBC;
        case U'-':
        case U'_':
            return 0xBD;
        case U'.':
        case U'>':
            return 0xBE;
        case U'/':
        case U'?':
            return 0xBF;
        case U'`':
        case U'~':
            return 0xC0;
        case U'[':
        case U'{':
            return 0xDB;
        case U'\\':
        case U'|':
            return 0xDC;
        case U']':
        case U'}':
            return 0xDD;
        case U'\'':
        case U'"':
            return 0xDE;
        default:
            return 0;
    }
}

}  // namespace

KeyMeaning MeaningOfKeysym(unsigned long keysym) {
    for (const auto& key : kNamedKeys)
        if (key.keysym == keysym) return KeyMeaning{key.virtualKey, key.character};
    char32_t c = 0;
    if ((keysym >= 0x20 && keysym <= 0x7E) || (keysym >= 0xA0 && keysym <= 0xFF))
        c = static_cast<char32_t>(keysym);  // Latin-1 keysyms are their code points
    else if ((keysym & 0xFF000000u) == 0x01000000u)
        c = static_cast<char32_t>(keysym & 0x00FFFFFFu);  // Unicode keysyms
    else if (keysym >= XK_KP_0 && keysym <= XK_KP_9)
        return KeyMeaning{static_cast<unsigned>(0x60 + (keysym - XK_KP_0)),
                          static_cast<char32_t>(U'0' + (keysym - XK_KP_0))};
    if (c == 0 || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return KeyMeaning{};
    return KeyMeaning{VirtualKeyOfCharacter(c), c};
}

}  // namespace tevorin::display
