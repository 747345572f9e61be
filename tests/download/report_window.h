#pragma once
// A window on the test's own thread that records the download reports it
// receives, and a private desktop session for the test program.

#include <string>
#include <vector>

#include "platform/core/win_types.h"

struct DownloadReport {
    UINT message;
    WPARAM index;
    LPARAM value;
};

class ReportWindow {
  public:
    ReportWindow();
    ~ReportWindow();
    ReportWindow(const ReportWindow&) = delete;
    ReportWindow& operator=(const ReportWindow&) = delete;

    HWND Handle() const { return hwnd_; }
    // Runs the calling thread's message loop until `doneCount` WM_DOWNLOAD_DONE
    // reports have arrived.
    void PumpUntilDone(int doneCount);
    const std::vector<DownloadReport>& Reports() const { return reports_; }
    // The reports of one file in a short form: "size:1 progress:100 done:1",
    // with a run of progress reports shown as its last value. Empty when the
    // progress values of a run ever fall.
    std::string Summary(WPARAM index) const;

  private:
    static LRESULT Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    HWND hwnd_ = nullptr;
    std::vector<DownloadReport> reports_;
    int done_ = 0;
    int awaited_ = 0;
};
