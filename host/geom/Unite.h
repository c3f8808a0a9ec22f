// The Pathfinder unite effect: the union of the filled outlines of art.
#pragma once

#include <cstdint>
#include <vector>

#include "host/model/Document.h"

namespace orbalis::host {

// Returned when the union cannot be computed from the geometry given.
inline constexpr HostErr kUniteGeometryErr = HOST_FOURCC('G', 'E', 'O', 'M');

// Replaces `inputs` (paths, compound paths or groups of them) by the union of
// their filled outlines, placed where the first input stood and painted with
// its style:
//  - one piece without holes: one path;
//  - one piece with holes: one compound path;
//  - several pieces (contact at single points only counts as separate): a
//    group holding the pieces, each a path or a compound path.
// A path whose own outline pinches to a point is one piece all the same: its
// lobes, with whatever joined them, become one compound path. So are shapes
// whose outlines run within the unite's precision, kUnitePrecision (0.03 pt),
// of each other along a stretch of border at least ten times as long: a
// border drawn twice a hair apart. They become one compound path, the hair
// between them left as drawn. Shapes that come that close only at a corner
// or across a shorter edge stay separate, and so do shapes further apart.
// The precision is the host's own; the one a caller puts in the Pathfinder
// data record is not used (its unit is not the point).
// Curves are flattened finely enough that an edge shared by two inputs stays
// shared. Inputs with no filled area are removed and contribute nothing; an
// empty union leaves nothing in their place. `result` (may be null) receives
// the new art, or null for an empty union.
//
// Compound paths fill by their members' fill rule, paths by their own; an
// open path is closed by a straight line for its area. Paint does not
// matter. Pieces of a group come in order of decreasing area (front to
// back), outlines counter-clockwise and holes clockwise, all straight
// corner segments. Inputs nested in other inputs count once.
//
// On failure nothing changes: kHostBadParameterErr for no inputs, missing,
// stale or foreign art, members of compound paths, layer groups, and
// coordinates (handles included) that are not finite or exceed 1e9 pt;
// kHostWrongArtTypeErr for art (or contents) other than paths, compound
// paths and groups; kHostLockedErr when an input cannot be removed or the
// result cannot be placed; kUniteGeometryErr when the geometry defeats the
// union; kHostOutOfMemoryErr.
HostErr UniteArt(Document& document, const std::vector<Art*>& inputs, Art** result);

// While one lives, every call of UniteArt is written down in order, with a
// fingerprint of each input: what a test or a measurement needs to tell
// which shapes the host was asked to unite, and in which order. One record at
// a time.
class UniteRecord {
public:
    UniteRecord();
    ~UniteRecord();
    UniteRecord(const UniteRecord&) = delete;
    UniteRecord& operator=(const UniteRecord&) = delete;

    // One entry per call, one fingerprint per input (0 for missing art).
    const std::vector<std::vector<uint64_t>>& calls() const { return calls_; }

    // A hash of the geometry of `art` and its subtree: kinds, closed flags
    // and every segment. A copy has the fingerprint of its original.
    static uint64_t Fingerprint(const Art* art);

private:
    friend HostErr UniteArt(Document&, const std::vector<Art*>&, Art**);
    std::vector<std::vector<uint64_t>> calls_;
};

}  // namespace orbalis::host
