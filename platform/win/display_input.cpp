// User input from the screen, turned into the window messages a window
// procedure expects: mouse messages go to the child window under the pointer
// (or to the one that took the button press, until the button is released),
// keys to the focus window, the close box to the top-level window.

#include <array>

#include "platform/core/text.h"
#include "platform/win/display_link.h"
#include "platform/win/focus.h"
#include "platform/win/message_loop.h"
#include "platform/win/window.h"
#include "platform/win/window_registry.h"

namespace tevorin::win {
namespace {

using display::InputEvent;

constexpr DWORD kStaticNotify = 0x0100;  // SS_NOTIFY

// Group boxes and plain statics let clicks through to what lies beneath.
bool TransparentToMouse(const WindowRecord& record) {
    if (EqualsIgnoringAsciiCase(record.className, u"Button")) return (record.style & 0x000F) == BS_GROUPBOX;
    if (EqualsIgnoringAsciiCase(record.className, u"Static")) return (record.style & kStaticNotify) == 0;
    return false;
}

bool Inside(const RECT& r, POINT p) {
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

struct Target {
    HWND hwnd = nullptr;
    POINT client;  // in the target's client coordinates
    POINT screen;
};

// The window that gets a mouse message at a point of the top-level window's
// client area: the deepest visible child there, earlier siblings first; a
// disabled child's parent takes it. capture, when set, takes it whatever the
// point. False when the top-level window is gone or disabled.
bool FindTarget(int top, POINT point, HWND capture, Target* target) {
    std::lock_guard lock(RegistryMutex());
    const WindowRecord* root = FindLocked(top);
    if (root == nullptr || root->parent != 0 || root->destroying ||
        (root->style & WS_DISABLED) != 0)
        return false;
    const POINT origin = ClientOriginLocked(*root);
    const POINT screen{origin.x + point.x, origin.y + point.y};
    const WindowRecord* current = root;
    if (const WindowRecord* held = capture != nullptr ? FindLocked(capture) : nullptr;
        held != nullptr && !held->destroying) {
        current = held;
    } else {
        for (;;) {
            const WindowRecord* hit = nullptr;
            for (int handle : current->children) {
                const WindowRecord* child = FindLocked(handle);
                if (child == nullptr || child->destroying || (child->style & WS_VISIBLE) == 0 ||
                    TransparentToMouse(*child))
                    continue;
                if (Inside(WindowScreenRectLocked(*child), screen)) {
                    hit = child;
                    break;
                }
            }
            if (hit == nullptr || (hit->style & WS_DISABLED) != 0) break;
            current = hit;
        }
    }
    const POINT own = ClientOriginLocked(*current);
    target->hwnd = ToHwnd(current->handle);
    target->client = POINT{screen.x - own.x, screen.y - own.y};
    target->screen = screen;
    return true;
}

bool WithinTree(int top, HWND hwnd) {
    if (hwnd == nullptr) return false;
    std::lock_guard lock(RegistryMutex());
    for (const WindowRecord* record = FindLocked(hwnd); record != nullptr;
         record = record->parent != 0 ? FindLocked(record->parent) : nullptr)
        if (record->handle == top) return true;
    return false;
}

bool TopEnabled(int top) {
    std::lock_guard lock(RegistryMutex());
    const WindowRecord* record = FindLocked(top);
    return record != nullptr && !record->destroying && (record->style & WS_DISABLED) == 0;
}

LPARAM PointParam(POINT p) {
    return MAKELPARAM(static_cast<WORD>(static_cast<std::int16_t>(p.x)),
                      static_cast<WORD>(static_cast<std::int16_t>(p.y)));
}

WPARAM HeldKeys(unsigned modifiers) {
    WPARAM keys = 0;
    if ((modifiers & InputEvent::kLeftHeld) != 0) keys |= MK_LBUTTON;
    if ((modifiers & InputEvent::kRightHeld) != 0) keys |= MK_RBUTTON;
    if ((modifiers & InputEvent::kShift) != 0) keys |= MK_SHIFT;
    if ((modifiers & InputEvent::kControl) != 0) keys |= MK_CONTROL;
    return keys;
}

// Characters of key presses waiting for TranslateMessage, by the slot number
// that travels in the scan-code bits of the message's lParam.
struct TypedKey {
    WPARAM virtualKey = 0;
    char32_t character = 0;
};
thread_local std::array<TypedKey, 256> t_typed;
thread_local unsigned t_nextSlot = 0;
thread_local HWND t_capture = nullptr;

class InputRouter final : public display::InputSink {
  public:
    void Deliver(const InputEvent& event) override {
        switch (event.kind) {
            case InputEvent::Kind::kButtonDown:
            case InputEvent::Kind::kButtonUp:
            case InputEvent::Kind::kPointerMove:
                Mouse(event);
                return;
            case InputEvent::Kind::kWheel:
                Wheel(event);
                return;
            case InputEvent::Kind::kKeyDown:
            case InputEvent::Kind::kKeyUp:
                Key(event);
                return;
            case InputEvent::Kind::kCloseRequest:
                if (TopEnabled(event.handle))
                    PostMessageW(ToHwnd(event.handle), WM_SYSCOMMAND, SC_CLOSE, 0);
                return;
            case InputEvent::Kind::kMinimized:
                ShowWindow(ToHwnd(event.handle), SW_MINIMIZE);
                return;
            case InputEvent::Kind::kRestored:
                ShowWindow(ToHwnd(event.handle), SW_RESTORE);
                return;
            case InputEvent::Kind::kActivated:
                if (!WithinTree(event.handle, GetFocus())) SetFocus(ToHwnd(event.handle));
                return;
        }
    }

  private:
    static void Mouse(const InputEvent& event) {
        const bool down = event.kind == InputEvent::Kind::kButtonDown;
        const bool up = event.kind == InputEvent::Kind::kButtonUp;
        const HWND capture = t_capture != nullptr && IsWindow(t_capture) ? t_capture : nullptr;
        Target target;
        if (!FindTarget(event.handle, POINT{event.x, event.y}, down ? nullptr : capture, &target))
            return;
        WPARAM keys = HeldKeys(event.modifiers);
        UINT message = WM_MOUSEMOVE;
        if (down || up) {
            static constexpr UINT kDown[] = {WM_LBUTTONDOWN, WM_MBUTTONDOWN, WM_RBUTTONDOWN};
            static constexpr UINT kUp[] = {WM_LBUTTONUP, WM_MBUTTONUP, WM_RBUTTONUP};
            static constexpr WPARAM kBit[] = {MK_LBUTTON, MK_MBUTTON, MK_RBUTTON};
            if (event.button < InputEvent::kLeft || event.button > InputEvent::kRight) return;
            const int index = event.button - InputEvent::kLeft;
            message = down ? kDown[index] : kUp[index];
            keys = down ? (keys | kBit[index]) : (keys & ~kBit[index]);
            // The window that took the press sees the release, wherever it happens.
            t_capture = down ? target.hwnd : nullptr;
        }
        PostMessageW(target.hwnd, message, keys, PointParam(target.client));
    }

    static void Wheel(const InputEvent& event) {
        Target target;
        if (!FindTarget(event.handle, POINT{event.x, event.y}, nullptr, &target)) return;
        const auto delta = static_cast<std::int16_t>(event.wheelSteps * 120);
        const WPARAM wParam =
            (static_cast<WPARAM>(static_cast<WORD>(delta)) << 16) | HeldKeys(event.modifiers);
        PostMessageW(target.hwnd, WM_MOUSEWHEEL, wParam, PointParam(target.screen));
    }

    static void Key(const InputEvent& event) {
        if (!TopEnabled(event.handle)) return;
        const HWND focus = GetFocus();
        const HWND target = WithinTree(event.handle, focus) ? focus : ToHwnd(event.handle);
        const WPARAM virtualKey = event.virtualKey != 0 ? event.virtualKey : VK_PACKET;
        const unsigned slot = t_nextSlot++ & 0xFF;
        LPARAM lParam = 1 | static_cast<LPARAM>(slot << 16);
        if (event.kind == InputEvent::Kind::kKeyUp) {
            lParam |= static_cast<LPARAM>(3u << 30);  // was down, is being released
            PostMessageW(target, WM_KEYUP, virtualKey, lParam);
            return;
        }
        t_typed[slot] = TypedKey{virtualKey, event.character};
        PostMessageW(target, WM_KEYDOWN, virtualKey, lParam);
    }
};

}  // namespace

display::InputSink& DisplayInputRouter() {
    static InputRouter router;
    return router;
}

std::u16string TakeTypedText(const MSG& msg) {
    if (msg.message != WM_KEYDOWN) return {};
    TypedKey& typed = t_typed[(static_cast<std::uintptr_t>(msg.lParam) >> 16) & 0xFF];
    if (typed.virtualKey != msg.wParam || typed.character == 0) return {};
    const char32_t c = typed.character;
    typed = TypedKey{};
    if (c < 0x10000) return std::u16string(1, static_cast<char16_t>(c));
    const char32_t v = c - 0x10000;
    return std::u16string{static_cast<char16_t>(0xD800 + (v >> 10)),
                          static_cast<char16_t>(0xDC00 + (v & 0x3FF))};
}

}  // namespace tevorin::win
