// Collecting the document's art: a scoped holder of a host art set, and
// emptying a layer whatever the lock and hide state of its art.
#pragma once

#include <cstdint>

#include "sdk/suites/ArtSuites.h"

namespace orbalis {

// Owns one host art set, filled from the selection or from one layer.
class CArtSet {
public:
    CArtSet() = default;
    ~CArtSet() { Release(); }
    CArtSet(const CArtSet&) = delete;
    CArtSet& operator=(const CArtSet&) = delete;

    // Refills the holder with the document's selected art.
    HostErr FillFromSelection();
    // Refills the holder with all art of `layer`: its group, then everything
    // inside in pre-order. Any failure leaves the holder empty.
    void FillFromLayer(HostLayer layer);
    uint64_t Count() const { return count_; }
    // Null for an index outside 0 .. Count() - 1.
    HostArt At(int32_t index) const;
    void Release();

private:
    // Disposes of the current set and makes a new, empty one.
    HostErr Renew();

    uint64_t count_ = 0;
    HostArtSet set_ = nullptr;
};

// Deletes every object of `layer`, including locked and hidden ones, and
// leaves the layer's own visibility and editability as they were.
HostErr ClearLayerArt(HostLayer layer);

// Clears the locked and hidden flags of `art` and everything below it; with
// `includeFollowingSiblings`, of its following siblings and their subtrees too.
HostErr UnlockArtTree(HostArt art, bool includeFollowingSiblings);

}  // namespace orbalis
