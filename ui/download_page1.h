#pragma once
// CDownloadPage1: the wizard's description page. A title line, an
// introductory sentence, the description of the new version in a flat
// read-only box, and a line asking the user to press Next. The wizard fills
// it; the page itself paints its title red when the update is urgent.

#include "platform/framework/dialog.h"
#include "ui/flat_edit.h"

class CDownloadPage1 : public CDialog {
  public:
    CDownloadPage1(UINT templateId, CWnd* parent);
    ~CDownloadPage1() override;

    BOOL OnInitDialog() override;
    // Enter and Esc neither close nor hide the page.
    void OnOK() override;
    void OnCancel() override;

    HBRUSH OnCtlColor(CDC* dc, CWnd* control, UINT controlType);

    // Bound to the description box, control 1004.
    CFlatEdit descriptionEdit;
    // 1 when the title, control 1003, is painted red.
    int redTitle = 0;

    // The colour of an urgent title.
    static constexpr COLORREF kUrgentTitleColour = RGB(255, 0, 0);

  protected:
    void DoDataExchange(CDataExchange* dx) override;
    DECLARE_MESSAGE_MAP()
};
