#pragma once
// CWinApp: the application object. One instance exists per program; the
// program's entry calls AfxWinMain, which runs InitInstance, then the message
// loop (Run) when InitInstance returned true, then ExitInstance. The loop ends
// on WM_QUIT or when the main window is destroyed.

#include "platform/framework/wnd.h"

inline constexpr UINT ID_HELP = 57670;

class CWinApp {
  public:
    explicit CWinApp(const char16_t* appName = nullptr);
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance();
    // The exit code of the program.
    virtual int ExitInstance();
    // The message loop; returns ExitInstance's result.
    virtual int Run();
    // Offered every message before it is dispatched; true when it was handled.
    virtual BOOL PreTranslateMessage(MSG* msg);
    // The default help command: there is no help file to show.
    void OnHelp();

    CWnd* m_pMainWnd = nullptr;
    const char16_t* m_pszAppName = nullptr;

  protected:
    int exitCode_ = 0;
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
// Nothing to set up: controls work without a container here.
void AfxEnableControlContainer();
// Runs the one application object; the program's exit code.
int AfxWinMain();
