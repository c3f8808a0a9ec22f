// Pathfinder unite on pairs of neighbouring shapes, the way polygon colour
// coding tests whether two map shapes touch.
#include <benchmark/benchmark.h>

#include <cmath>

#include "host/geom/Unite.h"

namespace orbalis::host {
namespace {

using Points = std::vector<HostPoint>;

// A wavy border from (0, 0) up to (0, 100) with `count` points, shared by
// two shapes; each closes it with a wavy side of `count` points of its own.
Points Border(int count) {
    Points border;
    for (int i = 0; i < count; ++i) {
        const double t = double(i) / (count - 1);
        border.push_back({3 * std::sin(t * 37), 100 * t});
    }
    return border;
}

Points Side(int count, bool right) {
    Points side;
    for (int i = 1; i + 1 < count; ++i) {
        const double t = double(i) / (count - 1);
        side.push_back({(right ? 1 : -1) * (60 + 5 * std::sin(t * 23)), right ? 100 * (1 - t) : 100 * t});
    }
    return side;
}

// Anchors as segments; `curved` turns every other anchor into a smooth
// point whose handles follow its neighbours.
std::vector<HostPathSegment> Segments(const Points& points, bool curved) {
    std::vector<HostPathSegment> segments;
    for (size_t i = 0; i < points.size(); ++i) {
        const HostPoint p = points[i];
        HostPathSegment s{p, p, p, 1};
        if (curved && i % 2 == 1 && i + 1 < points.size()) {
            const HostPoint prev = points[i - 1], next = points[i + 1];
            s.in = {p.x + (prev.x - next.x) / 4, p.y + (prev.y - next.y) / 4};
            s.out = {p.x - (prev.x - next.x) / 4, p.y - (prev.y - next.y) / 4};
            s.corner = 0;
        }
        segments.push_back(s);
    }
    return segments;
}

// The left shape walks the border down, the right one up; the border's
// curves are the same, traversed in opposite directions.
std::vector<HostPathSegment> Shape(const Points& border, int count, bool right, bool curved) {
    std::vector<HostPathSegment> shape = Segments(border, curved);
    if (!right) {
        std::reverse(shape.begin(), shape.end());
        for (HostPathSegment& s : shape) std::swap(s.in, s.out);
    }
    for (const HostPathSegment& s : Segments(Side(count, right), false)) shape.push_back(s);
    return shape;
}

Art* AddPath(Document& document, std::vector<HostPathSegment> segments) {
    Art* art = nullptr;
    document.newArt(kHostPathArt, kHostPlaceInsideOnTop, nullptr, &art);
    art->path()->segments = std::move(segments);
    art->path()->closed = true;
    return art;
}

void RunUnite(benchmark::State& state, const std::vector<HostPathSegment>& left,
              const std::vector<HostPathSegment>& right) {
    Document document;
    Layer* layer = nullptr;
    document.insertLayer(nullptr, kHostPlaceAboveAll, &layer);
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<Art*> inputs{AddPath(document, left), AddPath(document, right)};
        Art* result = nullptr;
        state.ResumeTiming();
        if (UniteArt(document, inputs, &result) != 0 || !result || result->type() != kHostPathArt)
            state.SkipWithError("the shapes did not merge into one path");
        state.PauseTiming();
        document.disposeArt(result);
        state.ResumeTiming();
    }
}

// Two neighbours of `range(0)` vertices each sharing half their outline.
void BM_UniteAdjacentPolygons(benchmark::State& state) {
    const int half = static_cast<int>(state.range(0)) / 2;
    const Points border = Border(half);
    RunUnite(state, Shape(border, half, false, false), Shape(border, half, true, false));
}
BENCHMARK(BM_UniteAdjacentPolygons)->Arg(100)->Arg(500)->Arg(1000)->Unit(benchmark::kMicrosecond);

// The same with half the border's anchors smooth curve points: flattening,
// and a curved border that must stay shared.
void BM_UniteAdjacentCurvedShapes(benchmark::State& state) {
    const int half = static_cast<int>(state.range(0)) / 2;
    const Points border = Border(half);
    RunUnite(state, Shape(border, half, false, true), Shape(border, half, true, true));
}
BENCHMARK(BM_UniteAdjacentCurvedShapes)->Arg(100)->Unit(benchmark::kMicrosecond);

// A map shape whose outline crosses itself once (two vertices swapped, as
// digitising slips sometimes leave) next to its neighbour: the general
// route, with faces and the overlay.
void BM_UniteSelfIntersectingNeighbour(benchmark::State& state) {
    const int half = static_cast<int>(state.range(0)) / 2;
    const Points border = Border(half);
    std::vector<HostPathSegment> twisted = Shape(border, half, false, false);
    std::swap(twisted[half + half / 2], twisted[half + half / 2 + 1]);
    RunUnite(state, twisted, Shape(border, half, true, false));
}
BENCHMARK(BM_UniteSelfIntersectingNeighbour)->Arg(500)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace orbalis::host

BENCHMARK_MAIN();
