// Converting many short strings, as layer titles and dialog fields are
// converted: the host's conversions, which keep their iconv descriptors,
// against opening a descriptor for every string.
#include <benchmark/benchmark.h>
#include <iconv.h>

#include <string>

#include "host/text/Encoding.h"
#include "sdk/suites/StringSuites.h"

namespace {

const std::u16string kTitle = u"レイヤー 12 東京都";

void encodeShortTitles(benchmark::State& state) {
    std::string bytes;
    for (auto _ : state) {
        orbalis::host::encodeText(kHostEncodingShiftJIS, kTitle, &bytes);
        benchmark::DoNotOptimize(bytes.data());
    }
}
BENCHMARK(encodeShortTitles);

void decodeShortTitles(benchmark::State& state) {
    std::string bytes;
    orbalis::host::encodeText(kHostEncodingShiftJIS, kTitle, &bytes);
    std::u16string text;
    for (auto _ : state) {
        orbalis::host::decodeText(kHostEncodingShiftJIS, bytes, &text);
        benchmark::DoNotOptimize(text.data());
    }
}
BENCHMARK(decodeShortTitles);

void encodeShortTitlesOpeningEachTime(benchmark::State& state) {
    char out[64];
    for (auto _ : state) {
        iconv_t descriptor = iconv_open("CP932", "UTF-16LE");
        char* in = reinterpret_cast<char*>(const_cast<char16_t*>(kTitle.data()));
        std::size_t inLeft = kTitle.size() * 2;
        char* next = out;
        std::size_t outLeft = sizeof out;
        iconv(descriptor, &in, &inLeft, &next, &outLeft);
        iconv_close(descriptor);
        benchmark::DoNotOptimize(out);
    }
}
BENCHMARK(encodeShortTitlesOpeningEachTime);

}  // namespace

BENCHMARK_MAIN();
