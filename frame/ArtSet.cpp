#include "frame/ArtSet.h"

#include "frame/HostSuites.h"

namespace orbalis {

namespace {
constexpr int32_t kLockedOrHidden = kHostArtLocked | kHostArtHidden;
}

void CArtSet::Release() {
    if (set_) sArtSet->DisposeArtSet(&set_);
    set_ = nullptr;
    count_ = 0;
}

HostErr CArtSet::Renew() {
    Release();
    return sArtSet->NewArtSet(&set_);
}

HostErr CArtSet::FillFromSelection() {
    if (HostErr err = Renew()) return err;
    if (HostErr err = sArtSet->SelectedArtSet(set_)) return err;
    size_t size = 0;
    if (HostErr err = sArtSet->CountArtSet(set_, &size)) {
        Release();
        return err;
    }
    count_ = size;
    return 0;
}

void CArtSet::FillFromLayer(HostLayer layer) {
    if (!layer) {
        Release();
        return;
    }
    size_t size = 0;
    if (Renew() || sArtSet->LayerArtSet(layer, set_) || sArtSet->CountArtSet(set_, &size)) {
        Release();
        return;
    }
    count_ = size;
}

HostArt CArtSet::At(int32_t index) const {
    if (index < 0 || static_cast<uint64_t>(index) >= count_) return nullptr;
    HostArt art = nullptr;
    if (sArtSet->IndexArtSet(set_, static_cast<size_t>(index), &art)) return nullptr;
    return art;
}

HostErr UnlockArtTree(HostArt art, bool includeFollowingSiblings) {
    if (HostErr err = sArt->SetArtUserAttr(art, kLockedOrHidden, 0)) return err;
    HostArt child = nullptr;
    if (HostErr err = sArt->GetArtFirstChild(art, &child)) return err;
    if (child) {
        if (HostErr err = UnlockArtTree(child, true)) return err;
    }
    if (includeFollowingSiblings) {
        HostArt sibling = nullptr;
        if (HostErr err = sArt->GetArtSibling(art, &sibling)) return err;
        while (sibling) {
            if (HostErr err = UnlockArtTree(sibling, false)) return err;
            if (HostErr err = sArt->GetArtSibling(sibling, &sibling)) return err;
        }
    }
    return 0;
}

HostErr ClearLayerArt(HostLayer layer) {
    HostBool editable = 1, visible = 1;
    if (HostErr err = sLayer->GetLayerEditable(layer, &editable)) return err;
    if (HostErr err = sLayer->GetLayerVisible(layer, &visible)) return err;

    HostErr err = sLayer->SetLayerEditable(layer, 1);
    if (!err) err = sLayer->SetLayerVisible(layer, 1);

    HostArt group = nullptr, child = nullptr;
    if (!err) err = sArt->GetFirstArtOfLayer(layer, &group);
    if (!err) err = sArt->GetArtFirstChild(group, &child);
    while (!err && child) {
        err = sArt->SetArtUserAttr(child, kLockedOrHidden, 0);
        HostArt grandchild = nullptr;
        if (!err) err = sArt->GetArtFirstChild(child, &grandchild);
        if (!err && grandchild) err = UnlockArtTree(grandchild, true);
        HostArt next = nullptr;
        if (!err) err = sArt->GetArtSibling(child, &next);
        if (!err) err = sArt->DisposeArt(child);
        child = next;
    }

    // Put the layer's flags back, also after an error.
    const HostErr restoreEditable = sLayer->SetLayerEditable(layer, editable);
    const HostErr restoreVisible = sLayer->SetLayerVisible(layer, visible);
    if (err) return err;
    return restoreEditable ? restoreEditable : restoreVisible;
}

}  // namespace orbalis
