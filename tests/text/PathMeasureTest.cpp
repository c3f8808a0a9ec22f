// Lengths along paths, which text on a path is laid out by.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "host/model/PathMeasure.h"

namespace orbalis::host {
namespace {

// A circle of radius 100 about the origin from four quarter arcs,
// counter-clockwise from (100, 0).
std::vector<HostPathSegment> Circle() {
    const double k = 100 * 0.5522847498;
    return {{{100, 0}, {100, -k}, {100, k}, false},
            {{0, 100}, {k, 100}, {-k, 100}, false},
            {{-100, 0}, {-100, k}, {-100, -k}, false},
            {{0, -100}, {-k, -100}, {k, -100}, false}};
}

TEST(PathMeasure, MeasuresCurvesAndClosingSegments) {
    const PathMeasure closed(Circle(), true);
    EXPECT_NEAR(closed.length(), 2 * std::numbers::pi * 100, 0.1);
    const PathMeasure open(Circle(), false);
    EXPECT_NEAR(open.length(), 1.5 * std::numbers::pi * 100, 0.1);
    HostPoint p, d;
    closed.at(closed.length() / 4, &p, &d);
    EXPECT_NEAR(p.x, 0, 0.05);
    EXPECT_NEAR(p.y, 100, 0.05);
    EXPECT_NEAR(d.x, -1, 1e-4) << "travelling counter-clockwise";
    EXPECT_NEAR(d.y, 0, 5e-3);
}

TEST(PathMeasure, GoesStraightOnBeyondItsEnds) {
    const PathMeasure line({{{0, 0}, {0, 0}, {0, 0}, true}, {{30, 40}, {30, 40}, {30, 40}, true}}, false);
    EXPECT_EQ(line.length(), 50);
    HostPoint p, d;
    line.at(-10, &p, &d);
    EXPECT_NEAR(p.x, -6, 1e-12);
    EXPECT_NEAR(p.y, -8, 1e-12);
    line.at(60, &p, &d);
    EXPECT_NEAR(p.x, 36, 1e-12);
    EXPECT_NEAR(p.y, 48, 1e-12);
    EXPECT_NEAR(d.x, 0.6, 1e-12);
    EXPECT_NEAR(d.y, 0.8, 1e-12);
}

TEST(PathMeasure, APathWithoutLengthCannotBeMeasured) {
    EXPECT_FALSE(PathMeasure({}, false).measurable());
    const HostPathSegment dot{{5, 5}, {5, 5}, {5, 5}, true};
    EXPECT_FALSE(PathMeasure({dot, dot, dot}, true).measurable());
    HostPoint p, d;
    PathMeasure({dot}, false).at(3, &p, &d);
    EXPECT_EQ(p.x, 5);
    EXPECT_EQ(p.y, 5);
}

}  // namespace
}  // namespace orbalis::host
