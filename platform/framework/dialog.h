#pragma once
// CDialog: a window built from a dialog template. The template's size and the
// controls' rectangles are dialog units of the template's font, converted to
// pixels when the window is made. A modeless dialog is made with Create and
// lives until DestroyWindow; a modal one runs its own message loop in DoModal
// until EndDialog. Keyboard: Enter presses the default push button (IDOK when
// there is none), Esc sends IDCANCEL, Tab moves the focus between
// WS_TABSTOP controls.

#include "platform/framework/data_exchange.h"
#include "platform/framework/wnd.h"

class CDialog : public CWnd {
  public:
    CDialog();
    CDialog(UINT templateId, CWnd* parent = nullptr);
    ~CDialog() override;

    // Builds the window and its controls from the template, then sends
    // WM_INITDIALOG (OnInitDialog runs before Create returns). The window is
    // shown only when the template has WS_VISIBLE. False when the template is
    // unknown or the window cannot be made.
    virtual BOOL Create(UINT templateId, CWnd* parent = nullptr);
    // Makes the window from the template given to the constructor, disables
    // the parent, and runs a message loop until EndDialog; its argument is
    // the result. -1 when the window cannot be made.
    virtual INT_PTR DoModal();
    void EndDialog(int result);

    // Runs data exchange (DDX); FALSE asks for the first control to get focus.
    virtual BOOL OnInitDialog();
    virtual void OnOK();      // UpdateData(TRUE), then EndDialog(IDOK)
    virtual void OnCancel();  // EndDialog(IDCANCEL)
    BOOL UpdateData(BOOL saveAndValidate = TRUE);

    UINT TemplateId() const { return templateId_; }

  protected:
    virtual void DoDataExchange(CDataExchange* dx);
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    DECLARE_MESSAGE_MAP()

  private:
    UINT templateId_ = 0;
    CWnd* parent_ = nullptr;
};

// A modal message box owned by `owner` (may be null). Returns the id of the
// pressed button (IDOK, IDCANCEL, IDYES, IDNO, ...).
int MessageBoxW(HWND owner, const char16_t* text, const char16_t* caption, UINT type);
