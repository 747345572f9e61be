#include "install/default_upgrade_message_dlg.h"

#include "install/install_pending_update.h"
#include "platform/core/window_styles.h"
#include "platform/gdi/cdc.h"
#include "platform/gdi/gdi_types.h"
#include "platform/gdi/image_resources.h"
#include "platform/win/messages.h"
#include "platform/win/painting.h"
#include "resources/resource_ids.h"

namespace {

// The top-left corner of a child control in the notice's client coordinates.
bool ControlCorner(const CWnd& notice, int id, POINT& corner) {
    const CWnd* control = notice.GetDlgItem(id);
    if (control == nullptr) return false;
    RECT rect{};
    control->GetWindowRect(&rect);
    notice.ScreenToClient(&rect);
    corner = {rect.left, rect.top};
    return true;
}

class DefaultUpgradeNotice final : public UpdateNotice {
  public:
    DefaultUpgradeNotice()
        : dialog_(new CDefaultUpgradeMessageDlg(CWnd::FromHandle(GetDesktopWindow()))) {
        dialog_->ShowWindow(SW_SHOW);
        dialog_->PaintByHand();
    }
    ~DefaultUpgradeNotice() override {
        dialog_->DestroyWindow();
        delete dialog_;
    }

  private:
    CDefaultUpgradeMessageDlg* dialog_;
};

}  // namespace

BEGIN_MESSAGE_MAP(CDefaultUpgradeMessageDlg, CDialog)
END_MESSAGE_MAP()

CDefaultUpgradeMessageDlg::CDefaultUpgradeMessageDlg(CWnd* parent)
    : CDialog(IDD_UPGRADE_MESSAGE_DLG, parent) {
    (void)Create(IDD_UPGRADE_MESSAGE_DLG, parent);
}

BOOL CDefaultUpgradeMessageDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    ModifyStyleEx(0, WS_EX_NOACTIVATE, 0);
    SetWindowPos(reinterpret_cast<const CWnd*>(HWND_TOPMOST), 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    CenterWindow();
    return TRUE;
}

void CDefaultUpgradeMessageDlg::OnOK() {}

void CDefaultUpgradeMessageDlg::OnCancel() {}

void CDefaultUpgradeMessageDlg::PaintByHand() {
    const HDC dc = ::GetDC(m_hWnd);
    if (dc == nullptr) return;
    CDC painter;
    (void)painter.Attach(dc);

    POINT corner{};
    if (ControlCorner(*this, IDC_STATIC, corner)) {
        const std::u16string text = GetDlgItem(IDC_STATIC)->GetWindowTextString();
        const HFONT font = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
        const HGDIOBJ previousFont = font != nullptr ? ::SelectObject(dc, font) : nullptr;
        painter.SetBkMode(TRANSPARENT);
        (void)painter.TextOut(corner.x, corner.y, text);
        if (previousFont != nullptr) (void)::SelectObject(dc, previousFont);
    }
    if (ControlCorner(*this, IDC_UPGRADE_ICON, corner)) {
        if (const HICON icon = LoadIconW(nullptr, IDR_MAINFRAME)) {
            (void)painter.DrawIcon(corner.x, corner.y, icon);
        }
    }
    (void)painter.Detach();
    (void)::ReleaseDC(m_hWnd, dc);
}

std::unique_ptr<UpdateNotice> ShowDefaultUpgradeNotice() {
    return std::make_unique<DefaultUpgradeNotice>();
}
