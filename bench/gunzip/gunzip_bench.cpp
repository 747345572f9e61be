// Expanding a large gzip download with GunzipFile, against the system's gzip
// writing the same data to a file, in the same run and on the same input.
// The goal is a speed_ratio (gzip's time / GunzipFile's time) of at least 0.95.
//
// The input is made at start-up in a temporary directory: about 160 MB of
// data, half random bytes and half text, which gzip compresses to roughly
// 100 MB.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>
#include <filesystem>
#include <string>

#include "download/gunzip.h"

extern char** environ;

namespace {

constexpr std::size_t kBlock = 4096;
constexpr std::size_t kExpandedBytes = 160u * 1024 * 1024;

struct Input {
    std::string dir;
    std::string gzipPath;
    std::string error;
};

// Runs `gzip` with `arguments`, its output going to `outputPath`. No shell.
bool RunGzip(std::initializer_list<const char*> arguments, const std::string& outputPath) {
    posix_spawn_file_actions_t actions;
    if (posix_spawn_file_actions_init(&actions) != 0) return false;
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outputPath.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<char*> argv{const_cast<char*>("gzip")};
    for (const char* a : arguments) argv.push_back(const_cast<char*>(a));
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int started = posix_spawnp(&pid, "gzip", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (started != 0) return false;
    int status = 0;
    if (waitpid(pid, &status, 0) != pid) return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool WriteExpandedData(const std::string& path) {
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr) return false;
    static const char* const kWords[] = {"update", "Tevorin", "manifest", "version", "file",
                                         "download", "install", "voice", "call", "client"};
    std::uint64_t state = 0x9E3779B97F4A7C15ull;
    auto next = [&state] {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return state;
    };
    std::string block(kBlock, '\0');
    bool ok = true;
    for (std::size_t written = 0; ok && written < kExpandedBytes; written += kBlock) {
        if ((written / kBlock) % 2 == 0) {
            for (std::size_t i = 0; i < kBlock; i += 8) {
                const std::uint64_t v = next();
                std::memcpy(&block[i], &v, 8);
            }
        } else {
            block.clear();
            while (block.size() < kBlock) {
                block += kWords[next() % 10];
                block += (next() % 8 == 0) ? '\n' : ' ';
            }
            block.resize(kBlock);
        }
        ok = std::fwrite(block.data(), 1, kBlock, out) == kBlock;
    }
    return std::fclose(out) == 0 && ok;
}

const Input& TheInput() {
    static const Input input = [] {
        Input in;
        std::string pattern = (std::filesystem::temp_directory_path() / "tevorin-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            in.error = "cannot make a temporary directory";
            return in;
        }
        in.dir = pattern;
        const std::string expanded = in.dir + "/payload.bin";
        in.gzipPath = in.dir + "/payload.bin.gz";
        if (!WriteExpandedData(expanded)) {
            in.error = "cannot write the input data";
        } else if (!RunGzip({"-c", expanded.c_str()}, in.gzipPath)) {
            in.error = "gzip could not compress the input";
        }
        std::filesystem::remove(expanded);
        return in;
    }();
    return input;
}

void BM_GunzipFileAgainstGzip(benchmark::State& state) {
    const Input& input = TheInput();
    if (!input.error.empty()) {
        state.SkipWithError(input.error.c_str());
        return;
    }
    const std::string ours = input.dir + "/ours.bin";
    const std::string theirs = input.dir + "/theirs.bin";
    const std::u16string source(input.gzipPath.begin(), input.gzipPath.end());
    const std::u16string destination(ours.begin(), ours.end());
    double oursSeconds = 0;
    double gzipSeconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const bool expanded = GunzipFile(source, destination);
        const auto middle = std::chrono::steady_clock::now();
        const bool gzipOk = RunGzip({"-dc", input.gzipPath.c_str()}, theirs);
        const auto end = std::chrono::steady_clock::now();
        if (!expanded || !gzipOk) {
            state.SkipWithError("expansion failed");
            return;
        }
        const double ourTime = std::chrono::duration<double>(middle - start).count();
        oursSeconds += ourTime;
        gzipSeconds += std::chrono::duration<double>(end - middle).count();
        state.SetIterationTime(ourTime);
    }
    if (std::filesystem::file_size(ours) != std::filesystem::file_size(theirs)) {
        state.SkipWithError("outputs differ in size");
        return;
    }
    const auto gzipBytes = static_cast<double>(std::filesystem::file_size(input.gzipPath));
    state.counters["gzip_file_MB"] = gzipBytes / 1e6;
    state.counters["gunzip_s"] = oursSeconds / static_cast<double>(state.iterations());
    state.counters["gzip_s"] = gzipSeconds / static_cast<double>(state.iterations());
    state.counters["speed_ratio"] = gzipSeconds / oursSeconds;
    state.SetBytesProcessed(static_cast<std::int64_t>(kExpandedBytes) * state.iterations());
    std::filesystem::remove(ours);
    std::filesystem::remove(theirs);
}

BENCHMARK(BM_GunzipFileAgainstGzip)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

// Removes the generated input when the run ends.
struct Cleanup {
    ~Cleanup() {
        if (!TheInput().dir.empty()) {
            std::error_code ignored;
            std::filesystem::remove_all(TheInput().dir, ignored);
        }
    }
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    Cleanup cleanup;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
