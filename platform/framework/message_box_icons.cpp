#include "platform/framework/message_box_icons.h"

#include <algorithm>
#include <cmath>
#include <functional>

#include "platform/gdi/device_context.h"
#include "platform/gdi/text_drawing.h"
#include "platform/win/dialog_messages.h"

namespace tevorin::framework {

namespace {

constexpr int kSamples = 4;  // per axis, for smooth edges

// Paints `colour` where `inside` holds, with coverage from 4 x 4 samples.
void PaintShape(HDC dc, COLORREF colour, const std::function<bool(double, double)>& inside) {
    for (int y = 0; y < kMessageBoxIconSize; ++y) {
        for (int x = 0; x < kMessageBoxIconSize; ++x) {
            int hits = 0;
            for (int sy = 0; sy < kSamples; ++sy)
                for (int sx = 0; sx < kSamples; ++sx)
                    hits += inside(x + (sx + 0.5) / kSamples, y + (sy + 0.5) / kSamples) ? 1 : 0;
            if (hits > 0) dc->Blend(x, y, colour, hits * 255 / (kSamples * kSamples));
        }
    }
}

bool InDisc(double x, double y, double cx, double cy, double r) {
    return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r;
}

double DistanceToSegment(double px, double py, double ax, double ay, double bx, double by) {
    const double dx = bx - ax;
    const double dy = by - ay;
    const double t = std::clamp(((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
    const double qx = ax + t * dx - px;
    const double qy = ay + t * dy - py;
    return std::sqrt(qx * qx + qy * qy);
}

void DrawSymbol(HDC dc, const char16_t* symbol, COLORREF colour, int top) {
    LOGFONTW description;
    description.lfHeight = -20;
    description.lfWeight = FW_BOLD;
    const char16_t face[] = u"MS Shell Dlg";
    std::copy(std::begin(face), std::end(face), description.lfFaceName);
    HFONT font = CreateFontIndirectW(&description);
    const HGDIOBJ previous = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, colour);
    RECT area{0, top, kMessageBoxIconSize, kMessageBoxIconSize};
    DrawTextW(dc, symbol, -1, &area, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, previous);
    DeleteObject(font);
}

}  // namespace

HBITMAP CreateMessageBoxIcon(UINT type, COLORREF background) {
    const UINT icon = type & MB_ICONMASK;
    if (icon == 0) return nullptr;
    HBITMAP bitmap = CreateBitmapOfSize(kMessageBoxIconSize, kMessageBoxIconSize);
    HDC dc = CreateCompatibleDC(nullptr);
    if (bitmap == nullptr || dc == nullptr) {
        if (bitmap != nullptr) DeleteObject(bitmap);
        if (dc != nullptr) DeleteDC(dc);
        return nullptr;
    }
    const HGDIOBJ previous = SelectObject(dc, bitmap);
    const RECT all{0, 0, kMessageBoxIconSize, kMessageBoxIconSize};
    FillSolidRect(dc, all, background);
    const double c = kMessageBoxIconSize / 2.0;
    switch (icon) {
        case MB_ICONERROR:
            PaintShape(dc, RGB(200, 30, 30),
                       [c](double x, double y) { return InDisc(x, y, c, c, 15); });
            PaintShape(dc, RGB(255, 255, 255), [](double x, double y) {
                return DistanceToSegment(x, y, 10, 10, 22, 22) <= 2.2 ||
                       DistanceToSegment(x, y, 22, 10, 10, 22) <= 2.2;
            });
            break;
        case MB_ICONWARNING:
            PaintShape(dc, RGB(40, 40, 40), [](double x, double y) {
                // A triangle with its apex at the top: inside both slanted edges and above the
                // base.
                return y <= 30 && y >= 2 && std::abs(x - 16) <= (y - 2) * 0.56 + 0.8;
            });
            PaintShape(dc, RGB(255, 210, 0), [](double x, double y) {
                return y <= 28.5 && y >= 5 && std::abs(x - 16) <= (y - 5) * 0.56;
            });
            DrawSymbol(dc, u"!", RGB(0, 0, 0), 6);
            break;
        default: {  // information and question
            PaintShape(dc, RGB(30, 80, 200),
                       [c](double x, double y) { return InDisc(x, y, c, c, 15); });
            DrawSymbol(dc, icon == MB_ICONQUESTION ? u"?" : u"i", RGB(255, 255, 255), 0);
            break;
        }
    }
    SelectObject(dc, previous);
    DeleteDC(dc);
    return bitmap;
}

}  // namespace tevorin::framework
