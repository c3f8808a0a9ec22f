// The union of shapes that meet only along shared edges: the common case of
// neighbouring map shapes, done without a general overlay.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "host/geom/FillRegion.h"

namespace orbalis::host {

// The union of regions given by all their boundary rings together, each
// region's outlines counter-clockwise and its holes clockwise (as a valid
// polygon has them). Edges that two regions share, walked in opposite
// directions, cancel; what remains is relinked into rings and nested.
//
// Exact, and much cheaper than a general overlay, for regions that meet
// nowhere but along whole shared edges: neighbouring shapes whose common
// border has the same vertices on both sides, and shapes apart. Returns
// nullopt for anything else — edges that cross or overlap in part, a vertex
// on another edge, a vertex where boundaries meet from several directions
// (shapes touching at a corner), overlapping or nested regions — for which
// the caller needs the general overlay. The checks are exact: whatever this
// returns is the union.
//
// When the union is returned and `touchesItself` is given, it receives a
// flag for each ring: whether the ring comes back to a vertex it has passed
// or walks one of its own edges back. A ring not flagged is simple, since
// the checks found no crossing: it fills its inside as one polygon.
std::optional<std::vector<PolygonRings>> UniteAlongSharedEdges(const std::vector<Ring>& rings,
                                                               std::vector<uint8_t>* touchesItself = nullptr);

}  // namespace orbalis::host
