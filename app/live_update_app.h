#pragma once
// The application object of the updater. Start-up reads the installed
// version, the launch arguments and the language, makes sure that no other
// updater runs in the session, and creates the hidden host window, whose
// creation runs the update check.

#include "platform/framework/win_app.h"
#include "platform/win/session_lock.h"

class CLiveUpdateApp : public CWinApp {
  public:
    CLiveUpdateApp();

    BOOL InitInstance() override;
    int ExitInstance() override;

  private:
    // Held from the single-instance test until the process ends.
    tevorin::win::SessionLock updaterLock_;
};

// The one application object, defined with the program's entry.
extern CLiveUpdateApp theApp;
