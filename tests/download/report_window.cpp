#include "download/report_window.h"

#include <map>

#include "download/download_messages.h"
#include "platform/win/message_loop.h"
#include "platform/win/window.h"

namespace {

std::map<HWND, ReportWindow*>& Windows() {
    static std::map<HWND, ReportWindow*> windows;
    return windows;
}

const char16_t* ClassName() {
    static const bool registered = [] {
        WNDCLASSW c;
        c.lpfnWndProc = &DefWindowProcW;
        c.lpszClassName = u"DownloadReportWindow";
        return RegisterClassW(c);
    }();
    (void)registered;
    return u"DownloadReportWindow";
}

}  // namespace

ReportWindow::ReportWindow() {
    hwnd_ = CreateWindowExW(0, ClassName(), u"reports", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                            nullptr);
    if (hwnd_ == nullptr) return;
    Windows()[hwnd_] = this;
    SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ReportWindow::Proc));
}

ReportWindow::~ReportWindow() {
    if (hwnd_ == nullptr) return;
    Windows().erase(hwnd_);
    DestroyWindow(hwnd_);
}

LRESULT ReportWindow::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto it = Windows().find(hwnd);
    if (it == Windows().end() || (message != WM_DOWNLOAD_SIZE && message != WM_DOWNLOAD_PROGRESS &&
                                  message != WM_DOWNLOAD_DONE))
        return DefWindowProcW(hwnd, message, wParam, lParam);
    ReportWindow& self = *it->second;
    self.reports_.push_back({message, wParam, lParam});
    if (message == WM_DOWNLOAD_DONE && ++self.done_ >= self.awaited_) PostQuitMessage(0);
    return 0;
}

void ReportWindow::PumpUntilDone(int doneCount) {
    awaited_ = doneCount;
    if (done_ >= awaited_) return;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
}

std::string ReportWindow::Summary(WPARAM index) const {
    std::string out;
    bool inProgressRun = false;
    LPARAM last = 0;
    auto flush = [&] {
        if (!inProgressRun) return;
        out += (out.empty() ? "" : " ") + std::string("progress:") + std::to_string(last);
        inProgressRun = false;
    };
    for (const DownloadReport& r : reports_) {
        if (r.index != index) continue;
        if (r.message == WM_DOWNLOAD_PROGRESS) {
            if (inProgressRun && r.value < last) return "";
            inProgressRun = true;
            last = r.value;
            continue;
        }
        flush();
        const char* name = r.message == WM_DOWNLOAD_SIZE ? "size:" : "done:";
        out += (out.empty() ? "" : " ") + std::string(name) + std::to_string(r.value);
    }
    flush();
    return out;
}
