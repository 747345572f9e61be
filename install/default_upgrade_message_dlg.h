#pragma once
// The small notice "the software is being updated" shown while a pending
// update is installed. No message loop runs while it is on screen, so it is
// painted once by hand (PaintByHand) instead of painting itself.

#include "platform/framework/dialog.h"

class CDefaultUpgradeMessageDlg : public CDialog {
  public:
    // Creates the (hidden) window from the notice's template at once; the
    // Chinese template serves every language.
    explicit CDefaultUpgradeMessageDlg(CWnd* parent);

    // Adds WS_EX_NOACTIVATE, puts the window in the top-most band and
    // centres it on the screen.
    BOOL OnInitDialog() override;
    // Neither Enter nor Esc closes the notice.
    void OnOK() override;
    void OnCancel() override;

    // Draws the notice text in the dialog's font at its static control and
    // the program icon at the hidden icon control, straight into the
    // window's device context. Nothing when no context can be had.
    void PaintByHand();

  protected:
    DECLARE_MESSAGE_MAP()
};
