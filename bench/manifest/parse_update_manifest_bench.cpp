// Parsing a manifest with many files: the time per file must stay flat as the
// count grows (1,000 against 10,000 files), i.e. the parse is linear.

#include <benchmark/benchmark.h>

#include "manifest/parse_update_manifest.h"
#include "platform/core/text.h"

namespace {

std::u16string ManifestWithFiles(int count) {
    std::u16string text =
        u"<?xml version=\"1.0\"?>\r\n<update>\r\n<version>C1A2C</version>\r\n"
        u"<action>UserPrompt</action>\r\n<description>Faster.&lt;br&gt;Clearer.</description>\r\n";
    for (int i = 0; i < count; ++i) {
        text += FormatText(
            u"<filename src=\"http://update.tevorin.example/c1a2c/file%d.dll.gz\" "
            u"localdir=\"plugins\" zipped=\"true\" regist=\"false\">file%d.dll</filename>\r\n",
            i, i);
    }
    text += u"</update>\r\n";
    return text;
}

void BM_ParseUpdateManifest(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    const std::u16string text = ManifestWithFiles(count);
    for (auto _ : state) {
        DWORD version = 0;
        std::u16string description, action;
        UpdateFileList files;
        ParseUpdateManifest(text, version, description, action, files);
        if (files.size() != static_cast<std::size_t>(count)) state.SkipWithError("files lost");
        benchmark::DoNotOptimize(files.data());
    }
    state.SetItemsProcessed(state.iterations() * count);
    state.SetComplexityN(count);
}

BENCHMARK(BM_ParseUpdateManifest)
    ->Arg(1'000)
    ->Arg(10'000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

}  // namespace

BENCHMARK_MAIN();
