// The wizard's side of downloading, with the real wizard on the headless
// display, real worker threads and a web server on 127.0.0.1. The other
// subsystems it calls (stopping the main program, installing, storing a
// pending update, making threads) are replaced by recording stand-ins.

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>

#include "app/module_dir.h"
#include "app/update_state.h"
#include "support/private_desktop_session.h"
#include "platform/controls/common_controls.h"
#include "platform/core/native_path.h"
#include "platform/core/text.h"
#include "platform/win/message_loop.h"
#include "platform/win/window.h"
#include "platform_win/loop_watchdog.h"
#include "resources/resource_ids.h"
#include "support/scratch_dir.h"
#include "support/test_http_server.h"
#include "ui/download_dlg.h"
#include "ui/download_page1.h"
#include "ui/download_page2.h"
#include "ui/download_services.h"
#include "ui_test_support.h"

namespace {

using namespace std::chrono_literals;
using test_support::HttpRequest;
using test_support::HttpResponseBytes;
using test_support::HttpResponseWithLength;
using test_support::ResponseScript;
using test_support::TestHttpServer;

constexpr int kFiles = 3;

std::string Body(int index) {
    return std::string(static_cast<std::size_t>(2048 * (index + 1)),
                       static_cast<char>('a' + index));
}

// What the stand-ins saw; touched on the test's thread, except the thread
// counts, which the workers change.
struct Record {
    int stops = 0;
    int pendingChecks = 0;
    int installs = 0;
    int stores = 0;
    bool pendingInstalled = false;  // what the pending installation answers
    int failThreadOf = -1;          // the file whose thread cannot be made
    std::atomic<int> started{0};
    std::atomic<int> running{0};

    void Reset() {
        stops = pendingChecks = installs = stores = 0;
        pendingInstalled = false;
        failThreadOf = -1;
        started = 0;
        running = 0;
    }
};
Record* g_record = nullptr;

struct TrackedStart {
    LPTHREAD_START_ROUTINE start;
    LPVOID parameter;
};

DWORD RunTracked(LPVOID p) {
    auto* call = static_cast<TrackedStart*>(p);
    const DWORD result = call->start(call->parameter);
    delete call;
    g_record->running.fetch_sub(1);
    return result;
}

// The web server: each file answers with its body, or with 404 while it is
// marked failing, or waits at the gate first while the gate is closed.
class Site {
  public:
    Site() : server_([this](const HttpRequest& request) { return Answer(request); }) {}

    void SetFailing(int index, bool failing) {
        std::lock_guard lock(mutex_);
        failing_[index] = failing;
    }
    void CloseGate(int index) {
        std::lock_guard lock(mutex_);
        gated_[index] = true;
    }
    void OpenGates() {
        {
            std::lock_guard lock(mutex_);
            gated_.clear();
        }
        gate_.notify_all();
    }
    void SetScript(int index, std::function<ResponseScript()> script) {
        std::lock_guard lock(mutex_);
        scripts_[index] = std::move(script);
    }
    int Requests(int index) const {
        int count = 0;
        for (const HttpRequest& r : server_.Requests())
            if (r.target == Path(index)) ++count;
        return count;
    }
    std::u16string Url(int index) const { return server_.Url16(Path(index)); }
    TestHttpServer& Server() { return server_; }

  private:
    static std::string Path(int index) { return "/f" + std::to_string(index); }

    ResponseScript Answer(const HttpRequest& request) {
        const int index = request.target.size() > 2 ? request.target[2] - '0' : -1;
        std::unique_lock lock(mutex_);
        gate_.wait_for(lock, 20s, [&] { return !gated_[index]; });
        if (scripts_.count(index) != 0) return scripts_[index]();
        if (failing_[index]) return ResponseScript().Send(HttpResponseWithLength(404, ""));
        return ResponseScript().Send(HttpResponseWithLength(200, Body(index)));
    }

    std::mutex mutex_;
    std::condition_variable gate_;
    std::map<int, bool> failing_;
    std::map<int, bool> gated_;
    std::map<int, std::function<ResponseScript()>> scripts_;
    TestHttpServer server_;
};

class DownloadCoordinationTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(site.Server().Started());
        PrepareProgramResources();
        LoadUpdateStateFrom(SampleManifestPath());
        // A download directory of this process's own: test programs run side
        // by side in the same build directory.
        theUpdateState.serverVersion = 0x70000000u + static_cast<DWORD>(::getpid());
        theUpdateState.action = u"UserPrompt";
        theUpdateState.userUpgrade = 0;
        theUpdateState.files.clear();
        for (int i = 0; i < kFiles; ++i) {
            auto entry = std::make_unique<UpdateFileEntry>();
            CopyToSlot(entry->src, site.Url(i));
            CopyToSlot(entry->filename, FromNativePath("f" + std::to_string(i) + ".bin"));
            theUpdateState.files.push_back(std::move(entry));
        }
        saved = TheDownloadServices();
        g_record = &record;
        DownloadServices& services = TheDownloadServices();
        services.stopMainProgram = [] { ++g_record->stops; };
        services.installPendingUpdate = [](CDownloadDlg&) {
            ++g_record->pendingChecks;
            return g_record->pendingInstalled;
        };
        services.installNow = [](CDownloadDlg&) { ++g_record->installs; };
        services.storePendingUpdate = [](CDownloadDlg&) { ++g_record->stores; };
        services.createThread = [](LPTHREAD_START_ROUTINE start, LPVOID parameter) -> HANDLE {
            const auto index = static_cast<int>(reinterpret_cast<std::intptr_t>(parameter));
            if (index == g_record->failThreadOf) return nullptr;
            g_record->started.fetch_add(1);
            g_record->running.fetch_add(1);
            HANDLE thread = CreateThread(nullptr, 0, &RunTracked,
                                         new TrackedStart{start, parameter}, 0, nullptr);
            if (thread == nullptr) g_record->running.fetch_sub(1);
            return thread;
        };
    }

    void TearDown() override {
        if (wizard != nullptr && IsWindow(wizardWindow)) wizard->DestroyWindow();  // deletes it
        wizard = nullptr;
        wizardWindow = nullptr;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        // Workers that have reported may still be on their way out and use
        // the record until they are.
        WaitForWorkersToEnd();
        TheDownloadServices() = saved;
        g_record = nullptr;
        std::error_code ignored;
        std::filesystem::remove_all(ToNativePath(DownloadDir()), ignored);
        ClearUpdateState();
    }

    std::u16string DownloadDir() const {
        char name[16];
        std::snprintf(name, sizeof name, "%X", theUpdateState.serverVersion);
        return GetModuleDir() + u"upgrade/" + FromNativePath(name) + u"/";
    }

    void MakeWizard() {
        wizard = new CDownloadDlg(103, CWnd::FromHandle(GetDesktopWindow()));
        ASSERT_NE(wizard->m_hWnd, nullptr);
        wizardWindow = wizard->m_hWnd;
        ASSERT_NE(wizard->fileListPage, nullptr);
        listWindow = wizard->fileListPage->fileList.m_hWnd;
        statusWindow = GetDlgItem(wizard->fileListPage->m_hWnd, IDC_DOWNLOAD_STATUS);
        nextWindow = GetDlgItem(wizardWindow, IDOK);
        ASSERT_NE(listWindow, nullptr);
        ASSERT_NE(nextWindow, nullptr);
    }

    // Workers that have reported may still be finishing when the wizard
    // closes at completion; they end on their own, shortly.
    void WaitForWorkersToEnd() {
        while (record.running.load() != 0) std::this_thread::sleep_for(1ms);
    }

    void PressNext() { SendMessageW(wizardWindow, WM_COMMAND, IDOK, 0); }

    // Runs the message loop until `done` holds or the wizard has closed;
    // true when `done` holds.
    bool PumpUntil(const std::function<bool()>& done) {
        MSG msg;
        while (!done()) {
            if (quit) return false;
            WaitMessage();  // what the workers send is handled in here
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (msg.message == WM_QUIT) {
                    quit = true;
                    break;
                }
                DispatchMessageW(&msg);
            }
        }
        return true;
    }
    // The wizard posts the quit message when it closes and is gone afterwards.
    void PumpUntilClosed() {
        EXPECT_FALSE(PumpUntil([] { return false; }));
        EXPECT_TRUE(quit);
        EXPECT_FALSE(IsWindow(wizardWindow));
    }

    int RowImage(int row) const {
        LVITEMW item;
        item.mask = LVIF_IMAGE;
        item.iItem = row;
        item.iImage = -1;
        SendMessageW(listWindow, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        return item.iImage;
    }
    std::string RowSize(int row) const {
        return Utf16ToUtf8(wizard->fileListPage->fileList.GetItemText(row, 1));
    }
    std::string Images() const {
        std::string images;
        for (int row = 0; row < kFiles; ++row) images += std::to_string(RowImage(row));
        return images;
    }
    std::string Downloaded(int index) const {
        std::string content;
        tevorin_test::ReadFile(ToNativePath(DownloadDir()) + "f" + std::to_string(index) + ".bin",
                               content);
        return content;
    }

    Site site;
    Record record;
    DownloadServices saved;
    CDownloadDlg* wizard = nullptr;
    HWND wizardWindow = nullptr;
    HWND listWindow = nullptr;
    HWND statusWindow = nullptr;
    HWND nextWindow = nullptr;
    bool quit = false;
};

TEST_F(DownloadCoordinationTest, FailureOffersTheRetryAndTheRetryFetchesOnlyWhatIsMissing) {
    LoopWatchdog watchdog(60s, "a download with a retry");
    site.SetFailing(1, true);
    MakeWizard();
    // "UserPrompt" without a request from the user waits for Next.
    EXPECT_EQ(record.started.load(), 0);
    EXPECT_TRUE(IsWindowVisible(wizard->descriptionPage->m_hWnd) || !IsWindowVisible(wizardWindow));
    EXPECT_EQ(wizard->started, 0);

    PressNext();
    EXPECT_EQ(record.stops, 1);
    EXPECT_EQ(wizard->workerThreads.size(), static_cast<std::size_t>(kFiles));
    ASSERT_TRUE(PumpUntil([&] { return wizard->retryOffered; }));
    EXPECT_EQ(Images(), "121");
    EXPECT_EQ(RowSize(0), "2");
    EXPECT_EQ(RowSize(2), "6");
    EXPECT_EQ(wizard->fileListPage->fileList.GetItemData(0), 100u);
    EXPECT_EQ(wizard->retryMode, 1);
    EXPECT_TRUE(wizard->workerThreads.empty());
    EXPECT_EQ(GetWindowTextString(statusWindow), u"对不起，由于网络繁忙，文件未能全部下载");
    EXPECT_EQ(GetWindowTextString(nextWindow), u"重新下载");
    EXPECT_TRUE(GetWindowLongPtrW(nextWindow, GWL_STYLE) & WS_VISIBLE);
    EXPECT_EQ(record.installs + record.stores, 0);
    EXPECT_TRUE(IsWindow(wizardWindow));

    site.SetFailing(1, false);
    PressNext();
    EXPECT_EQ(GetWindowTextString(statusWindow), u"正在下载文件,请稍候...");
    EXPECT_FALSE(GetWindowLongPtrW(nextWindow, GWL_STYLE) & WS_VISIBLE);
    EXPECT_EQ(record.stops, 1) << "the main program is stopped only before the first attempt";
    PumpUntilClosed();
    EXPECT_EQ(record.installs, 1);
    EXPECT_EQ(record.stores, 0);
    EXPECT_EQ(site.Requests(0), 1);
    EXPECT_EQ(site.Requests(1), 2);
    EXPECT_EQ(site.Requests(2), 1);
    for (int i = 0; i < kFiles; ++i) EXPECT_TRUE(Downloaded(i) == Body(i)) << i;
    WaitForWorkersToEnd();
}

TEST_F(DownloadCoordinationTest, CompletionFollowsTheLaunchFlagAndTheActionWord) {
    struct Case {
        const char* name;
        const char16_t* action;
        int userUpgrade;
        bool fileFails;
        bool pendingInstalled;
        int pendingChecks, requests, installs, stores;
    };
    const Case cases[] = {
        {"silent, all in place: stored for later", u"Default", 0, false, false, 1, 3, 0, 1},
        {"silent, a failure: closes", u"Default", 0, true, false, 1, 3, 0, 0},
        {"silent, pending update installed: no download", u"Default", 0, false, true, 1, 0, 0, 0},
        {"user asked, all in place: installed", u"Default", 1, false, false, 0, 3, 1, 0},
        {"user asked, a failure: closes", u"Default", 1, true, false, 0, 3, 0, 0},
        {"user asked, waiting word: installed at once", u"UserPrompt", 1, false, false, 0, 3, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LoopWatchdog watchdog(60s, c.name);
        TearDown();
        SetUp();
        record.Reset();
        quit = false;
        theUpdateState.action = c.action;
        theUpdateState.userUpgrade = c.userUpgrade;
        record.pendingInstalled = c.pendingInstalled;
        site.SetFailing(2, c.fileFails);
        const int before = site.Requests(0) + site.Requests(1) + site.Requests(2);
        MakeWizard();  // the hand-over downloads at once, without Next
        PumpUntilClosed();
        EXPECT_EQ(record.pendingChecks, c.pendingChecks);
        EXPECT_EQ(site.Requests(0) + site.Requests(1) + site.Requests(2) - before, c.requests);
        EXPECT_EQ(record.installs, c.installs);
        EXPECT_EQ(record.stores, c.stores);
        WaitForWorkersToEnd();
    }
}

TEST_F(DownloadCoordinationTest, StrayReportsAndNextDuringAnAttemptChangeNothing) {
    LoopWatchdog watchdog(60s, "stray reports");
    site.CloseGate(0);
    MakeWizard();
    // Before any attempt no report may complete anything.
    SendMessageW(wizardWindow, WM_DOWNLOAD_DONE, static_cast<WPARAM>(-1), 1);
    EXPECT_EQ(record.installs + record.stores, 0);
    EXPECT_TRUE(IsWindow(wizardWindow));

    PressNext();
    ASSERT_TRUE(PumpUntil([&] { return wizard->doneCount == 2; }));
    EXPECT_EQ(Images(), "011");
    const WPARAM stray[] = {static_cast<WPARAM>(-1), kFiles, 0xFFFFFFFFu, 0x80000000u};
    for (WPARAM index : stray) {
        SendMessageW(wizardWindow, WM_DOWNLOAD_DONE, index, 1);
        SendMessageW(wizardWindow, WM_DOWNLOAD_SIZE, index, 7);
        SendMessageW(wizardWindow, WM_DOWNLOAD_PROGRESS, index, 50);
    }
    EXPECT_EQ(wizard->doneCount, 2);
    EXPECT_EQ(wizard->okCount, 2);
    EXPECT_EQ(Images(), "011");
    PressNext();
    PressNext();
    EXPECT_EQ(wizard->workerThreads.size(), static_cast<std::size_t>(kFiles));
    EXPECT_EQ(record.started.load(), kFiles);
    EXPECT_EQ(record.stops, 1);

    site.OpenGates();
    PumpUntilClosed();
    EXPECT_EQ(record.installs, 1);
    EXPECT_EQ(site.Requests(0), 1);
}

TEST_F(DownloadCoordinationTest, AThreadThatCannotBeMadeCountsAsAFailedFile) {
    LoopWatchdog watchdog(60s, "a worker without a thread");
    record.failThreadOf = 1;
    MakeWizard();
    PressNext();
    ASSERT_TRUE(PumpUntil([&] { return wizard->retryOffered; }));
    EXPECT_EQ(Images(), "121");
    EXPECT_EQ(site.Requests(1), 0);

    record.failThreadOf = -1;
    PressNext();
    PumpUntilClosed();
    EXPECT_EQ(record.installs, 1);
    EXPECT_EQ(site.Requests(0), 1);
    EXPECT_EQ(site.Requests(1), 1);
}

TEST_F(DownloadCoordinationTest, CancelBeforeNextStartsNothing) {
    LoopWatchdog watchdog(30s, "cancel before the download");
    MakeWizard();
    SendMessageW(wizardWindow, WM_COMMAND, IDCANCEL, 0);
    PumpUntilClosed();
    EXPECT_EQ(record.stops, 0);
    EXPECT_EQ(record.started.load(), 0);
    EXPECT_EQ(record.installs + record.stores, 0);
}

TEST_F(DownloadCoordinationTest, CancelDuringADownloadStopsEveryWorkerBeforeTheWizardGoes) {
    LoopWatchdog watchdog(30s, "cancel during a download");
    // File 0 is large and slow; it would take minutes to arrive.
    site.SetScript(0, [] {
        ResponseScript script;
        script.Send(HttpResponseBytes(200, {"Content-Length: 100000000"}, std::string(65536, 'x')));
        for (int i = 0; i < 1000; ++i) script.Pause(50ms).Send(std::string(8192, 'y'));
        return script;
    });
    MakeWizard();
    PressNext();
    ASSERT_TRUE(PumpUntil([&] { return wizard->doneCount == 2; }));
    ASSERT_TRUE(PumpUntil([&] { return RowSize(0) == "97656"; }));
    // The two small files' workers end on their own; the large one runs on.
    while (record.running.load() > 1) std::this_thread::sleep_for(1ms);
    EXPECT_EQ(record.running.load(), 1);

    SendMessageW(wizardWindow, WM_COMMAND, IDCANCEL, 0);
    PumpUntilClosed();
    // The wizard waited for its last worker, which gave up its transfer.
    EXPECT_EQ(record.running.load(), 0);
    EXPECT_EQ(record.installs + record.stores, 0);
    const std::string dir = ToNativePath(DownloadDir());
    EXPECT_FALSE(tevorin_test::Exists(dir + "f0.bin.tmp"));
    EXPECT_FALSE(tevorin_test::Exists(dir + "f0.bin"));
    EXPECT_TRUE(Downloaded(1) == Body(1)) << "files already in place stay";
    site.Server().Stop();
}

}  // namespace
