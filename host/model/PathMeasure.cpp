#include "host/model/PathMeasure.h"

#include <algorithm>
#include <cmath>

namespace orbalis::host {
namespace {

// A curve is cut into pieces about half a point long (its control polygon
// is at least as long as it), at most 256: the length of a map's curves comes
// out right to far below a point, and a path of many short curves costs
// little.
constexpr int kMostPieces = 256;
constexpr double kPieceLength = 0.5;

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
        const double hull = std::hypot(from.out.x - from.p.x, from.out.y - from.p.y) +
                            std::hypot(to.in.x - from.out.x, to.in.y - from.out.y) +
                            std::hypot(to.p.x - to.in.x, to.p.y - to.in.y);
        const int pieces =
            hull < kMostPieces * kPieceLength ? std::max(1, int(std::ceil(hull / kPieceLength))) : kMostPieces;
        for (int k = 1; k <= pieces; ++k) add(CurvePoint(from.p, from.out, to.in, to.p, double(k) / pieces));
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
