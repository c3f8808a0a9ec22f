#include "host/geom/FillRegion.h"

#include <algorithm>
#include <numeric>

#include <geos/algorithm/CGAlgorithmsDD.h>
#include <geos/algorithm/PointLocation.h>
#include <geos/geom/Coordinate.h>
#include <geos/geom/CoordinateArraySequence.h>
#include <geos/geom/Envelope.h>
#include <geos/geom/GeometryFactory.h>
#include <geos/geom/LineString.h>
#include <geos/geom/LinearRing.h>
#include <geos/geom/MultiLineString.h>
#include <geos/geom/MultiPolygon.h>
#include <geos/geom/Point.h>
#include <geos/geom/Polygon.h>
#include <geos/operation/overlayng/OverlayNG.h>
#include <geos/operation/overlayng/OverlayNGRobust.h>
#include <geos/operation/polygonize/Polygonizer.h>
#include <geos/operation/valid/IsValidOp.h>
#include <geos/util/GEOSException.h>

#include "host/geom/SharedEdgeUnion.h"

namespace orbalis::host {
namespace {

using geos::algorithm::CGAlgorithmsDD;
using geos::geom::Coordinate;
using geos::geom::CoordinateArraySequence;
using geos::geom::Envelope;
using geos::geom::GeometryFactory;
using geos::geom::LinearRing;
using geos::geom::Polygon;
using geos::operation::overlayng::OverlayNG;

const GeometryFactory& Factory() { return *GeometryFactory::getDefaultInstance(); }

// A ring ready for GEOS: closed (first point repeated at the end), without
// repeated consecutive points.
struct PreparedRing {
    std::vector<Coordinate> coords;
    double signedArea = 0;  // positive when counter-clockwise
    Envelope envelope;
};

std::vector<PreparedRing> Prepare(const std::vector<Ring>& rings) {
    std::vector<PreparedRing> out;
    out.reserve(rings.size());
    for (const Ring& ring : rings) {
        const Ring clean = CleanRing(ring);
        if (clean.empty()) continue;
        PreparedRing r;
        r.coords.reserve(clean.size() + 1);
        for (const HostPoint& p : clean) {
            r.coords.emplace_back(p.x, p.y);
            r.envelope.expandToInclude(r.coords.back());
        }
        r.coords.push_back(r.coords.front());
        r.signedArea = SignedArea(clean);
        out.push_back(std::move(r));
    }
    return out;
}

bool Passes(int winding, FillRule rule) { return rule == FillRule::EvenOdd ? (winding & 1) != 0 : winding != 0; }

// Edges crossing the horizontal through `p` count +1 going up with `p` on
// their left, -1 going down with `p` on their right; sides by the exact
// orientation test.
template <typename Points, typename GetX, typename GetY>
int Winding(double px, double py, const Points& points, size_t count, GetX x, GetY y) {
    int winding = 0;
    for (size_t i = 0; i < count; ++i) {
        const size_t j = i + 1 == count ? 0 : i + 1;
        const double ax = x(points[i]), ay = y(points[i]);
        const double bx = x(points[j]), by = y(points[j]);
        if (ay <= py) {
            if (by > py && CGAlgorithmsDD::orientationIndex(ax, ay, bx, by, px, py) > 0) ++winding;
        } else if (by <= py && CGAlgorithmsDD::orientationIndex(ax, ay, bx, by, px, py) < 0) {
            --winding;
        }
    }
    return winding;
}

int WindingAbout(const Coordinate& p, const PreparedRing& ring) {
    // The closing point repeats the first: the last edge is counted through it.
    return Winding(
        p.x, p.y, ring.coords, ring.coords.size() - 1, [](const Coordinate& c) { return c.x; },
        [](const Coordinate& c) { return c.y; });
}

std::unique_ptr<LinearRing> MakeRing(const PreparedRing& ring) {
    std::vector<Coordinate> coords = ring.coords;
    return Factory().createLinearRing(std::move(coords));
}

GeometryPtr EmptyRegion() { return Factory().createPolygon(); }

GeometryPtr Collect(std::vector<std::unique_ptr<Polygon>> polygons) {
    if (polygons.empty()) return EmptyRegion();
    if (polygons.size() == 1) return std::move(polygons.front());
    return Factory().createMultiPolygon(std::move(polygons));
}

// Snap-rounding can collapse slivers into lines or points; only the
// polygons are area.
GeometryPtr PolygonalPart(GeometryPtr geometry) {
    const auto type = geometry->getGeometryTypeId();
    if (type == geos::geom::GEOS_POLYGON || type == geos::geom::GEOS_MULTIPOLYGON) return geometry;
    std::vector<std::unique_ptr<Polygon>> polygons;
    for (size_t i = 0; i < geometry->getNumGeometries(); ++i) {
        const auto* polygon = dynamic_cast<const Polygon*>(geometry->getGeometryN(i));
        if (polygon && !polygon->isEmpty()) polygons.push_back(polygon->clone());
    }
    return Collect(std::move(polygons));
}

bool IsValid(const geos::geom::Geometry& geometry) { return geos::operation::valid::IsValidOp(&geometry).isValid(); }

}  // namespace

Ring CleanRing(const Ring& ring) {
    Ring out;
    out.reserve(ring.size());
    for (const HostPoint& p : ring)
        if (out.empty() || out.back().x != p.x || out.back().y != p.y) out.push_back(p);
    while (out.size() > 1 && out.back().x == out.front().x && out.back().y == out.front().y) out.pop_back();
    if (out.size() < 3) out.clear();
    return out;
}

double SignedArea(const Ring& ring) {
    if (ring.size() < 3) return 0;
    // Relative to the first point, which keeps far-off coordinates precise.
    const HostPoint o = ring.front();
    double twice = 0;
    for (size_t i = 1; i + 1 < ring.size(); ++i) {
        const double ax = ring[i].x - o.x, ay = ring[i].y - o.y;
        const double bx = ring[i + 1].x - o.x, by = ring[i + 1].y - o.y;
        twice += ax * by - bx * ay;
    }
    return twice / 2;
}

namespace {

// A GEOS ring as host points, without the closing point, turned to run
// counter-clockwise or clockwise.
Ring ToRing(const geos::geom::LinearRing& ring, bool counterClockwise) {
    const geos::geom::CoordinateSequence& coords = *ring.getCoordinatesRO();
    Ring out;
    out.reserve(coords.size());
    for (size_t i = 0; i + 1 < coords.size(); ++i) out.push_back({coords.getX(i), coords.getY(i)});
    if ((SignedArea(out) > 0) != counterClockwise) std::reverse(out.begin(), out.end());
    return out;
}

std::unique_ptr<LinearRing> ToLinearRing(const Ring& ring) {
    std::vector<Coordinate> coords;
    coords.reserve(ring.size() + 1);
    for (const HostPoint& p : ring) coords.emplace_back(p.x, p.y);
    coords.push_back(coords.front());
    return Factory().createLinearRing(std::move(coords));
}

}  // namespace

std::vector<PolygonRings> PolygonsOf(const geos::geom::Geometry& geometry) {
    std::vector<PolygonRings> polygons;
    for (size_t i = 0; i < geometry.getNumGeometries(); ++i) {
        const auto* polygon = dynamic_cast<const Polygon*>(geometry.getGeometryN(i));
        if (!polygon || polygon->isEmpty()) continue;
        PolygonRings rings{ToRing(*polygon->getExteriorRing(), true), {}};
        for (size_t h = 0; h < polygon->getNumInteriorRing(); ++h)
            rings.holes.push_back(ToRing(*polygon->getInteriorRingN(h), false));
        polygons.push_back(std::move(rings));
    }
    return polygons;
}

GeometryPtr ToGeometry(const std::vector<PolygonRings>& polygons) {
    std::vector<std::unique_ptr<Polygon>> out;
    out.reserve(polygons.size());
    for (const PolygonRings& p : polygons) {
        std::vector<std::unique_ptr<LinearRing>> holes;
        for (const Ring& hole : p.holes) holes.push_back(ToLinearRing(hole));
        out.push_back(Factory().createPolygon(ToLinearRing(p.outer), std::move(holes)));
    }
    return Collect(std::move(out));
}

const geos::geom::PrecisionModel& OverlayGrid() {
    static const geos::geom::PrecisionModel grid(1e6);
    return grid;
}

GeometryPtr UnionOnGrid(std::vector<GeometryPtr> parts) {
    std::erase_if(parts, [](const GeometryPtr& g) { return !g || g->isEmpty(); });
    if (parts.empty()) return EmptyRegion();
    // In pairs, round after round, so that each overlay joins parts of
    // similar size. Strict mode keeps results polygonal.
    while (parts.size() > 1) {
        std::vector<GeometryPtr> joined;
        for (size_t i = 0; i + 1 < parts.size(); i += 2) {
            OverlayNG overlay(parts[i].get(), parts[i + 1].get(), &OverlayGrid(), OverlayNG::UNION);
            overlay.setStrictMode(true);
            joined.push_back(PolygonalPart(overlay.getResult()));
        }
        if (parts.size() % 2) joined.push_back(std::move(parts.back()));
        parts = std::move(joined);
    }
    return PolygonalPart(std::move(parts.front()));
}

int WindingNumber(HostPoint p, const Ring& ring) {
    return Winding(
        p.x, p.y, ring, ring.size(), [](const HostPoint& c) { return c.x; }, [](const HostPoint& c) { return c.y; });
}

GeometryPtr FilledRegionOfNestedRings(const std::vector<Ring>& input, FillRule rule) {
    std::vector<PreparedRing> rings = Prepare(input);
    const size_t n = rings.size();
    if (n == 0) return EmptyRegion();
    for (const PreparedRing& r : rings)
        if (r.signedArea == 0) return nullptr;

    if (n == 1) {
        // A simple ring fills its inside under either rule.
        auto polygon = Factory().createPolygon(MakeRing(rings.front()));
        if (!IsValid(*polygon)) return nullptr;
        return polygon;
    }

    // Largest first: a ring can only lie inside a larger one.
    std::vector<size_t> order(n);
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return std::abs(rings[a].signedArea) > std::abs(rings[b].signedArea); });

    // Each ring's parent is the smallest larger ring holding it. Rings meet
    // at most at single points (checked below), so one vertex off the
    // candidate's outline tells which side of it the whole ring lies on.
    constexpr size_t kNone = size_t(-1);
    std::vector<size_t> parent(n, kNone);
    std::vector<int> depth(n, 0);
    std::vector<int> winding(n, 0);
    std::vector<std::unique_ptr<CoordinateArraySequence>> outlines(n);
    for (size_t k = 0; k < n; ++k) {
        const size_t i = order[k];
        const PreparedRing& ring = rings[i];
        for (size_t m = k; m-- > 0;) {
            const size_t j = order[m];
            if (!rings[j].envelope.covers(&ring.envelope)) continue;
            if (!outlines[j])
                outlines[j] = std::make_unique<CoordinateArraySequence>(std::vector<Coordinate>(rings[j].coords), 2);
            const CoordinateArraySequence& outline = *outlines[j];
            geos::geom::Location where = geos::geom::Location::BOUNDARY;
            for (size_t v = 0; v + 1 < ring.coords.size() && where == geos::geom::Location::BOUNDARY; ++v)
                where = geos::algorithm::PointLocation::locateInRing(ring.coords[v], outline);
            if (where == geos::geom::Location::BOUNDARY) return nullptr;  // ring lies on ring
            if (where == geos::geom::Location::INTERIOR) {
                parent[i] = j;
                break;
            }
        }
        const int orientation = ring.signedArea > 0 ? 1 : -1;
        depth[i] = parent[i] == kNone ? 0 : depth[parent[i]] + 1;
        winding[i] = orientation + (parent[i] == kNone ? 0 : winding[parent[i]]);
    }

    std::vector<std::vector<size_t>> children(n);
    for (size_t k = 0; k < n; ++k)
        if (parent[order[k]] != kNone) children[parent[order[k]]].push_back(order[k]);

    // The nesting is only trustworthy if the rings, laid out as alternating
    // shells and holes, form a valid multipolygon: no crossings, no shared
    // edges, no ring touching itself.
    {
        std::vector<std::unique_ptr<Polygon>> layout;
        for (size_t i : order) {
            if (depth[i] % 2) continue;
            std::vector<std::unique_ptr<LinearRing>> holes;
            for (size_t c : children[i]) holes.push_back(MakeRing(rings[c]));
            layout.push_back(Factory().createPolygon(MakeRing(rings[i]), std::move(holes)));
        }
        if (!IsValid(*Collect(std::move(layout)))) return nullptr;
    }

    // Each filled ring whose parent is unfilled starts a piece. Its holes are
    // the unfilled rings beneath it, reached through filled ones: a filled
    // ring inside a filled ring (same direction under the non-zero rule)
    // leaves no outline.
    std::vector<std::unique_ptr<Polygon>> pieces;
    for (size_t i : order) {
        if (!Passes(winding[i], rule)) continue;
        if (parent[i] != kNone && Passes(winding[parent[i]], rule)) continue;
        std::vector<std::unique_ptr<LinearRing>> holes;
        std::vector<size_t> pending(children[i]);
        while (!pending.empty()) {
            const size_t c = pending.back();
            pending.pop_back();
            if (Passes(winding[c], rule))
                pending.insert(pending.end(), children[c].begin(), children[c].end());
            else
                holes.push_back(MakeRing(rings[c]));
        }
        pieces.push_back(Factory().createPolygon(MakeRing(rings[i]), std::move(holes)));
    }
    return Collect(std::move(pieces));
}

GeometryPtr FilledRegionByFaces(const std::vector<Ring>& input, FillRule rule) {
    std::vector<PreparedRing> rings = Prepare(input);
    if (rings.empty()) return EmptyRegion();

    std::vector<std::unique_ptr<geos::geom::LineString>> lines;
    lines.reserve(rings.size());
    for (const PreparedRing& r : rings) {
        std::vector<Coordinate> coords = r.coords;
        lines.push_back(Factory().createLineString(std::move(coords)));
    }
    auto linework = Factory().createMultiLineString(std::move(lines));
    // A union of linework nodes it: every crossing and touch becomes a vertex
    // of both lines, and overlapping stretches are merged. In floating
    // precision, so that the rings' own vertices keep their exact
    // coordinates and the region still shares its borders with neighbours;
    // crossings computed a rounding error off only make tiny faces, which
    // are kept or dropped by their winding like any other.
    GeometryPtr noded = geos::operation::overlayng::OverlayNGRobust::Union(linework.get());

    geos::operation::polygonize::Polygonizer polygonizer;
    polygonizer.add(static_cast<const geos::geom::Geometry*>(noded.get()));
    std::vector<std::unique_ptr<Polygon>> faces = polygonizer.getPolygons();

    std::vector<std::unique_ptr<Polygon>> kept;
    for (auto& face : faces) {
        if (face->isEmpty() || face->getArea() == 0) continue;
        auto inside = face->getInteriorPoint();
        if (!inside || inside->isEmpty()) continue;
        const Coordinate& p = *inside->getCoordinate();
        int winding = 0;
        for (const PreparedRing& r : rings)
            if (r.envelope.covers(&p)) winding += WindingAbout(p, r);
        if (Passes(winding, rule)) kept.push_back(std::move(face));
    }
    if (kept.empty()) return EmptyRegion();
    if (kept.size() == 1) return std::move(kept.front());

    // The faces share their edges exactly, so merging them only has to drop
    // the edges between kept faces; faces meeting at single points too are
    // left to the overlay.
    std::vector<Ring> boundaries;
    for (const auto& face : kept)
        for (PolygonRings& polygon : PolygonsOf(*face)) {
            boundaries.push_back(std::move(polygon.outer));
            for (Ring& hole : polygon.holes) boundaries.push_back(std::move(hole));
        }
    if (auto merged = UniteAlongSharedEdges(boundaries)) return ToGeometry(*merged);
    std::vector<GeometryPtr> parts;
    for (auto& face : kept) parts.push_back(std::move(face));
    return UnionOnGrid(std::move(parts));
}

GeometryPtr FilledRegion(const std::vector<Ring>& rings, FillRule rule) {
    try {
        if (GeometryPtr region = FilledRegionOfNestedRings(rings, rule)) return region;
    } catch (const geos::util::GEOSException&) {
        // Whatever the fast route could not handle, the general one can.
    }
    return FilledRegionByFaces(rings, rule);
}

}  // namespace orbalis::host
