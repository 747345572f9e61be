// A whole updater run that finds no update due (the manifest offers the
// installed version): from process start to process end, which covers
// start-up, the manifest request and the host window's check. Measured beside
// curl fetching the same manifest from the same loopback server, so the
// updater's own cost shows as the difference.
//
// Build without sanitizers for meaningful figures:
//   cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DTEVORIN_BUILD_TESTS=OFF
//   ninja -C build/bench bench_app_startup && build/bench/bench/app/bench_app_startup

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "loopback_manifest_server.h"

extern char** environ;
namespace fs = std::filesystem;

namespace {

constexpr char kManifest[] =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<update>\n<version>C1A2B</version>\n"
    "<action>UserPrompt</action>\n<description>Nothing new.</description>\n"
    "<filename src=\"http://127.0.0.1:1/Tevorin.exe\">Tevorin.exe</filename>\n</update>\n";

// A sample installation at version C1A2B with its own desktop session.
class SampleInstallation {
  public:
    SampleInstallation() {
        char pattern[] = "/tmp/tevorin-bench-XXXXXX";
        if (::mkdtemp(pattern) == nullptr) return;
        dir_ = pattern;
        std::error_code error;
        fs::copy_file(TEVORIN_UPDATER_EXE, dir_ + "/TevorinLiveUpdate.exe", error);
        if (error) return;
        std::string stamp(64, '\0');
        stamp[32] = 0x2B;
        stamp[33] = 0x1A;
        stamp[34] = 0x0C;
        std::ofstream(dir_ + "/Tevorin.exe", std::ios::binary) << stamp;
        valid_ = fs::file_size(dir_ + "/Tevorin.exe", error) == 64 && !error;
    }
    ~SampleInstallation() {
        std::error_code ignored;
        if (!dir_.empty()) fs::remove_all(dir_, ignored);
    }
    bool Valid() const { return valid_; }
    const std::string& Dir() const { return dir_; }

  private:
    std::string dir_;
    bool valid_ = false;
};

bool RunToEnd(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) return false;
    int status = 0;
    return ::waitpid(pid, &status, 0) == pid && WIFEXITED(status);
}

void BM_UpdaterRunWithNoUpdateDue(benchmark::State& state) {
    SampleInstallation install;
    LoopbackManifestServer server(kManifest);
    if (!install.Valid() || !server.Started()) {
        state.SkipWithError("cannot prepare the installation or the server");
        return;
    }
    ::setenv("TEVORIN_UPDATE_SERVER", server.Address().c_str(), 1);
    ::setenv("TEVORIN_DESKTOP", (install.Dir() + "/session").c_str(), 1);
    ::setenv("TEVORIN_DISPLAY", "headless", 1);
    ::unsetenv("TEVORIN_SNAPSHOT_DIR");
    const std::vector<std::string> args = {install.Dir() + "/TevorinLiveUpdate.exe",
                                           "<handle>918</handle>"};
    const long before = server.Served();
    for (auto _ : state) {
        if (!RunToEnd(args)) {
            state.SkipWithError("the updater did not end normally");
            return;
        }
    }
    if (server.Served() - before != static_cast<long>(state.iterations()))
        state.SkipWithError("not every run asked the server once");
}
BENCHMARK(BM_UpdaterRunWithNoUpdateDue)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_CurlFetchOfTheSameManifest(benchmark::State& state) {
    LoopbackManifestServer server(kManifest);
    if (!server.Started()) {
        state.SkipWithError("cannot start the server");
        return;
    }
    const std::vector<std::string> args = {"/usr/bin/curl", "-s", "-o", "/dev/null",
                                           server.Address() + "/cs/update2010.asp?ver=c1a2b"};
    for (auto _ : state) {
        if (!RunToEnd(args)) {
            state.SkipWithError("curl did not end normally");
            return;
        }
    }
}
BENCHMARK(BM_CurlFetchOfTheSameManifest)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
