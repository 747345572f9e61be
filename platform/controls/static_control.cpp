#include "platform/controls/static_control.h"

#include <memory>

#include "platform/controls/common_controls.h"
#include "platform/controls/control_paint.h"
#include "platform/controls/control_state.h"
#include "platform/controls/list_view_state.h"
#include "platform/gdi/image_drawing.h"
#include "platform/gdi/system_palette.h"
#include "platform/gdi/text_drawing.h"
#include "platform/win/dialog_messages.h"
#include "platform/win/message_loop.h"
#include "platform/win/paint.h"
#include "platform/win/window.h"

namespace tevorin::controls {

namespace {

struct StaticState {
    HFONT font = nullptr;
    HBITMAP bitmap = nullptr;  // not owned: whoever set it frees it
    HICON icon = nullptr;      // not owned
};

StaticState* StateOf(HWND hwnd) { return ControlStateOf<StaticState>(hwnd); }

bool IsTextKind(DWORD kind) {
    return kind == SS_LEFT || kind == SS_CENTER || kind == SS_RIGHT || kind == SS_SIMPLE ||
           kind == SS_LEFTNOWORDWRAP;
}

// Asks the parent for the text colours and the background brush.
HBRUSH AskColours(HWND hwnd, HDC dc) {
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    SetBkMode(dc, OPAQUE);
    LRESULT answer = 0;
    if (HWND parent = GetParent(hwnd)) {
        answer = SendMessageW(parent, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                              reinterpret_cast<LPARAM>(hwnd));
    }
    auto* brush = reinterpret_cast<HBRUSH>(answer);
    if (brush == nullptr || GetObjectType(brush) != OBJ_BRUSH)
        brush = GetSysColorBrush(COLOR_BTNFACE);
    return brush;
}

UINT TextFormat(DWORD style) {
    UINT format = 0;
    switch (style & SS_TYPEMASK) {
        case SS_CENTER:
            format = DT_CENTER | DT_WORDBREAK;
            break;
        case SS_RIGHT:
            format = DT_RIGHT | DT_WORDBREAK;
            break;
        case SS_SIMPLE:
        case SS_LEFTNOWORDWRAP:
            format = DT_LEFT | DT_SINGLELINE;
            break;
        default:
            format = DT_LEFT | DT_WORDBREAK;
            break;
    }
    if ((style & SS_NOPREFIX) != 0) format |= DT_NOPREFIX;
    if ((style & SS_CENTERIMAGE) != 0)
        format = (format & ~DT_WORDBREAK) | DT_SINGLELINE | DT_VCENTER;
    if ((style & SS_ELLIPSISMASK) != 0) format |= DT_END_ELLIPSIS;
    return format;
}

void PaintText(HWND hwnd, const StaticState& state, HDC dc, const RECT& client) {
    const HGDIOBJ previousFont = SelectObject(dc, FontOrDefault(state.font));
    const HBRUSH brush = AskColours(hwnd, dc);
    FillRect(dc, &client, brush);
    if (!IsWindowEnabled(hwnd)) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    SetBkMode(dc, TRANSPARENT);  // the box is filled already
    const std::u16string text = GetWindowTextString(hwnd);
    RECT area = client;
    if (!text.empty())
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area,
                  TextFormat(static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE))));
    SelectObject(dc, previousFont);
}

void PaintPicture(HWND hwnd, const StaticState& state, HDC dc, const RECT& client, DWORD style) {
    FillRect(dc, &client, AskColours(hwnd, dc));
    const bool centred = (style & SS_CENTERIMAGE) != 0;
    if ((style & SS_TYPEMASK) == SS_BITMAP && state.bitmap != nullptr) {
        BITMAP info{};
        if (GetObjectW(state.bitmap, sizeof info, &info) == 0) return;
        const int x = centred ? (client.Width() - info.bmWidth) / 2 : 0;
        const int y = centred ? (client.Height() - info.bmHeight) / 2 : 0;
        DrawBitmap(dc, x, y, state.bitmap);
    } else if ((style & SS_TYPEMASK) == SS_ICON && state.icon != nullptr) {
        const int cx = GetSystemMetrics(SM_CXICON);
        const int cy = GetSystemMetrics(SM_CYICON);
        const int x = centred ? (client.Width() - cx) / 2 : 0;
        const int y = centred ? (client.Height() - cy) / 2 : 0;
        DrawIconEx(dc, x, y, state.icon, cx, cy, 0, nullptr, DI_NORMAL);
    }
}

void PaintStatic(HWND hwnd, const StaticState& state, HDC dc) {
    RECT client;
    GetClientRect(hwnd, &client);
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE));
    const DWORD kind = style & SS_TYPEMASK;
    if (IsTextKind(kind)) {
        PaintText(hwnd, state, dc, client);
        return;
    }
    switch (kind) {
        case SS_BITMAP:
        case SS_ICON:
            PaintPicture(hwnd, state, dc, client, style);
            break;
        case SS_BLACKRECT:
            FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOWFRAME));
            break;
        case SS_GRAYRECT:
            FillRect(dc, &client, GetSysColorBrush(COLOR_BTNSHADOW));
            break;
        case SS_WHITERECT:
            FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
            break;
        // Frames leave their inside alone: they outline what lies under them.
        case SS_BLACKFRAME:
            FrameRect(dc, &client, GetSysColorBrush(COLOR_WINDOWFRAME));
            break;
        case SS_GRAYFRAME:
            FrameRect(dc, &client, GetSysColorBrush(COLOR_BTNSHADOW));
            break;
        case SS_WHITEFRAME:
            FrameRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
            break;
        case SS_ETCHEDHORZ: {
            RECT line = client;
            DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
            break;
        }
        case SS_ETCHEDVERT: {
            RECT line = client;
            DrawEdge(dc, &line, EDGE_ETCHED, BF_LEFT);
            break;
        }
        case SS_ETCHEDFRAME: {
            RECT frame = client;
            DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
            break;
        }
        default:
            break;
    }
}

// A picture static takes the size of its picture unless told to keep its own.
void FitToPicture(HWND hwnd, int width, int height) {
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE));
    if ((style & (SS_REALSIZECONTROL | SS_CENTERIMAGE)) != 0 || width <= 0 || height <= 0) return;
    SetWindowPos(hwnd, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT SetImage(HWND hwnd, StaticState& state, WPARAM type, LPARAM handle) {
    LRESULT previous = 0;
    if (type == IMAGE_BITMAP) {
        previous = reinterpret_cast<LRESULT>(state.bitmap);
        auto* bitmap = reinterpret_cast<HBITMAP>(handle);
        state.bitmap = bitmap != nullptr && IsLiveObject(bitmap, OBJ_BITMAP) ? bitmap : nullptr;
        BITMAP info{};
        if (state.bitmap != nullptr && GetObjectW(state.bitmap, sizeof info, &info) != 0)
            FitToPicture(hwnd, info.bmWidth, info.bmHeight);
    } else if (type == IMAGE_ICON) {
        previous = reinterpret_cast<LRESULT>(state.icon);
        state.icon = reinterpret_cast<HICON>(handle);
        if (state.icon != nullptr)
            FitToPicture(hwnd, GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON));
    } else {
        return 0;
    }
    InvalidateRect(hwnd, nullptr, TRUE);
    return previous;
}

LRESULT HandleStaticMessage(HWND hwnd, StaticState& state, UINT message, WPARAM wParam,
                            LPARAM lParam) {
    if (auto answered = HandleTextAndFontMessage(hwnd, state.font, message, wParam, lParam))
        return *answered;
    switch (message) {
        case WM_PAINT:
        case WM_PRINTCLIENT:
            PaintClient(hwnd, wParam, [&](HDC dc, const RECT&) { PaintStatic(hwnd, state, dc); });
            return 0;
        case WM_ERASEBKGND:
            return 1;  // the paint fills what it owns
        case WM_ENABLE:
            InvalidateRect(hwnd, nullptr, TRUE);
            return 0;
        case STM_SETIMAGE:
            return SetImage(hwnd, state, wParam, lParam);
        case STM_GETIMAGE:
            return wParam == IMAGE_BITMAP ? reinterpret_cast<LRESULT>(state.bitmap)
                   : wParam == IMAGE_ICON ? reinterpret_cast<LRESULT>(state.icon)
                                          : 0;
        case STM_SETICON:
            return SetImage(hwnd, state, IMAGE_ICON, static_cast<LPARAM>(wParam));
        case STM_GETICON:
            return reinterpret_cast<LRESULT>(state.icon);
        case WM_LBUTTONUP:
            if ((GetWindowLongPtrW(hwnd, GWL_STYLE) & SS_NOTIFY) != 0) {
                SendMessageW(GetParent(hwnd), WM_COMMAND,
                             MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID(hwnd)), STN_CLICKED),
                             reinterpret_cast<LPARAM>(hwnd));
            }
            return 0;
        case WM_GETDLGCODE:
            return DLGC_STATIC;
        default:
            return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

}  // namespace

bool RegisterStaticClass() {
    return RegisterStatefulControlClass(
        WC_STATICW, &StatefulControlProc<StaticState, &HandleStaticMessage>);
}

}  // namespace tevorin::controls
