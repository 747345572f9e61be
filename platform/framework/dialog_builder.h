#pragma once
// Building a dialog's window and controls from its template.

#include "platform/core/win_types.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/gdi_types.h"
#include "platform/resource/dialog_template.h"

namespace tevorin::framework {

// The font the template asks for; the default GUI font's description when
// it names none.
LOGFONTW TemplateFont(const DialogTemplate& dialogTemplate);

// Template rectangle (dialog units) to pixels with the font's base units.
RECT DialogUnitsToPixels(short x, short y, short cx, short cy, SIZE baseUnits);

// Creates the template's controls in template order inside `dialog`, each
// with its id, styles, text, the font and its picture. False (and an
// explanation on stderr) when a control cannot be made, e.g. because its
// class is not registered.
[[nodiscard]] bool CreateTemplateControls(HWND dialog, const DialogTemplate& dialogTemplate,
                                          SIZE baseUnits, HFONT font);

}  // namespace tevorin::framework
