// Throughput of the code-page conversions on the paths that matter: a manifest
// body decoded in the 8192-byte chunks of the fetch, and the per-call cost of
// converting one file path (each call opens its own converter).
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <string>

#include "platform/core/ansi_code_page.h"
#include "platform/core/text.h"

namespace {

// About 64 KiB of mixed ASCII and Chinese text in the code page of `name`.
std::string ManifestBody(const char* name) {
    setenv("TEVORIN_ACP", name, 1);
    std::u16string text;
    while (text.size() < 32 * 1024) {
        text += u"<filename src=\"http://update.tevorin.example/f.dll\">升级文件.dll</filename>\r\n";
    }
    return *WideCharToMultiByte(text);
}

void DecodeInChunks(benchmark::State& state, const char* codePage) {
    const std::string body = ManifestBody(codePage);
    for (auto _ : state) {
        AnsiStreamDecoder decoder;
        std::u16string text;
        for (std::size_t at = 0; at < body.size(); at += 8192) {
            text += decoder.Feed(std::string_view(body).substr(at, 8192));
        }
        text += decoder.Finish();
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * body.size()));
    unsetenv("TEVORIN_ACP");
}
BENCHMARK_CAPTURE(DecodeInChunks, gbk, "GBK");
BENCHMARK_CAPTURE(DecodeInChunks, utf8, "UTF-8");

void ConvertOnePath(benchmark::State& state) {
    setenv("TEVORIN_ACP", "GBK", 1);
    const std::u16string path = u"/opt/tevorin/upgrade/C1A2C/升级文件.dll.tmp";
    for (auto _ : state) {
        benchmark::DoNotOptimize(WideCharToMultiByte(path));
    }
    unsetenv("TEVORIN_ACP");
}
BENCHMARK(ConvertOnePath);

void Utf8RoundTrip(benchmark::State& state) {
    std::u16string text;
    while (text.size() < 32 * 1024) text += u"Tevorin 自动升级 ";
    for (auto _ : state) {
        benchmark::DoNotOptimize(Utf8ToUtf16(Utf16ToUtf8(text)).size());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size() * 2));
}
BENCHMARK(Utf8RoundTrip);

}  // namespace

BENCHMARK_MAIN();
