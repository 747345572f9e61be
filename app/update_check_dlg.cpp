#include "app/update_check_dlg.h"

#include "app/single_instance.h"
#include "app/update_decision.h"
#include "app/update_state.h"
#include "manifest/fetch_url_text.h"
#include "manifest/manifest_request.h"
#include "manifest/parse_update_manifest.h"
#include "platform/gdi/image_drawing.h"
#include "platform/gdi/image_resources.h"
#include "platform/gdi/system_palette.h"
#include "platform/win/painting.h"
#include "platform/win/window.h"
#include "resources/dialog_language.h"
#include "resources/resource_ids.h"
#include "ui/download_dlg.h"

BEGIN_MESSAGE_MAP(CUpdateCheckDlg, CDialog)
ON_WM_PAINT()
ON_WM_CLOSE()
ON_WM_DESTROY()
END_MESSAGE_MAP()

CUpdateCheckDlg::CUpdateCheckDlg(CWnd* parent)
    : CDialog(DialogTemplateFor(ProgramDialog::UpdateCheckHost, 0), parent) {
    icon_ = LoadIconW(nullptr, IDR_MAINFRAME);
    // When the window cannot be made, m_hWnd stays null and the caller
    // deletes the object.
    (void)Create(DialogTemplateFor(ProgramDialog::UpdateCheckHost, 0), parent);
}

BOOL CUpdateCheckDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    ModifyStyleEx(0, kHostExtraExStyle, 0);
    ShowWindow(SW_HIDE);
    SetWindowTextW(kUpdaterMarkerTitle);
    if (!RunUpdateCheck()) {
        // Nothing to do: the window goes once the message loop runs, and the
        // process with it.
        PostMessage(WM_CLOSE);
    }
    return TRUE;
}

bool CUpdateCheckDlg::RunUpdateCheck() {
    UpdateState& state = theUpdateState;
    // Failures of the fetch arrive as an empty or broken text, which the
    // parser turns into "no version, no files".
    const std::u16string manifest = FetchUrlText(BuildManifestRequestUrl(state.installedVersion));
    ParseUpdateManifest(manifest, state.serverVersion, state.description, state.action,
                        state.files);
    if (!IsUpdateDue(state.serverVersion, state.installedVersion, state.files.size())) return false;

    // The wizard runs its own initialisation (and in some modes starts the
    // download) inside its constructor, and deletes itself when closed.
    CDownloadDlg* wizard =
        new CDownloadDlg(DialogTemplateFor(ProgramDialog::UpdateWizard, state.UiLanguage),
                         CWnd::FromHandle(GetDesktopWindow()));
    if (wizard->m_hWnd == nullptr) {
        // Its window could not be made, so it can never close the run: end
        // it here as if no update were due.
        delete wizard;
        return false;
    }
    wizard->ShowWindow(IsWizardShown(state.userUpgrade, state.action) ? SW_SHOW : SW_HIDE);
    return true;
}

void CUpdateCheckDlg::OnPaint() {
    if (!IsIconic()) {
        DefWindowProc(WM_PAINT, 0, 0);
        return;
    }
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(m_hWnd, &paint);
    if (dc == nullptr) return;
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client;
    GetClientRect(&client);
    const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
    if (icon_ != nullptr) DrawIcon(dc, x, y, icon_);
    EndPaint(m_hWnd, &paint);
}

void CUpdateCheckDlg::OnClose() {
    // No quit message: destroying the main window ends the message loop.
    DestroyWindow();
}

void CUpdateCheckDlg::OnDestroy() {
    DefWindowProc(WM_DESTROY, 0, 0);
}

void CUpdateCheckDlg::PostNcDestroy() {
    delete this;
}
