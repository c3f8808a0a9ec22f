// Fast move ("高速移動") through the real plug-in on documents of 10,000 to
// 100,000 paths: objects moved per second, and how the time grows.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "host/app/Host.h"

namespace {

using orbalis::host::Art;
using orbalis::host::Document;
using orbalis::host::Host;

// `count` closed paths of eight points on one layer, in groups of ten as
// map features often are, and the selected arrow that says where to move.
std::unique_ptr<Document> MapOf(int64_t count) {
    auto doc = std::make_unique<Document>();
    orbalis::host::Layer* layer = nullptr;
    doc->insertLayer(nullptr, kHostPlaceAboveAll, &layer);
    Art* group = nullptr;
    for (int64_t i = 0; i < count; ++i) {
        if (i % 10 == 0) doc->newArt(kHostGroupArt, kHostPlaceInsideOnBottom, layer->group(), &group);
        Art* path = nullptr;
        doc->newArt(kHostPathArt, kHostPlaceInsideOnBottom, group, &path);
        const double x = double(i % 1000) * 12, y = double(i / 1000) * 12;
        for (int k = 0; k < 8; ++k) {
            const HostPoint p{x + (k < 4 ? k : 7 - k) * 3.0, y + (k < 4 ? 0 : 10)};
            path->path()->segments.push_back({p, p, p, 1});
        }
        path->path()->closed = true;
    }
    Art* arrow = nullptr;
    doc->newArt(kHostPathArt, kHostPlaceInsideOnTop, layer->group(), &arrow);
    arrow->path()->segments = {{{0, 0}, {0, 0}, {0, 0}, 1}, {{3, 4}, {3, 4}, {3, 4}, 1}};
    doc->setAttributes(arrow, kHostArtSelected, kHostArtSelected);
    return doc;
}

void FastMove(benchmark::State& state) {
    Host host;
    host.OpenDocument(MapOf(state.range(0)));
    std::string error;
    if (!host.loader().Load(ORBALIS_PLUGIN_DEFAULT_PATH, &error) || host.StartPlugins()) {
        state.SkipWithError(("cannot start the plug-in: " + error).c_str());
        return;
    }
    orbalis::host::MenuItem* item = host.menus().FindItems("高速移動").front();
    for (auto _ : state) {
        host.user().QueueAnswer(false);  // keep the arrow for the next round
        if (host.ChooseMenuItem(item) != 0) state.SkipWithError("fast move failed");
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.counters["paths"] = double(state.range(0));
    host.ShutdownPlugins();
}
BENCHMARK(FastMove)->Arg(10'000)->Arg(20'000)->Arg(50'000)->Arg(100'000)->Arg(200'000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
