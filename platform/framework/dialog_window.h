#pragma once
// The window class every dialog runs on, and what the window system keeps
// per dialog: its font, the pictures its template loaded, its default push
// button and, once EndDialog was called, its result.

#include "platform/core/win_types.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/icon.h"

namespace tevorin::framework {

inline constexpr const char16_t* kDialogClassName = u"#32770";

// Registers the dialog class; true when it is registered afterwards.
[[nodiscard]] bool RegisterDialogClass();

// True for a window of the dialog class.
bool IsDialogWindow(HWND hwnd);

// The font the dialog and its controls use; the dialog frees it with itself
// when `owned`.
void SetDialogFont(HWND dialog, HFONT font, bool owned);
HFONT GetDialogFont(HWND dialog);
// Pictures the dialog frees with itself.
void KeepDialogBitmap(HWND dialog, HBITMAP bitmap);

// The default push button's id, 0 for none. Setting it restyles the old and
// the new button. Called directly rather than through DM_GETDEFID and
// DM_SETDEFID, whose numbers application dialogs may use for their own messages.
int GetDialogDefaultId(HWND dialog);
void SetDialogDefaultId(HWND dialog, int id);

// EndDialog's record: whether it was called and with what result.
void MarkDialogEnded(HWND dialog, INT_PTR result);
bool IsDialogEnded(HWND dialog, INT_PTR* result);
void ClearDialogEnded(HWND dialog);

}  // namespace tevorin::framework
