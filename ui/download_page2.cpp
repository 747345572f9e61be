#include "ui/download_page2.h"

#include "resources/resource_ids.h"

BEGIN_MESSAGE_MAP(CDownloadPage2, CDialog)
// The framework's default colouring, as if the page did not handle it.
ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

CDownloadPage2::CDownloadPage2(UINT templateId, CWnd* parent) : CDialog(templateId, parent) {}

CDownloadPage2::~CDownloadPage2() = default;

void CDownloadPage2::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_FILE_LIST, fileList);
}

void CDownloadPage2::OnOK() {}
void CDownloadPage2::OnCancel() {}
