#include "ui/flat_edit.h"

#include "platform/win/painting.h"

BEGIN_MESSAGE_MAP(CFlatEdit, CEdit)
ON_MESSAGE(WM_PAINT, &CFlatEdit::OnPaint)
ON_MESSAGE(WM_NCPAINT, &CFlatEdit::OnNcPaint)
ON_WM_CTLCOLOR_REFLECT()
ON_CONTROL_REFLECT(EN_VSCROLL, &CFlatEdit::OnVScrollReflect)
END_MESSAGE_MAP()

CFlatEdit::CFlatEdit() : backgroundBrush(RGB(255, 255, 255)) {}

CFlatEdit::~CFlatEdit() {
    (void)backgroundBrush.DeleteObject();
}

HBRUSH CFlatEdit::CtlColor(CDC* dc, UINT /*controlType*/) {
    if (dc != nullptr) {
        dc->SetTextColor(textColour);
        dc->SetBkColor(backgroundColour);
    }
    return backgroundBrush;
}

void CFlatEdit::DrawFrame() {
    if (m_hWnd == nullptr) return;
    HDC windowDc = GetWindowDC(m_hWnd);
    if (windowDc == nullptr) return;
    const HGDIOBJ font = GetCurrentObject(windowDc, OBJ_FONT);
    RECT window;
    GetWindowRect(&window);
    RECT rect{0, 0, window.right - window.left, window.bottom - window.top};
    const COLORREF colour = IsWindowEnabled() ? borderColour : kDisabledBorderColour;
    CDC dc;
    (void)dc.Attach(windowDc);
    dc.Draw3dRect(&rect, colour, colour);
    rect = RECT{rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1};
    dc.Draw3dRect(&rect, backgroundColour, backgroundColour);
    if (font != nullptr) (void)SelectObject(windowDc, font);
    (void)dc.Detach();
    (void)ReleaseDC(m_hWnd, windowDc);
}

LRESULT CFlatEdit::OnPaint(WPARAM wParam, LPARAM lParam) {
    const LRESULT result = DefWindowProc(WM_PAINT, wParam, lParam);
    DrawFrame();
    return result;
}

LRESULT CFlatEdit::OnNcPaint(WPARAM wParam, LPARAM lParam) {
    const LRESULT result = DefWindowProc(WM_NCPAINT, wParam, lParam);
    DrawFrame();
    return result;
}

void CFlatEdit::OnVScrollReflect() {
    Invalidate(TRUE);
}

LRESULT CFlatEdit::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = CEdit::WindowProc(message, wParam, lParam);
    // Scrolling moves the text over the frame; draw everything fresh.
    if (message == WM_VSCROLL) Invalidate(TRUE);
    return result;
}
