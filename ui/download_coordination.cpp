#include <cstdint>

#include "app/update_state.h"
#include "platform/controls/common_controls.h"
#include "platform/core/text.h"
#include "platform/thread/thread_wait.h"
#include "resources/resource_ids.h"
#include "ui/download_dlg.h"
#include "ui/download_page1.h"
#include "ui/download_page2.h"
#include "ui/download_services.h"
#include "ui/update_actions.h"

namespace {

// Texts of the status line and the Next button; the same in both languages.
constexpr char16_t kRetryingText[] = u"正在下载文件,请稍候...";
constexpr char16_t kAllInPlaceText[] = u"下载完成，正在安装";
constexpr char16_t kSomeFailedText[] = u"对不起，由于网络繁忙，文件未能全部下载";
constexpr char16_t kRetryButtonText[] = u"重新下载";

// A file index as the reports carry it: not negative as a signed 32-bit
// number, and below the number of files as an unsigned one.
bool IsFileIndex(WPARAM index) {
    const auto low = static_cast<std::uint32_t>(index);
    return static_cast<std::int32_t>(low) >= 0 && low < theUpdateState.files.size();
}

void ShowIfPresent(CWnd* window, int command) {
    if (window != nullptr && window->m_hWnd != nullptr) (void)window->ShowWindow(command);
}

}  // namespace

void CDownloadDlg::StartDownload() {
    CWnd* next = GetDlgItem(IDOK);
    if (started == 0) {
        started = 1;
        ShowIfPresent(descriptionPage, SW_HIDE);
        ShowIfPresent(fileListPage, SW_SHOW);
        ShowIfPresent(next, SW_HIDE);
        doneCount = 0;
        okCount = 0;
        // Whether it could be stopped or not, the download goes ahead; the
        // installation deals with a main program that still runs.
        if (auto& stop = TheDownloadServices().stopMainProgram) stop();
        StartWorkers();
        return;
    }
    // Next means something again only while it offers the retry.
    if (!retryOffered || !workerThreads.empty()) return;
    retryOffered = false;
    ShowIfPresent(next, SW_HIDE);
    doneCount = 0;
    okCount = 0;
    if (fileListPage != nullptr) {
        if (fileListPage->fileList.m_hWnd != nullptr) fileListPage->fileList.ResetRows();
        fileListPage->SetDlgItemTextW(IDC_DOWNLOAD_STATUS, kRetryingText);
    }
    StartWorkers();
}

void CDownloadDlg::StartWorkers() {
    workerWindow = m_hWnd;
    const std::size_t count = theUpdateState.files.size();
    for (std::size_t i = 0; i < count; ++i) {
        auto parameter = reinterpret_cast<LPVOID>(static_cast<std::intptr_t>(i));
        HANDLE thread = nullptr;
        if (auto& create = TheDownloadServices().createThread)
            thread = create(&DownloadThreadProc, parameter);
        // Completion waits for one report per entry: a worker that never ran
        // is answered here with the failure it could not report itself.
        if (thread == nullptr)
            (void)PostMessage(WM_DOWNLOAD_DONE, static_cast<WPARAM>(i), 0);
        else
            (void)SetThreadPriority(thread, THREAD_PRIORITY_LOWEST);
        workerThreads.push_back(thread);
    }
}

LRESULT CDownloadDlg::OnDownloadSize(WPARAM index, LPARAM kib) {
    if (!IsFileIndex(index) || fileListPage == nullptr) return 0;
    const std::u16string text = FormatText(u"%d", static_cast<int>(kib));
    (void)fileListPage->fileList.SetItemText(static_cast<int>(index), 1, text.c_str());
    return 0;
}

LRESULT CDownloadDlg::OnDownloadProgress(WPARAM index, LPARAM percent) {
    if (!IsFileIndex(index) || fileListPage == nullptr) return 0;
    fileListPage->fileList.SetProgress(static_cast<int>(index), static_cast<int>(percent));
    return 0;
}

LRESULT CDownloadDlg::OnDownloadDone(WPARAM index, LPARAM ok) {
    if (IsFileIndex(index)) {
        ++doneCount;
        if (ok != 0) ++okCount;
        if (fileListPage != nullptr) {
            const int row = static_cast<int>(index);
            LVITEMW item;
            item.mask = LVIF_IMAGE;
            item.iItem = row;
            item.iSubItem = 0;
            item.iImage = ok != 0 ? 1 : 2;
            (void)fileListPage->fileList.SendMessage(LVM_SETITEMW, 0,
                                                     reinterpret_cast<LPARAM>(&item));
            if (ok != 0) fileListPage->fileList.SetProgress(row, 100);
        }
    }
    // Only an attempt can complete: a stray report between attempts (from
    // another process, say) must not install anything.
    if (workerThreads.empty() || doneCount != static_cast<int>(workerThreads.size())) return 0;

    const bool silent = theUpdateState.action == kActionDefault;
    if (okCount == doneCount) {
        if (fileListPage != nullptr)
            fileListPage->SetDlgItemTextW(IDC_DOWNLOAD_STATUS, kAllInPlaceText);
        DownloadServices& services = TheDownloadServices();
        if (theUpdateState.userUpgrade != 0 || !silent) {
            if (services.installNow) services.installNow(*this);
        } else if (services.storePendingUpdate) {
            services.storePendingUpdate(*this);
        }
        (void)PostMessage(WM_CLOSE);
        ReleaseWorkers();
    } else if (!silent) {
        retryMode = 1;
        if (fileListPage != nullptr)
            fileListPage->SetDlgItemTextW(IDC_DOWNLOAD_STATUS, kSomeFailedText);
        if (CWnd* next = GetDlgItem(IDOK)) {
            ShowIfPresent(next, SW_SHOW);
            next->SetWindowTextW(kRetryButtonText);
        }
        ReleaseWorkers();
        retryOffered = true;
    } else {
        (void)PostMessage(WM_CLOSE);
        ReleaseWorkers();
    }
    return 0;
}

void CDownloadDlg::ReleaseWorkers() {
    // Fewer reports than workers: the wizard is going away in the middle of
    // an attempt. A thread cannot be ended safely from outside, so the
    // running downloads are told to give up and are waited for; whoever of
    // them is waiting for this window to handle a report is answered at
    // once. Their reads of this object end before it goes away.
    if (doneCount < static_cast<int>(workerThreads.size())) {
        stopWorkers.store(true, std::memory_order_release);
        std::vector<HANDLE> running;
        for (HANDLE thread : workerThreads)
            if (thread != nullptr) running.push_back(thread);
        (void)WaitForThreadsAnsweringSenders(running, workerWindow, INFINITE);
    }
    for (HANDLE thread : workerThreads)
        if (thread != nullptr) (void)CloseHandle(thread);
    workerThreads.clear();
}
