// Time from process start to a hidden top-level window: spawns a small
// program that makes one and exits, and waits for it.

#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>

#include <string>

extern char** environ;

namespace {

void BM_ProcessStartToHiddenWindow(benchmark::State& state) {
    const std::string program = TEVORIN_BENCH_DIR "/bench_hidden_window_start";
    char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
    for (auto _ : state) {
        pid_t pid = 0;
        if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, environ) != 0) {
            state.SkipWithError("cannot start the program");
            return;
        }
        int status = 0;
        if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("the program failed");
            return;
        }
    }
}
BENCHMARK(BM_ProcessStartToHiddenWindow)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
