// The region a set of rings fills under a fill rule, as GEOS geometry.
#pragma once

#include <memory>
#include <vector>

#include <geos/geom/Geometry.h>
#include <geos/geom/PrecisionModel.h>

#include "sdk/HostTypes.h"

namespace orbalis::host {

// A closed outline: its points in order, the last joined back to the first.
// A repeated closing point and repeated consecutive points are tolerated.
using Ring = std::vector<HostPoint>;

// A polygon as rings: the outline counter-clockwise (y up), holes
// clockwise, the first point not repeated at the end.
struct PolygonRings {
    Ring outer;
    std::vector<Ring> holes;
};

enum class FillRule { NonZero, EvenOdd };

using GeometryPtr = std::unique_ptr<geos::geom::Geometry>;

// The grid, 1e-6 pt, that overlays snap the points they compute to.
//
// Floating-point overlays compute crossings a rounding error off: a point
// where three edges meet can come out as two points 1e-16 apart, and
// whether two pieces touch at a point or are joined by a sliver then
// depends on the order of the work. Snap-rounding to a grid settles such
// near-coincidences the same way every time and cannot fail. The grid is
// far finer than any gap that matters on a map (tenths of a point), so it
// closes none; coordinates are limited to 1e9 pt, so every grid point is
// exact in double precision. Only the final overlay snaps: shapes united
// along shared edges, and the faces of crossing rings, keep their
// coordinates exactly, so that borders stay shared with neighbours.
const geos::geom::PrecisionModel& OverlayGrid();

// `ring` without repeated consecutive points or a repeated closing point;
// empty when fewer than three distinct points remain.
Ring CleanRing(const Ring& ring);

// The signed area of a ring: positive when counter-clockwise.
double SignedArea(const Ring& ring);

// The points whose winding number about `rings` is non-zero (or odd): a
// valid Polygon or MultiPolygon, empty when nothing is filled. Rings that
// neither cross nor overlap take a fast route; anything else (crossing or
// self-intersecting rings, shared edges) the exact general one. Rings with
// fewer than three distinct points are ignored. Coordinates must be finite
// (and within 1e9 pt, for the overlay grid). May throw
// geos::util::GEOSException.
GeometryPtr FilledRegion(const std::vector<Ring>& rings, FillRule rule);

// The fast route: for rings that meet at most at single points, the region
// follows from how they nest. Null when the rings do not qualify.
GeometryPtr FilledRegionOfNestedRings(const std::vector<Ring>& rings, FillRule rule);

// The general route: all ring linework is noded and cut into faces, and the
// faces whose winding number passes the rule are merged.
GeometryPtr FilledRegionByFaces(const std::vector<Ring>& rings, FillRule rule);

// The union of polygonal geometries on the overlay grid: a Polygon,
// MultiPolygon or empty Polygon, never lines left over from collapsed
// slivers. Empty and null parts are skipped.
GeometryPtr UnionOnGrid(std::vector<GeometryPtr> parts);

// The polygons of a GEOS geometry (other parts are ignored), their rings
// turned to run as PolygonRings says.
std::vector<PolygonRings> PolygonsOf(const geos::geom::Geometry& geometry);

// Polygons as a GEOS Polygon, MultiPolygon or, with none, an empty Polygon.
GeometryPtr ToGeometry(const std::vector<PolygonRings>& polygons);

// Winding number of `p` about a ring: +1 inside a counter-clockwise ring
// (y up), -1 inside a clockwise one, 0 outside; a figure eight gives +1 in
// one lobe and -1 in the other. Exact for points off the ring; a point on it
// counts as inside or outside depending on the edge.
int WindingNumber(HostPoint p, const Ring& ring);

}  // namespace orbalis::host
