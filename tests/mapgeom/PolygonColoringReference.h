// The colour coding with its straightforward, quadratic adjacency scan: the
// reference for the command's results. Runs in the test process on suites
// acquired from the current host.
#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "mapgeom/PolygonColoring.h"
#include "sdk/HostMessages.h"
#include "sdk/suites/ArtSuites.h"

namespace orbalis::testing {

class ReferenceColoring {
public:
    explicit ReferenceColoring(HostPluginRef pluginRef);
    ~ReferenceColoring();
    ReferenceColoring(const ReferenceColoring&) = delete;
    ReferenceColoring& operator=(const ReferenceColoring&) = delete;

    HostErr Run();

private:
    HostErr ScanAdjacency();
    HostErr WalkDescendants(HostArt first);
    HostErr InnerScan(HostArt polygon);
    HostErr ScanSubtree(HostArt polygon, HostArt first);
    HostErr PairTest(HostArt p, HostArt q);
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
    HostArt layerGroup = nullptr;
    HostArt currentTop = nullptr;
    bool askTooMany = true;
    HostPluginRef pluginRef;
};

}  // namespace orbalis::testing
