#include "ui/download_page1.h"

#include "app/update_state.h"
#include "resources/resource_ids.h"
#include "ui/update_actions.h"

BEGIN_MESSAGE_MAP(CDownloadPage1, CDialog)
ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

CDownloadPage1::CDownloadPage1(UINT templateId, CWnd* parent) : CDialog(templateId, parent) {}

CDownloadPage1::~CDownloadPage1() = default;

void CDownloadPage1::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_DESCRIPTION_EDIT, descriptionEdit);
}

BOOL CDownloadPage1::OnInitDialog() {
    (void)CDialog::OnInitDialog();
    if (theUpdateState.action == kActionUpdateRightNow) redTitle = 1;
    return TRUE;
}

void CDownloadPage1::OnOK() {}
void CDownloadPage1::OnCancel() {}

HBRUSH CDownloadPage1::OnCtlColor(CDC* dc, CWnd* control, UINT controlType) {
    // The default colouring hands the description box's request to the box.
    HBRUSH brush = CDialog::OnCtlColor(dc, control, controlType);
    if (dc != nullptr && redTitle == 1 && control != nullptr &&
        control->GetDlgCtrlID() == IDC_PAGE1_TITLE) {
        dc->SetBkMode(TRANSPARENT);
        dc->SetTextColor(kUrgentTitleColour);
    }
    return brush;
}
