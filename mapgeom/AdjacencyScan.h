// The colour coding's search for touching shapes, in two parts. A scan
// decides which pairs of polygons of the target layer are looked at and in
// what order; TouchingPairs, the same for every scan, reads the layer, asks
// the host whether two polygons touch and records the pairs found.
#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "sdk/HostMessages.h"
#include "sdk/suites/ArtSuites.h"

namespace orbalis {

class TouchingPairs {
public:
    // `scratchLayer` is where the unites are made (null when it could not be
    // made); `layerGroup` is the target layer's group.
    TouchingPairs(HostPluginRef pluginRef, HostLayer scratchLayer, HostArt layerGroup);

    // Recording more than this many nodes asks whether to stop.
    static constexpr int32_t kNodeLimit = 1000;
    // The user chose to stop at that question.
    static constexpr HostErr kTooManyNodes = 1000;
    static constexpr const char* kTooManyQuestion = "隣接数が多すぎます。一旦終了して数を減らして下さい。";

    HostLayer scratchLayer() const { return scratchLayer_; }
    HostArt layerGroup() const { return layerGroup_; }

    // Gives the target layer's first top-level object, after showing the
    // scan's progress text and making its first cancel check.
    HostErr Start(HostArt* firstTop) const;
    // Sets the progress to `value` of 100, then checks for cancel.
    static HostErr CheckProgress(int32_t value);

    // Non-group art with a fill and a closed path.
    static bool IsPolygon(HostArt art);
    // The top-level object of the target layer that holds `art`; a failure
    // for art outside the layer.
    HostErr KeyOf(HostArt art, HostArt* key) const;
    // Whether the two top-level objects were already recorded as touching.
    bool Paired(HostArt keyA, HostArt keyB) const;

    // Bounds grown on every side, so that shapes meeting along an edge
    // always reach the unite; two grown boxes that touch overlap.
    static HostRect Grown(const HostRect& bounds);
    static bool Overlap(const HostRect& grownA, const HostRect& grownB);

    // Copies `p` and `q` into the scratch layer and unites them there: one
    // resulting shape means they touch. The copies stay in the scratch
    // layer; a failure while preparing the unite counts as not touching.
    bool Touching(HostArt p, HostArt q);

    // Records that the two top-level objects touch. Past kNodeLimit nodes it
    // asks once whether to stop: kTooManyNodes when the user says yes.
    HostErr Record(HostArt keyA, HostArt keyB);

    bool foundAny() const { return edgeCount_ != 0; }
    // The objects in the order they were first recorded.
    const std::vector<HostArt>& nodes() const { return nodes_; }
    // For each node, the indices in nodes() of its neighbours in the order
    // the pairs were recorded.
    const std::vector<std::vector<int32_t>>& neighbours() const { return neighbours_; }
    // Each recorded pair counts twice, once from either side.
    size_t edgeCount() const { return edgeCount_; }

private:
    // The index of `key` in nodes_, added as a new node if it is not there.
    int32_t NodeIndex(HostArt key);

    HostPluginRef pluginRef_;
    HostLayer scratchLayer_;
    HostArt layerGroup_;
    bool askTooMany_ = true;
    size_t edgeCount_ = 0;
    std::vector<HostArt> nodes_;
    std::vector<std::vector<int32_t>> neighbours_;
    std::unordered_map<HostArt, int32_t> nodeIndex_;
};

// Which pairs of polygons of the target layer reach TouchingPairs::Touching,
// in what order, and with which progress and cancel checks. Every polygon P
// is compared with the polygons of its own top-level object and of every
// later one, in scan order (each top-level object, then its subtree in
// pre-order); pairs within one top-level object or already recorded count
// for nothing, and the scratch layer is empty again after every pair tested.
class AdjacencyScan {
public:
    virtual ~AdjacencyScan() = default;
    // Records every touching pair; stops at the first failure, cancel or
    // TouchingPairs::kTooManyNodes, returning it.
    virtual HostErr Scan(TouchingPairs& pairs) = 0;
};

}  // namespace orbalis
