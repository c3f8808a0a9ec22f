#include "host/model/ArtStore.h"
#include "host/suites/OperationGate.h"
#include "host/suites/SuiteTables.h"

namespace orbalis::host {
namespace {

constexpr int32_t kUserAttributes = kHostArtSelected | kHostArtLocked | kHostArtHidden;

const char* DefaultName(int32_t type) {
    switch (type) {
    case kHostGroupArt: return "<Group>";
    case kHostPathArt: return "<Path>";
    case kHostCompoundPathArt: return "<Compound Path>";
    case kHostPlacedArt: return "<Linked File>";
    case kHostRasterArt: return "<Image>";
    case kHostTextFrameArt: return "<Text>";
    case kHostSymbolArt: return "<Symbol>";
    default: return "<Object>";
    }
}

HostErr GetArtType(Art& art, int32_t& type) {
    type = art.type();
    return 0;
}

HostErr GetArtUserAttr(Art& art, int32_t mask, int32_t& attr) {
    int32_t value = art.attributes() & ~kHostArtSelected;
    if (art.answersSelected()) value |= kHostArtSelected;
    // A layer's group is hidden and locked with its layer.
    if (const Layer* layer = art.ownerLayer()) {
        if (!layer->visible) value |= kHostArtHidden;
        if (!layer->editable) value |= kHostArtLocked;
    }
    attr = value & mask;
    return 0;
}

HostErr SetArtUserAttr(Art& art, int32_t mask, int32_t attr) {
    if (Layer* layer = art.ownerLayer()) {
        if (mask & kHostArtHidden) layer->visible = !(attr & kHostArtHidden);
        if (mask & kHostArtLocked) layer->editable = !(attr & kHostArtLocked);
        mask &= ~(kHostArtHidden | kHostArtLocked);
    }
    art.document()->setAttributes(&art, mask & kUserAttributes, attr);
    return 0;
}

template <Art* (Art::*Relative)() const>
HostErr Related(Art& art, HostArt& out) {
    const Art* relative = (art.*Relative)();
    if (relative) ArtStore::prefetchFollowing(relative);
    out = Document::toHandle(relative);
    return 0;
}

HostErr GetFirstArtOfLayer(Layer& layer, HostArt& group) {
    group = Document::toHandle(layer.group());
    return 0;
}

HostErr GetLayerOfArt(Art& art, HostLayer& out) {
    out = Document::toHandle(art.document()->layerOf(&art));
    return 0;
}

HostErr NewArt(Document& document, int32_t type, int32_t paintOrder, Art* prep, HostArt* out) {
    if (!out || type <= kHostUnknownArt) return kHostBadParameterErr;
    Art* art = nullptr;
    if (HostErr err = document.newArt(type, paintOrder, prep, &art)) return err;
    if (PathData* path = art->path()) path->style = NewPathStyle();
    *out = Document::toHandle(art);
    return 0;
}

HostErr DisposeArt(Art& art) { return art.document()->disposeArt(&art); }

HostErr DuplicateArt(Art& art, int32_t paintOrder, Art* prep, HostArt* out) {
    Art* copy = nullptr;
    if (HostErr err = art.document()->duplicateArt(&art, paintOrder, prep, &copy)) return err;
    if (out) *out = Document::toHandle(copy);
    return 0;
}

HostErr ReorderArt(Art& art, int32_t paintOrder, Art* prep) {
    return art.document()->reorderArt(&art, paintOrder, prep);
}

HostErr GetArtBounds(Art& art, HostRect& bounds) {
    return art.document()->bounds(&art, &bounds) ? 0 : kHostNoBoundsErr;
}

HostErr GetArtName(Art& art, StringObject& name, HostBool* isDefaultName) {
    SetFromUtf8(name, art.name.empty() ? DefaultName(art.type()) : art.name);
    if (isDefaultName) *isDefaultName = art.name.empty();
    return 0;
}

HostErr SetArtName(Art& art, StringObject& name) {
    art.name = ToUtf8(name);
    return 0;
}

HostErr ValidArt(HostArt handle, HostBool& valid) {
    valid = Document::fromHandle(handle) != nullptr;
    return 0;
}

}  // namespace

const HostArtSuite& ArtSuite() {
    return SuiteTable<HostArtSuite, GetArtType, GetArtUserAttr, SetArtUserAttr,
                      Named<"GetArtParent", Related<&Art::parent>>,
                      Named<"GetArtFirstChild", Related<&Art::firstChild>>,
                      Named<"GetArtLastChild", Related<&Art::lastChild>>, Named<"GetArtSibling", Related<&Art::next>>,
                      Named<"GetArtPriorSibling", Related<&Art::prev>>, GetFirstArtOfLayer, GetLayerOfArt, NewArt,
                      DisposeArt, DuplicateArt, ReorderArt, GetArtBounds, GetArtName, SetArtName, ValidArt>;
}

}  // namespace orbalis::host
