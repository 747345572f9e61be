#pragma once
// CDownloadPage2: the wizard's file list page. A bold heading, the list of
// the update's files with their progress, and a status line under it that
// the download sets.

#include "platform/framework/dialog.h"
#include "ui/progress_list_ctrl.h"

class CDownloadPage2 : public CDialog {
  public:
    CDownloadPage2(UINT templateId, CWnd* parent);
    ~CDownloadPage2() override;

    // Enter and Esc neither close nor hide the page.
    void OnOK() override;
    void OnCancel() override;

    // Bound to the list control, 1006.
    CProgressListCtrl fileList;

  protected:
    void DoDataExchange(CDataExchange* dx) override;
    DECLARE_MESSAGE_MAP()
};
