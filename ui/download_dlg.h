#pragma once
// The update wizard: banner on the left, a page area on the right holding the
// description page or the file list page, Next and Cancel below. The wizard is
// also the hub of one update: it owns the download directory, the worker
// threads of the current attempt and their counters, and it is the window
// every worker reports to.

#include <atomic>
#include <string>
#include <vector>

#include "download/download_messages.h"
#include "manifest/update_file_entry.h"
#include "platform/framework/dialog.h"
#include "platform/gdi/gdi_wrappers.h"
#include "platform/thread/thread.h"

class CDownloadPage1;
class CDownloadPage2;

class CDownloadDlg : public CDialog {
  public:
    // Creates the window (hidden) and runs its initialisation before it
    // returns. Allocate with new: the object deletes itself when its window
    // is destroyed. When the window cannot be made (m_hWnd stays null) the
    // caller still owns the object and deletes it.
    CDownloadDlg(UINT templateId, CWnd* parent);
    ~CDownloadDlg() override;

    BOOL OnInitDialog() override;

    // Download coordination; runs on the wizard's thread only.
    void StartDownload();
    void StartWorkers();
    LRESULT OnDownloadSize(WPARAM index, LPARAM kib);
    LRESULT OnDownloadProgress(WPARAM index, LPARAM percent);
    LRESULT OnDownloadDone(WPARAM index, LPARAM ok);
    void ReleaseWorkers();

    // Installation, on the wizard's thread: one file from upgradeDir into
    // place, the whole update with the user watching (message boxes owned by
    // the wizard), the pending-update file of a silent download, and the
    // installation of a pending update behind the updating notice.
    bool InstallUpdateFile(const UpdateFileEntry& entry);
    bool InstallDownloadedFiles();
    void WritePendingUpdate();
    bool InstallPendingUpdate();

    // One file's download, run on a worker thread.
    void DownloadWorker(int index);

    void OnCancelClicked();
    void OnClose();
    void OnDestroy();
    void PostNcDestroy() override;

    std::vector<HANDLE> workerThreads;
    CFont boldFont;
    CDownloadPage1* descriptionPage = nullptr;
    CDownloadPage2* fileListPage = nullptr;
    int started = 0;
    int doneCount = 0;
    int okCount = 0;
    int retryMode = 0;
    std::u16string upgradeDir;

    // Set when the wizard goes away during an attempt: every running download
    // gives up within a short time. Workers read it; it outlives them.
    std::atomic<bool> stopWorkers{false};
    // The window the workers of the current attempt report to, fixed before
    // the first of them starts (the object's own handle is cleared while the
    // window is torn down, and workers must not race with that).
    HWND workerWindow = nullptr;
    // The last attempt ended with failures and Next now offers the retry.
    bool retryOffered = false;

    // The text colour of the description box.
    static constexpr COLORREF kDescriptionTextColour = RGB(100, 100, 188);

  protected:
    void DoDataExchange(CDataExchange* dx) override;

  private:
    void MakeBoldFont();
    // Where the pages go: the wizard's invisible frame, in client coordinates.
    RECT PageArea() const;
    // The description page's title by the action word, and what an urgent
    // update does to the main program.
    void SetTitleByAction();
    // After the initialisation: download at once, wait for Next, or first
    // install a pending update, by the launch flag and the action word.
    void HandOver();
    template <class Page>
    void DestroyPage(Page*& page);

    DECLARE_MESSAGE_MAP()
};

// The one wizard of the process; set by its constructor, cleared when that
// wizard is deleted.
extern CDownloadDlg* theDownloadDlg;

// Worker thread entry: the parameter is the file index.
DWORD DownloadThreadProc(LPVOID parameter);
