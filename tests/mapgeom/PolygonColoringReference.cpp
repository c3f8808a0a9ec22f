#include "tests/mapgeom/PolygonColoringReference.h"

#include "frame/HostSuites.h"
#include "frame/ArtSet.h"
#include "mapgeom/ArtTree.h"

namespace orbalis::testing {

HostErr StraightforwardScan::Scan(TouchingPairs& target) {
    pairs = &target;
    HostArt top = nullptr;
    if (HostErr err = pairs->Start(&top)) return err;

    while (top) {
        if (HostErr err = TouchingPairs::CheckProgress(10)) return err;
        HostArt next = nullptr;
        if (HostErr err = sArt->GetArtSibling(top, &next)) return err;
        if (HostErr err = TouchingPairs::CheckProgress(10)) return err;
        currentTop = top;
        if (TouchingPairs::IsPolygon(top)) {
            if (HostErr err = InnerScan(top)) return err;
        }
        HostArt child = nullptr;
        if (HostErr err = sArt->GetArtFirstChild(top, &child)) return err;
        if (HostErr err = WalkDescendants(child)) return err;
        top = next;
    }
    return 0;
}

// Inner scans of every polygon among `first`, its following siblings and
// everything inside them, checking for cancel at each object.
HostErr StraightforwardScan::WalkDescendants(HostArt first) {
    return WalkArtTree(first, [this](HostArt art) -> HostErr {
        if (HostErr err = TouchingPairs::CheckProgress(10)) return err;
        return TouchingPairs::IsPolygon(art) ? InnerScan(art) : 0;
    });
}

HostErr StraightforwardScan::InnerScan(HostArt polygon) {
    // currentTop and every later top-level object, each followed by its subtree.
    for (HostArt top = currentTop; top;) {
        if (top != polygon && TouchingPairs::IsPolygon(top)) {
            if (HostErr err = PairTest(polygon, top)) return err;
        }
        HostArt child = nullptr;
        if (HostErr err = sArt->GetArtFirstChild(top, &child)) return err;
        if (HostErr err = ScanSubtree(polygon, child)) return err;
        if (HostErr err = sArt->GetArtSibling(top, &top)) return err;
    }
    return 0;
}

// Pair tests of `polygon` against `first`, its following siblings and
// everything inside them.
HostErr StraightforwardScan::ScanSubtree(HostArt polygon, HostArt first) {
    return WalkArtTree(first, [&](HostArt art) -> HostErr {
        return art != polygon && TouchingPairs::IsPolygon(art) ? PairTest(polygon, art) : 0;
    });
}

HostErr StraightforwardScan::PairTest(HostArt p, HostArt q) {
    if (!TouchingPairs::IsPolygon(q)) return 0;
    HostArt keyA = nullptr, keyB = nullptr;
    if (HostErr err = pairs->KeyOf(p, &keyA)) return err;
    if (HostErr err = pairs->KeyOf(q, &keyB)) return err;
    if (keyA == keyB || pairs->Paired(keyA, keyB)) return 0;

    HostRect boundsP{}, boundsQ{};
    if (HostErr err = sArt->GetArtBounds(p, &boundsP)) return err;
    if (HostErr err = sArt->GetArtBounds(q, &boundsQ)) return err;
    if (TouchingPairs::Overlap(TouchingPairs::Grown(boundsP), TouchingPairs::Grown(boundsQ)) && pairs->Touching(p, q)) {
        if (HostErr err = pairs->Record(keyA, keyB)) return err;
    }
    return ClearLayerArt(pairs->scratchLayer());
}

}  // namespace orbalis::testing
