#include "host/suites/SuiteSupport.h"
#include "host/suites/SuiteTables.h"

namespace orbalis::host {
namespace {

HostErr NewArtSet(HostArtSet* out) {
    HOST_OPERATION("NewArtSet");
    return NewHandle<ArtSetObject>(out);
}

HostErr DisposeArtSet(HostArtSet* handle) {
    HOST_OPERATION("DisposeArtSet");
    if (!handle) return kHostBadParameterErr;
    if (HostErr err = DisposeHandle<ArtSetObject>(*handle)) return err;
    *handle = nullptr;
    return 0;
}

HostErr CountArtSet(HostArtSet handle, size_t* count) {
    HOST_OPERATION("CountArtSet");
    ArtSetObject* set = ArtSetOf(handle);
    if (!set || !count) return kHostBadParameterErr;
    *count = set->arts.size();
    return 0;
}

// An object disposed of after it was collected reads as null.
HostErr IndexArtSet(HostArtSet handle, size_t index, HostArt* art) {
    HOST_OPERATION("IndexArtSet");
    ArtSetObject* set = ArtSetOf(handle);
    if (!set || !art) return kHostBadParameterErr;
    if (index >= set->arts.size()) return kHostIndexErr;
    const HostArt a = set->arts[index];
    *art = Document::fromHandle(a) ? a : nullptr;
    return 0;
}

HostErr SelectedArtSet(HostArtSet handle) {
    HOST_OPERATION("SelectedArtSet");
    HOST_DOCUMENT(document);
    ArtSetObject* set = ArtSetOf(handle);
    if (!set) return kHostBadParameterErr;
    document->collectSelected(set->arts);
    return 0;
}

HostErr LayerArtSet(HostLayer layerHandle, HostArtSet handle) {
    HOST_OPERATION("LayerArtSet");
    HOST_LAYER(layer, layerHandle);
    ArtSetObject* set = ArtSetOf(handle);
    if (!set) return kHostBadParameterErr;
    layer->document()->collectLayerArt(layer, set->arts);
    return 0;
}

HostErr AddArtToArtSet(HostArtSet handle, HostArt artHandle) {
    HOST_OPERATION("AddArtToArtSet");
    HOST_ART(art, artHandle);
    ArtSetObject* set = ArtSetOf(handle);
    if (!set) return kHostBadParameterErr;
    set->arts.push_back(artHandle);
    return 0;
}

HostErr ClearArtSet(HostArtSet handle) {
    HOST_OPERATION("ClearArtSet");
    ArtSetObject* set = ArtSetOf(handle);
    if (!set) return kHostBadParameterErr;
    set->arts.clear();
    return 0;
}

}  // namespace

const HostArtSetSuite& ArtSetSuite() {
    static const HostArtSetSuite suite{NewArtSet,      DisposeArtSet, CountArtSet,    IndexArtSet,
                                       SelectedArtSet, LayerArtSet,   AddArtToArtSet, ClearArtSet};
    return suite;
}

}  // namespace orbalis::host
