#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "host/geom/Flatten.h"

namespace orbalis::host {
namespace {

double DistanceToPolyline(HostPoint p, const std::vector<HostPoint>& line) {
    double best = INFINITY;
    for (size_t i = 0; i + 1 < line.size(); ++i) {
        const HostPoint a = line[i], b = line[i + 1];
        const double dx = b.x - a.x, dy = b.y - a.y, len2 = dx * dx + dy * dy;
        double t = len2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / len2 : 0;
        t = std::clamp(t, 0.0, 1.0);
        best = std::min(best, std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy)));
    }
    return best;
}

HostPoint Cubic(HostPoint p0, HostPoint p1, HostPoint p2, HostPoint p3, double t) {
    const double u = 1 - t;
    return {u * u * u * p0.x + 3 * u * u * t * p1.x + 3 * u * t * t * p2.x + t * t * t * p3.x,
            u * u * u * p0.y + 3 * u * u * t * p1.y + 3 * u * t * t * p2.y + t * t * t * p3.y};
}

TEST(UniteFlatten, ReversedCurveGivesTheSamePointsBackwards) {
    // Coordinates with awkward binary expansions, so any difference in the
    // order of arithmetic would show up in the last bits.
    const HostPoint a{10.1, 20.3}, b{33.7, 91.9}, c{70.3, -12.7}, d{101.9, 40.1};
    std::vector<HostPoint> forward{a}, backward{d};
    FlattenCubic(a, b, c, d, kFlattenTolerance, forward);
    FlattenCubic(d, c, b, a, kFlattenTolerance, backward);
    ASSERT_GT(forward.size(), 10u);
    std::reverse(backward.begin(), backward.end());
    ASSERT_EQ(forward.size(), backward.size());
    for (size_t i = 0; i < forward.size(); ++i) {
        EXPECT_EQ(forward[i].x, backward[i].x) << i;
        EXPECT_EQ(forward[i].y, backward[i].y) << i;
    }
    EXPECT_EQ(forward.back().x, d.x);  // ends exactly on the anchor
}

TEST(UniteFlatten, ChordsStayWithinTolerance) {
    const HostPoint a{0, 0}, b{0, 300}, c{400, 300}, d{400, 0};
    std::vector<HostPoint> line{a};
    FlattenCubic(a, b, c, d, kFlattenTolerance, line);
    double worst = 0;
    for (int i = 0; i <= 2000; ++i) worst = std::max(worst, DistanceToPolyline(Cubic(a, b, c, d, i / 2000.0), line));
    EXPECT_LE(worst, kFlattenTolerance);
    EXPECT_GT(worst, kFlattenTolerance / 20);  // and not absurdly fine
}

TEST(UniteFlatten, PathOutline) {
    const HostPathSegment s0{{0, 0}, {0, 0}, {0, 0}, 1}, s1{{10, 0}, {10, 0}, {10, 0}, 1},
        s2{{10, 10}, {10, 10}, {10, 10}, 1};
    // Straight segments give the anchors only; the start is not repeated.
    EXPECT_EQ(FlattenPath({s0, s1, s2}, true).size(), 3u);
    EXPECT_EQ(FlattenPath({s0, s1, s2}, false).size(), 3u);
    // A curved closing segment is flattened when the path is closed, and
    // left to the implicit straight line when it is open.
    HostPathSegment curvedStart = s0;
    curvedStart.in = {-5, 5};
    EXPECT_GT(FlattenPath({curvedStart, s1, s2}, true).size(), 3u);
    EXPECT_EQ(FlattenPath({curvedStart, s1, s2}, false).size(), 3u);
    // Non-finite input must not hang or crash.
    const HostPathSegment bad{{NAN, 0}, {INFINITY, 1}, {0, 0}, 1};
    EXPECT_LE(FlattenPath({s0, bad}, true).size(), 3u);
}

}  // namespace
}  // namespace orbalis::host
