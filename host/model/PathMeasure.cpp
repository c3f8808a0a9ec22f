#include "host/model/PathMeasure.h"

#include <algorithm>
#include <cmath>

namespace orbalis::host {
namespace {

// Pieces each curve is cut into: fine enough that the length of a map's
// curves is right to far below a point.
constexpr int kPiecesPerCurve = 64;

HostPoint CurvePoint(HostPoint p0, HostPoint p1, HostPoint p2, HostPoint p3, double t) {
    const double u = 1 - t;
    const double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
    return {a * p0.x + b * p1.x + c * p2.x + d * p3.x, a * p0.y + b * p1.y + c * p2.y + d * p3.y};
}

bool Same(HostPoint a, HostPoint b) { return a.x == b.x && a.y == b.y; }

}  // namespace

PathMeasure::PathMeasure(const std::vector<HostPathSegment>& segments, bool closed) {
    auto add = [&](HostPoint p) {
        if (!points_.empty() && Same(points_.back(), p)) return;
        const double step = points_.empty() ? 0 : std::hypot(p.x - points_.back().x, p.y - points_.back().y);
        distances_.push_back(distances_.empty() ? 0 : distances_.back() + step);
        points_.push_back(p);
    };
    auto curve = [&](const HostPathSegment& from, const HostPathSegment& to) {
        if (Same(from.out, from.p) && Same(to.in, to.p)) {
            add(to.p);
            return;
        }
        for (int k = 1; k <= kPiecesPerCurve; ++k)
            add(CurvePoint(from.p, from.out, to.in, to.p, double(k) / kPiecesPerCurve));
    };
    if (segments.empty()) return;
    add(segments.front().p);
    for (size_t i = 1; i < segments.size(); ++i) curve(segments[i - 1], segments[i]);
    if (closed && segments.size() > 1) curve(segments.back(), segments.front());
}

void PathMeasure::at(double distance, HostPoint* point, HostPoint* direction) const {
    if (points_.size() < 2) {
        *point = points_.empty() ? HostPoint{0, 0} : points_.front();
        *direction = {1, 0};
        return;
    }
    // The piece holding `distance`; the first and last go on beyond the ends.
    size_t i = size_t(std::upper_bound(distances_.begin(), distances_.end(), distance) - distances_.begin());
    i = std::clamp<size_t>(i, 1, points_.size() - 1);
    const HostPoint a = points_[i - 1], b = points_[i];
    const double piece = distances_[i] - distances_[i - 1];
    const HostPoint unit{(b.x - a.x) / piece, (b.y - a.y) / piece};
    const double along = distance - distances_[i - 1];
    *point = {a.x + unit.x * along, a.y + unit.y * along};
    *direction = unit;
}

}  // namespace orbalis::host
