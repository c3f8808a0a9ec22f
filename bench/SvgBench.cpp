// SVG import and export on a real map: US counties as mapshaper writes them.
// Make the file with mapshaper (see the counties check in tests/io) and set
// ORBALIS_COUNTIES_SVG to its path; without it the benchmarks report an error.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "host/io/SvgDocument.h"

namespace {

using orbalis::host::ReadSvgDocument;
using orbalis::host::WriteSvgDocument;

const std::string& CountiesText() {
    static const std::string text = [] {
        const char* path = std::getenv("ORBALIS_COUNTIES_SVG");
        if (!path) return std::string();
        std::ifstream in(path, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }();
    return text;
}

void ImportCounties(benchmark::State& state) {
    const std::string& text = CountiesText();
    if (text.empty()) {
        state.SkipWithError("set ORBALIS_COUNTIES_SVG to a mapshaper counties SVG");
        return;
    }
    for (auto _ : state) {
        std::string error;
        auto document = ReadSvgDocument(text, {}, &error);
        if (!document) {
            state.SkipWithError(error.c_str());
            return;
        }
        benchmark::DoNotOptimize(document);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}
BENCHMARK(ImportCounties)->Unit(benchmark::kMillisecond);

void ExportCounties(benchmark::State& state) {
    const std::string& text = CountiesText();
    std::string error;
    auto document = text.empty() ? nullptr : ReadSvgDocument(text, {}, &error);
    if (!document) {
        state.SkipWithError(text.empty() ? "set ORBALIS_COUNTIES_SVG to a mapshaper counties SVG" : error.c_str());
        return;
    }
    size_t bytes = 0;
    for (auto _ : state) {
        std::string written = WriteSvgDocument(*document);
        bytes = written.size();
        benchmark::DoNotOptimize(written);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes));
}
BENCHMARK(ExportCounties)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
