#include "host/geom/NearOutlines.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include <geos/geom/Envelope.h>
#include <geos/operation/distance/IndexedFacetDistance.h>
#include <geos/util/GEOSException.h>

namespace orbalis::host {
namespace {

// The length of `line` that lies within `precision` of `other`.
double LengthNear(const geos::geom::Geometry& line, const geos::geom::Geometry& other, double precision) {
    const GeometryPtr zone = other.buffer(precision);
    return line.intersection(zone.get())->getLength();
}

struct Edge {
    HostPoint a, b;
    double xmin, xmax, ymin, ymax;
};

void AppendEdges(const Ring& ring, std::vector<Edge>& out) {
    for (size_t i = 0; i < ring.size(); ++i) {
        const HostPoint a = ring[i], b = ring[i + 1 == ring.size() ? 0 : i + 1];
        out.push_back({a, b, std::min(a.x, b.x), std::max(a.x, b.x), std::min(a.y, b.y), std::max(a.y, b.y)});
    }
}

std::vector<Edge> EdgesOf(const std::vector<PolygonRings>& polygons) {
    std::vector<Edge> edges;
    for (const PolygonRings& polygon : polygons) {
        AppendEdges(polygon.outer, edges);
        for (const Ring& hole : polygon.holes) AppendEdges(hole, edges);
    }
    return edges;
}

// The stretch [low, high] of parameters u of s.a + u (s.b - s.a) that lies
// in the rectangle round `t` grown by `reach` on every side, which holds
// every point within `reach` of `t`; low > high when none does.
std::pair<double, double> ClipToBand(const Edge& s, const Edge& t, double reach) {
    double dx = t.b.x - t.a.x, dy = t.b.y - t.a.y;
    const double length = std::hypot(dx, dy);
    if (length > 0) {
        dx /= length;
        dy /= length;
    } else {
        dx = 1;
        dy = 0;
    }
    // Along t and across it, as linear functions of u: value(u) = start + u * step.
    const double ox = s.a.x - t.a.x, oy = s.a.y - t.a.y;
    const double ex = s.b.x - s.a.x, ey = s.b.y - s.a.y;
    const double alongStart = ox * dx + oy * dy, alongStep = ex * dx + ey * dy;
    const double acrossStart = oy * dx - ox * dy, acrossStep = ey * dx - ex * dy;
    double low = 0, high = 1;
    // Keeps the u where lowest <= start + u * step <= highest.
    auto keep = [&](double start, double step, double lowest, double highest) {
        if (step == 0) {
            if (start < lowest || start > highest) high = -1;
            return;
        }
        double u0 = (lowest - start) / step, u1 = (highest - start) / step;
        if (u0 > u1) std::swap(u0, u1);
        low = std::max(low, u0);
        high = std::min(high, u1);
    };
    keep(alongStart, alongStep, -reach, length + reach);
    keep(acrossStart, acrossStep, -reach, reach);
    return {low, high};
}

// More than this many pairs of edges close enough to compare: the overlay
// decides instead.
constexpr size_t kBoundPairLimit = 1 << 16;

// At least the length of the outlines of `a` that lies within `reach` of
// those of `b`: the length of each edge of `a` inside the union of the
// rectangles round the edges of `b`, grown by `reach`. None when that would
// take longer than the overlay.
std::optional<double> LengthNearBound(const std::vector<Edge>& a, const std::vector<Edge>& b, double reach) {
    double xmin = INFINITY, xmax = -INFINITY, ymin = INFINITY, ymax = -INFINITY;
    for (const Edge& t : b) {
        xmin = std::min(xmin, t.xmin);
        xmax = std::max(xmax, t.xmax);
        ymin = std::min(ymin, t.ymin);
        ymax = std::max(ymax, t.ymax);
    }
    size_t pairs = 0;
    double total = 0;
    std::vector<std::pair<double, double>> stretches;
    for (const Edge& s : a) {
        if (s.xmin > xmax + reach || s.xmax < xmin - reach || s.ymin > ymax + reach || s.ymax < ymin - reach) continue;
        stretches.clear();
        for (const Edge& t : b) {
            if (s.xmin > t.xmax + reach || s.xmax < t.xmin - reach || s.ymin > t.ymax + reach ||
                s.ymax < t.ymin - reach)
                continue;
            if (++pairs > kBoundPairLimit) return std::nullopt;
            const auto stretch = ClipToBand(s, t, reach);
            if (stretch.first <= stretch.second) stretches.push_back(stretch);
        }
        if (stretches.empty()) continue;
        std::sort(stretches.begin(), stretches.end());
        double covered = 0, low = stretches.front().first, high = stretches.front().second;
        for (const auto& [l, h] : stretches) {
            if (l > high) {
                covered += high - low;
                low = l;
            }
            high = std::max(high, h);
        }
        covered += high - low;
        total += covered * std::hypot(s.b.x - s.a.x, s.b.y - s.a.y);
    }
    return total;
}

// Whether the outlines are plainly too far apart, or run along each other
// too briefly, to pass the overlay's test below. The bound is taken over
// bands half as wide again as the precision: far wider than the buffer's
// rounding and simplification, which stay within a hundredth of it.
bool PlainlyNotAlongside(const std::vector<PolygonRings>& a, const std::vector<PolygonRings>& b, double precision) {
    const std::vector<Edge> edgesA = EdgesOf(a), edgesB = EdgesOf(b);
    const double reach = 1.5 * precision;
    const double enough = 0.999 * kAlongsideStretch * precision;
    const std::optional<double> nearA = LengthNearBound(edgesA, edgesB, reach);
    if (nearA && *nearA < enough) return true;
    const std::optional<double> nearB = LengthNearBound(edgesB, edgesA, reach);
    return nearB && *nearB < enough;
}

}  // namespace

bool RunAlongside(const std::vector<PolygonRings>& a, const std::vector<PolygonRings>& b, double precision) {
    if (a.empty() || b.empty() || !(precision > 0)) return false;
    if (PlainlyNotAlongside(a, b, precision)) return false;
    try {
        const GeometryPtr ga = ToGeometry(a), gb = ToGeometry(b);
        geos::geom::Envelope near(*ga->getEnvelopeInternal());
        near.expandBy(precision);
        if (!near.intersects(gb->getEnvelopeInternal())) return false;
        if (geos::operation::distance::IndexedFacetDistance(ga.get()).distance(gb.get()) > precision) return false;
        const GeometryPtr la = ga->getBoundary(), lb = gb->getBoundary();
        const double stretch = kAlongsideStretch * precision;
        return LengthNear(*la, *lb, precision) >= stretch && LengthNear(*lb, *la, precision) >= stretch;
    } catch (const geos::util::GEOSException&) {
        return false;
    }
}

}  // namespace orbalis::host
