#include <gtest/gtest.h>

#include <algorithm>

#include <geos/geom/Geometry.h>
#include <geos/operation/overlayng/OverlayNGRobust.h>

#include "host/geom/FillRegion.h"

namespace orbalis::host {
namespace {

Ring Square(double x, double y, double size, bool counterClockwise = true) {
    Ring r{{x, y}, {x + size, y}, {x + size, y + size}, {x, y + size}};
    if (!counterClockwise) std::reverse(r.begin(), r.end());
    return r;
}

double AreaOfDifference(const geos::geom::Geometry& a, const geos::geom::Geometry& b) {
    return geos::operation::overlayng::OverlayNGRobust::SymDifference(&a, &b)->getArea();
}

struct Case {
    const char* name;
    std::vector<Ring> rings;
    double nonZeroArea;
    double evenOddArea;
};

// Nestings the fast route accepts, each checked against the general route
// and a hand-computed area under both rules.
TEST(UniteFillRegion, FastAndGeneralRoutesAgree) {
    const std::vector<Case> cases = {
        {"single", {Square(0, 0, 10)}, 100, 100},
        {"single clockwise", {Square(0, 0, 10, false)}, 100, 100},
        {"hole against", {Square(0, 0, 10), Square(2, 2, 4, false)}, 84, 84},
        {"hole along", {Square(0, 0, 10), Square(2, 2, 4)}, 100, 84},
        {"islands", {Square(0, 0, 10), Square(20, 0, 5, false)}, 125, 125},
        {"island in a lake", {Square(0, 0, 10), Square(2, 2, 6, false), Square(4, 4, 2)}, 100 - 36 + 4, 100 - 36 + 4},
        {"three deep along", {Square(0, 0, 10), Square(2, 2, 6), Square(4, 4, 2)}, 100, 100 - 36 + 4},
        {"holes touching at a point", {Square(0, 0, 10), Square(2, 2, 3, false), Square(5, 5, 3, false)}, 82, 82},
    };
    for (const Case& c : cases) {
        for (FillRule rule : {FillRule::NonZero, FillRule::EvenOdd}) {
            SCOPED_TRACE(std::string(c.name) + (rule == FillRule::EvenOdd ? " even-odd" : " non-zero"));
            GeometryPtr fast = FilledRegionOfNestedRings(c.rings, rule);
            GeometryPtr general = FilledRegionByFaces(c.rings, rule);
            ASSERT_TRUE(fast);
            const double expected = rule == FillRule::EvenOdd ? c.evenOddArea : c.nonZeroArea;
            EXPECT_NEAR(fast->getArea(), expected, 1e-9);
            EXPECT_NEAR(general->getArea(), expected, 1e-9);
            EXPECT_LT(AreaOfDifference(*fast, *general), 1e-9);
            EXPECT_TRUE(fast->isValid());
            EXPECT_TRUE(general->isValid());
        }
    }
}

TEST(UniteFillRegion, CrossingRingsTakeTheGeneralRoute) {
    // Two overlapping squares of one compound: the overlap has winding 2.
    const std::vector<Ring> overlapping{Square(0, 0, 10), Square(5, 5, 10)};
    EXPECT_FALSE(FilledRegionOfNestedRings(overlapping, FillRule::NonZero));
    EXPECT_NEAR(FilledRegion(overlapping, FillRule::NonZero)->getArea(), 175, 1e-9);
    EXPECT_NEAR(FilledRegion(overlapping, FillRule::EvenOdd)->getArea(), 150, 1e-9);
    // Opposite directions cancel in the overlap even under the non-zero rule.
    const std::vector<Ring> cancelling{Square(0, 0, 10), Square(5, 5, 10, false)};
    EXPECT_NEAR(FilledRegion(cancelling, FillRule::NonZero)->getArea(), 150, 1e-9);
}

TEST(UniteFillRegion, SelfIntersectingRings) {
    const Ring bowTie{{0, 0}, {2, 2}, {2, 0}, {0, 2}};
    const Ring star{{0, 10}, {5.878, -8.09}, {-9.511, 3.09}, {9.511, 3.09}, {-5.878, -8.09}};
    EXPECT_FALSE(FilledRegionOfNestedRings({bowTie}, FillRule::NonZero));
    for (FillRule rule : {FillRule::NonZero, FillRule::EvenOdd}) {
        GeometryPtr region = FilledRegion({bowTie}, rule);
        EXPECT_NEAR(region->getArea(), 2, 1e-9);
        EXPECT_EQ(region->getNumGeometries(), 2u);  // two triangles meeting at a point
    }
    GeometryPtr full = FilledRegion({star}, FillRule::NonZero);
    GeometryPtr hollow = FilledRegion({star}, FillRule::EvenOdd);
    EXPECT_EQ(full->getNumGeometries(), 1u);
    EXPECT_EQ(hollow->getNumGeometries(), 5u);                      // the points, touching at corners
    EXPECT_NEAR(full->getArea() - hollow->getArea(), 34.69, 0.01);  // the inner pentagon
}

TEST(UniteFillRegion, DegenerateRingsFillNothing) {
    const std::vector<Ring> rings{{{0, 0}, {1, 1}}, {{0, 0}, {1, 1}, {2, 2}}, {{3, 3}, {3, 3}, {3, 3}, {3, 3}}};
    for (FillRule rule : {FillRule::NonZero, FillRule::EvenOdd}) EXPECT_TRUE(FilledRegion(rings, rule)->isEmpty());
    EXPECT_EQ(WindingNumber({5, 5}, Square(0, 0, 10)), 1);
    EXPECT_EQ(WindingNumber({5, 5}, Square(0, 0, 10, false)), -1);
    EXPECT_EQ(WindingNumber({15, 5}, Square(0, 0, 10)), 0);
}

}  // namespace
}  // namespace orbalis::host
