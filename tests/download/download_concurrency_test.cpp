#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <map>
#include <string>
#include <vector>

#include "download/download_file.h"
#include "download/download_messages.h"
#include "support/private_desktop_session.h"
#include "download/report_window.h"
#include "platform/thread/thread.h"
#include "platform/thread/thread_wait.h"
#include "platform/win/message_loop.h"
#include "platform_win/loop_watchdog.h"
#include "support/scratch_dir.h"
#include "support/test_http_server.h"

namespace {

using namespace std::chrono_literals;
using test_support::HttpRequest;
using test_support::HttpResponseBytes;
using test_support::HttpResponseWithLength;
using test_support::ResponseScript;
using test_support::TestHttpServer;
using tevorin_test::ReadFile;
using tevorin_test::ScratchDir;
using tevorin_test::U16;

std::string Body(int index) {
    return std::string(static_cast<std::size_t>(3000 + index * 2500),
                       static_cast<char>('A' + index % 26));
}

// Serves /<n>: every third file without a length, every fifth a 404.
ResponseScript Serve(const HttpRequest& request) {
    const int n = std::stoi(request.target.substr(1));
    if (n % 5 == 4) return ResponseScript().Send(HttpResponseWithLength(404, ""));
    if (n % 3 == 2) return ResponseScript().Send(HttpResponseBytes(200, {}, Body(n)));
    return ResponseScript().Send(HttpResponseWithLength(200, Body(n)));
}

DWORD RunJob(LPVOID parameter) {
    DownloadFileEntry(*static_cast<const FileDownloadJob*>(parameter));
    return 0;
}

std::vector<FileDownloadJob> Jobs(int count, const TestHttpServer& server, const ScratchDir& dir,
                                  HWND window, const std::atomic<bool>* cancel) {
    std::vector<FileDownloadJob> jobs(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        FileDownloadJob& job = jobs[static_cast<std::size_t>(i)];
        job.index = i;
        job.reportTo = window;
        job.upgradeDir = U16(dir.Path());
        job.cancel = cancel;
        CopyToSlot(job.entry.src, server.Url16("/" + std::to_string(i)));
        CopyToSlot(job.entry.filename, U16("file" + std::to_string(i)));
    }
    return jobs;
}

TEST(DownloadConcurrency, ManyWorkersReportInOrderPerFile) {
    constexpr int kFiles = 24;
    LoopWatchdog watchdog(120s, "many downloads at once");
    TestHttpServer server(&Serve);
    ASSERT_TRUE(server.Started());
    ScratchDir dir;
    ReportWindow window;
    ASSERT_NE(window.Handle(), nullptr);
    std::vector<FileDownloadJob> jobs = Jobs(kFiles, server, dir, window.Handle(), nullptr);
    std::vector<HANDLE> threads;
    for (FileDownloadJob& job : jobs) {
        HANDLE thread = CreateThread(nullptr, 0, &RunJob, &job, 0, nullptr);
        ASSERT_NE(thread, nullptr);
        EXPECT_TRUE(SetThreadPriority(thread, THREAD_PRIORITY_LOWEST));
        threads.push_back(thread);
    }
    window.PumpUntilDone(kFiles);
    ASSERT_TRUE(WaitForThreadsAnsweringSenders(threads, nullptr, INFINITE));
    for (HANDLE thread : threads) CloseHandle(thread);

    for (int i = 0; i < kFiles; ++i) {
        SCOPED_TRACE("file " + std::to_string(i));
        const std::string summary = window.Summary(static_cast<WPARAM>(i));
        const std::string size = std::to_string(Body(i).size() >> 10);
        std::string expected;
        if (i % 5 == 4)
            expected = "done:0";
        else if (i % 3 == 2)
            expected = "progress:0 done:1";
        else
            expected = "size:" + size + " progress:100 done:1";
        EXPECT_EQ(summary, expected);
        std::string content;
        if (i % 5 != 4) {
            EXPECT_TRUE(ReadFile(dir / ("file" + std::to_string(i)), content));
            EXPECT_TRUE(content == Body(i));
        }
    }
}

TEST(DownloadConcurrency, CancelledWorkersEndWhileTheirWindowIsNotServed) {
    constexpr int kFiles = 12;
    LoopWatchdog watchdog(60s, "cancelling downloads");
    // Each body arrives slowly and never ends, so every worker is mid-transfer
    // and sending progress when the cancel comes.
    TestHttpServer server([](const HttpRequest&) {
        ResponseScript script;
        script.Send(HttpResponseBytes(200, {"Content-Length: 10000000"}, std::string(4000, 'x')));
        for (int i = 0; i < 50; ++i) script.Pause(20ms).Send(std::string(4000, 'y'));
        return script.HoldOpen();
    });
    ASSERT_TRUE(server.Started());
    ScratchDir dir;
    ReportWindow window;
    ASSERT_NE(window.Handle(), nullptr);
    std::atomic<bool> cancel{false};
    std::vector<FileDownloadJob> jobs = Jobs(kFiles, server, dir, window.Handle(), &cancel);
    std::vector<HANDLE> threads;
    for (FileDownloadJob& job : jobs) {
        HANDLE thread = CreateThread(nullptr, 0, &RunJob, &job, 0, nullptr);
        ASSERT_NE(thread, nullptr);
        threads.push_back(thread);
    }
    // Serve until every file has reported some progress, then stop serving.
    MSG msg;
    auto allStarted = [&] {
        for (int i = 0; i < kFiles; ++i)
            if (window.Summary(static_cast<WPARAM>(i)).find("progress") == std::string::npos)
                return false;
        return true;
    };
    while (!allStarted()) {
        WaitMessage();  // handles what the workers send
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
    const std::size_t reportsBefore = window.Reports().size();
    cancel = true;
    ASSERT_TRUE(WaitForThreadsAnsweringSenders(threads, window.Handle(), INFINITE));
    for (HANDLE thread : threads) CloseHandle(thread);
    // Nothing reached the window's procedure while it was not served.
    EXPECT_EQ(window.Reports().size(), reportsBefore);
    window.PumpUntilDone(kFiles);
    for (int i = 0; i < kFiles; ++i) {
        const std::string summary = window.Summary(static_cast<WPARAM>(i));
        EXPECT_EQ(summary.substr(summary.size() - 6), "done:0") << summary;
        EXPECT_FALSE(tevorin_test::Exists(dir / ("file" + std::to_string(i) + ".tmp")));
    }
    server.Stop();
}

}  // namespace
