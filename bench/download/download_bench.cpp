// Downloads from a local nginx on 127.0.0.1: the updater's workers (one
// thread per file, lowest priority, every chunk reported to a window on this
// thread) against curl fetching the same files in parallel, and the peak
// resident memory of the process while the workers run. The whole wizard's
// case is in wizard_download_bench.cpp.
//
// Needs nginx and curl (/usr/sbin is searched as well); the benchmarks are
// skipped with a message when either is missing.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "bench_memory.h"
#include "download/download_file.h"
#include "download/download_messages.h"
#include "local_nginx.h"
#include "platform/core/native_path.h"
#include "platform/thread/thread.h"
#include "platform/thread/thread_wait.h"
#include "platform/win/message_loop.h"
#include "platform/win/window.h"

namespace {

// Counts the done reports; every size and progress report is handled too.
int g_done = 0;
int g_succeeded = 0;
LRESULT CountDone(HWND hwnd, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_DOWNLOAD_DONE) {
        ++g_done;
        if (l != 0) ++g_succeeded;
        return 0;
    }
    if (message == WM_DOWNLOAD_SIZE || message == WM_DOWNLOAD_PROGRESS) return 0;
    return DefWindowProcW(hwnd, message, w, l);
}

HWND ReportWindow() {
    static HWND window = [] {
        WNDCLASSW c;
        c.lpfnWndProc = &CountDone;
        c.lpszClassName = u"DownloadBenchWindow";
        (void)RegisterClassW(c);
        return CreateWindowExW(0, u"DownloadBenchWindow", u"", WS_POPUP, 0, 0, 1, 1, nullptr,
                               nullptr, nullptr);
    }();
    return window;
}

DWORD RunJob(LPVOID parameter) {
    DownloadFileEntry(*static_cast<const FileDownloadJob*>(parameter));
    return 0;
}

void Workers(benchmark::State& state, const std::string& group) {
    LocalNginx& server = Server();
    if (!server.Error().empty()) {
        state.SkipWithError(server.Error().c_str());
        return;
    }
    const std::vector<std::string> names = server.Names(group);
    const std::string dir = server.Scratch("workers");
    HWND window = ReportWindow();
    long peak = 0;
    for (auto _ : state) {
        state.PauseTiming();
        for (const std::string& name : names) std::filesystem::remove(dir + name);
        SettleDisk();
        ResetPeakResident();
        std::vector<FileDownloadJob> jobs(names.size());
        for (std::size_t i = 0; i < names.size(); ++i) {
            jobs[i].index = static_cast<int>(i);
            jobs[i].reportTo = window;
            jobs[i].upgradeDir = FromNativePath(dir);
            CopyToSlot(jobs[i].entry.src, FromNativePath(server.Url(names[i])));
            CopyToSlot(jobs[i].entry.filename, FromNativePath(names[i]));
        }
        g_done = 0;
        g_succeeded = 0;
        state.ResumeTiming();
        std::vector<HANDLE> threads;
        for (FileDownloadJob& job : jobs) {
            HANDLE thread = CreateThread(nullptr, 0, &RunJob, &job, 0, nullptr);
            (void)SetThreadPriority(thread, THREAD_PRIORITY_LOWEST);
            threads.push_back(thread);
        }
        // The message loop serves every report the workers send, as the
        // wizard's does, until each worker has posted its end.
        MSG msg;
        while (g_done < static_cast<int>(names.size()) && GetMessageW(&msg, nullptr, 0, 0) > 0)
            DispatchMessageW(&msg);
        (void)WaitForThreadsAnsweringSenders(threads, nullptr, INFINITE);
        for (HANDLE thread : threads) CloseHandle(thread);
        if (g_succeeded != static_cast<int>(names.size())) state.SkipWithError("a download failed");
        peak = std::max(peak, PeakResidentKiB());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(server.Bytes(group)));
    state.counters["peak_rss_MiB"] = static_cast<double>(peak) / 1024.0;
}

void Curl(benchmark::State& state, const std::string& group) {
    LocalNginx& server = Server();
    const std::string curl = Which("curl");
    if (!server.Error().empty() || curl.empty()) {
        state.SkipWithError(curl.empty() ? "curl is not installed" : server.Error().c_str());
        return;
    }
    const std::vector<std::string> names = server.Names(group);
    const std::string dir = server.Scratch("curl");
    std::vector<std::string> args = {
        curl, "--silent", "--no-progress-meter", "--fail", "--parallel", "--parallel-max", "50"};
    for (const std::string& name : names) {
        args.push_back("--output");
        args.push_back(dir + name);
        args.push_back(server.Url(name));
    }
    for (auto _ : state) {
        state.PauseTiming();
        for (const std::string& name : names) std::filesystem::remove(dir + name);
        SettleDisk();
        state.ResumeTiming();
        if (WaitFor(Spawn(args)) != 0) state.SkipWithError("curl failed");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(server.Bytes(group)));
}

void BM_WorkersTwentyFilesOf10MiB(benchmark::State& state) {
    Workers(state, "many");
}
void BM_CurlParallelTwentyFilesOf10MiB(benchmark::State& state) {
    Curl(state, "many");
}
void BM_WorkerOneFileOf200MiB(benchmark::State& state) {
    Workers(state, "large");
}
void BM_CurlOneFileOf200MiB(benchmark::State& state) {
    Curl(state, "large");
}

BENCHMARK(BM_WorkersTwentyFilesOf10MiB)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CurlParallelTwentyFilesOf10MiB)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WorkerOneFileOf200MiB)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CurlOneFileOf200MiB)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

// The cases run in random order, ten times each, unless the command line
// says otherwise: what one run leaves to the disk's write-back slows the next
// one, and interleaving spreads that over the updater and curl alike.
int main(int argc, char** argv) {
    std::vector<char*> args(argv, argv + argc);
    std::string interleave = "--benchmark_enable_random_interleaving=true";
    std::string repetitions = "--benchmark_repetitions=10";
    std::string aggregates = "--benchmark_report_aggregates_only=true";
    args.insert(args.begin() + 1, {interleave.data(), repetitions.data(), aggregates.data()});
    int count = static_cast<int>(args.size());
    args.push_back(nullptr);
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
