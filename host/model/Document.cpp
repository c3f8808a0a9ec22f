#include "host/model/Document.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

#include "host/model/Bounds.h"
#include "host/model/Geometry.h"

namespace orbalis::host {

const handles::HandleKind Art::kKind("art");
const handles::HandleKind Layer::kKind("layer");

// The table is made first, so that it outlives every document.
Document::Document() { handles::Handles(); }

Document::~Document() { handles::Handles().DisposeAll(this); }

Art* Document::allocate(int32_t type) {
    Art* art = new (store_.allocate()) Art(this, type);
    art->handle_ = handles::Handles().Add(Art::kKind, art, &Document::destroy, this);
    if (!art->handle_) throw std::bad_alloc();  // the table is full; the object is gone
    ++liveArt_;
    return art;
}

void Document::destroy(void* object) {
    Art* art = static_cast<Art*>(object);
    Document& document = *art->document_;
    // Its slot may hold a new object soon, which must not inherit this one's
    // place in a mapping.
    if (document.inTurn_.parent == art || document.inTurn_.next == art) document.inTurn_.parent = nullptr;
    ArtStore& store = document.store_;
    art->~Art();
    store.deallocate(art);
}

void Document::release(Art* art) {
    --liveArt_;
    handles::Handles().Dispose(art->handle_, Art::kKind, this);
}

// ---------------------------------------------------------------- layers

Layer* Document::parentLayer(const Layer* layer) const {
    Art* parent = layer->group_->parent_;
    while (parent && !parent->ownerLayer_) parent = parent->parent_;
    return parent ? parent->ownerLayer_ : nullptr;
}

Layer* Document::firstSublayer(const Layer* layer) const {
    for (Art* child = layer->group_->firstChild_; child; child = child->next_)
        if (child->ownerLayer_) return child->ownerLayer_;
    return nullptr;
}

Layer* Document::nextSiblingLayer(const Layer* layer) const {
    if (!layer->group_->parent_) {
        auto it = std::find(topLayers_.begin(), topLayers_.end(), layer);
        if (it == topLayers_.end() || it + 1 == topLayers_.end()) return nullptr;
        return *(it + 1);
    }
    for (Art* a = layer->group_->next_; a; a = a->next_)
        if (a->ownerLayer_) return a->ownerLayer_;
    return nullptr;
}

Layer* Document::prevSiblingLayer(const Layer* layer) const {
    if (!layer->group_->parent_) {
        auto it = std::find(topLayers_.begin(), topLayers_.end(), layer);
        if (it == topLayers_.end() || it == topLayers_.begin()) return nullptr;
        return *(it - 1);
    }
    for (Art* a = layer->group_->prev_; a; a = a->prev_)
        if (a->ownerLayer_) return a->ownerLayer_;
    return nullptr;
}

Layer* Document::nextNonChildPreorderLayer(const Layer* layer) const {
    for (const Layer* l = layer; l; l = parentLayer(l))
        if (Layer* next = nextSiblingLayer(l)) return next;
    return nullptr;
}

Layer* Document::nextPreorderLayer(const Layer* layer) const {
    if (Layer* child = firstSublayer(layer)) return child;
    return nextNonChildPreorderLayer(layer);
}

std::vector<Layer*> Document::allLayers() const {
    std::vector<Layer*> out;
    for (Layer* l = topLayers_.empty() ? nullptr : topLayers_.front(); l; l = nextPreorderLayer(l)) out.push_back(l);
    return out;
}

Layer* Document::layerOf(const Art* art) const {
    while (art && !art->ownerLayer_) art = art->parent_;
    return art ? art->ownerLayer_ : nullptr;
}

HostErr Document::insertLayer(Layer* reference, int32_t paintOrder, Layer** out) {
    if (!out) return kHostBadParameterErr;
    *out = nullptr;
    switch (paintOrder) {
    case kHostPlaceAboveAll:
        if (reference) return kHostBadParameterErr;
        break;
    case kHostPlaceAbove:
    case kHostPlaceBelow:
    case kHostPlaceInsideOnTop:
    case kHostPlaceInsideOnBottom:
        if (!reference) return kHostBadParameterErr;
        break;
    default: return kHostBadParameterErr;
    }

    auto layer = std::unique_ptr<Layer>(new Layer(this));
    Layer* l = layer.get();
    l->handle_ = handles::Handles().Add(Layer::kKind, std::move(layer), this);
    if (!l->handle_) throw std::bad_alloc();
    Art* group = allocate(kHostGroupArt);
    group->ownerLayer_ = l;
    l->group_ = group;

    switch (paintOrder) {
    case kHostPlaceAboveAll: topLayers_.insert(topLayers_.begin(), l); break;
    case kHostPlaceAbove:
    case kHostPlaceBelow:
        if (!reference->group_->parent_) {
            auto it = std::find(topLayers_.begin(), topLayers_.end(), reference);
            if (paintOrder == kHostPlaceBelow) ++it;
            topLayers_.insert(it, l);
        } else {
            Art* ref = reference->group_;
            link(group, ref->parent_, paintOrder == kHostPlaceAbove ? ref : ref->next_);
        }
        break;
    case kHostPlaceInsideOnTop: link(group, reference->group_, reference->group_->firstChild_); break;
    case kHostPlaceInsideOnBottom: link(group, reference->group_, nullptr); break;
    }
    if (!current_) current_ = l;
    changed();
    *out = l;
    return 0;
}

HostErr Document::deleteLayer(Layer* layer) {
    if (!layer) return kHostBadParameterErr;
    const bool top = !layer->group_->parent_;
    if (top && topLayers_.size() == 1) return kHostBadParameterErr;

    // Every layer inside goes too.
    std::vector<Layer*> doomed;
    std::vector<Art*> inside;
    collectLayerArt(layer, inside);
    for (Art* a : inside)
        if (a->ownerLayer_) doomed.push_back(a->ownerLayer_);
    const bool currentDoomed = std::find(doomed.begin(), doomed.end(), current_) != doomed.end();

    Layer* fallback = nullptr;
    if (top) {
        topLayers_.erase(std::find(topLayers_.begin(), topLayers_.end(), layer));
        fallback = topLayers_.front();
    } else {
        fallback = parentLayer(layer);
        unlink(layer->group_);
    }
    bury(layer->group_);
    for (Layer* l : doomed) handles::Handles().Dispose(l->handle_, Layer::kKind, this);
    if (currentDoomed) current_ = fallback;
    changed();
    return 0;
}

HostErr Document::setCurrentLayer(Layer* layer) {
    if (!layer) return kHostBadParameterErr;
    current_ = layer;
    return 0;
}

// ---------------------------------------------------------------- art tree

void Document::link(Art* art, Art* parent, Art* before) {
    ++treeRevision_;
    art->parent_ = parent;
    art->next_ = before;
    art->prev_ = before ? before->prev_ : parent->lastChild_;
    if (art->prev_)
        art->prev_->next_ = art;
    else
        parent->firstChild_ = art;
    if (before)
        before->prev_ = art;
    else
        parent->lastChild_ = art;
    if (art->selectedInside_) adjustSelected(parent, art->selectedInside_);
    invalidate(parent);
}

void Document::unlink(Art* art) {
    Art* parent = art->parent_;
    if (!parent) return;
    ++treeRevision_;
    if (art->prev_)
        art->prev_->next_ = art->next_;
    else
        parent->firstChild_ = art->next_;
    if (art->next_)
        art->next_->prev_ = art->prev_;
    else
        parent->lastChild_ = art->prev_;
    art->parent_ = art->prev_ = art->next_ = nullptr;
    if (art->selectedInside_) adjustSelected(parent, -art->selectedInside_);
    invalidate(parent);
}

bool Document::canEditInside(const Art* container) const {
    if (!container || !container->isContainer()) return false;
    for (const Art* a = container; a; a = a->parent_) {
        if (a->attributes_ & (kHostArtLocked | kHostArtHidden)) return false;
        if (a->ownerLayer_ && (!a->ownerLayer_->editable || !a->ownerLayer_->visible)) return false;
    }
    return true;
}

bool Document::editableObject(const Art* art) const {
    if (art->attributes_ & (kHostArtLocked | kHostArtHidden)) return false;
    return !art->parent_ || canEditInside(art->parent_);
}

HostErr Document::place(Art* art, int32_t paintOrder, Art* prep) {
    if (!prep) {
        if (paintOrder != kHostPlaceInsideOnTop && paintOrder != kHostPlaceInsideOnBottom) return kHostBadParameterErr;
        if (!current_) return kHostNoDocumentErr;
        prep = current_->group_;
    }
    Art* parent = nullptr;
    Art* before = nullptr;
    switch (paintOrder) {
    case kHostPlaceAbove:
    case kHostPlaceBelow:
        if (!prep->parent_ || prep == art) return kHostBadParameterErr;
        parent = prep->parent_;
        before = paintOrder == kHostPlaceAbove ? prep : prep->next_;
        break;
    case kHostPlaceInsideOnTop:
    case kHostPlaceInsideOnBottom:
        if (!prep->isContainer()) return kHostBadParameterErr;
        parent = prep;
        before = paintOrder == kHostPlaceInsideOnTop ? prep->firstChild_ : nullptr;
        break;
    default: return kHostBadParameterErr;
    }
    for (const Art* a = parent; a; a = a->parent_)
        if (a == art) return kHostBadParameterErr;  // into its own subtree
    if (parent->type_ == kHostCompoundPathArt && art->type_ != kHostPathArt) return kHostBadParameterErr;
    // A locked or hidden layer keeps the art already in it from being edited,
    // but takes new and moved art; locked or hidden art takes none.
    for (const Art* a = parent; a; a = a->parent_)
        if (a->attributes_ & (kHostArtLocked | kHostArtHidden)) return kHostLockedErr;
    if (before == art) before = art->next_;
    unlink(art);
    link(art, parent, before);
    changed();
    return 0;
}

HostErr Document::newArt(int32_t type, int32_t paintOrder, Art* prep, Art** out) {
    if (!out) return kHostBadParameterErr;
    *out = nullptr;
    Art* art = allocate(type);
    switch (type) {
    case kHostPathArt: art->data = PathData{}; break;
    case kHostPlacedArt: art->data = PlacedData{}; break;
    case kHostRasterArt: art->data = RasterData{}; break;
    case kHostTextFrameArt: art->data = TextData{}; break;
    case kHostSymbolArt: art->data = SymbolData{}; break;
    case kHostGroupArt:
    case kHostCompoundPathArt: break;
    default: art->data = ForeignData{}; break;
    }
    if (HostErr err = place(art, paintOrder, prep)) {
        release(art);
        return err;
    }
    *out = art;
    return 0;
}

Art* Document::copyTree(const Art* source) {
    Art* copy = allocate(source->type_);
    copy->attributes_ = source->attributes_ & ~kHostArtSelected;
    copy->name = source->name;
    copy->tags = source->tags;
    copy->foreignAttributes = source->foreignAttributes;
    copy->data = source->data;
    for (const Art* child = source->firstChild_; child; child = child->next_) link(copyTree(child), copy, nullptr);
    return copy;
}

HostErr Document::duplicateArt(Art* art, int32_t paintOrder, Art* prep, Art** out) {
    if (!out) return kHostBadParameterErr;
    *out = nullptr;
    if (!art || art->ownerLayer_) return kHostBadParameterErr;
    Art* copy = copyTree(art);
    if (HostErr err = place(copy, paintOrder, prep)) {
        bury(copy);
        return err;
    }
    *out = copy;
    return 0;
}

HostErr Document::reorderArt(Art* art, int32_t paintOrder, Art* prep) {
    if (!art || art->ownerLayer_ || !art->parent_) return kHostBadParameterErr;
    if (!editableObject(art)) return kHostLockedErr;
    return place(art, paintOrder, prep);
}

HostErr Document::disposeArt(Art* art) {
    if (!art) return kHostBadParameterErr;
    if (art->ownerLayer_ || !art->parent_) return kHostBadParameterErr;  // layers go with DeleteLayer
    if (!editableObject(art)) return kHostLockedErr;
    for (const Art* a = art->firstChild_; a;) {
        if (a->attributes_ & (kHostArtLocked | kHostArtHidden)) return kHostLockedErr;
        if (a->firstChild_) {
            a = a->firstChild_;
            continue;
        }
        while (a && !a->next_ && a->parent_ != art) a = a->parent_;
        a = a ? a->next_ : nullptr;
    }
    unlink(art);
    bury(art);
    changed();
    return 0;
}

void Document::bury(Art* art) {
    for (Art* child = art->firstChild_; child;) {
        Art* next = child->next_;
        bury(child);
        child = next;
    }
    if (Art* path = art->framePath_) bury(path);
    release(art);
}

void Document::adjustSelected(Art* from, int32_t delta) {
    for (Art* a = from; a; a = a->parent_) a->selectedInside_ += delta;
}

void Document::setAttributes(Art* art, int32_t mask, int32_t value) {
    const int32_t before = art->attributes_;
    art->attributes_ = (before & ~mask) | (value & mask);
    const bool wasSelected = before & kHostArtSelected;
    const bool isSelected = art->attributes_ & kHostArtSelected;
    if (wasSelected != isSelected) adjustSelected(art, isSelected ? 1 : -1);
    if (art->attributes_ != before) changed();
}

void Document::deselectAll() {
    // Every object of the document, inside layers or not.
    for (uintptr_t handle : handles::Handles().Handles(Art::kKind, this)) {
        Art* art = handles::Handles().FindOfAnyOwner<Art>(handle, Art::kKind);
        if (art->attributes_ & kHostArtSelected) setAttributes(art, kHostArtSelected, 0);
    }
}

void Document::deselectLayer(Layer* layer) {
    Art* root = layer->group_;
    // Pre-order through the subtrees that hold a selected object.
    for (Art* a = root; a;) {
        if (a->attributes_ & kHostArtSelected) setAttributes(a, kHostArtSelected, 0);
        if (a->firstChild_ && a->selectedInside_) {
            a = a->firstChild_;
            continue;
        }
        while (a != root && !a->next_) a = a->parent_;
        a = a == root ? nullptr : a->next_;
    }
}

HostPoint Document::currentViewCenter() const {
    if (viewCenter) return *viewCenter;
    return {(artboard.left + artboard.right) / 2, (artboard.top + artboard.bottom) / 2};
}

template <typename Visit>
void Document::forEachSelected(Visit visit) const {
    for (Layer* layer : topLayers_) {
        Art* a = layer->group_;
        if (!a->selectedInside_) continue;
        // Pre-order, skipping subtrees with nothing selected.
        while (a) {
            if (a->selectedInside_) {
                visit(a);
                if (a->firstChild_) {
                    a = a->firstChild_;
                    continue;
                }
            }
            while (a && !a->next_ && a != layer->group_) a = a->parent_;
            if (!a || a == layer->group_) break;
            a = a->next_;
        }
    }
}

void Document::collectSelected(std::vector<Art*>& out) const {
    out.clear();
    forEachSelected([&out](Art* a) { out.push_back(a); });
}

void Document::collectSelected(std::vector<HostArt>& out) const {
    out.clear();
    forEachSelected([&out](Art* a) { out.push_back(toHandle(a)); });
}

template <typename Visit>
void Document::forEachInLayer(const Layer* layer, Visit visit) const {
    Art* root = layer->group_;
    for (Art* a = root; a;) {
        visit(a);
        if (a->firstChild_) {
            a = a->firstChild_;
            continue;
        }
        while (a && a != root && !a->next_) a = a->parent_;
        if (!a || a == root) break;
        a = a->next_;
    }
}

void Document::collectLayerArt(const Layer* layer, std::vector<Art*>& out) const {
    out.clear();
    forEachInLayer(layer, [&out](Art* a) { out.push_back(a); });
}

// Kept with the layer until the tree's links change: transforming and
// restyling art, the bulk of a map command's edits, leave the set as it is.
void Document::collectLayerArt(const Layer* layer, std::vector<HostArt>& out) const {
    if (layer->artSetRevision_ != treeRevision_) {
        std::vector<HostArt>& set = layer->artSet_;
        set.clear();
        forEachInLayer(layer, [&set](Art* a) { set.push_back(toHandle(a)); });
        layer->artSetRevision_ = treeRevision_;
    }
    out = layer->artSet_;
}

// ---------------------------------------------------------------- bounds

// Every object above an object whose box is not known has none known
// either, so the walk up stops at the first; the container mapped in turn
// has none known while it is, so it is looked for first.
void Document::invalidate(Art* art) {
    for (Art* a = art; a; a = a->parent_) {
        if (a == inTurn_.parent) inTurn_.parent = nullptr;
        if (!a->boundsKnown_) return;
        a->boundsKnown_ = false;
    }
}

Art* Document::framePathOf(Art* text) {
    auto* data = std::get_if<TextData>(&text->data);
    if (!data || data->frameKind == 0) return nullptr;
    if (!text->framePath_) {
        Art* path = allocate(kHostPathArt);
        path->data = PathData{.segments = data->path, .closed = data->pathClosed};
        path->frameOwner_ = text;
        text->framePath_ = path;
    }
    return text->framePath_;
}

void Document::touch(Art* art) {
    if (Art* text = art->frameOwner_) {
        if (auto* data = std::get_if<TextData>(&text->data)) {
            data->path = art->path()->segments;
            data->pathClosed = art->path()->closed;
        }
        // The frame path object's own bounds change with it.
        art->boundsKnown_ = false;
        art = text;
    } else if (Art* path = art->framePath_) {
        if (auto* data = std::get_if<TextData>(&art->data)) {
            path->path()->segments = data->path;
            path->path()->closed = data->pathClosed;
        }
        path->boundsKnown_ = false;
    }
    // A changed object also changes its parents' bounds, even when its own
    // cache was already empty.
    art->boundsKnown_ = false;
    invalidate(art->parent_);
    changed();
}

namespace {

// The children of a container made one after another lie at a steady
// distance from each other in the store (a group and its contents, the next
// group and its contents, ...), too far apart for the processor to see the
// pattern, and a walk of the sibling links waits for each in turn. Fetching
// the child as far on as eight such steps, from the last step's distance,
// takes the waiting off the walk. A hint only: where the distances vary,
// a line is fetched for nothing.
void PrefetchByStride(const Art* child, uintptr_t& previous) {
    const uintptr_t here = reinterpret_cast<uintptr_t>(child);
    if (previous) {
        const uintptr_t ahead = here + 8 * (here - previous);
        __builtin_prefetch(reinterpret_cast<const void*>(ahead));
        __builtin_prefetch(reinterpret_cast<const void*>(ahead + 64));
    }
    previous = here;
}

}  // namespace

void Document::computeBounds(const Art* art) const {
    HostRect r{};
    bool has = false;
    auto add = [&](const HostRect& b) {
        if (!has) {
            r = b;
            has = true;
        } else {
            r.left = std::min(r.left, b.left);
            r.right = std::max(r.right, b.right);
            r.bottom = std::min(r.bottom, b.bottom);
            r.top = std::max(r.top, b.top);
        }
    };
    bool fromAnchors = true;
    if (art->isContainer() || art->type_ == kHostGroupArt) {
        uintptr_t previous = 0;
        for (const Art* child = art->firstChild_; child; child = child->next_) {
            PrefetchByStride(child, previous);
            HostRect b;
            if (bounds(child, &b)) add(b);
            fromAnchors = fromAnchors && child->boundsFromAnchors_;
        }
    } else {
        has = ArtDataBounds(*this, *art, &r, &fromAnchors);
    }
    art->bounds_ = r;
    art->hasBounds_ = has;
    art->boundsFromAnchors_ = fromAnchors;
    art->boundsKnown_ = true;
}

inline bool Document::boundsCarriedBy(const Art* art, const HostMatrix& m) const {
    if (!art->boundsKnown_ || !art->boundsFromAnchors_ || m.b != 0 || m.c != 0) return false;
    // Finite: zero times each side is zero (an infinity or a NaN gives NaN).
    const HostRect& r = art->bounds_;
    return !art->hasBounds_ || 0 * r.left + 0 * r.top + 0 * r.right + 0 * r.bottom == 0;
}

std::optional<Document::MappedBounds> Document::boundsAfterMapping(const Art* art, const HostMatrix& m) const {
    if (!boundsCarriedBy(art, m)) return std::nullopt;
    if (!art->hasBounds_) return MappedBounds{};
    return MappedBounds{true, TransformRect(m, art->bounds_)};
}

Document::MappingStep Document::beginMapping(const Art* art, const HostMatrix& m) {
    MappingStep step;
    const PathData* path = art->path();
    if (path && !path->segments.empty() && art->hasBounds_ && boundsCarriedBy(art, m)) {
        step.own = MappedBounds{true, {}};
        step.fromMappedAnchors = true;
    } else {
        step.own = boundsAfterMapping(art, m);
    }
    const Art* parent = art->parent_;
    // A text and its frame path object answer each other's edits: their
    // parents are left to recompute. A container's contents start turns of
    // their own while it is mapped.
    if (!step.own || !parent || art->isContainer() || art->frameOwner_ || art->framePath_) return step;
    // The turn goes on with the very same matrix, to the bit.
    if (inTurn_.parent == parent && inTurn_.next == art && std::memcmp(&inTurn_.m, &m, sizeof m) == 0) {
        step.parent = parent;
    } else if (art == parent->firstChild_) {
        if (std::optional<MappedBounds> box = boundsAfterMapping(parent, m)) {
            inTurn_ = {nullptr, nullptr, m, *box};
            step.parent = parent;
        }
    }
    return step;
}

// The turn's matrix and box stay while the object is mapped: only the
// object's own edits come between, and they can end the turn, not start one.
void Document::endMapping(const Art* art, const MappingStep& step) {
    if (step.own) keepMappedBounds(art, *step.own);
    if (!step.parent || art->parent_ != step.parent) return;
    if (art->next_) {
        inTurn_.parent = step.parent;
        inTurn_.next = art->next_;
    } else {
        keepMappedBounds(step.parent, inTurn_.box);
        inTurn_.parent = nullptr;
    }
}

void Document::keepMappedBounds(const Art* art, const MappedBounds& bounds) const {
    art->bounds_ = bounds.rect;
    art->hasBounds_ = bounds.has;
    art->boundsFromAnchors_ = true;
    art->boundsKnown_ = true;
}

// ---------------------------------------------------------------- symbols

Art* Document::newSymbolDefinition(const std::string& name) {
    Art* group = allocate(kHostGroupArt);
    symbols_.push_back({name, group});
    return group;
}

const SymbolDefinition* Document::findSymbol(const std::string& name) const {
    for (const auto& s : symbols_)
        if (s.name == name) return &s;
    return nullptr;
}

}  // namespace orbalis::host
