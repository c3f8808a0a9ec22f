// The colour coding's straightforward, quadratic adjacency scan: the
// reference the command's indexed scan must match. Runs in the test process
// on suites acquired from the current host.
#pragma once

#include "mapgeom/AdjacencyScan.h"

namespace orbalis::testing {

// Every pair of polygons is looked at through the host, in scan order, each
// object read again for every pair, and the scratch layer is emptied after
// every pair test that gets past the cheap filters.
class StraightforwardScan : public AdjacencyScan {
public:
    HostErr Scan(TouchingPairs& pairs) override;

private:
    HostErr WalkDescendants(HostArt first);
    HostErr InnerScan(HostArt polygon);
    HostErr ScanSubtree(HostArt polygon, HostArt first);
    HostErr PairTest(HostArt p, HostArt q);

    TouchingPairs* pairs = nullptr;
    HostArt currentTop = nullptr;
};

}  // namespace orbalis::testing
