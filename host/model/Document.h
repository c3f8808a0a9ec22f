// The stand-in host's document: a tree of layers, each owning a tree of art.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/model/Art.h"
#include "host/model/ArtStore.h"
#include "sdk/HostErrors.h"

namespace orbalis::host {

// A layer of a document. Made and deleted by Document only; a layer is
// freed when it is deleted, and its handle goes stale.
class Layer {
public:
    static const handles::HandleKind kKind;

    Art* group() const { return group_; }
    Document* document() const { return document_; }

    std::string title;  // UTF-8
    bool visible = true;
    bool editable = true;
    NameValues foreignAttributes;

private:
    friend class Document;
    explicit Layer(Document* document) : document_(document) {}
    Document* document_;
    Art* group_ = nullptr;
    uintptr_t handle_ = 0;  // in the process's handle table, owned by the document
    // The layer art set as last collected, and the document's tree revision
    // it was collected at (0: never).
    mutable std::vector<HostArt> artSet_;
    mutable uint64_t artSetRevision_ = 0;
};

// A named symbol definition: art that instances show through their matrix.
struct SymbolDefinition {
    std::string name;
    Art* art = nullptr;  // a group owned by the document, outside every layer
};

class Document {
public:
    // Set by the host when it opens the document: unique for each one it opens.
    uint64_t openSerial = 0;

    Document();
    ~Document();
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    // ---- Layers. Top-level index 0 is the topmost layer.
    const std::vector<Layer*>& topLayers() const { return topLayers_; }
    // Inserts a new, empty, visible and editable layer. Orders: kHostPlaceAboveAll
    // (reference null), above or below `reference`, inside it on top or at the bottom.
    HostErr insertLayer(Layer* reference, int32_t paintOrder, Layer** layer);
    // Deletes the layer with its art and sublayers. The last top-level layer
    // cannot be deleted.
    HostErr deleteLayer(Layer* layer);
    Layer* currentLayer() const { return current_; }
    HostErr setCurrentLayer(Layer* layer);

    Layer* parentLayer(const Layer* layer) const;
    Layer* firstSublayer(const Layer* layer) const;
    Layer* nextSiblingLayer(const Layer* layer) const;
    Layer* prevSiblingLayer(const Layer* layer) const;
    Layer* nextPreorderLayer(const Layer* layer) const;
    Layer* nextNonChildPreorderLayer(const Layer* layer) const;
    // Every layer in pre-order.
    std::vector<Layer*> allLayers() const;
    // The layer that owns the tree holding `art` (null for symbol definitions).
    Layer* layerOf(const Art* art) const;

    // ---- Art.
    // Creates art of `type` placed by paint order relative to `prep`; with a
    // null `prep` the orders inside-on-top and inside-at-bottom use the
    // current layer's group.
    HostErr newArt(int32_t type, int32_t paintOrder, Art* prep, Art** art);
    // Copies `art` and its subtree (data, style, tags, attributes except the
    // selection), placed by paint order relative to `prep`.
    HostErr duplicateArt(Art* art, int32_t paintOrder, Art* prep, Art** copy);
    HostErr reorderArt(Art* art, int32_t paintOrder, Art* prep);
    // Removes art and its subtree. Refused for locked or hidden art, art with
    // locked or hidden contents, and art on a locked or hidden layer.
    HostErr disposeArt(Art* art);
    // Sets the attribute bits of `mask` to those of `value`.
    void setAttributes(Art* art, int32_t mask, int32_t value);
    void deselectAll();
    // Deselects every object in the layer's tree, sublayers included.
    void deselectLayer(Layer* layer);

    // Call after changing an object's data: drops cached bounds up the tree.
    // A text and its frame path object are kept alike: touching one copies
    // its frame path to the other.
    void touch(Art* art);

    // An object's bounds as mapped by a transformation, kept across it.
    struct MappedBounds {
        bool has = false;
        HostRect rect{};
    };
    // What a mapping of one object keeps of the bounds cache: the object's
    // box, and its parent's, mapped rather than recomputed afterwards.
    struct MappingStep {
        std::optional<MappedBounds> own;
        // Set for a path of straight segments: `own` is left for the mapping
        // to fill with the box of the mapped anchor points, which is the box
        // a recomputation gives, and cheaper than mapping the old box.
        bool fromMappedAnchors = false;
        const Art* parent = nullptr;  // set when the parent's box is carried too
    };
    // Before `art` (and everything inside it) is mapped by `m`. Its cached
    // box mapped by `m` is the box a recomputation after the mapping gives,
    // to the bit, where `m` scales and translates each axis without rotating
    // or shearing and the box is finite and that of anchor points alone (a
    // path of straight segments, or a container of such paths): such a
    // mapping keeps the order of the coordinates on each axis. So is the
    // parent's box, once every child from the first has been mapped by the
    // same `m` in turn, as a walk that scales a map does; a child that is a
    // container, mapped with its contents, ends such a turn.
    MappingStep beginMapping(const Art* art, const HostMatrix& m);
    // After the mapping (once touch, or the edits of its contents, dropped
    // the cache): keeps what beginMapping found.
    void endMapping(const Art* art, const MappingStep& step);

    // The path object that stands for an area or on-path text's frame path,
    // made on first use. It lies outside every layer, is read and written
    // like any path, and lives as long as the text.
    Art* framePathOf(Art* text);
    // False for art that has no bounds (an empty group, for example).
    bool bounds(const Art* art, HostRect* rect) const {
        if (!art->boundsKnown_) computeBounds(art);
        if (art->hasBounds_ && rect) *rect = art->bounds_;
        return art->hasBounds_;
    }

    // Whether objects may be added to, removed from or moved within `container`.
    bool canEditInside(const Art* container) const;

    // The selected-art set and the layer art set, in the host's orders, as
    // objects or as their handles.
    void collectSelected(std::vector<Art*>& out) const;
    void collectSelected(std::vector<HostArt>& out) const;
    void collectLayerArt(const Layer* layer, std::vector<Art*>& out) const;
    void collectLayerArt(const Layer* layer, std::vector<HostArt>& out) const;

    // ---- Symbols.
    std::vector<SymbolDefinition>& symbols() { return symbols_; }
    const std::vector<SymbolDefinition>& symbols() const { return symbols_; }
    // A new, empty group outside every layer to hold a symbol's art.
    Art* newSymbolDefinition(const std::string& name);
    const SymbolDefinition* findSymbol(const std::string& name) const;

    // ---- Handles. Art and layers are handed out as entries of the
    // process's handle table, owned by their document. A handle of a live
    // object of any open document finds it; a null, stale or made-up handle,
    // or one of another kind, finds null.
    static Art* fromHandle(HostArt handle) {
        return handles::Handles().FindOfAnyOwner<Art>(reinterpret_cast<uintptr_t>(handle), Art::kKind);
    }
    static Layer* fromHandle(HostLayer handle) {
        return handles::Handles().FindOfAnyOwner<Layer>(reinterpret_cast<uintptr_t>(handle), Layer::kKind);
    }
    static HostArt toHandle(const Art* art) { return art ? reinterpret_cast<HostArt>(art->handle_) : nullptr; }
    static HostLayer toHandle(const Layer* layer) {
        return layer ? reinterpret_cast<HostLayer>(layer->handle_) : nullptr;
    }

    // ---- Document-wide data.
    HostRect artboard{0, 792, 612, 0};  // the page, in points
    // The document point at the centre of the current view; the artboard's
    // centre unless the view was scrolled elsewhere.
    std::optional<HostPoint> viewCenter;
    HostPoint currentViewCenter() const;
    // The user is editing text (a text cursor or a text selection is active).
    bool textFocus = false;
    NameValues foreignAttributes;             // imported file's document-level extras
    std::vector<std::string> foreignContent;  // imported content kept verbatim (e.g. <defs>)
    std::string filePath;                     // the file it was read from (absolute, UTF-8); empty for a new document
    uint64_t revision() const { return revision_; }
    size_t liveArtCount() const { return liveArt_; }
    // Memory held for objects, in use or free for the next ones.
    size_t artBytesReserved() const { return store_.reserved(); }

private:
    // A new object owned by the document, in the handle table; release()
    // frees it and makes its handle stale.
    Art* allocate(int32_t type);
    void release(Art* art);
    // Ends an object's life and gives its slot back to the store; the
    // handle table calls it when the object's handle is disposed of.
    static void destroy(void* art);
    template <typename Visit>
    void forEachSelected(Visit visit) const;
    template <typename Visit>
    void forEachInLayer(const Layer* layer, Visit visit) const;
    void link(Art* art, Art* parent, Art* before);
    void unlink(Art* art);
    HostErr place(Art* art, int32_t paintOrder, Art* prep);
    void bury(Art* art);
    Art* copyTree(const Art* source);
    void adjustSelected(Art* from, int32_t delta);
    void invalidate(Art* art);
    void computeBounds(const Art* art) const;
    bool boundsCarriedBy(const Art* art, const HostMatrix& m) const;
    std::optional<MappedBounds> boundsAfterMapping(const Art* art, const HostMatrix& m) const;
    void keepMappedBounds(const Art* art, const MappedBounds& bounds) const;
    bool editableObject(const Art* art) const;
    void changed() { ++revision_; }

    // Holds every object; the destructor disposes of them all before it goes.
    ArtStore store_;
    std::vector<Layer*> topLayers_;
    Layer* current_ = nullptr;
    std::vector<SymbolDefinition> symbols_;
    size_t liveArt_ = 0;
    // The container whose children are being mapped in turn (null when
    // none is): the child expected next, the matrix, and the container's box
    // once all are. Any edit of the container or inside it, and the death of
    // either object, ends the turn.
    struct MappingInTurn {
        const Art* parent = nullptr;
        const Art* next = nullptr;
        HostMatrix m{};
        MappedBounds box;
    } inTurn_;
    uint64_t revision_ = 0;
    // Counts the changes of the tree's links (every link and unlink).
    uint64_t treeRevision_ = 1;
};

}  // namespace orbalis::host
