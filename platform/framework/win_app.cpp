#include "platform/framework/win_app.h"

namespace {
CWinApp* g_app = nullptr;
}

CWinApp::CWinApp(const char16_t* appName) : m_pszAppName(appName) {
    if (g_app == nullptr) g_app = this;
}

CWinApp::~CWinApp() {
    if (g_app == this) g_app = nullptr;
}

BOOL CWinApp::InitInstance() {
    return TRUE;
}

int CWinApp::ExitInstance() {
    return exitCode_;
}

BOOL CWinApp::PreTranslateMessage(MSG* msg) {
    // The window the message is for, and then its ancestors, may take it
    // first (dialogs take their keyboard navigation this way).
    for (HWND hwnd = msg->hwnd; hwnd != nullptr; hwnd = GetParent(hwnd)) {
        if (CWnd* wnd = CWnd::FromHandlePermanent(hwnd); wnd && wnd->PreTranslateMessage(msg))
            return TRUE;
        if ((GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CHILD) == 0) break;
    }
    return FALSE;
}

int CWinApp::Run() {
    MSG msg;
    for (;;) {
        if (!PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) CWnd::DeleteTempMap();  // idle
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            exitCode_ = static_cast<int>(msg.wParam);
            break;
        }
        if (got < 0) break;
        if (!PreTranslateMessage(&msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return ExitInstance();
}

void CWinApp::OnHelp() {}

CWinApp* AfxGetApp() {
    return g_app;
}

CWnd* AfxGetMainWnd() {
    return g_app != nullptr ? g_app->m_pMainWnd : nullptr;
}

void AfxEnableControlContainer() {}

int AfxWinMain() {
    CWinApp* app = AfxGetApp();
    if (app == nullptr) return 1;
    if (!app->InitInstance()) {
        // No message loop: the framework cleans up and the process ends.
        if (app->m_pMainWnd != nullptr && app->m_pMainWnd->m_hWnd != nullptr)
            app->m_pMainWnd->DestroyWindow();
        return app->ExitInstance();
    }
    return app->Run();
}
