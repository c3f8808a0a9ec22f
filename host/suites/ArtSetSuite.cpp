#include "host/suites/OperationGate.h"
#include "host/suites/SuiteTables.h"

namespace orbalis::host {
namespace {

HostErr NewArtSet(HostArtSet* out) { return NewHandle<ArtSetObject>(out); }

HostErr DisposeArtSet(HostArtSet& handle) {
    if (HostErr err = DisposeHandle<ArtSetObject>(handle)) return err;
    handle = nullptr;
    return 0;
}

HostErr CountArtSet(ArtSetObject& set, size_t& count) {
    count = set.arts.size();
    return 0;
}

// An object disposed of after it was collected reads as null.
HostErr IndexArtSet(ArtSetObject& set, size_t index, HostArt& art) {
    if (index >= set.arts.size()) return kHostIndexErr;
    const HostArt a = set.arts[index];
    art = Document::fromHandle(a) ? a : nullptr;
    // Sets are mostly read in order, object by object: start fetching the
    // object a few places on, so that its reading overlaps with this one's.
    constexpr size_t kAhead = 12;
    if (index + kAhead < set.arts.size())
        handles::Handles().Prefetch(reinterpret_cast<uintptr_t>(set.arts[index + kAhead]));
    return 0;
}

HostErr SelectedArtSet(Document& document, ArtSetObject& set) {
    document.collectSelected(set.arts);
    return 0;
}

HostErr LayerArtSet(Layer& layer, ArtSetObject& set) {
    layer.document()->collectLayerArt(&layer, set.arts);
    return 0;
}

HostErr AddArtToArtSet(ArtSetObject& set, Art& art) {
    set.arts.push_back(Document::toHandle(&art));
    return 0;
}

HostErr ClearArtSet(ArtSetObject& set) {
    set.arts.clear();
    return 0;
}

}  // namespace

const HostArtSetSuite& ArtSetSuite() {
    return SuiteTable<HostArtSetSuite, NewArtSet, DisposeArtSet, CountArtSet, IndexArtSet, SelectedArtSet, LayerArtSet,
                      AddArtToArtSet, ClearArtSet>;
}

}  // namespace orbalis::host
