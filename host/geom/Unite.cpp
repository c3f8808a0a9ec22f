#include "host/geom/Unite.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <new>
#include <tuple>

#include <geos/geom/Point.h>

#include "host/geom/FillRegion.h"
#include "host/geom/Flatten.h"
#include "host/geom/NearOutlines.h"
#include "host/geom/SharedEdgeUnion.h"

namespace orbalis::host {
namespace {

constexpr int32_t kHiddenOrLocked = kHostArtLocked | kHostArtHidden;

// The filled region of one path or compound path.
struct Outline {
    std::vector<Ring> rings;
    FillRule rule = FillRule::NonZero;
};

// One piece of the union, ready to be written as a path or compound path.
struct Piece {
    PolygonRings rings;
    // Further polygons of the same piece: the lobes of a path whose outline
    // pinches to a point.
    std::vector<PolygonRings> lobes;
    double area = 0;
    double left = 0, bottom = 0;  // lowest coordinates of the outline
};

FillRule RuleOf(const HostPathStyle& style) { return style.evenOdd ? FillRule::EvenOdd : FillRule::NonZero; }

// Far beyond any page, yet small enough that the overlay grid's points stay
// exact (see OverlayGrid) and areas stay finite and precise.
constexpr double kMaxCoordinate = 1e9;

bool Usable(HostPoint p) {
    return std::abs(p.x) <= kMaxCoordinate && std::abs(p.y) <= kMaxCoordinate;  // false for NaN
}

bool Usable(const std::vector<HostPathSegment>& segments) {
    return std::all_of(segments.begin(), segments.end(),
                       [](const HostPathSegment& s) { return Usable(s.p) && Usable(s.in) && Usable(s.out); });
}

// Art in `art`'s subtree, itself included, in pre-order.
template <typename Visit>
void ForEachInTree(const Art* art, Visit visit) {
    visit(art);
    for (const Art* child = art->firstChild(); child; child = child->next()) ForEachInTree(child, visit);
}

// The outlines of one input; kHostWrongArtTypeErr when it holds art that has
// no outline to unite (text, images and the like must not silently vanish).
HostErr CollectOutlines(const Art* art, std::vector<Outline>& out) {
    switch (art->type()) {
    case kHostPathArt: {
        const PathData* path = art->path();
        if (!path) return kHostBadParameterErr;
        if (!Usable(path->segments)) return kHostBadParameterErr;
        out.push_back({{FlattenPath(path->segments, path->closed)}, RuleOf(path->style)});
        return 0;
    }
    case kHostCompoundPathArt: {
        // A compound path's style, fill rule included, is that of its members.
        Outline outline;
        bool first = true;
        for (const Art* member = art->firstChild(); member; member = member->next()) {
            const PathData* path = member->path();
            if (member->type() != kHostPathArt || !path) return kHostWrongArtTypeErr;
            if (!Usable(path->segments)) return kHostBadParameterErr;
            if (first) outline.rule = RuleOf(path->style);
            first = false;
            outline.rings.push_back(FlattenPath(path->segments, path->closed));
        }
        out.push_back(std::move(outline));
        return 0;
    }
    case kHostGroupArt:
        if (art->ownerLayer()) return kHostBadParameterErr;
        for (const Art* child = art->firstChild(); child; child = child->next())
            if (HostErr err = CollectOutlines(child, out)) return err;
        return 0;
    default: return kHostWrongArtTypeErr;
    }
}

// The style of the first path in `art`, front to back.
HostPathStyle StyleOf(const Art* art) {
    const PathData* found = nullptr;
    ForEachInTree(art, [&](const Art* a) {
        if (!found && a->type() == kHostPathArt) found = a->path();
    });
    return found ? found->style : HostPathStyle{};
}

// Mirrors the document's rules for disposing of art, so that every input is
// known to be removable before anything changes.
bool Removable(const Document& document, const Art* art) {
    if (!document.canEditInside(art->parent())) return false;
    bool removable = true;
    ForEachInTree(art, [&](const Art* a) {
        if (a->attributes() & kHiddenOrLocked) removable = false;
    });
    return removable;
}

// The inputs that are not inside other inputs, duplicates dropped, in the
// order given; or an error for art that cannot take part.
HostErr SelectRoots(const Document& document, const std::vector<Art*>& inputs, std::vector<Art*>& roots) {
    if (inputs.empty()) return kHostBadParameterErr;
    for (Art* art : inputs) {
        if (!art || art->document() != &document) return kHostBadParameterErr;
        if (art->ownerLayer() || !art->parent()) return kHostBadParameterErr;
        if (art->type() != kHostPathArt && art->type() != kHostCompoundPathArt && art->type() != kHostGroupArt)
            return kHostWrongArtTypeErr;
    }
    // The inputs in address order, each with whether it was taken yet.
    std::vector<const Art*> given(inputs.begin(), inputs.end());
    std::sort(given.begin(), given.end());
    std::vector<uint8_t> taken(given.size(), 0);
    auto find = [&given](const Art* art) { return std::lower_bound(given.begin(), given.end(), art); };
    for (Art* art : inputs) {
        bool nested = false;
        for (const Art* a = art->parent(); a && !nested; a = a->parent()) {
            const auto at = find(a);
            nested = at != given.end() && *at == a;
        }
        if (nested) continue;
        uint8_t& seen = taken[find(art) - given.begin()];
        if (seen) continue;
        seen = 1;
        // A member's fill depends on its compound path; it has no region alone.
        if (art->parent()->type() == kHostCompoundPathArt) return kHostBadParameterErr;
        roots.push_back(art);
    }
    return 0;
}

void SortPieces(std::vector<Piece>& pieces) {
    std::stable_sort(pieces.begin(), pieces.end(), [](const Piece& a, const Piece& b) {
        return std::make_tuple(-a.area, a.left, a.bottom) < std::make_tuple(-b.area, b.left, b.bottom);
    });
}

// Pieces with positive area, largest first (equal areas by position, left
// then bottom), holes likewise, so that the order never hangs on how the
// union was computed.
std::vector<Piece> Arrange(std::vector<PolygonRings> polygons) {
    std::vector<Piece> pieces;
    for (PolygonRings& rings : polygons) {
        Piece piece;
        piece.area = SignedArea(rings.outer);
        for (const Ring& hole : rings.holes) piece.area += SignedArea(hole);
        if (!(piece.area > 0)) continue;
        piece.left = piece.bottom = INFINITY;
        for (const HostPoint& p : rings.outer) {
            piece.left = std::min(piece.left, p.x);
            piece.bottom = std::min(piece.bottom, p.y);
        }
        std::stable_sort(rings.holes.begin(), rings.holes.end(), [](const Ring& a, const Ring& b) {
            return SignedArea(a) < SignedArea(b);  // clockwise: most negative is largest
        });
        piece.rings = std::move(rings);
        pieces.push_back(std::move(piece));
    }
    SortPieces(pieces);
    return pieces;
}

bool Contains(const PolygonRings& polygon, HostPoint p) {
    if (WindingNumber(p, polygon.outer) == 0) return false;
    return std::none_of(polygon.holes.begin(), polygon.holes.end(),
                        [&](const Ring& hole) { return WindingNumber(p, hole) != 0; });
}

// Sets of pieces joined into one.
class JoinedPieces {
public:
    explicit JoinedPieces(size_t count) : parent_(count) {
        for (size_t i = 0; i < count; ++i) parent_[i] = i;
    }
    size_t root(size_t i) {
        while (parent_[i] != i) i = parent_[i] = parent_[parent_[i]];
        return i;
    }
    void join(size_t a, size_t b) {
        if (root(a) == root(b)) return;
        parent_[root(b)] = root(a);
        joined_ = true;
    }
    bool any() const { return joined_; }

    // Each set of joined pieces as one piece, its further polygons as lobes.
    void merge(std::vector<Piece>& pieces) {
        if (!joined_) return;
        std::vector<Piece> merged;
        std::vector<size_t> slot(pieces.size(), pieces.size());
        for (size_t i = 0; i < pieces.size(); ++i) {
            const size_t r = root(i);
            if (slot[r] == pieces.size()) {
                slot[r] = merged.size();
                merged.push_back(std::move(pieces[i]));
                continue;
            }
            Piece& into = merged[slot[r]];
            into.area += pieces[i].area;
            into.left = std::min(into.left, pieces[i].left);
            into.bottom = std::min(into.bottom, pieces[i].bottom);
            into.lobes.push_back(std::move(pieces[i].rings));
            for (PolygonRings& lobe : pieces[i].lobes) into.lobes.push_back(std::move(lobe));
        }
        SortPieces(merged);
        pieces = std::move(merged);
    }

private:
    std::vector<size_t> parent_;
    bool joined_ = false;
};

// A path is one shape even where its outline pinches to a single point, as a
// county drawn with a loop touching itself: its lobes, split apart by the
// union, go back into one piece. Shapes of different paths meeting at a
// point stay separate pieces.
// `simple` flags the outlines known to be one simple ring, which have no
// lobes to look for.
void JoinPinchedPaths(const std::vector<Outline>& outlines, const std::vector<uint8_t>& simple,
                      std::vector<Piece>& pieces) {
    if (pieces.size() < 2) return;
    JoinedPieces joined(pieces.size());
    for (size_t k = 0; k < outlines.size(); ++k) {
        const Outline& outline = outlines[k];
        if (outline.rings.size() != 1 || simple[k]) continue;
        const std::vector<PolygonRings> lobes = PolygonsOf(*FilledRegion(outline.rings, outline.rule));
        if (lobes.size() < 2) continue;
        size_t first = pieces.size();
        for (const PolygonRings& lobe : lobes) {
            std::unique_ptr<geos::geom::Point> inside(ToGeometry({lobe})->getInteriorPoint());
            if (!inside || inside->isEmpty()) continue;
            const HostPoint p{inside->getX(), inside->getY()};
            for (size_t i = 0; i < pieces.size(); ++i) {
                if (!Contains(pieces[i].rings, p)) continue;
                if (first == pieces.size())
                    first = i;
                else
                    joined.join(first, i);
                break;
            }
        }
    }
    joined.merge(pieces);
}

// The polygons of a piece, lobes included.
std::vector<PolygonRings> PolygonsOfPiece(const Piece& piece) {
    std::vector<PolygonRings> polygons{piece.rings};
    polygons.insert(polygons.end(), piece.lobes.begin(), piece.lobes.end());
    return polygons;
}

// Pieces whose outlines run within the unite's precision of each other
// along a stretch of border are one shape, as a drawing host's pathfinder
// takes them: neighbours whose common border was drawn twice and simplified
// apart. The hairline between them stays as drawn; the piece is a compound
// path of both.
void JoinPiecesAlongside(std::vector<Piece>& pieces) {
    if (pieces.size() < 2) return;
    JoinedPieces joined(pieces.size());
    std::vector<std::vector<PolygonRings>> polygons;
    for (const Piece& piece : pieces) polygons.push_back(PolygonsOfPiece(piece));
    for (size_t i = 0; i < pieces.size(); ++i)
        for (size_t j = i + 1; j < pieces.size(); ++j)
            if (joined.root(i) != joined.root(j) && RunAlongside(polygons[i], polygons[j], kUnitePrecision))
                joined.join(i, j);
    joined.merge(pieces);
}

void AppendBoundary(std::vector<PolygonRings> polygons, std::vector<Ring>& boundaries) {
    for (PolygonRings& polygon : polygons) {
        boundaries.push_back(std::move(polygon.outer));
        for (Ring& hole : polygon.holes) boundaries.push_back(std::move(hole));
    }
}

// The polygons of the union of `outlines` as the pieces of the result.
std::vector<Piece> Pieces(const std::vector<Outline>& outlines, const std::vector<uint8_t>& simple,
                          std::vector<PolygonRings> united) {
    std::vector<Piece> pieces = Arrange(std::move(united));
    JoinPinchedPaths(outlines, simple, pieces);
    JoinPiecesAlongside(pieces);
    return pieces;
}

// The union of the inputs' outlines as pieces, or an error code.
//
// Shapes that only share edges, or lie apart, are united by cancelling the
// shared edges. A lone ring is tried as it is, on the likely guess that it
// does not cross itself (the shared-edge union checks); failing that, with
// every outline's exact filled region; failing that, the general overlay
// takes the regions.
HostErr Unite(const std::vector<Outline>& outlines, std::vector<Piece>& pieces) {
    try {
        std::vector<GeometryPtr> regions(outlines.size());
        std::vector<Ring> boundaries;
        // Which boundary each lone ring became, if it was taken as it is.
        constexpr size_t kNoRing = size_t(-1);
        std::vector<size_t> ringOf(outlines.size(), kNoRing);
        bool guessed = false;
        for (size_t i = 0; i < outlines.size(); ++i) {
            const Outline& outline = outlines[i];
            if (outline.rings.size() == 1) {
                Ring ring = CleanRing(outline.rings.front());
                if (ring.empty()) continue;
                if (SignedArea(ring) < 0) std::reverse(ring.begin(), ring.end());
                ringOf[i] = boundaries.size();
                boundaries.push_back(std::move(ring));
                guessed = true;
                continue;
            }
            regions[i] = FilledRegion(outline.rings, outline.rule);
            AppendBoundary(PolygonsOf(*regions[i]), boundaries);
        }
        std::vector<uint8_t> touchesItself;
        if (auto united = UniteAlongSharedEdges(boundaries, &touchesItself)) {
            // A lone ring the union took as it is, touching itself nowhere,
            // is simple.
            std::vector<uint8_t> simple(outlines.size(), 0);
            for (size_t i = 0; i < outlines.size(); ++i) simple[i] = ringOf[i] != kNoRing && !touchesItself[ringOf[i]];
            pieces = Pieces(outlines, simple, std::move(*united));
            return 0;
        }
        const std::vector<uint8_t> unknown(outlines.size(), 0);
        if (guessed) {
            boundaries.clear();
            for (size_t i = 0; i < outlines.size(); ++i) {
                if (!regions[i]) regions[i] = FilledRegion(outlines[i].rings, outlines[i].rule);
                AppendBoundary(PolygonsOf(*regions[i]), boundaries);
            }
            if (auto united = UniteAlongSharedEdges(boundaries)) {
                pieces = Pieces(outlines, unknown, std::move(*united));
                return 0;
            }
        }
        pieces = Pieces(outlines, unknown, PolygonsOf(*UnionOnGrid(std::move(regions))));
        return 0;
    } catch (const std::bad_alloc&) {
        return kHostOutOfMemoryErr;
    } catch (const std::exception&) {
        // GEOS reports topology and noding failures as exceptions.
        return kUniteGeometryErr;
    }
}

void WriteRing(Document& document, Art* path, const Ring& ring, const HostPathStyle& style) {
    PathData& data = *path->path();
    data.segments.clear();
    data.segments.reserve(ring.size());
    for (const HostPoint& p : ring) data.segments.push_back({p, p, p, 1});
    data.closed = true;
    data.style = style;
    document.touch(path);
}

// Writes one piece by paint order relative to `prep`; `made` receives the
// new top-level art as soon as it exists, so the caller can take it away.
HostErr WritePiece(Document& document, const Piece& piece, const HostPathStyle& style, int32_t paintOrder, Art* prep,
                   Art** made) {
    if (piece.rings.holes.empty() && piece.lobes.empty()) {
        Art* path = nullptr;
        if (HostErr err = document.newArt(kHostPathArt, paintOrder, prep, &path)) return err;
        *made = path;
        WriteRing(document, path, piece.rings.outer, style);
        return 0;
    }
    Art* compound = nullptr;
    if (HostErr err = document.newArt(kHostCompoundPathArt, paintOrder, prep, &compound)) return err;
    *made = compound;
    auto addMember = [&](const Ring& ring) -> HostErr {
        Art* member = nullptr;
        if (HostErr err = document.newArt(kHostPathArt, kHostPlaceInsideOnBottom, compound, &member)) return err;
        WriteRing(document, member, ring, style);
        return 0;
    };
    auto addPolygon = [&](const PolygonRings& polygon) -> HostErr {
        if (HostErr err = addMember(polygon.outer)) return err;
        for (const Ring& hole : polygon.holes)
            if (HostErr err = addMember(hole)) return err;
        return 0;
    };
    if (HostErr err = addPolygon(piece.rings)) return err;
    for (const PolygonRings& lobe : piece.lobes)
        if (HostErr err = addPolygon(lobe)) return err;
    return 0;
}

// Writes the pieces in front of `anchor`; `made` receives the new art.
HostErr WriteResult(Document& document, const std::vector<Piece>& pieces, const HostPathStyle& style, Art* anchor,
                    Art** made) {
    if (pieces.size() == 1) return WritePiece(document, pieces.front(), style, kHostPlaceAbove, anchor, made);
    Art* group = nullptr;
    if (HostErr err = document.newArt(kHostGroupArt, kHostPlaceAbove, anchor, &group)) return err;
    *made = group;
    for (const Piece& piece : pieces) {
        Art* member = nullptr;
        if (HostErr err = WritePiece(document, piece, style, kHostPlaceInsideOnBottom, group, &member)) return err;
    }
    return 0;
}

}  // namespace

namespace {
UniteRecord* activeRecord = nullptr;

void Mix(uint64_t& hash, uint64_t value) {
    // FNV-1a over the value's eight bytes.
    for (int i = 0; i < 8; ++i, value >>= 8) hash = (hash ^ (value & 0xff)) * 0x100000001b3ULL;
}
}  // namespace

UniteRecord::UniteRecord() { activeRecord = this; }
UniteRecord::~UniteRecord() {
    if (activeRecord == this) activeRecord = nullptr;
}

uint64_t UniteRecord::Fingerprint(const Art* art) {
    if (!art) return 0;
    uint64_t hash = 0xcbf29ce484222325ULL;
    ForEachInTree(art, [&hash](const Art* a) {
        Mix(hash, static_cast<uint64_t>(a->type()));
        if (const PathData* path = a->path()) {
            Mix(hash, path->closed);
            for (const HostPathSegment& s : path->segments)
                for (double v : {s.p.x, s.p.y, s.in.x, s.in.y, s.out.x, s.out.y}) Mix(hash, std::bit_cast<uint64_t>(v));
        }
    });
    return hash;
}

HostErr UniteArt(Document& document, const std::vector<Art*>& inputs, Art** result) {
    if (result) *result = nullptr;
    if (activeRecord) {
        std::vector<uint64_t>& call = activeRecord->calls_.emplace_back();
        for (const Art* art : inputs) call.push_back(UniteRecord::Fingerprint(art));
    }
    std::vector<Art*> roots;
    std::vector<Outline> outlines;
    std::vector<Piece> pieces;
    try {
        if (HostErr err = SelectRoots(document, inputs, roots)) return err;
        for (const Art* art : roots)
            if (HostErr err = CollectOutlines(art, outlines)) return err;
        for (const Art* art : roots)
            if (!Removable(document, art)) return kHostLockedErr;
    } catch (const std::bad_alloc&) {
        return kHostOutOfMemoryErr;
    }
    if (HostErr err = Unite(outlines, pieces)) return err;

    Art* made = nullptr;
    auto undo = [&] {
        if (made) document.disposeArt(made);
    };
    try {
        if (!pieces.empty()) {
            if (HostErr err = WriteResult(document, pieces, StyleOf(roots.front()), roots.front(), &made)) {
                undo();
                return err;
            }
        }
        for (Art* art : roots) {
            // Cannot fail after the checks above; should it, the result goes
            // again rather than leave both it and the inputs behind.
            if (HostErr err = document.disposeArt(art)) {
                undo();
                return err;
            }
        }
    } catch (const std::bad_alloc&) {
        undo();
        return kHostOutOfMemoryErr;
    }
    if (result) *result = made;
    return 0;
}

}  // namespace orbalis::host
