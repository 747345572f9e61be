#include "ui/download_page2.h"

#include "platform/framework/ctl_color_map.h"
#include "resources/resource_ids.h"

BEGIN_MESSAGE_MAP(CDownloadPage2, CDialog)
ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

CDownloadPage2::CDownloadPage2(UINT templateId, CWnd* parent) : CDialog(templateId, parent) {}

CDownloadPage2::~CDownloadPage2() = default;

void CDownloadPage2::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_FILE_LIST, fileList);
}

HBRUSH CDownloadPage2::OnCtlColor(CDC* dc, CWnd* control, UINT controlType) {
    if (dc == nullptr) return nullptr;
    return reinterpret_cast<HBRUSH>(
        ReflectCtlColor(WM_CTLCOLORMSGBOX + controlType, dc->m_hDC,
                        control != nullptr ? control->m_hWnd : nullptr));
}

void CDownloadPage2::OnOK() {}
void CDownloadPage2::OnCancel() {}
