#include "platform/gdi/window_frame.h"

#include <algorithm>
#include <string>

#include "platform/gdi/device_context.h"
#include "platform/gdi/system_palette.h"
#include "platform/gdi/text_drawing.h"

namespace {

COLORREF Mix(COLORREF from, COLORREF to, int step, int steps) {
    auto channel = [&](BYTE a, BYTE b) {
        return static_cast<BYTE>(a + (static_cast<int>(b) - a) * step / std::max(steps, 1));
    };
    return RGB(channel(GetRValue(from), GetRValue(to)), channel(GetGValue(from), GetGValue(to)),
               channel(GetBValue(from), GetBValue(to)));
}

void DrawCloseGlyph(DeviceContext& dc, const RECT& box) {
    // An 8 x 7 cross, two pixels thick, centred in the button.
    const int left = box.left + (box.right - box.left - 8) / 2;
    const int top = box.top + (box.bottom - box.top - 7) / 2;
    const COLORREF ink = GetSysColor(COLOR_BTNTEXT);
    for (int i = 0; i < 7; ++i) {
        dc.Put(left + i, top + i, ink);
        dc.Put(left + i + 1, top + i, ink);
        dc.Put(left + 6 - i, top + i, ink);
        dc.Put(left + 7 - i, top + i, ink);
    }
}

}  // namespace

RECT CloseBoxRect(int outerWidth) {
    const int right = outerWidth - kFrameBorder - 2;
    const int top = kFrameBorder + 2;
    return RECT{right - 16, top, right, top + 14};
}

Framebuffer ComposeWindowImage(const Framebuffer& client, std::u16string_view title, bool active) {
    const int width = client.width + 2 * kFrameBorder;
    const int height = client.height + 2 * kFrameBorder + kCaptionHeight + kCaptionGap;
    Framebuffer out;
    out.Resize(width, height, PixelFromColorRef(GetSysColor(COLOR_3DFACE)));
    DeviceContext dc(out, POINT{0, 0}, RECT{0, 0, width, height});

    RECT edge{0, 0, width, height};
    DrawEdge(&dc, &edge, EDGE_RAISED, BF_RECT);

    // Caption bar with its gradient.
    const RECT caption{kFrameBorder, kFrameBorder, width - kFrameBorder,
                       kFrameBorder + kCaptionHeight};
    const COLORREF from = GetSysColor(active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION);
    const COLORREF to =
        GetSysColor(active ? COLOR_GRADIENTACTIVECAPTION : COLOR_GRADIENTINACTIVECAPTION);
    const int span = caption.right - caption.left;
    for (int x = caption.left; x < caption.right; ++x)
        dc.Fill(RECT{x, caption.top, x + 1, caption.bottom},
                Mix(from, to, x - caption.left, span - 1));

    // Close box: a raised button with a cross.
    RECT closeBox = CloseBoxRect(width);
    RECT button = closeBox;
    DrawEdge(&dc, &button, EDGE_RAISED, BF_RECT | BF_MIDDLE);
    DrawCloseGlyph(dc, closeBox);

    // Title in the bold dialog font, left-aligned, cut before the close box.
    LOGFONTW font{};
    font.lfHeight = PointsToFontHeight(8);
    font.lfWeight = FW_BOLD;
    const std::u16string_view face = u"MS Shell Dlg";
    std::copy(face.begin(), face.end(), font.lfFaceName);
    HFONT titleFont = CreateFontIndirectW(&font);
    HGDIOBJ oldFont = SelectObject(&dc, titleFont);
    SetBkMode(&dc, TRANSPARENT);
    SetTextColor(&dc, GetSysColor(active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
    RECT textArea{caption.left + 2, caption.top, closeBox.left - 2, caption.bottom};
    const std::u16string text(title);
    DrawTextW(&dc, text.c_str(), static_cast<int>(text.size()), &textArea,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    SelectObject(&dc, oldFont);
    DeleteObject(titleFont);

    // Client image; a framebuffer whose pixel count does not match its size
    // is left out rather than read past its end.
    if (client.pixels.size() != static_cast<std::size_t>(std::max(client.width, 0)) *
                                    static_cast<std::size_t>(std::max(client.height, 0)))
        return out;
    const int clientTop = kFrameBorder + kCaptionHeight + kCaptionGap;
    for (int y = 0; y < client.height; ++y)
        std::copy_n(
            client.pixels.begin() + static_cast<std::ptrdiff_t>(y) * client.width, client.width,
            out.pixels.begin() + static_cast<std::ptrdiff_t>(y + clientTop) * width + kFrameBorder);
    return out;
}
