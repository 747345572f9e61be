#include "platform/framework/dialog_builder.h"

#include <cstdio>

#include "platform/core/text.h"
#include "platform/framework/dialog_window.h"
#include "platform/gdi/image_resources.h"
#include "platform/gdi/text_drawing.h"
#include "platform/win/dialog_messages.h"
#include "platform/win/message_loop.h"
#include "platform/win/window.h"

namespace tevorin::framework {

LOGFONTW TemplateFont(const DialogTemplate& dialogTemplate) {
    LOGFONTW font;
    if (dialogTemplate.fontFace.empty() || dialogTemplate.fontPointSize <= 0) {
        if (GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font) != 0) return font;
    }
    font.lfHeight =
        PointsToFontHeight(dialogTemplate.fontPointSize > 0 ? dialogTemplate.fontPointSize : 8);
    font.lfWeight = dialogTemplate.fontWeight > 0 ? dialogTemplate.fontWeight : FW_NORMAL;
    font.lfItalic = dialogTemplate.fontItalic ? 1 : 0;
    font.lfCharSet = dialogTemplate.fontCharset;
    const std::u16string face =
        dialogTemplate.fontFace.empty() ? std::u16string(u"MS Shell Dlg") : dialogTemplate.fontFace;
    const std::size_t count = std::min<std::size_t>(face.size(), LF_FACESIZE - 1);
    for (std::size_t i = 0; i < count; ++i) font.lfFaceName[i] = face[i];
    font.lfFaceName[count] = 0;
    return font;
}

RECT DialogUnitsToPixels(short x, short y, short cx, short cy, SIZE baseUnits) {
    const int left = DialogUnitsToPixelsX(x, baseUnits);
    const int top = DialogUnitsToPixelsY(y, baseUnits);
    return RECT{left, top, left + DialogUnitsToPixelsX(cx, baseUnits),
                top + DialogUnitsToPixelsY(cy, baseUnits)};
}

namespace {

// A picture control shows the resource its template names; a missing or
// damaged resource leaves the control empty.
void GivePicture(HWND dialog, HWND control, const DialogControl& entry) {
    if (!entry.imageResourceId) return;
    const DWORD kind = entry.style & SS_TYPEMASK;
    if (kind == SS_BITMAP) {
        HBITMAP bitmap = LoadBitmapW(nullptr, *entry.imageResourceId);
        if (bitmap == nullptr) return;
        KeepDialogBitmap(dialog, bitmap);
        SendMessageW(control, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
    } else if (kind == SS_ICON) {
        HICON icon = LoadIconW(nullptr, *entry.imageResourceId);  // shared, never freed
        if (icon != nullptr)
            SendMessageW(control, STM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
    }
}

}  // namespace

bool CreateTemplateControls(HWND dialog, const DialogTemplate& dialogTemplate, SIZE baseUnits,
                            HFONT font) {
    int defaultId = 0;
    for (const DialogControl& entry : dialogTemplate.controls) {
        const RECT rect = DialogUnitsToPixels(entry.x, entry.y, entry.cx, entry.cy, baseUnits);
        HWND control = CreateWindowExW(entry.exStyle, entry.className.c_str(), entry.text.c_str(),
                                       entry.style | WS_CHILD, rect.left, rect.top, rect.Width(),
                                       rect.Height(), dialog, ChildIdMenu(entry.id), nullptr);
        if (control == nullptr) {
            std::fprintf(stderr,
                         "dialog %d: cannot create control %d of class '%s' (is the class "
                         "registered?)\n",
                         dialogTemplate.id, entry.id, Utf16ToUtf8(entry.className).c_str());
            return false;
        }
        if (font != nullptr)
            SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        GivePicture(dialog, control, entry);
        if (defaultId == 0 && IsDialogControlClass(entry, u"Button") &&
            (entry.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
            defaultId = entry.id;
    }
    if (defaultId != 0) SetDialogDefaultId(dialog, defaultId);
    return true;
}

}  // namespace tevorin::framework
