#include "app/live_update_app.h"

#include "app/module_dir.h"
#include "app/single_instance.h"
#include "app/startup.h"
#include "app/update_check_dlg.h"
#include "app/update_state.h"
#include "platform/controls/control_classes.h"
#include "platform/core/command_line.h"
#include "resources/tevorin_resources.h"

CLiveUpdateApp::CLiveUpdateApp() : CWinApp(nullptr) {}

BOOL CLiveUpdateApp::InitInstance() {
    InstallResourceTable(&TevorinResourceTable());
    // The wizard's pages hold edit and list view controls.
    if (!tevorin::controls::RegisterControlClasses()) return FALSE;
    CWinApp::InitInstance();
    AfxEnableControlContainer();

    UpdateState& state = theUpdateState;
    StartupData data;
    const StartupResult read = ReadStartupData(GetModuleDir(), GetCommandLineW(), data);
    state.installedVersion = data.installedVersion;
    if (read == StartupResult::kNoMainProgram) return FALSE;
    state.mainWindow = data.arguments.mainWindow;
    state.userUpgrade = data.arguments.userUpgrade;
    state.UiLanguage = data.UiLanguage;
    if (read != StartupResult::kProceed) return FALSE;

    if (!ClaimSingleUpdater(updaterLock_)) return FALSE;

    CUpdateCheckDlg* host = new CUpdateCheckDlg(nullptr);
    if (host->m_hWnd == nullptr) {
        // No window was made, so nothing will delete the object.
        delete host;
        return FALSE;
    }
    m_pMainWnd = host;
    return TRUE;
}

int CLiveUpdateApp::ExitInstance() {
    // When the wizard ended the run, the hidden host is still there: destroy
    // it, which deletes it, so that nothing of the run outlives the loop.
    if (m_pMainWnd != nullptr && m_pMainWnd->m_hWnd != nullptr) m_pMainWnd->DestroyWindow();
    m_pMainWnd = nullptr;
    return CWinApp::ExitInstance();
}
