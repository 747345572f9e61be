#include "tools/main/main_window_paint.h"

#include <cstdio>
#include <string>

#include "platform/core/text.h"
#include "platform/gdi/system_palette.h"
#include "platform/gdi/text_drawing.h"
#include "platform/win/paint.h"
#include "platform/win/painting.h"
#include "platform/win/window.h"

namespace main_stand_in {

namespace {

HFONT MakeFont(int points, LONG weight) {
    LOGFONTW description;
    description.lfHeight = PointsToFontHeight(points);
    description.lfWeight = weight;
    const std::u16string face = u"MS Shell Dlg";
    for (std::size_t i = 0; i < face.size(); ++i) description.lfFaceName[i] = face[i];
    return CreateFontIndirectW(&description);
}

void DrawLine(HDC dc, const std::u16string& text, HFONT font, RECT area) {
    const HGDIOBJ previous = SelectObject(dc, font);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, previous);
}

}  // namespace

std::u16string VersionLine(DWORD version) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%X", static_cast<unsigned>(version));
    return u"Version " + Utf8ToUtf16(digits);
}

void PaintMainWindow(HWND hwnd, DWORD version) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd, &paint);
    if (dc == nullptr) return;
    RECT client;
    GetClientRect(hwnd, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    HFONT title = MakeFont(20, FW_BOLD);
    HFONT body = MakeFont(10, FW_NORMAL);
    const int middle = client.top + client.Height() / 2;
    DrawLine(dc, u"Tevorin", title, RECT{client.left, client.top, client.right, middle + 8});
    DrawLine(dc, VersionLine(version), body,
             RECT{client.left, middle + 8, client.right, client.bottom - 8});
    EndPaint(hwnd, &paint);
    DeleteObject(title);
    DeleteObject(body);
}

}  // namespace main_stand_in
