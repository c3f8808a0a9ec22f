#include "mapgeom/IndexedScan.h"

#include <algorithm>

#include "frame/HostSuites.h"
#include "frame/ArtSet.h"
#include "mapgeom/ArtTree.h"

namespace orbalis {

HostErr IndexedScan::Scan(TouchingPairs& target) {
    pairs = &target;
    HostArt top = nullptr;
    if (HostErr err = pairs->Start(&top)) return err;
    if (HostErr err = RememberLayerArt(top)) return err;

    std::vector<HostRect> grown(scanned.size());
    std::vector<bool> indexed(scanned.size());
    for (size_t i = 0; i < scanned.size(); ++i) {
        grown[i] = scanned[i].box;
        indexed[i] = scanned[i].polygon && !scanned[i].keyError && !scanned[i].boundsError;
    }
    boxes = std::make_unique<BoxIndex>(grown, indexed);
    scratchEmpty = pairs->scratchLayer() != nullptr;

    for (size_t t = 0; t < topStarts.size(); ++t) {
        const size_t begin = topStarts[t];
        const size_t end = t + 1 < topStarts.size() ? topStarts[t + 1] : scanned.size();
        if (HostErr err = TouchingPairs::CheckProgress(10)) return err;
        if (HostErr err = TouchingPairs::CheckProgress(10)) return err;
        for (size_t i = begin; i < end; ++i) {
            // The top-level object itself was checked above; each object
            // inside it is checked as the walk reaches it.
            if (i != begin) {
                if (HostErr err = TouchingPairs::CheckProgress(10)) return err;
            }
            if (scanned[i].polygon) {
                if (HostErr err = InnerScan(i)) return err;
            }
        }
    }
    return 0;
}

// Reads every object of the layer once, in scan order. A failure while
// walking the art ends the scan; failures reading a polygon's parent chain or
// bounds are kept and reported by the first pair test that needs them.
HostErr IndexedScan::RememberLayerArt(HostArt firstTop) {
    for (HostArt top = firstTop; top;) {
        const size_t start = scanned.size();
        topStarts.push_back(start);
        Remember(top, start);
        HostArt child = nullptr;
        if (HostErr err = sArt->GetArtFirstChild(top, &child)) return err;
        if (HostErr err = WalkArtTree(child, [&](HostArt art) -> HostErr {
                Remember(art, start);
                return 0;
            }))
            return err;
        if (HostErr err = sArt->GetArtSibling(top, &top)) return err;
    }
    return 0;
}

void IndexedScan::Remember(HostArt art, size_t topStart) {
    ScannedArt entry;
    entry.art = art;
    entry.topStart = topStart;
    entry.polygon = TouchingPairs::IsPolygon(art);
    if (entry.polygon) {
        entry.keyError = pairs->KeyOf(art, &entry.key);
        HostRect bounds{};
        entry.boundsError = sArt->GetArtBounds(art, &bounds);
        entry.box = TouchingPairs::Grown(bounds);
        if (entry.keyError || entry.boundsError) unreadable.push_back(scanned.size());
    }
    scanned.push_back(entry);
}

HostErr IndexedScan::InnerScan(size_t p) {
    const ScannedArt& polygon = scanned[p];
    if (polygon.keyError || polygon.boundsError || !pairs->scratchLayer()) {
        // Every pair from this polygon reaches the test: it reports the
        // polygon's failure, or that there is no scratch layer to empty.
        candidates.clear();
        for (size_t q = polygon.topStart; q < scanned.size(); ++q)
            if (scanned[q].polygon) candidates.push_back(q);
    } else {
        boxes->Query(polygon.box, polygon.topStart, candidates);
        // Polygons whose key or bounds could not be read take part in every
        // scan, so that their failure is met where a full scan meets it.
        if (!unreadable.empty()) {
            for (size_t q : unreadable)
                if (q >= polygon.topStart) candidates.push_back(q);
            std::sort(candidates.begin(), candidates.end());
            candidates.erase(std::unique(candidates.begin(), candidates.end()), candidates.end());
        }
    }
    for (size_t q : candidates) {
        if (q == p) continue;
        if (HostErr err = PairTest(p, q)) return err;
    }
    return 0;
}

HostErr IndexedScan::PairTest(size_t p, size_t q) {
    const ScannedArt& a = scanned[p];
    const ScannedArt& b = scanned[q];
    if (a.keyError) return a.keyError;
    if (b.keyError) return b.keyError;
    if (a.key == b.key || pairs->Paired(a.key, b.key)) return 0;
    if (a.boundsError) return a.boundsError;
    if (b.boundsError) return b.boundsError;

    if (TouchingPairs::Overlap(a.box, b.box)) {
        scratchEmpty = false;
        if (pairs->Touching(a.art, b.art)) {
            if (HostErr err = pairs->Record(a.key, b.key)) return err;
        }
    }
    return EmptyScratchLayer();
}

HostErr IndexedScan::EmptyScratchLayer() {
    if (scratchEmpty) return 0;
    const HostErr err = ClearLayerArt(pairs->scratchLayer());
    scratchEmpty = err == 0;
    return err;
}

}  // namespace orbalis
