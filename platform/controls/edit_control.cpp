#include "platform/controls/edit_control.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "platform/controls/control_paint.h"
#include "platform/controls/edit_layout.h"
#include "platform/controls/list_view_state.h"
#include "platform/gdi/system_palette.h"
#include "platform/gdi/text_drawing.h"
#include "platform/win/message_loop.h"
#include "platform/win/paint.h"
#include "platform/win/painting.h"
#include "platform/win/window.h"

namespace tevorin::controls {

namespace {

constexpr int kStateSlot = 0;
constexpr int kWheelLines = 3;

struct EditState {
    std::u16string text;
    HFONT font = nullptr;
    LOGFONTW fontDescription;
    int lineHeight = 13;
    std::vector<EditLine> lines;
    int firstLine = 0;
    size_t selectionStart = 0;
    size_t selectionEnd = 0;
    bool focused = false;
};

EditState* StateOf(HWND hwnd) {
    return reinterpret_cast<EditState*>(GetWindowLongPtrW(hwnd, kStateSlot));
}

DWORD StyleOf(HWND hwnd) { return static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE)); }

bool IsMultiLine(HWND hwnd) { return (StyleOf(hwnd) & ES_MULTILINE) != 0; }

RECT FormattingRect(HWND hwnd) {
    RECT client;
    (void)GetClientRect(hwnd, &client);
    return RECT{client.left + kEditMarginX, client.top + kEditMarginY,
                std::max(client.left + kEditMarginX, client.right - kEditMarginX),
                std::max(client.top + kEditMarginY, client.bottom - kEditMarginY)};
}

int VisibleLines(HWND hwnd, const EditState& state) {
    const RECT area = FormattingRect(hwnd);
    return std::max(1, static_cast<int>(area.bottom - area.top) / state.lineHeight);
}

int TextWidthOf(const EditState& state, std::u16string_view text) {
    if (text.empty()) return 0;
    return MeasureTextExtent(state.fontDescription, text).cx;
}

void SetFont(EditState& state, HFONT font) {
    state.font = font;
    (void)GetObjectW(FontOrDefault(font), sizeof state.fontDescription, &state.fontDescription);
    state.lineHeight = std::max<LONG>(MeasureTextExtent(state.fontDescription, u"Ag").cy, 1);
}

void Relayout(HWND hwnd, EditState& state) {
    const RECT area = FormattingRect(hwnd);
    const int wrapWidth = IsMultiLine(hwnd) && (StyleOf(hwnd) & ES_AUTOHSCROLL) == 0
                              ? static_cast<int>(area.right - area.left)
                              : 0;
    state.lines = LayoutEditText(state.text, wrapWidth, [&](std::u16string_view piece) {
        return TextWidthOf(state, piece);
    });
    const int last = std::max(0, static_cast<int>(state.lines.size()) - VisibleLines(hwnd, state));
    state.firstLine = std::clamp(state.firstLine, 0, last);
}

void NotifyParent(HWND hwnd, WORD code) {
    HWND parent = GetParent(hwnd);
    if (parent == nullptr) return;
    (void)SendMessageW(parent, WM_COMMAND,
                       MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID(hwnd)), code),
                       reinterpret_cast<LPARAM>(hwnd));
}

// Moves the first visible line; returns the lines actually scrolled. The
// text area is repainted and the parent hears EN_VSCROLL when it moved.
int ScrollLines(HWND hwnd, EditState& state, int delta) {
    if (!IsMultiLine(hwnd)) return 0;
    const int last = std::max(0, static_cast<int>(state.lines.size()) - VisibleLines(hwnd, state));
    const int target = std::clamp(state.firstLine + delta, 0, last);
    const int moved = target - state.firstLine;
    if (moved == 0) return 0;
    state.firstLine = target;
    const RECT area = FormattingRect(hwnd);
    InvalidateRect(hwnd, &area, TRUE);
    NotifyParent(hwnd, EN_VSCROLL);
    return moved;
}

int ScrollByRequest(HWND hwnd, EditState& state, WPARAM request) {
    const int page = VisibleLines(hwnd, state);
    switch (LOWORD(request)) {
        case SB_LINEUP: return ScrollLines(hwnd, state, -1);
        case SB_LINEDOWN: return ScrollLines(hwnd, state, 1);
        case SB_PAGEUP: return ScrollLines(hwnd, state, -page);
        case SB_PAGEDOWN: return ScrollLines(hwnd, state, page);
        case SB_THUMBPOSITION:
        case SB_THUMBTRACK: return ScrollLines(hwnd, state, HIWORD(request) - state.firstLine);
        case SB_TOP: return ScrollLines(hwnd, state, -state.firstLine);
        case SB_BOTTOM: return ScrollLines(hwnd, state, static_cast<int>(state.lines.size()));
        default: return 0;
    }
}

void StoreText(HWND hwnd, EditState& state, std::u16string text) {
    state.text = std::move(text);
    // The window keeps the text as its title too, so that other threads can
    // read it without a round trip to this one.
    (void)DefWindowProcW(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(state.text.c_str()));
    state.selectionStart = std::min(state.selectionStart, state.text.size());
    state.selectionEnd = std::min(state.selectionEnd, state.text.size());
    Relayout(hwnd, state);
    InvalidateRect(hwnd, nullptr, TRUE);
}

void ReplaceSelection(HWND hwnd, EditState& state, std::u16string_view insert) {
    const size_t from = std::min(state.selectionStart, state.selectionEnd);
    const size_t to = std::max(state.selectionStart, state.selectionEnd);
    std::u16string text = state.text;
    text.replace(from, to - from, insert);
    state.selectionStart = state.selectionEnd = from + insert.size();
    StoreText(hwnd, state, std::move(text));
    NotifyParent(hwnd, EN_CHANGE);
}

void TypeCharacter(HWND hwnd, EditState& state, char16_t c) {
    const DWORD style = StyleOf(hwnd);
    if ((style & ES_READONLY) != 0 || !IsWindowEnabled(hwnd)) return;
    if (c == u'\b') {
        if (state.selectionStart == state.selectionEnd && state.selectionStart > 0) {
            size_t back = 1;
            if (state.selectionStart >= 2 && state.text[state.selectionStart - 2] == u'\r' &&
                state.text[state.selectionStart - 1] == u'\n') {
                back = 2;
            }
            state.selectionStart -= back;
        }
        ReplaceSelection(hwnd, state, u"");
        return;
    }
    if (c == u'\r') {
        if ((style & ES_MULTILINE) != 0 && (style & ES_WANTRETURN) != 0) {
            ReplaceSelection(hwnd, state, u"\r\n");
        }
        return;
    }
    if (c < 0x20 && c != u'\t') return;
    ReplaceSelection(hwnd, state, std::u16string_view(&c, 1));
}

// Asks the parent for the colours: a read-only or disabled edit asks as a
// static control does. Returns the brush that paints the background.
HBRUSH AskColours(HWND hwnd, HDC dc) {
    const bool asStatic = (StyleOf(hwnd) & ES_READONLY) != 0 || !IsWindowEnabled(hwnd);
    const int defaultBack = asStatic ? COLOR_BTNFACE : COLOR_WINDOW;
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(dc, GetSysColor(defaultBack));
    SetBkMode(dc, OPAQUE);
    HWND parent = GetParent(hwnd);
    LRESULT answer = 0;
    if (parent != nullptr) {
        answer = SendMessageW(parent, asStatic ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT,
                              reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd));
    }
    auto* brush = reinterpret_cast<HBRUSH>(answer);
    if (brush == nullptr || GetObjectType(brush) != OBJ_BRUSH) {
        brush = GetSysColorBrush(defaultBack);
    }
    return brush;
}

void DrawRun(HDC dc, int x, int y, std::u16string_view run) {
    if (!run.empty()) (void)TextOutW(dc, x, y, run.data(), static_cast<int>(run.size()));
}

void PaintEdit(HWND hwnd, EditState& state, HDC dc, const RECT& clip) {
    (void)clip;
    RECT client;
    (void)GetClientRect(hwnd, &client);
    const HGDIOBJ previousFont = SelectObject(dc, FontOrDefault(state.font));
    HBRUSH brush = AskColours(hwnd, dc);
    (void)FillRect(dc, &client, brush);
    if (!IsWindowEnabled(hwnd)) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    const COLORREF textColour = GetTextColor(dc);
    const COLORREF backColour = GetBkColor(dc);
    const int mode = GetBkMode(dc);

    const RECT area = FormattingRect(hwnd);
    const RECT savedClip = dc->ClipInFramebuffer();
    if (dc->IntersectClip(area)) {
        const size_t selFrom = std::min(state.selectionStart, state.selectionEnd);
        const size_t selTo = std::max(state.selectionStart, state.selectionEnd);
        const bool showSelection = selFrom != selTo && IsWindowEnabled(hwnd) &&
                                   (state.focused || (StyleOf(hwnd) & ES_NOHIDESEL) != 0);
        const int end = std::min(static_cast<int>(state.lines.size()),
                                 state.firstLine + VisibleLines(hwnd, state) + 1);
        for (int index = state.firstLine; index < end; ++index) {
            const EditLine& line = state.lines[static_cast<size_t>(index)];
            const int y = area.top + (index - state.firstLine) * state.lineHeight;
            const std::u16string_view text =
                std::u16string_view(state.text).substr(line.start, line.length);
            if (!showSelection || selTo <= line.start || selFrom >= line.start + line.length) {
                DrawRun(dc, area.left, y, text);
                continue;
            }
            const size_t a = std::max(selFrom, line.start) - line.start;
            const size_t b = std::min(selTo, line.start + line.length) - line.start;
            int x = area.left;
            DrawRun(dc, x, y, text.substr(0, a));
            x += TextWidthOf(state, text.substr(0, a));
            SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
            SetBkColor(dc, GetSysColor(COLOR_HIGHLIGHT));
            SetBkMode(dc, OPAQUE);
            DrawRun(dc, x, y, text.substr(a, b - a));
            x += TextWidthOf(state, text.substr(a, b - a));
            SetTextColor(dc, textColour);
            SetBkColor(dc, backColour);
            SetBkMode(dc, mode);
            DrawRun(dc, x, y, text.substr(b));
        }
    }
    dc->SetClipInFramebuffer(savedClip);
    if (previousFont != nullptr) SelectObject(dc, previousFont);
}

// The edge that WS_BORDER or WS_EX_CLIENTEDGE puts around the client area.
void PaintEdge(HWND hwnd) {
    const DWORD style = StyleOf(hwnd);
    const DWORD exStyle = static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_EXSTYLE));
    if ((style & WS_BORDER) == 0 && (exStyle & WS_EX_CLIENTEDGE) == 0) return;
    HDC dc = GetWindowDC(hwnd);
    if (dc == nullptr) return;
    RECT window;
    (void)GetWindowRect(hwnd, &window);
    RECT rect{0, 0, window.right - window.left, window.bottom - window.top};
    if ((style & WS_BORDER) != 0) {
        Draw3dRect(dc, rect, GetSysColor(COLOR_WINDOWFRAME), GetSysColor(COLOR_WINDOWFRAME));
        rect = RECT{rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1};
    }
    if ((exStyle & WS_EX_CLIENTEDGE) != 0) (void)DrawEdge(dc, &rect, EDGE_SUNKEN, BF_RECT);
    (void)ReleaseDC(hwnd, dc);
}

std::pair<size_t, size_t> ClampedSelection(const EditState& state, WPARAM from, LPARAM to) {
    const auto limit = [&](std::intptr_t value) {
        return value < 0 ? state.text.size()
                         : std::min(static_cast<size_t>(value), state.text.size());
    };
    const std::intptr_t start = static_cast<std::intptr_t>(from);
    if (start == -1) return {0, 0};
    return {limit(start), limit(static_cast<std::intptr_t>(to))};
}

LRESULT HandleEditMessage(HWND hwnd, EditState& state, UINT message, WPARAM wParam,
                          LPARAM lParam) {
    switch (message) {
        case WM_CREATE: {
            auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
            std::u16string text =
                create != nullptr && create->lpszName != nullptr ? create->lpszName : u"";
            StoreText(hwnd, state, std::move(text));
            return 0;
        }
        case WM_SETTEXT: {
            auto* text = reinterpret_cast<const char16_t*>(lParam);
            state.firstLine = 0;
            state.selectionStart = state.selectionEnd = 0;
            StoreText(hwnd, state, text != nullptr ? std::u16string(text) : std::u16string{});
            return TRUE;
        }
        case WM_SIZE:
            Relayout(hwnd, state);
            InvalidateRect(hwnd, nullptr, TRUE);
            return 0;
        case WM_SETFONT:
            SetFont(state, reinterpret_cast<HFONT>(wParam));
            Relayout(hwnd, state);
            if (LOWORD(static_cast<std::uintptr_t>(lParam)) != 0) {
                InvalidateRect(hwnd, nullptr, TRUE);
            }
            return 0;
        case WM_GETFONT: return reinterpret_cast<LRESULT>(state.font);
        case WM_PAINT:
        case WM_PRINTCLIENT:
            PaintClient(hwnd, wParam,
                        [&](HDC dc, const RECT& clip) { PaintEdit(hwnd, state, dc, clip); });
            return 0;
        case WM_ERASEBKGND:
            // The paint fills the background with the brush the parent chose.
            return 1;
        case WM_NCPAINT: PaintEdge(hwnd); return 0;
        case WM_ENABLE: InvalidateRect(hwnd, nullptr, TRUE); return 0;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            state.focused = message == WM_SETFOCUS;
            InvalidateRect(hwnd, nullptr, TRUE);
            return 0;
        case WM_VSCROLL: (void)ScrollByRequest(hwnd, state, wParam); return 0;
        case WM_MOUSEWHEEL: {
            const int delta = static_cast<std::int16_t>(HIWORD(wParam));
            (void)ScrollLines(hwnd, state, -delta * kWheelLines / WHEEL_DELTA);
            return 0;
        }
        case WM_CHAR: TypeCharacter(hwnd, state, static_cast<char16_t>(wParam)); return 0;
        case WM_GETDLGCODE: return 0x0001 | 0x0002 | 0x0080;  // arrows, tab, all keys as chars
        case EM_SCROLL: {
            const int moved = ScrollByRequest(hwnd, state, wParam);
            return static_cast<LRESULT>(MAKELPARAM(static_cast<WORD>(moved), TRUE));
        }
        case EM_LINESCROLL: (void)ScrollLines(hwnd, state, static_cast<int>(lParam)); return TRUE;
        case EM_GETFIRSTVISIBLELINE: return state.firstLine;
        case EM_GETLINECOUNT: return static_cast<LRESULT>(state.lines.size());
        case EM_GETRECT: {
            auto* rect = reinterpret_cast<RECT*>(lParam);
            if (rect != nullptr) *rect = FormattingRect(hwnd);
            return 0;
        }
        case EM_SETREADONLY: {
            const DWORD style = StyleOf(hwnd);
            const DWORD updated = wParam != 0 ? (style | ES_READONLY) : (style & ~ES_READONLY);
            SetWindowLongPtrW(hwnd, GWL_STYLE, static_cast<LONG_PTR>(updated));
            InvalidateRect(hwnd, nullptr, TRUE);
            return TRUE;
        }
        case EM_SETSEL: {
            const auto [from, to] = ClampedSelection(state, wParam, lParam);
            state.selectionStart = from;
            state.selectionEnd = to;
            InvalidateRect(hwnd, nullptr, TRUE);
            return 0;
        }
        case EM_GETSEL: {
            const size_t from = std::min(state.selectionStart, state.selectionEnd);
            const size_t to = std::max(state.selectionStart, state.selectionEnd);
            if (wParam != 0) *reinterpret_cast<DWORD*>(wParam) = static_cast<DWORD>(from);
            if (lParam != 0) *reinterpret_cast<DWORD*>(lParam) = static_cast<DWORD>(to);
            return static_cast<LRESULT>(
                MAKELPARAM(static_cast<WORD>(std::min<size_t>(from, 0xFFFF)),
                           static_cast<WORD>(std::min<size_t>(to, 0xFFFF))));
        }
        default: return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

LRESULT EditWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto state = std::make_unique<EditState>();
        SetFont(*state, nullptr);
        SetWindowLongPtrW(hwnd, kStateSlot, reinterpret_cast<LONG_PTR>(state.release()));
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    EditState* state = StateOf(hwnd);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, kStateSlot, 0);
        delete state;
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    if (state == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
    return HandleEditMessage(hwnd, *state, message, wParam, lParam);
}

}  // namespace

bool RegisterEditClass() {
    WNDCLASSW windowClass;
    windowClass.lpfnWndProc = EditWindowProc;
    windowClass.cbWndExtra = sizeof(void*);
    windowClass.lpszClassName = WC_EDITW;
    if (RegisterClassW(windowClass)) return true;
    WNDCLASSW existing;
    return GetClassInfoW(WC_EDITW, &existing);
}

}  // namespace tevorin::controls
