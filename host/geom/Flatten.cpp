#include "host/geom/Flatten.h"

#include <algorithm>
#include <cmath>
#include <tuple>

namespace orbalis::host {
namespace {

// A curve this long and bent never needs more pieces than this at any
// sensible tolerance; the cap bounds the work on absurd input.
constexpr int kMaxPieces = 4096;

bool SamePoint(HostPoint a, HostPoint b) { return a.x == b.x && a.y == b.y; }

bool LessPoint(HostPoint a, HostPoint b) { return std::tie(a.x, a.y) < std::tie(b.x, b.y); }

// Whether p0 p1 p2 p3 comes before its reverse p3 p2 p1 p0 in a fixed total
// order; the curve is always flattened in the direction that does.
bool IsCanonical(HostPoint p0, HostPoint p1, HostPoint p2, HostPoint p3) {
    if (!SamePoint(p0, p3)) return LessPoint(p0, p3);
    if (!SamePoint(p1, p2)) return LessPoint(p1, p2);
    return true;  // a palindrome: both directions are the same curve
}

// Uniform pieces: with n of them the chords stay within
// (3/4) * max|second difference| / n^2 of the curve.
int PieceCount(HostPoint p0, HostPoint p1, HostPoint p2, HostPoint p3, double tolerance) {
    const double d1 = std::hypot(p0.x - 2 * p1.x + p2.x, p0.y - 2 * p1.y + p2.y);
    const double d2 = std::hypot(p1.x - 2 * p2.x + p3.x, p1.y - 2 * p2.y + p3.y);
    const double bend = std::max(d1, d2);
    if (!(tolerance > 0) || !std::isfinite(bend)) return 1;
    const double n = std::ceil(std::sqrt(0.75 * bend / tolerance));
    if (!(n >= 1)) return 1;
    return n >= kMaxPieces ? kMaxPieces : static_cast<int>(n);
}

HostPoint CubicPoint(HostPoint p0, HostPoint p1, HostPoint p2, HostPoint p3, double t) {
    const double u = 1 - t;
    const double b0 = u * u * u, b1 = 3 * u * u * t, b2 = 3 * u * t * t, b3 = t * t * t;
    return {b0 * p0.x + b1 * p1.x + b2 * p2.x + b3 * p3.x, b0 * p0.y + b1 * p1.y + b2 * p2.y + b3 * p3.y};
}

}  // namespace

void FlattenCubic(HostPoint p0, HostPoint p1, HostPoint p2, HostPoint p3, double tolerance,
                  std::vector<HostPoint>& out) {
    if (SamePoint(p0, p1) && SamePoint(p2, p3)) {
        out.push_back(p3);
        return;
    }
    const bool forward = IsCanonical(p0, p1, p2, p3);
    if (!forward) {
        std::swap(p0, p3);
        std::swap(p1, p2);
    }
    const int n = PieceCount(p0, p1, p2, p3, tolerance);
    const size_t first = out.size();
    // The interior points in canonical order, then the far end point; reversed
    // afterwards when walking the other way, so both walks see one point set.
    for (int i = 1; i < n; ++i) out.push_back(CubicPoint(p0, p1, p2, p3, double(i) / n));
    if (!forward) std::reverse(out.begin() + static_cast<std::ptrdiff_t>(first), out.end());
    out.push_back(forward ? p3 : p0);
}

std::vector<HostPoint> FlattenPath(const std::vector<HostPathSegment>& segments, bool closed, double tolerance) {
    std::vector<HostPoint> points;
    if (segments.empty()) return points;
    points.reserve(segments.size() + 1);
    points.push_back(segments.front().p);
    for (size_t i = 1; i < segments.size(); ++i) {
        const HostPathSegment& a = segments[i - 1];
        const HostPathSegment& b = segments[i];
        if (SamePoint(a.p, a.out) && SamePoint(b.in, b.p))
            points.push_back(b.p);  // a straight line, by far the most common
        else
            FlattenCubic(a.p, a.out, b.in, b.p, tolerance, points);
    }
    if (closed) {  // a single anchor can close on itself through its handles
        const HostPathSegment& a = segments.back();
        const HostPathSegment& b = segments.front();
        FlattenCubic(a.p, a.out, b.in, b.p, tolerance, points);
        points.pop_back();  // the first anchor again
    }
    return points;
}

}  // namespace orbalis::host
