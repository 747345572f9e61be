// Downloads from a local nginx on 127.0.0.1: the updater's workers (one
// thread per file, lowest priority, every chunk reported to a window on this
// thread) against curl fetching the same files in parallel, and the peak
// resident memory of the process while the workers run.
//
// Needs nginx and curl on the PATH (/usr/sbin is searched as well); the
// benchmarks are skipped with a message when either is missing.

#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "download/download_file.h"
#include "download/download_messages.h"
#include "platform/core/native_path.h"
#include "platform/thread/thread.h"
#include "platform/thread/thread_wait.h"
#include "platform/win/message_loop.h"
#include "platform/win/window.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kMiB = 1024 * 1024;

std::string Which(const std::string& name) {
    for (const char* dir : {"/usr/sbin", "/usr/bin", "/usr/local/bin", "/sbin", "/bin"}) {
        const std::string path = std::string(dir) + "/" + name;
        if (::access(path.c_str(), X_OK) == 0) return path;
    }
    return "";
}

pid_t Spawn(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (::posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return 0;
    return pid;
}

int WaitFor(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int FreePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    ::close(fd);
    return port;
}

bool Listening(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return ok;
}

// nginx serving a directory of generated files, for the life of the object.
class LocalNginx {
  public:
    LocalNginx() {
        const std::string nginx = Which("nginx");
        if (nginx.empty()) {
            error_ = "nginx is not installed";
            return;
        }
        char pattern[] = "/tmp/tevorin-download-bench-XXXXXX";
        if (::mkdtemp(pattern) == nullptr) {
            error_ = "no temporary directory";
            return;
        }
        root_ = pattern;
        fs::create_directories(root_ + "/www");
        fs::create_directories(root_ + "/logs");
        WriteFile("many", 20, 10 * kMiB);
        WriteFile("large", 1, 200 * kMiB);
        port_ = FreePort();
        std::ofstream conf(root_ + "/nginx.conf");
        conf << "daemon off;\nmaster_process off;\nworker_processes 1;\n"
             << "pid " << root_ << "/nginx.pid;\nerror_log " << root_ << "/logs/error.log;\n"
             << "events { worker_connections 256; }\n"
             << "http {\n  access_log off;\n  sendfile on;\n"
             << "  client_body_temp_path " << root_ << "/logs;\n"
             << "  proxy_temp_path " << root_ << "/logs;\n"
             << "  fastcgi_temp_path " << root_ << "/logs;\n"
             << "  uwsgi_temp_path " << root_ << "/logs;\n"
             << "  scgi_temp_path " << root_ << "/logs;\n"
             << "  server {\n    listen 127.0.0.1:" << port_ << ";\n    root " << root_
             << "/www;\n  }\n}\n";
        conf.close();
        pid_ = Spawn({nginx, "-p", root_, "-c", root_ + "/nginx.conf"});
        for (int i = 0; i < 200 && pid_ != 0 && !Listening(port_); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (pid_ == 0 || !Listening(port_)) error_ = "nginx did not start";
    }
    ~LocalNginx() {
        if (pid_ != 0) {
            ::kill(pid_, SIGTERM);
            WaitFor(pid_);
        }
        std::error_code ignored;
        if (!root_.empty()) fs::remove_all(root_, ignored);
    }

    const std::string& Error() const { return error_; }
    std::string Url(const std::string& name) const {
        return "http://127.0.0.1:" + std::to_string(port_) + "/" + name;
    }
    std::vector<std::string> Names(const std::string& group) const { return names_.at(group); }
    std::size_t Bytes(const std::string& group) const { return bytes_.at(group); }
    std::string Scratch(const std::string& name) const {
        const std::string dir = root_ + "/" + name + "/";
        std::error_code ignored;
        fs::remove_all(dir, ignored);
        fs::create_directories(dir);
        return dir;
    }

  private:
    void WriteFile(const std::string& group, int count, std::size_t size) {
        std::string block(kMiB, '\0');
        for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<char>(i * 131 % 251);
        for (int n = 0; n < count; ++n) {
            const std::string name = group + std::to_string(n) + ".bin";
            std::ofstream out(root_ + "/www/" + name, std::ios::binary);
            for (std::size_t written = 0; written < size; written += block.size())
                out.write(block.data(), static_cast<std::streamsize>(block.size()));
            names_[group].push_back(name);
            bytes_[group] += size;
        }
    }

    std::string root_;
    std::string error_;
    int port_ = 0;
    pid_t pid_ = 0;
    std::map<std::string, std::vector<std::string>> names_;
    std::map<std::string, std::size_t> bytes_;
};

// The report window lives in a desktop session of its own.
struct PrivateDesktopSession {
    std::string path;
    PrivateDesktopSession() {
        char pattern[] = "/tmp/tevorin-bench-desktop-XXXXXX";
        if (::mkdtemp(pattern) != nullptr) {
            path = pattern;
            ::setenv("TEVORIN_DESKTOP", pattern, 1);
        }
    }
    ~PrivateDesktopSession() {
        std::error_code ignored;
        if (!path.empty()) fs::remove_all(path, ignored);
    }
} g_privateDesktopSession;

LocalNginx& Server() {
    static LocalNginx server;
    return server;
}

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

long PeakResidentKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
    return -1;
}

void ResetPeakResident() {
    std::ofstream("/proc/self/clear_refs") << "5";
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
