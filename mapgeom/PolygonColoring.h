// "ポリゴン色分け": gives the touching shapes of the current layer different
// light process colours.
//
// The nodes of the graph are the layer's top-level objects. Two of them are
// neighbours when a filled closed path of one touches one of the other; the
// host decides touching: both are copied to a scratch layer and united with
// the Pathfinder, and one resulting shape means they touch.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <unordered_set>
#include <vector>

#include "mapgeom/BoxIndex.h"
#include "sdk/HostMessages.h"
#include "sdk/suites/ArtSuites.h"

namespace orbalis {

class CPolygonColoring {
public:
    explicit CPolygonColoring(HostPluginRef pluginRef);
    ~CPolygonColoring();
    CPolygonColoring(const CPolygonColoring&) = delete;
    CPolygonColoring& operator=(const CPolygonColoring&) = delete;

    // 0 when done or quietly stopped; the cancel code when the user stopped or
    // refused; 100 or 200 when painting a group or another node failed; any
    // other host code is passed through.
    HostErr Run();

    // Codes of the run.
    static constexpr HostErr kTooManyNodes = 1000;
    static constexpr HostErr kGroupPaintFailed = 100;
    static constexpr HostErr kNodePaintFailed = 200;
    static constexpr int32_t kNodeLimit = 1000;
    static constexpr int32_t kColorCount = 6;

    // The graph after the scan, for inspection.
    const std::vector<HostArt>& Nodes() const { return nodes; }
    const std::vector<std::vector<int32_t>>& Adjacency() const { return adjacency; }
    const std::vector<int32_t>& Colors() const { return colors; }

private:
    // What the scan remembers of one object of the target layer. Nothing the
    // scan does can change the layer's art (the unites work on copies in the
    // scratch layer), so each object is read from the host once.
    struct ScannedArt {
        HostArt art = nullptr;
        size_t topStart = 0;  // scan position of the top-level object holding it
        bool polygon = false;
        HostErr keyError = 0;  // from following its parent chain
        HostArt key = nullptr;
        HostErr boundsError = 0;
        HostRect box{};  // its bounds grown by the margin
    };

    HostErr ScanAdjacency();
    HostErr RememberLayerArt(HostArt firstTop);
    void Remember(HostArt art, size_t topStart);
    HostErr InnerScan(size_t p);
    HostErr PairTest(size_t p, size_t q);
    HostErr EmptyScratchLayer();
    HostErr TestTouching(HostArt p, HostArt q, bool* touching);
    HostErr RecordPair(HostArt a, HostArt b);
    bool IsPolygon(HostArt art);
    HostErr KeyOf(HostArt art, HostArt* key);
    HostErr Colorize();
    HostErr BuildGraph();
    HostErr PaintNodes();
    HostErr PaintGroupPaths(HostArt first, int32_t color);
    HostErr CheckProgress(int32_t value);

    int32_t foundAdjacency = 0;
    std::multimap<HostArt, HostArt> edges;
    std::map<HostArt, int32_t> nodeIndex;
    std::vector<HostArt> nodes;
    std::vector<std::vector<int32_t>> adjacency;
    std::vector<int32_t> colors;
    HostLayer workLayer = nullptr;
    bool scratchEmpty = false;  // known to hold nothing since it was last emptied
    HostArt layerGroup = nullptr;
    HostArt currentTop = nullptr;
    bool askTooMany = true;
    HostPluginRef pluginRef;

    // The target layer's objects in scan order (each top-level object, then
    // its subtree in pre-order), where the top-level objects start, the nodes
    // recorded so far, and the index of the polygons' grown boxes.
    std::vector<ScannedArt> scanned;
    std::vector<size_t> topStarts;
    std::vector<size_t> unreadable;  // polygons whose key or bounds could not be read
    std::unordered_set<HostArt> nodeSet;
    std::unique_ptr<BoxIndex> boxes;
    std::vector<size_t> candidates;
};

// Paints `art` with colour number `color` of the palette.
HostErr PaintWithPaletteColor(HostArt art, int32_t color);

}  // namespace orbalis
