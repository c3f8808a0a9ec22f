// Map scaling ("地図拡大縮小...") through the real plug-in, its dialog driven by
// the scripted user, against a plain loop that applies the same matrix to
// the same points in memory. Runs on the US counties map and on generated
// maps of 100,000 paths and of 4,000 paths (small enough for the processor's
// caches) with point text and symbol instances.
//
// Each round scales by 2 and the next by 0.5 (paper rows 8 and 0), so the
// document keeps its size however many rounds run.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "host/app/Host.h"
#include "host/io/DocumentFiles.h"
#include "host/model/TextStory.h"
#include "host/model/Geometry.h"
#include "host/win32/ScriptedUser.h"

namespace {

using orbalis::host::Art;
using orbalis::host::Document;
using orbalis::host::Host;

constexpr int64_t kCounties = 0;
constexpr int64_t kGenerated = 1;
constexpr int64_t kGeneratedSmall = 2;

// `count` closed eight-point paths in groups of ten, one point text and one
// symbol instance for every hundred paths.
std::unique_ptr<Document> GeneratedMap(int64_t count) {
    auto doc = std::make_unique<Document>();
    orbalis::host::Layer* layer = nullptr;
    doc->insertLayer(nullptr, kHostPlaceAboveAll, &layer);
    Art* pin = doc->newSymbolDefinition("pin");
    Art* mark = nullptr;
    doc->newArt(kHostPathArt, kHostPlaceInsideOnTop, pin, &mark);
    for (HostPoint p : {HostPoint{-2, -2}, HostPoint{2, -2}, HostPoint{2, 2}, HostPoint{-2, 2}})
        mark->path()->segments.push_back({p, p, p, 1});
    mark->path()->closed = true;
    Art* group = nullptr;
    for (int64_t i = 0; i < count; ++i) {
        if (i % 10 == 0) doc->newArt(kHostGroupArt, kHostPlaceInsideOnBottom, layer->group(), &group);
        const double x = double(i % 1000) * 12, y = double(i / 1000) * 12;
        Art* path = nullptr;
        doc->newArt(kHostPathArt, kHostPlaceInsideOnBottom, group, &path);
        for (int k = 0; k < 8; ++k) {
            const HostPoint p{x + (k < 4 ? k : 7 - k) * 3.0, y + (k < 4 ? 0 : 10)};
            path->path()->segments.push_back({p, p, p, 1});
        }
        path->path()->closed = true;
        if (i % 100 == 0) {
            Art* text = nullptr;
            doc->newArt(kHostTextFrameArt, kHostPlaceInsideOnBottom, layer->group(), &text);
            orbalis::host::TextData data;
            data.matrix = {1, 0, 0, 1, x, y};
            data.runs.push_back({"町", orbalis::host::DefaultCharFeatures()});
            data.paragraphs.resize(1);
            text->data = std::move(data);
            Art* instance = nullptr;
            doc->newArt(kHostSymbolArt, kHostPlaceInsideOnBottom, layer->group(), &instance);
            instance->data = orbalis::host::SymbolData{"pin", {1, 0, 0, 1, x + 6, y + 5}};
        }
    }
    return doc;
}

std::unique_ptr<Document> MapFor(int64_t which, std::string* error) {
    if (which == kGenerated) return GeneratedMap(100'000);
    if (which == kGeneratedSmall) return GeneratedMap(4'000);
    return orbalis::host::ReadDocumentFile(ORBALIS_SOURCE_DIR "/examples/counties.svg", {}, error);
}

const char* NameOf(int64_t which) {
    if (which == kGenerated) return "generated 100,000 paths";
    return which == kGeneratedSmall ? "generated 4,000 paths" : "US counties";
}

void MapScalingCommand(benchmark::State& state) {
    std::string error;
    auto doc = MapFor(state.range(0), &error);
    if (!doc) {
        state.SkipWithError(error.c_str());
        return;
    }
    Host host;
    host.OpenDocument(std::move(doc));
    if (!host.loader().Load(ORBALIS_PLUGIN_DEFAULT_PATH, &error) || host.StartPlugins()) {
        state.SkipWithError(("cannot start the plug-in: " + error).c_str());
        return;
    }
    orbalis::win32::ScriptedUser user;
    orbalis::win32::SetDialogUser(&user);
    orbalis::host::MenuItem* item = host.menus().FindItems("地図拡大縮小...").front();
    bool enlarge = true;
    for (auto _ : state) {
        std::vector<orbalis::win32::UiStep> steps;
        orbalis::win32::ParseUiScript(enlarge ? "dialog 115; click 1077; select 1083 8; click 1"
                                              : "dialog 115; click 1077; select 1083 0; click 1",
                                      &steps, &error);
        user.Add(std::move(steps));
        if (host.ChooseMenuItem(item) != 0) state.SkipWithError("map scaling failed");
        enlarge = !enlarge;
    }
    state.SetLabel(NameOf(state.range(0)));
    orbalis::win32::SetDialogUser(nullptr);
    host.ShutdownPlugins();
}
BENCHMARK(MapScalingCommand)->Arg(kCounties)->Arg(kGenerated)->Arg(kGeneratedSmall)->Unit(benchmark::kMillisecond);

// Every point of every path (anchors and handles), the text anchors and the
// symbol matrices' translations: what the command moves.
std::vector<HostPoint> PointsOf(const Document& doc) {
    std::vector<HostPoint> points;
    for (const orbalis::host::Layer* layer : doc.topLayers()) {
        std::vector<const Art*> stack{layer->group()};
        while (!stack.empty()) {
            const Art* art = stack.back();
            stack.pop_back();
            for (const Art* child = art->firstChild(); child; child = child->next()) stack.push_back(child);
            if (const auto* path = art->path()) {
                for (const HostPathSegment& s : path->segments) points.insert(points.end(), {s.p, s.in, s.out});
            } else if (const auto* text = std::get_if<orbalis::host::TextData>(&art->data)) {
                points.push_back({text->matrix.tx, text->matrix.ty});
            } else if (const auto* symbol = std::get_if<orbalis::host::SymbolData>(&art->data)) {
                points.push_back({symbol->matrix.tx, symbol->matrix.ty});
            }
        }
    }
    return points;
}

void PlainLoop(benchmark::State& state) {
    std::string error;
    auto doc = MapFor(state.range(0), &error);
    if (!doc) {
        state.SkipWithError(error.c_str());
        return;
    }
    std::vector<HostPoint> points = PointsOf(*doc);
    HostRect bounds{};
    bool found = false;
    for (const orbalis::host::Layer* layer : doc->topLayers()) {
        HostRect r{};
        if (!doc->bounds(layer->group(), &r)) continue;
        bounds = !found ? r
                        : HostRect{std::min(bounds.left, r.left), std::max(bounds.top, r.top),
                                   std::max(bounds.right, r.right), std::min(bounds.bottom, r.bottom)};
        found = true;
    }
    const double cx = (bounds.left + bounds.right) * 0.5, cy = (bounds.top + bounds.bottom) * 0.5;
    bool enlarge = true;
    for (auto _ : state) {
        const double f = enlarge ? 2.0 : 0.5;
        const HostMatrix m{f, 0, 0, f, cx - f * cx, cy - f * cy};
        for (HostPoint& p : points) p = orbalis::host::Apply(m, p);
        benchmark::DoNotOptimize(points.data());
        benchmark::ClobberMemory();
        enlarge = !enlarge;
    }
    state.SetLabel(NameOf(state.range(0)));
    state.counters["points"] = double(points.size());
}
BENCHMARK(PlainLoop)->Arg(kCounties)->Arg(kGenerated)->Arg(kGeneratedSmall)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
