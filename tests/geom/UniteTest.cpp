#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include <geos/operation/overlayng/OverlayNG.h>

#include "host/geom/FillRegion.h"
#include "host/geom/Flatten.h"
#include "host/geom/NearOutlines.h"
#include "host/geom/Unite.h"

namespace orbalis::host {
namespace {

using geos::operation::overlayng::OverlayNG;
using Points = std::vector<HostPoint>;

Points Square(double x, double y, double size, bool counterClockwise = true) {
    if (counterClockwise) return {{x, y}, {x + size, y}, {x + size, y + size}, {x, y + size}};
    return {{x, y}, {x, y + size}, {x + size, y + size}, {x + size, y}};
}

std::vector<HostPathSegment> Corners(const Points& points) {
    std::vector<HostPathSegment> segments;
    for (const HostPoint& p : points) segments.push_back({p, p, p, 1});
    return segments;
}

double SignedArea(const std::vector<HostPathSegment>& segments) {
    double twice = 0;
    for (size_t i = 0; i < segments.size(); ++i) {
        const HostPoint a = segments[i].p, b = segments[(i + 1) % segments.size()].p;
        twice += a.x * b.y - b.x * a.y;
    }
    return twice / 2;
}

// Area of a result, from its rings' signed areas: outlines run
// counter-clockwise and holes clockwise, so the sum is the filled area.
double AreaOf(const Art* art) {
    if (const PathData* path = art->path()) return SignedArea(path->segments);
    double area = 0;
    for (const Art* child = art->firstChild(); child; child = child->next()) area += AreaOf(child);
    return area;
}

int CountChildren(const Art* art) {
    int n = 0;
    for (const Art* child = art->firstChild(); child; child = child->next()) ++n;
    return n;
}

class UniteArtTest : public ::testing::Test {
protected:
    UniteArtTest() { document.insertLayer(nullptr, kHostPlaceAboveAll, &layer); }

    Art* AddPath(std::vector<HostPathSegment> segments, Art* parent = nullptr, bool evenOdd = false,
                 bool closed = true) {
        Art* art = nullptr;
        EXPECT_EQ(document.newArt(kHostPathArt, kHostPlaceInsideOnBottom, parent, &art), 0);
        art->path()->segments = std::move(segments);
        art->path()->closed = closed;
        art->path()->style.evenOdd = evenOdd;
        art->path()->style.stroke.width = 0.25;
        document.touch(art);
        return art;
    }
    Art* AddRing(const Points& points, Art* parent = nullptr, bool evenOdd = false) {
        return AddPath(Corners(points), parent, evenOdd);
    }
    Art* AddContainer(int32_t type) {
        Art* art = nullptr;
        EXPECT_EQ(document.newArt(type, kHostPlaceInsideOnBottom, nullptr, &art), 0);
        return art;
    }
    Art* AddCompound(const std::vector<Points>& rings, bool evenOdd) {
        Art* compound = AddContainer(kHostCompoundPathArt);
        for (const Points& ring : rings) AddRing(ring, compound, evenOdd);
        return compound;
    }
    Art* Unite(const std::vector<Art*>& inputs) {
        std::vector<HostArt> handles;
        for (Art* input : inputs) handles.push_back(Document::toHandle(input));
        Art* result = nullptr;
        EXPECT_EQ(UniteArt(document, inputs, &result), 0);
        for (HostArt input : handles) EXPECT_EQ(Document::fromHandle(input), nullptr) << "the inputs are disposed of";
        return result;
    }

    Document document;
    Layer* layer = nullptr;
};

TEST_F(UniteArtTest, SquaresSharingAnEdgeBecomeOnePath) {
    Art* result = Unite({AddRing(Square(0, 0, 10)), AddRing(Square(10, 0, 10, false))});
    ASSERT_TRUE(result);
    ASSERT_EQ(result->type(), kHostPathArt);
    EXPECT_NEAR(AreaOf(result), 200, 1e-9);
    const PathData& path = *result->path();
    EXPECT_TRUE(path.closed);
    const HostPathSegment& first = path.segments.front();
    const HostPathSegment& last = path.segments.back();
    EXPECT_FALSE(first.p.x == last.p.x && first.p.y == last.p.y);  // start not repeated
    for (const HostPathSegment& s : path.segments) {
        EXPECT_TRUE(s.corner);
        EXPECT_TRUE(s.in.x == s.p.x && s.in.y == s.p.y && s.out.x == s.p.x && s.out.y == s.p.y);
    }
}

TEST_F(UniteArtTest, SeparateOrCornerTouchingShapesBecomeAGroup) {
    for (double gap : {0.4, 0.0}) {
        SCOPED_TRACE(gap);
        // The second square is larger, so it comes first in the group.
        Art* result = Unite({AddRing(Square(0, 0, 10)), AddRing(Square(10 + gap, 10, 12))});
        ASSERT_EQ(result->type(), kHostGroupArt);
        ASSERT_EQ(CountChildren(result), 2);
        EXPECT_NEAR(AreaOf(result->firstChild()), 144, 1e-9);
        EXPECT_NEAR(AreaOf(result->lastChild()), 100, 1e-9);
    }
}

TEST_F(UniteArtTest, APathPinchedToAPointStaysOnePiece) {
    // One outline running round two squares that meet at (10, 10), and a
    // neighbour of the upper square: the pinch does not split the shape.
    const Points pinched = {{0, 0}, {10, 0}, {10, 10}, {20, 10}, {20, 20}, {10, 20}, {10, 10}, {0, 10}};
    Art* result = Unite({AddRing(pinched), AddRing(Square(20, 10, 10))});
    ASSERT_EQ(result->type(), kHostCompoundPathArt);
    EXPECT_EQ(CountChildren(result), 2);
    EXPECT_NEAR(AreaOf(result), 300, 1e-9);

    // Two paths meeting at the same point are still two pieces.
    Art* apart = Unite({AddRing(Square(0, 0, 10)), AddRing(Square(10, 10, 10)), AddRing(Square(20, 10, 10))});
    ASSERT_EQ(apart->type(), kHostGroupArt);
    EXPECT_EQ(CountChildren(apart), 2);
}

// Neighbours whose common border each drew on its own, simplified apart: the
// border runs twice, 0.02 pt apart, through different vertices.
TEST_F(UniteArtTest, ABorderDrawnTwiceAHairApartUnites) {
    const Points left = {{0, 0}, {10, 0}, {10.01, 3}, {9.99, 7}, {10, 10}, {0, 10}};
    const Points right = {{10.02, 0}, {20, 0}, {20, 10}, {10.02, 10}, {10.03, 5}, {10.01, 1.5}};
    // The gap between them runs from under 0.01 pt to 0.034 pt, a little
    // more than the precision, where the left border bends in.
    Art* result = Unite({AddRing(left), AddRing(right)});
    ASSERT_EQ(result->type(), kHostCompoundPathArt);
    EXPECT_NEAR(AreaOf(result), 200, 0.5);

    // The same border 0.4 pt apart is two shapes.
    const Points farRight = {{10.4, 0}, {20, 0}, {20, 10}, {10.4, 10}};
    Art* apart = Unite({AddRing(left), AddRing(farRight)});
    ASSERT_EQ(apart->type(), kHostGroupArt);
    EXPECT_EQ(CountChildren(apart), 2);
}

// Closer than the precision, but not along a border: at a corner, or across
// an edge shorter than the precision, shapes stay separate.
TEST_F(UniteArtTest, AHairApartAtACornerOrAShortEdgeStaysSeparate) {
    const std::vector<Points> neighbours = {
        Square(10.02, 10.02, 10),                           // corner to corner
        Square(10.02, 10, 10),                              // a corner on a corner's side
        {{10.02, 4.99}, {20, 0}, {20, 10}, {10.02, 5.01}},  // a 0.02 pt edge facing a side
        {{10.01, 5}, {20, 0}, {20, 10}},                    // a point facing a side
    };
    for (const Points& other : neighbours) {
        SCOPED_TRACE(other.front().y);
        Art* result = Unite({AddRing(Square(0, 0, 10)), AddRing(other)});
        ASSERT_EQ(result->type(), kHostGroupArt);
        EXPECT_EQ(CountChildren(result), 2);
    }
}

// Borders 0.02 pt apart count as one from a stretch of ten precisions on
// (with the bit of each corner that comes within reach); borders 0.04 pt
// apart never do, however long.
TEST_F(UniteArtTest, ABorderAHairApartCountsFromTenPrecisionsOn) {
    const struct {
        double gap, overlap;
        bool joined;
    } cases[] = {{0.02, 0.2, false}, {0.02, 0.24, false}, {0.02, 0.3, true},
                 {0.02, 2, true},    {0.04, 5, false},    {0.04, 10, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.gap << " apart along " << c.overlap);
        Art* result = Unite({AddRing(Square(0, 0, 10)), AddRing(Square(10 + c.gap, 10 - c.overlap, 10))});
        EXPECT_EQ(result->type(), c.joined ? kHostCompoundPathArt : kHostGroupArt);
        EXPECT_EQ(CountChildren(result), 2);
    }
}

// Two squares joined by a line drawn there and back are one path, whose
// lobes stay one piece beside a shape apart.
TEST_F(UniteArtTest, LobesJoinedByALineDrawnThereAndBackStayOnePiece) {
    const Points joined = {{0, 0},   {10, 0},  {10, 5}, {20, 5}, {20, 0},  {30, 0},
                           {30, 10}, {20, 10}, {20, 5}, {10, 5}, {10, 10}, {0, 10}};
    Art* result = Unite({AddRing(joined), AddRing(Square(40, 0, 10))});
    ASSERT_EQ(result->type(), kHostGroupArt);
    ASSERT_EQ(CountChildren(result), 2);
    ASSERT_EQ(result->firstChild()->type(), kHostCompoundPathArt);
    EXPECT_EQ(CountChildren(result->firstChild()), 2);
    EXPECT_NEAR(AreaOf(result->firstChild()), 200, 1e-9);
    EXPECT_NEAR(AreaOf(result->lastChild()), 100, 1e-9);
}

TEST_F(UniteArtTest, HoleFilledBySquareUnderBothRules) {
    for (bool evenOdd : {false, true}) {
        Art* frame = AddCompound({Square(0, 0, 30), Square(10, 10, 10, false)}, evenOdd);
        Art* alone = AddCompound({Square(0, 0, 30), Square(10, 10, 10, false)}, evenOdd);
        Art* framed = Unite({alone});
        ASSERT_EQ(framed->type(), kHostCompoundPathArt);
        ASSERT_EQ(CountChildren(framed), 2);
        EXPECT_GT(SignedArea(framed->firstChild()->path()->segments), 0);  // outline first
        EXPECT_LT(SignedArea(framed->lastChild()->path()->segments), 0);
        EXPECT_NEAR(AreaOf(framed), 800, 1e-9);
        EXPECT_EQ(framed->firstChild()->path()->style.evenOdd, evenOdd);

        Art* filled = Unite({frame, AddRing(Square(10, 10, 10))});
        ASSERT_EQ(filled->type(), kHostPathArt);
        EXPECT_NEAR(AreaOf(filled), 900, 1e-9);
    }
}

TEST_F(UniteArtTest, RingInsideRingFollowsTheFillRule) {
    // Both rings run the same way: non-zero fills the inner one too.
    Art* nonZero = Unite({AddCompound({Square(0, 0, 30), Square(10, 10, 10)}, false)});
    EXPECT_EQ(nonZero->type(), kHostPathArt);
    EXPECT_NEAR(AreaOf(nonZero), 900, 1e-9);
    Art* evenOdd = Unite({AddCompound({Square(0, 0, 30), Square(10, 10, 10)}, true)});
    EXPECT_EQ(evenOdd->type(), kHostCompoundPathArt);
    EXPECT_NEAR(AreaOf(evenOdd), 800, 1e-9);
}

TEST_F(UniteArtTest, SelfIntersectingPaths) {
    const Points bowTie{{0, 0}, {20, 20}, {20, 0}, {0, 20}};
    for (bool evenOdd : {false, true}) {
        Art* result = Unite({AddRing(bowTie, nullptr, evenOdd)});
        // Two triangles meeting at a point, still one path's shape.
        ASSERT_EQ(result->type(), kHostCompoundPathArt);
        EXPECT_EQ(CountChildren(result), 2);
        EXPECT_NEAR(AreaOf(result), 200, 1e-9);
    }
    // A loop crossing itself and overlapping a neighbour: the neighbour
    // fills the loop's even-odd gap.
    const Points loop{{0, 0}, {30, 0}, {30, 20}, {10, 20}, {10, 10}, {20, 10}, {20, 30}, {0, 30}};
    Art* result = Unite({AddRing(loop, nullptr, true), AddRing(Square(10, 10, 10))});
    ASSERT_EQ(result->type(), kHostPathArt);
    EXPECT_NEAR(AreaOf(result), 30 * 30 - 10 * 10, 1e-9);
}

// Two blobs sharing an S-shaped border, each walking it its own way.
TEST_F(UniteArtTest, CurvedSharedEdgeLeavesNoSlivers) {
    const HostPoint bottom{0, 0}, top{0, 50}, c1{30, 10}, c2{-20, 40};
    // Left: bottom -> top along the border, then round by the left.
    const std::vector<HostPathSegment> left{
        {bottom, {-20, -5}, c1, 0}, {top, c2, {-20, 55}, 0}, {{-40, 25}, {-40, 45}, {-40, 5}, 0}};
    // Right: top -> bottom along the same border, then round by the right.
    const std::vector<HostPathSegment> right{
        {top, {20, 55}, c2, 0}, {bottom, c1, {20, -5}, 0}, {{40, 25}, {40, 5}, {40, 45}, 0}};
    auto flatArea = [](const std::vector<HostPathSegment>& segments) {
        return std::abs(SignedArea(Corners(FlattenPath(segments, true))));
    };
    const double expected = flatArea(left) + flatArea(right);
    Art* result = Unite({AddPath(left), AddPath(right)});
    ASSERT_EQ(result->type(), kHostPathArt);  // a sliver would make a hole or a second piece
    EXPECT_NEAR(AreaOf(result), expected, 1e-6);
    EXPECT_GT(expected, 3000);
}

TEST_F(UniteArtTest, NestedIslandsKeepTheirHolesAndPieces) {
    // A frame around a lake holding an island, next to a second shape.
    Art* lakeland = AddCompound({Square(0, 0, 50), Square(10, 10, 30, false), Square(20, 20, 10)}, false);
    Art* result = Unite({lakeland, AddRing(Square(50, 0, 10))});
    ASSERT_EQ(result->type(), kHostGroupArt);
    ASSERT_EQ(CountChildren(result), 2);
    const Art* land = result->firstChild();
    ASSERT_EQ(land->type(), kHostCompoundPathArt);
    EXPECT_EQ(CountChildren(land), 2);  // outline and lake
    EXPECT_NEAR(AreaOf(land), 2500 + 100 - 900, 1e-9);
    EXPECT_EQ(result->lastChild()->type(), kHostPathArt);  // the island
    EXPECT_NEAR(AreaOf(result->lastChild()), 100, 1e-9);
}

TEST_F(UniteArtTest, ResultTakesThePlaceAndStyleOfTheFirstInput) {
    Art* front = AddRing(Square(100, 0, 5));
    Art* other = AddRing(Square(0, 0, 10));
    Art* middle = AddRing(Square(200, 0, 5));
    Art* first = AddRing(Square(5, 0, 10), nullptr, true);
    HostPathStyle& style = first->path()->style;
    style.fill.color.kind = kHostFourColor;
    style.fill.color.c.four = {0.1, 0.2, 0.3, 0.4};
    style.stroke.dashCount = 2;
    style.stroke.dashes[1] = 7.5;
    first->name = "first";
    // Given against paint order: the first given input decides.
    Art* result = Unite({first, other});
    EXPECT_EQ(result->parent(), layer->group());
    EXPECT_EQ(front->next(), middle);
    EXPECT_EQ(middle->next(), result);  // where `first` stood
    EXPECT_EQ(result->next(), nullptr);
    EXPECT_TRUE(result->name.empty());
    const HostPathStyle& got = result->path()->style;
    EXPECT_EQ(got.fill.color.kind, kHostFourColor);
    EXPECT_EQ(got.fill.color.c.four.black, 0.4);
    EXPECT_EQ(got.stroke.dashCount, 2);
    EXPECT_EQ(got.stroke.dashes[1], 7.5);
    EXPECT_EQ(got.stroke.width, 0.25);
    EXPECT_TRUE(got.evenOdd);
    EXPECT_NEAR(AreaOf(result), 150, 1e-9);
}

TEST_F(UniteArtTest, GroupInputsUniteEverythingInside) {
    Art* group = AddContainer(kHostGroupArt);
    Art* styled = AddRing(Square(0, 0, 10), group);
    styled->path()->style.stroke.width = 3;
    AddRing(Square(10, 0, 10), group);
    AddRing(Square(40, 0, 10), group);
    Art* child = AddRing(Square(0, 10, 10), group);
    // The child is also given: it counts once, with its group.
    Art* result = Unite({group, child});
    ASSERT_EQ(result->type(), kHostGroupArt);
    ASSERT_EQ(CountChildren(result), 2);
    EXPECT_NEAR(AreaOf(result->firstChild()), 300, 1e-9);
    EXPECT_NEAR(AreaOf(result), 400, 1e-9);
    EXPECT_EQ(result->firstChild()->path()->style.stroke.width, 3);  // the group's first path
}

TEST_F(UniteArtTest, DegenerateInputsLeaveNothing) {
    Art* point = AddPath(Corners({{1, 1}}));
    Art* line = AddRing({{0, 0}, {5, 5}, {10, 10}});
    Art* empty = AddContainer(kHostCompoundPathArt);
    const size_t before = document.liveArtCount();
    EXPECT_EQ(Unite({point, line, empty}), nullptr);
    EXPECT_EQ(document.liveArtCount(), before - 3);
    // With a real shape among them, only it counts; an open path is closed.
    Art* open = AddPath(Corners({{0, 0}, {10, 0}, {10, 10}}), nullptr, false, false);
    Art* result = Unite({AddRing({{3, 3}, {4, 4}}), open});
    ASSERT_EQ(result->type(), kHostPathArt);
    EXPECT_NEAR(AreaOf(result), 50, 1e-9);
}

TEST_F(UniteArtTest, RefusalsLeaveTheDocumentUnchanged) {
    Art* a = AddRing(Square(0, 0, 10));
    Art* b = AddRing(Square(10, 0, 10));
    const HostArt aHandle = Document::toHandle(a), bHandle = Document::toHandle(b);
    auto expectRefused = [&](const std::vector<Art*>& inputs, HostErr expected) {
        const size_t live = document.liveArtCount();
        Art* result = a;
        EXPECT_EQ(UniteArt(document, inputs, &result), expected);
        EXPECT_EQ(result, nullptr);
        EXPECT_EQ(document.liveArtCount(), live);
        EXPECT_EQ(Document::fromHandle(aHandle), a);
        EXPECT_EQ(Document::fromHandle(bHandle), b);
        EXPECT_EQ(a->next(), b);
    };
    expectRefused({}, kHostBadParameterErr);
    expectRefused({a, nullptr}, kHostBadParameterErr);
    expectRefused({a, layer->group()}, kHostBadParameterErr);

    document.setAttributes(b, kHostArtLocked, kHostArtLocked);
    expectRefused({a, b}, kHostLockedErr);
    document.setAttributes(b, kHostArtLocked, 0);

    Art* group = AddContainer(kHostGroupArt);
    Art* text = nullptr;
    ASSERT_EQ(document.newArt(kHostTextFrameArt, kHostPlaceInsideOnTop, group, &text), 0);
    expectRefused({a, group}, kHostWrongArtTypeErr);
    expectRefused({a, text}, kHostWrongArtTypeErr);

    Art* bad = AddRing({{0, 0}, {NAN, 0}, {0, 5}});
    expectRefused({a, bad}, kHostBadParameterErr);
    // Coordinates whose areas would overflow, here in a handle.
    std::vector<HostPathSegment> wild = Corners(Square(0, 0, 1));
    wild[1].out = {1e300, 1e300};
    expectRefused({a, AddPath(wild)}, kHostBadParameterErr);

    Art* compound = AddCompound({Square(0, 0, 1)}, false);
    expectRefused({a, compound->firstChild()}, kHostBadParameterErr);

    Document other;
    Layer* otherLayer = nullptr;
    other.insertLayer(nullptr, kHostPlaceAboveAll, &otherLayer);
    Art* stranger = nullptr;
    other.newArt(kHostPathArt, kHostPlaceInsideOnTop, nullptr, &stranger);
    expectRefused({a, stranger}, kHostBadParameterErr);
}

// Small random outlines on an integer grid: crossings, shared vertices,
// overlapping edges and corner contacts all come up. Whatever route the
// union takes, its area and pieces must match the overlay of the regions.
TEST_F(UniteArtTest, RandomOutlinesMatchTheOverlay) {
    std::mt19937 random(11);
    auto coordinate = [&] { return double(random() % 7); };
    int countsCompared = 0;
    for (int trial = 0; trial < 150; ++trial) {
        SCOPED_TRACE(trial);
        std::vector<Art*> inputs;
        std::vector<GeometryPtr> regions;
        const int count = 1 + int(random() % 3);
        for (int k = 0; k < count; ++k) {
            std::vector<Ring> rings(1 + random() % 2);
            for (Ring& ring : rings)
                for (int v = 3 + int(random() % 4); v > 0; --v) ring.push_back({coordinate(), coordinate()});
            const bool evenOdd = random() % 2;
            if (rings.size() == 1) {
                inputs.push_back(AddRing(rings[0], nullptr, evenOdd));
            } else {
                Art* compound = AddContainer(kHostCompoundPathArt);
                for (const Ring& ring : rings) AddRing(ring, compound, evenOdd);
                inputs.push_back(compound);
            }
            regions.push_back(FilledRegionByFaces(rings, evenOdd ? FillRule::EvenOdd : FillRule::NonZero));
        }
        // A path whose own region falls apart at points is one piece (tested
        // on its own above); piece counts are compared without such paths.
        bool pinched = false;
        for (size_t k = 0; k < regions.size(); ++k)
            pinched = pinched || (inputs[k]->type() == kHostPathArt && regions[k]->getNumGeometries() > 1);
        GeometryPtr expected = std::move(regions[0]);
        for (size_t k = 1; k < regions.size(); ++k) {
            OverlayNG overlay(expected.get(), regions[k].get(), &OverlayGrid(), OverlayNG::UNION);
            overlay.setStrictMode(true);
            expected = overlay.getResult();
        }
        Art* result = Unite(inputs);
        if (expected->isEmpty()) {
            EXPECT_EQ(result, nullptr);
            continue;
        }
        ASSERT_TRUE(result);
        // Overlays snap the points they compute to a 1e-6 grid.
        EXPECT_NEAR(AreaOf(result), expected->getArea(), 1e-4);
        if (pinched) continue;
        // Pieces that run within the unite's precision of each other beyond
        // a corner (here: edges meeting at a hair's angle) are one piece.
        bool alongside = false;
        for (size_t i = 0; i < expected->getNumGeometries(); ++i)
            for (size_t j = 0; j < expected->getNumGeometries(); ++j) {
                if (i == j) continue;
                const GeometryPtr zone = expected->getGeometryN(i)->buffer(kUnitePrecision);
                const double near = zone->intersection(expected->getGeometryN(j))->getArea();
                alongside = alongside || near > 4 * kUnitePrecision * kUnitePrecision;
            }
        if (alongside) continue;
        ++countsCompared;
        const size_t pieces = result->type() == kHostGroupArt ? CountChildren(result) : 1;
        EXPECT_EQ(pieces, expected->getNumGeometries());
    }
    EXPECT_GT(countsCompared, 75);
}

}  // namespace
}  // namespace orbalis::host
