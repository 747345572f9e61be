#include "platform/framework/dialog_window.h"

#include <map>
#include <mutex>
#include <vector>

#include "platform/gdi/device_context.h"
#include "platform/gdi/system_palette.h"
#include "platform/win/dialog_messages.h"
#include "platform/win/message_loop.h"
#include "platform/win/paint.h"
#include "platform/win/window.h"

namespace tevorin::framework {

namespace {

struct DialogState {
    HFONT font = nullptr;
    bool fontOwned = false;
    std::vector<HBITMAP> bitmaps;
    int defaultId = 0;  // 0: none set
    bool ended = false;
    INT_PTR result = 0;
};

std::mutex& StateMutex() {
    static std::mutex mutex;
    return mutex;
}
std::map<int, DialogState>& States() {
    static std::map<int, DialogState> states;
    return states;
}

// Entries are made for live windows only, so a late call on a destroyed
// dialog leaves nothing behind.
template <class F>
auto WithState(HWND dialog, F&& use) {
    static DialogState scratch;
    if (!IsWindow(dialog)) {
        std::lock_guard lock(StateMutex());
        scratch = DialogState{};
        return use(scratch);
    }
    std::lock_guard lock(StateMutex());
    return use(States()[HwndToInt(dialog)]);
}

void FreeState(HWND dialog) {
    DialogState state;
    {
        std::lock_guard lock(StateMutex());
        auto it = States().find(HwndToInt(dialog));
        if (it == States().end()) return;
        state = std::move(it->second);
        States().erase(it);
    }
    if (state.fontOwned && state.font != nullptr) DeleteObject(state.font);
    for (HBITMAP bitmap : state.bitmaps) DeleteObject(bitmap);
}

LRESULT EraseBackground(HWND hwnd, HDC dc) {
    if (dc == nullptr) return 0;
    auto* brush = reinterpret_cast<HBRUSH>(SendMessageW(
        hwnd, WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd)));
    if (brush == nullptr || GetObjectType(brush) != OBJ_BRUSH)
        brush = GetSysColorBrush(COLOR_BTNFACE);
    RECT client;
    GetClientRect(hwnd, &client);
    FillRect(dc, &client, brush);
    return 1;
}

}  // namespace

int GetDialogDefaultId(HWND dialog) {
    std::lock_guard lock(StateMutex());
    auto it = States().find(HwndToInt(dialog));
    return it == States().end() ? 0 : it->second.defaultId;
}

// Moves the default look from the old default push button to the new one.
void SetDialogDefaultId(HWND hwnd, int id) {
    if (!IsWindow(hwnd)) return;
    const int previous = WithState(hwnd, [](DialogState& s) { return s.defaultId; });
    WithState(hwnd, [id](DialogState& s) {
        s.defaultId = id;
        return 0;
    });
    auto restyle = [hwnd](int controlId, DWORD kind) {
        HWND button = GetDlgItem(hwnd, controlId);
        if (button == nullptr) return;
        const LRESULT code = SendMessageW(button, WM_GETDLGCODE, 0, 0);
        if ((code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) == 0) return;
        const auto style = static_cast<DWORD>(GetWindowLongPtrW(button, GWL_STYLE));
        SendMessageW(button, BM_SETSTYLE, (style & ~BS_TYPEMASK & 0xFFFFu) | kind, TRUE);
    };
    if (previous != 0 && previous != id) restyle(previous, BS_PUSHBUTTON);
    if (id != 0) restyle(id, BS_DEFPUSHBUTTON);
}

namespace {

LRESULT DialogWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SETFONT:
            SetDialogFont(hwnd, reinterpret_cast<HFONT>(wParam), false);
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(GetDialogFont(hwnd));
        case WM_ERASEBKGND:
            return EraseBackground(hwnd, reinterpret_cast<HDC>(wParam));
        case DM_GETDEFID: {
            const int id = GetDialogDefaultId(hwnd);
            return id == 0 ? 0
                           : static_cast<LRESULT>(MAKELPARAM(static_cast<WORD>(id), DC_HASDEFID));
        }
        case DM_SETDEFID:
            SetDialogDefaultId(hwnd, static_cast<int>(wParam));
            return TRUE;
        case WM_CLOSE: {
            // The close box acts as the Cancel button, unless that is disabled.
            HWND cancel = GetDlgItem(hwnd, IDCANCEL);
            if (cancel != nullptr && !IsWindowEnabled(cancel)) return 0;
            SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                         reinterpret_cast<LPARAM>(cancel));
            return 0;
        }
        case WM_NCDESTROY: {
            const LRESULT result = DefWindowProcW(hwnd, message, wParam, lParam);
            FreeState(hwnd);
            return result;
        }
        default:
            return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

}  // namespace

bool RegisterDialogClass() {
    WNDCLASSW windowClass;
    windowClass.lpfnWndProc = DialogWindowProc;
    windowClass.lpszClassName = kDialogClassName;
    if (RegisterClassW(windowClass)) return true;
    WNDCLASSW existing;
    return GetClassInfoW(kDialogClassName, &existing);
}

bool IsDialogWindow(HWND hwnd) {
    if (hwnd == nullptr) return false;
    const std::u16string name = GetClassNameString(hwnd);
    return name == kDialogClassName;
}

void SetDialogFont(HWND dialog, HFONT font, bool owned) {
    HFONT toFree = nullptr;
    WithState(dialog, [&](DialogState& s) {
        if (s.fontOwned && s.font != font) toFree = s.font;
        s.font = font;
        s.fontOwned = owned;
        return 0;
    });
    if (toFree != nullptr) DeleteObject(toFree);
}

HFONT GetDialogFont(HWND dialog) {
    std::lock_guard lock(StateMutex());
    auto it = States().find(HwndToInt(dialog));
    return it == States().end() ? nullptr : it->second.font;
}

void KeepDialogBitmap(HWND dialog, HBITMAP bitmap) {
    if (bitmap == nullptr) return;
    WithState(dialog, [bitmap](DialogState& s) {
        s.bitmaps.push_back(bitmap);
        return 0;
    });
}

void MarkDialogEnded(HWND dialog, INT_PTR result) {
    WithState(dialog, [result](DialogState& s) {
        s.ended = true;
        s.result = result;
        return 0;
    });
    // The modal loop may be waiting inside GetMessageW, where a message sent
    // from another thread (a click) ends the dialog without waking it.
    PostMessageW(dialog, WM_NULL, 0, 0);
}

bool IsDialogEnded(HWND dialog, INT_PTR* result) {
    std::lock_guard lock(StateMutex());
    auto it = States().find(HwndToInt(dialog));
    if (it == States().end() || !it->second.ended) return false;
    if (result != nullptr) *result = it->second.result;
    return true;
}

void ClearDialogEnded(HWND dialog) {
    WithState(dialog, [](DialogState& s) {
        s.ended = false;
        return 0;
    });
}

}  // namespace tevorin::framework
