// SVG import and export on a real map: US counties as mapshaper writes them
// (examples/counties.svg, or the file ORBALIS_COUNTIES_SVG names).
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
        const char* named = std::getenv("ORBALIS_COUNTIES_SVG");
        std::ifstream in(named && *named ? named : ORBALIS_SOURCE_DIR "/examples/counties.svg", std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }();
    return text;
}

void ImportCounties(benchmark::State& state) {
    const std::string& text = CountiesText();
    if (text.empty()) {
        state.SkipWithError("cannot read the counties map");
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
        state.SkipWithError(text.empty() ? "cannot read the counties map" : error.c_str());
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
