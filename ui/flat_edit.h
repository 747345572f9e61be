#pragma once
// CFlatEdit: an edit control that paints a thin two-colour frame of its own
// over the system's edit border, and its own text and background colours.
// The outer ring is the border colour (grey while disabled), the ring inside
// it the background colour, so the box looks flat next to the wizard's
// banner and labels.

#include "platform/controls/framework/cedit.h"
#include "platform/gdi/cdc.h"
#include "platform/gdi/gdi_wrappers.h"

class CFlatEdit : public CEdit {
  public:
    CFlatEdit();
    ~CFlatEdit() override;

    // Public so that the page's owner can recolour the box; invalidate the
    // control after a change so that it repaints.
    COLORREF backgroundColour = RGB(255, 255, 255);
    COLORREF borderColour = RGB(107, 133, 206);
    COLORREF textColour = RGB(0, 0, 0);
    // Paints the background; made once from the initial background colour,
    // which nothing changes.
    CBrush backgroundBrush;

    // The outer frame of a disabled box.
    static constexpr COLORREF kDisabledBorderColour = RGB(122, 122, 122);

    // The colours of the box, when the parent reflects its colour request.
    HBRUSH CtlColor(CDC* dc, UINT controlType);
    // Paints both frames over the two outermost pixel rings of the window.
    void DrawFrame();

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  protected:
    LRESULT OnPaint(WPARAM wParam, LPARAM lParam);
    LRESULT OnNcPaint(WPARAM wParam, LPARAM lParam);
    void OnVScrollReflect();
    DECLARE_MESSAGE_MAP()
};
