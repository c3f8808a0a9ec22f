// The colour coding's scan: each object of the target layer is read from the
// host once, and only pairs whose grown boxes overlap reach the unite, found
// through an index of the boxes. It visits the same pairs in the same order,
// with the same progress and cancel checks, as looking at every pair would.
#pragma once

#include <memory>
#include <vector>

#include "mapgeom/AdjacencyScan.h"
#include "mapgeom/BoxIndex.h"

namespace orbalis {

class IndexedScan : public AdjacencyScan {
public:
    HostErr Scan(TouchingPairs& pairs) override;

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
        HostRect box{};  // its grown bounds
    };

    HostErr RememberLayerArt(HostArt firstTop);
    void Remember(HostArt art, size_t topStart);
    HostErr InnerScan(size_t p);
    HostErr PairTest(size_t p, size_t q);
    HostErr EmptyScratchLayer();

    TouchingPairs* pairs = nullptr;
    bool scratchEmpty = false;  // known to hold nothing since it was last emptied

    // The target layer's objects in scan order, where the top-level objects
    // start, and the index of the polygons' grown boxes.
    std::vector<ScannedArt> scanned;
    std::vector<size_t> topStarts;
    std::vector<size_t> unreadable;  // polygons whose key or bounds could not be read
    std::unique_ptr<BoxIndex> boxes;
    std::vector<size_t> candidates;
};

}  // namespace orbalis
