// Outlines that lie a hair apart: the same border drawn twice, by two
// shapes simplified each on its own, a few hundredths of a point off.
#pragma once

#include <vector>

#include "host/geom/FillRegion.h"

namespace orbalis::host {

// The precision of the Pathfinder unite, in points: outlines that run within
// it of each other along a stretch of border count as touching.
inline constexpr double kUnitePrecision = 0.03;

// How long a stretch must be, in multiples of the precision, for outlines
// that run along each other within it to count as sharing a border. Shapes
// meeting at a corner, or across an edge of a third shape shorter than the
// precision, come that close over a few precisions only.
inline constexpr double kAlongsideStretch = 10;

// Whether the outlines of `a` and `b` run within `precision` of each other
// along a stretch of at least kAlongsideStretch * precision on both sides.
// False for regions further apart than `precision` anywhere, and whenever
// the overlay cannot tell.
bool RunAlongside(const std::vector<PolygonRings>& a, const std::vector<PolygonRings>& b, double precision);

}  // namespace orbalis::host
