#include "host/geom/NearOutlines.h"

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

}  // namespace

bool RunAlongside(const std::vector<PolygonRings>& a, const std::vector<PolygonRings>& b, double precision) {
    if (a.empty() || b.empty() || !(precision > 0)) return false;
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
