#include "host/suites/SuiteSupport.h"
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

HostErr GetArtType(HostArt handle, int32_t* type) {
    HOST_OPERATION("GetArtType");
    HOST_ART(art, handle);
    if (!type) return kHostBadParameterErr;
    *type = art->type();
    return 0;
}

HostErr GetArtUserAttr(HostArt handle, int32_t mask, int32_t* attr) {
    HOST_OPERATION("GetArtUserAttr");
    HOST_ART(art, handle);
    if (!attr) return kHostBadParameterErr;
    int32_t value = art->attributes() & ~kHostArtSelected;
    if (art->answersSelected()) value |= kHostArtSelected;
    // A layer's group is hidden and locked with its layer.
    if (const Layer* layer = art->ownerLayer()) {
        if (!layer->visible) value |= kHostArtHidden;
        if (!layer->editable) value |= kHostArtLocked;
    }
    *attr = value & mask;
    return 0;
}

HostErr SetArtUserAttr(HostArt handle, int32_t mask, int32_t attr) {
    HOST_OPERATION("SetArtUserAttr");
    HOST_ART(art, handle);
    if (Layer* layer = art->ownerLayer()) {
        if (mask & kHostArtHidden) layer->visible = !(attr & kHostArtHidden);
        if (mask & kHostArtLocked) layer->editable = !(attr & kHostArtLocked);
        mask &= ~(kHostArtHidden | kHostArtLocked);
    }
    art->document()->setAttributes(art, mask & kUserAttributes, attr);
    return 0;
}

template <Art* (Art::*Relative)() const>
HostErr Related(HostArt handle, HostArt* out) {
    HOST_ART(art, handle);
    if (!out) return kHostBadParameterErr;
    *out = Document::toHandle((art->*Relative)());
    return 0;
}

HostErr GetArtParent(HostArt handle, HostArt* out) {
    HOST_OPERATION("GetArtParent");
    return Related<&Art::parent>(handle, out);
}

HostErr GetArtFirstChild(HostArt handle, HostArt* out) {
    HOST_OPERATION("GetArtFirstChild");
    return Related<&Art::firstChild>(handle, out);
}

HostErr GetArtLastChild(HostArt handle, HostArt* out) {
    HOST_OPERATION("GetArtLastChild");
    return Related<&Art::lastChild>(handle, out);
}

HostErr GetArtSibling(HostArt handle, HostArt* out) {
    HOST_OPERATION("GetArtSibling");
    return Related<&Art::next>(handle, out);
}

HostErr GetArtPriorSibling(HostArt handle, HostArt* out) {
    HOST_OPERATION("GetArtPriorSibling");
    return Related<&Art::prev>(handle, out);
}

HostErr GetFirstArtOfLayer(HostLayer handle, HostArt* group) {
    HOST_OPERATION("GetFirstArtOfLayer");
    HOST_LAYER(layer, handle);
    if (!group) return kHostBadParameterErr;
    *group = Document::toHandle(layer->group());
    return 0;
}

HostErr GetLayerOfArt(HostArt handle, HostLayer* out) {
    HOST_OPERATION("GetLayerOfArt");
    HOST_ART(art, handle);
    if (!out) return kHostBadParameterErr;
    *out = Document::toHandle(art->document()->layerOf(art));
    return 0;
}

HostErr NewArt(int32_t type, int32_t paintOrder, HostArt prepHandle, HostArt* out) {
    HOST_OPERATION("NewArt");
    HOST_DOCUMENT(document);
    Art* prep = nullptr;
    if (prepHandle && !(prep = Document::fromHandle(prepHandle))) return kHostBadParameterErr;
    if (!out || type <= kHostUnknownArt) return kHostBadParameterErr;
    Art* art = nullptr;
    if (HostErr err = document->newArt(type, paintOrder, prep, &art)) return err;
    if (PathData* path = art->path()) path->style = NewPathStyle();
    *out = Document::toHandle(art);
    return 0;
}

HostErr DisposeArt(HostArt handle) {
    HOST_OPERATION("DisposeArt");
    HOST_ART(art, handle);
    return art->document()->disposeArt(art);
}

HostErr DuplicateArt(HostArt handle, int32_t paintOrder, HostArt prepHandle, HostArt* out) {
    HOST_OPERATION("DuplicateArt");
    HOST_ART(art, handle);
    Art* prep = nullptr;
    if (prepHandle && !(prep = Document::fromHandle(prepHandle))) return kHostBadParameterErr;
    Art* copy = nullptr;
    if (HostErr err = art->document()->duplicateArt(art, paintOrder, prep, &copy)) return err;
    if (out) *out = Document::toHandle(copy);
    return 0;
}

HostErr ReorderArt(HostArt handle, int32_t paintOrder, HostArt prepHandle) {
    HOST_OPERATION("ReorderArt");
    HOST_ART(art, handle);
    Art* prep = nullptr;
    if (prepHandle && !(prep = Document::fromHandle(prepHandle))) return kHostBadParameterErr;
    return art->document()->reorderArt(art, paintOrder, prep);
}

HostErr GetArtBounds(HostArt handle, HostRect* bounds) {
    HOST_OPERATION("GetArtBounds");
    HOST_ART(art, handle);
    if (!bounds) return kHostBadParameterErr;
    return art->document()->bounds(art, bounds) ? 0 : kHostNoBoundsErr;
}

HostErr GetArtName(HostArt handle, HostString name, HostBool* isDefaultName) {
    HOST_OPERATION("GetArtName");
    HOST_ART(art, handle);
    StringObject* s = StringOf(name);
    if (!s) return kHostBadParameterErr;
    SetFromUtf8(*s, art->name.empty() ? DefaultName(art->type()) : art->name);
    if (isDefaultName) *isDefaultName = art->name.empty();
    return 0;
}

HostErr SetArtName(HostArt handle, HostString name) {
    HOST_OPERATION("SetArtName");
    HOST_ART(art, handle);
    StringObject* s = StringOf(name);
    if (!s) return kHostBadParameterErr;
    art->name = ToUtf8(*s);
    return 0;
}

HostErr ValidArt(HostArt handle, HostBool* valid) {
    HOST_OPERATION("ValidArt");
    if (!valid) return kHostBadParameterErr;
    *valid = Document::fromHandle(handle) != nullptr;
    return 0;
}

}  // namespace

const HostArtSuite& ArtSuite() {
    static const HostArtSuite suite{
        GetArtType,         GetArtUserAttr, SetArtUserAttr, GetArtParent,
        GetArtFirstChild,   GetArtLastChild, GetArtSibling, GetArtPriorSibling,
        GetFirstArtOfLayer, GetLayerOfArt,  NewArt,         DisposeArt,
        DuplicateArt,       ReorderArt,     GetArtBounds,   GetArtName,
        SetArtName,         ValidArt};
    return suite;
}

}  // namespace orbalis::host
