// "ポリゴン色分け": gives the touching shapes of the current layer different
// light process colours.
//
// The nodes of the graph are the layer's top-level objects. Two of them are
// neighbours when a filled closed path of one touches one of the other; the
// host decides touching: both are copied to a scratch layer and united with
// the Pathfinder, and one resulting shape means they touch.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "mapgeom/AdjacencyScan.h"
#include "sdk/HostMessages.h"
#include "sdk/suites/ArtSuites.h"

namespace orbalis {

class CPolygonColoring {
public:
    // Finds the touching shapes with `scan`; by default the indexed scan.
    explicit CPolygonColoring(HostPluginRef pluginRef, std::unique_ptr<AdjacencyScan> scan = nullptr);
    ~CPolygonColoring();
    CPolygonColoring(const CPolygonColoring&) = delete;
    CPolygonColoring& operator=(const CPolygonColoring&) = delete;

    // 0 when done or quietly stopped; the cancel code when the user stopped or
    // refused; 100 or 200 when painting a group or another node failed; any
    // other host code is passed through.
    HostErr Run();

    // Codes of the run.
    static constexpr HostErr kTooManyNodes = TouchingPairs::kTooManyNodes;
    static constexpr HostErr kGroupPaintFailed = 100;
    static constexpr HostErr kNodePaintFailed = 200;
    static constexpr int32_t kNodeLimit = TouchingPairs::kNodeLimit;
    static constexpr int32_t kColorCount = 6;

    // The graph after the scan, for inspection.
    const std::vector<HostArt>& Nodes() const { return nodes; }
    const std::vector<std::vector<int32_t>>& Adjacency() const { return adjacency; }
    const std::vector<int32_t>& Colors() const { return colors; }

private:
    HostErr Colorize(const TouchingPairs& pairs);
    HostErr BuildGraph(const TouchingPairs& pairs);
    HostErr PaintNodes();
    HostErr PaintGroupPaths(HostArt first, int32_t color);

    std::unique_ptr<AdjacencyScan> scan;
    std::vector<HostArt> nodes;
    std::vector<std::vector<int32_t>> adjacency;
    std::vector<int32_t> colors;
    HostLayer workLayer = nullptr;
    HostPluginRef pluginRef;
};

// Paints `art` with colour number `color` of the palette.
HostErr PaintWithPaletteColor(HostArt art, int32_t color);

}  // namespace orbalis
