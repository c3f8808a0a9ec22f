#include <gtest/gtest.h>

#include <random>

#include <geos/geom/GeometryFactory.h>
#include <geos/geom/LinearRing.h>
#include <geos/geom/MultiPolygon.h>
#include <geos/geom/Polygon.h>
#include <geos/operation/overlayng/OverlayNGRobust.h>

#include "host/geom/SharedEdgeUnion.h"

namespace orbalis::host {
namespace {

using geos::geom::Coordinate;
using geos::operation::overlayng::OverlayNGRobust;

std::unique_ptr<geos::geom::LinearRing> GeosRing(const Ring& ring) {
    std::vector<Coordinate> coords;
    for (const HostPoint& p : ring) coords.emplace_back(p.x, p.y);
    coords.push_back(coords.front());
    return geos::geom::GeometryFactory::getDefaultInstance()->createLinearRing(std::move(coords));
}

// The union of the same regions through the general overlay, each ring a
// region of its own (the tests give no holes).
GeometryPtr Overlay(const std::vector<Ring>& rings) {
    const auto* factory = geos::geom::GeometryFactory::getDefaultInstance();
    std::vector<std::unique_ptr<geos::geom::Polygon>> polygons;
    for (const Ring& r : rings) polygons.push_back(factory->createPolygon(GeosRing(r)));
    auto all = factory->createMultiPolygon(std::move(polygons));
    return OverlayNGRobust::Union(all.get());
}

Ring Square(double x, double y, double size) { return {{x, y}, {x + size, y}, {x + size, y + size}, {x, y + size}}; }

void ExpectSameAsOverlay(const std::vector<Ring>& rings, size_t pieces, size_t holes) {
    auto fast = UniteAlongSharedEdges(rings);
    ASSERT_TRUE(fast);
    ASSERT_EQ(fast->size(), pieces);
    size_t holeCount = 0;
    for (const PolygonRings& p : *fast) {
        EXPECT_GT(SignedArea(p.outer), 0);
        for (const Ring& h : p.holes) EXPECT_LT(SignedArea(h), 0);
        holeCount += p.holes.size();
    }
    EXPECT_EQ(holeCount, holes);
    GeometryPtr mine = ToGeometry(*fast);
    GeometryPtr reference = Overlay(rings);
    EXPECT_TRUE(mine->isValid());
    EXPECT_NEAR(mine->getArea(), reference->getArea(), 1e-9);
    EXPECT_LT(OverlayNGRobust::SymDifference(mine.get(), reference.get())->getArea(), 1e-9);
}

TEST(UniteSharedEdges, AgreesWithTheOverlay) {
    ExpectSameAsOverlay({Square(0, 0, 1), Square(1, 0, 1)}, 1, 0);
    ExpectSameAsOverlay({Square(0, 0, 1), Square(1.4, 0, 1)}, 2, 0);
    // Eight squares round a ninth that is missing: one piece with a hole.
    std::vector<Ring> frame;
    for (int x = 0; x < 3; ++x)
        for (int y = 0; y < 3; ++y)
            if (x != 1 || y != 1) frame.push_back(Square(x, y, 1));
    ExpectSameAsOverlay({frame[0], frame[1], frame[2]}, 1, 0);
    // Corners of the frame touch the missing middle's corners only through
    // whole edges, so every vertex stays unambiguous.
    ExpectSameAsOverlay(frame, 1, 1);
    // And an island in the hole.
    std::vector<Ring> withIsland = frame;
    withIsland.push_back(Square(1.25, 1.25, 0.5));
    ExpectSameAsOverlay(withIsland, 2, 1);
}

TEST(UniteSharedEdges, DeclinesWhatItCannotProve) {
    const std::vector<std::vector<Ring>> declined = {
        {Square(0, 0, 1), Square(1, 1, 1)},                   // corner contact
        {Square(0, 0, 2), Square(1, 1, 2)},                   // overlap with crossings
        {Square(0, 0, 4), Square(1, 1, 1)},                   // one inside the other
        {Square(0, 0, 1), Square(1, 0.5, 1)},                 // edges overlapping in part
        {Square(0, 0, 2), Square(2, 0, 1), Square(2, 1, 1)},  // vertex on an edge
        {{{0, 0}, {2, 2}, {2, 0}, {0, 2}}},                   // a ring crossing itself
        {{{0, 0}, {2, 0}, {1, 0}, {1, 1}}},                   // a ring doubling back in part
        {Square(0, 0, 1), Square(0, 0, 1)},                   // the same shape twice
    };
    for (size_t i = 0; i < declined.size(); ++i) EXPECT_FALSE(UniteAlongSharedEdges(declined[i])) << i;

    // Among many other shapes, where the contacts are looked for another
    // way, the same is declined, and the shapes alone are still united.
    std::vector<Ring> field;
    for (int k = 0; k < 30; ++k) field.push_back(Square(10 + 2 * (k % 6), 10 + 2 * (k / 6), 1));
    ASSERT_TRUE(UniteAlongSharedEdges(field));
    for (size_t i = 0; i < declined.size(); ++i) {
        std::vector<Ring> rings = field;
        rings.insert(rings.end(), declined[i].begin(), declined[i].end());
        EXPECT_FALSE(UniteAlongSharedEdges(rings)) << i;
    }
    std::vector<Ring> sharing = field;
    sharing.push_back(Square(0, 0, 1));
    sharing.push_back(Square(1, 0, 1));
    ExpectSameAsOverlay(sharing, 31, 0);
}

TEST(UniteSharedEdges, FlagsTheRingsThatTouchThemselves) {
    std::vector<uint8_t> flags;
    ASSERT_TRUE(UniteAlongSharedEdges({Square(0, 0, 1), Square(1, 0, 1), Square(5, 5, 1)}, &flags));
    EXPECT_EQ(flags, (std::vector<uint8_t>{0, 0, 0}));

    // Two squares meeting at (10, 10) drawn as one outline, the notch
    // between them filled by a third: the pinch is no longer a crossing of
    // ways once the shared edges cancel, but the outline came back to it.
    const Ring pinched = {{0, 0}, {10, 0}, {10, 10}, {20, 10}, {20, 20}, {10, 20}, {10, 10}, {0, 10}};
    ASSERT_TRUE(UniteAlongSharedEdges({pinched, Square(10, 0, 10)}, &flags));
    EXPECT_EQ(flags, (std::vector<uint8_t>{1, 0}));

    // Two squares joined by a line drawn there and back: it cancels, and the
    // outline is flagged for walking its own edge back.
    const Ring joined = {{0, 0},   {10, 0},  {10, 5}, {20, 5}, {20, 0},  {30, 0},
                         {30, 10}, {20, 10}, {20, 5}, {10, 5}, {10, 10}, {0, 10}};
    auto apart = UniteAlongSharedEdges({Square(40, 0, 10), joined}, &flags);
    ASSERT_TRUE(apart);
    EXPECT_EQ(apart->size(), 3u);
    EXPECT_EQ(flags, (std::vector<uint8_t>{0, 1}));
}

// A map of quadrilaterals on a jittered lattice: neighbours share their
// corners exactly, as map shapes do. Random selections are united both ways.
TEST(UniteSharedEdges, RandomMapSelectionsAgreeWithTheOverlay) {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> jitter(-0.3, 0.3);
    constexpr int kSize = 8;
    HostPoint corner[kSize + 1][kSize + 1];
    for (int x = 0; x <= kSize; ++x)
        for (int y = 0; y <= kSize; ++y) corner[x][y] = {x + jitter(random), y + jitter(random)};
    std::uniform_real_distribution<double> unit(0, 1);
    int proven = 0;
    for (int trial = 0; trial < 200; ++trial) {
        // Sparse and dense selections; in between, shapes touching only at
        // corners are common and are left to the overlay.
        const double density = trial % 2 ? 0.1 * unit(random) : 1 - 0.1 * unit(random);
        std::vector<Ring> rings;
        for (int x = 0; x < kSize; ++x)
            for (int y = 0; y < kSize; ++y)
                if (unit(random) < density)
                    rings.push_back({corner[x][y], corner[x + 1][y], corner[x + 1][y + 1], corner[x][y + 1]});
        auto fast = UniteAlongSharedEdges(rings);
        if (!fast) continue;
        ++proven;
        GeometryPtr mine = ToGeometry(*fast);
        GeometryPtr reference = Overlay(rings);
        ASSERT_TRUE(mine->isValid()) << trial;
        EXPECT_EQ(fast->size(), reference->isEmpty() ? 0 : reference->getNumGeometries()) << trial;
        EXPECT_LT(OverlayNGRobust::SymDifference(mine.get(), reference.get())->getArea(), 1e-9) << trial;
    }
    EXPECT_GT(proven, 100);  // most such selections have no corner contacts
}

}  // namespace
}  // namespace orbalis::host
