#pragma once
// The hidden host window: the application's main window, never shown. Its
// creation runs the whole update check (manifest fetch, parse, decision) and,
// when an update is due, opens the wizard and shows or hides it. Its title is
// the marker by which a second updater sees that one is running. The object
// deletes itself when its window is destroyed.

#include "platform/framework/dialog.h"
#include "platform/gdi/icon.h"

class CUpdateCheckDlg : public CDialog {
  public:
    // Creates the window from template 102; the check has ended when the
    // constructor returns. m_hWnd stays null when the window cannot be made.
    explicit CUpdateCheckDlg(CWnd* parent = nullptr);

    BOOL OnInitDialog() override;

  protected:
    void OnPaint();
    void OnClose();
    void OnDestroy();
    void PostNcDestroy() override;
    DECLARE_MESSAGE_MAP()

  private:
    // Fetches and reads the manifest into the update state, then opens the
    // wizard when an update is due; false when none is.
    bool RunUpdateCheck();

    HICON icon_ = nullptr;  // shared resource icon: never destroyed
};

// The style bits the host adds to its template's: no activation, a window
// edge, a tool window (no taskbar entry), top-most.
inline constexpr DWORD kHostExtraExStyle = 0x08000188;
