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
#include "platform/win/dialog_messages.h"
#include "platform/win/focus.h"

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
    // The same with a window handle as parent (null: no owner).
    BOOL CreateFromTemplate(UINT templateId, HWND parent);
    // Makes the window from the template given to the constructor, disables
    // the parent, and runs a message loop until EndDialog; its argument is
    // the result. -1 when the window cannot be made.
    virtual INT_PTR DoModal();
    // Ends the modal loop with `result`; a modeless dialog is hidden (destroy
    // it with DestroyWindow).
    void EndDialog(int result);
    // The default push button's id (0: none; Enter then presses IDOK).
    DWORD GetDefID() const;
    void SetDefID(UINT id);
    // Moves the focus to the next (or previous) tab stop, or to `control`.
    void NextDlgCtrl() const;
    void PrevDlgCtrl() const;
    void GotoDlgCtrl(CWnd* control);

    // Runs data exchange (DDX); FALSE asks for the first control to get focus.
    virtual BOOL OnInitDialog();
    virtual void OnOK();      // UpdateData(TRUE), then EndDialog(IDOK)
    virtual void OnCancel();  // EndDialog(IDCANCEL)
    BOOL UpdateData(BOOL saveAndValidate = TRUE);

    UINT TemplateId() const { return templateId_; }

    // Dialog keys (Tab, Enter, Esc) for a top-level dialog and everything in it.
    BOOL PreTranslateMessage(MSG* msg) override;

  protected:
    virtual void DoDataExchange(CDataExchange* dx);
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    DECLARE_MESSAGE_MAP()

  private:
    LRESULT HandleInitDialog(WPARAM wParam, LPARAM lParam);
    void HandleOK() { OnOK(); }
    void HandleCancel() { OnCancel(); }

    UINT templateId_ = 0;
    CWnd* parent_ = nullptr;
    bool modal_ = false;
};

// The dialog class's keyboard handling on a message taken from the queue:
// true when the message was a dialog key of `dialog` (or of a control in
// it) and has been handled; the caller then does not dispatch it.
BOOL IsDialogMessageW(HWND dialog, MSG* msg);
// The tab stop after (or before) `control` among the dialog's visible and
// enabled WS_TABSTOP controls, pages included; wraps around.
HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous);

// A modal message box owned by `owner` (may be null): the caption, the text
// wrapped, the MB_ICON... picture and the buttons of the MB_... type, labelled
// "确定", "取消", "是", "否", "中止", "重试", "忽略". It is centred over the owner
// (or the screen), disables the owner while it is up, and keeps other windows
// painting and handling sent messages. Esc and the close box answer Cancel,
// or OK for a lone OK button. Returns the id of the pressed button (IDOK,
// IDCANCEL, IDYES, IDNO, ...); when the application quits first, what Esc
// would answer (0 for a box without Cancel); 0 when it cannot be shown.
int MessageBoxW(HWND owner, const char16_t* text, const char16_t* caption, UINT type);
