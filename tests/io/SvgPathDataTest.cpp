#include <gtest/gtest.h>

#include <cmath>

#include "host/io/svg/SvgNumbers.h"
#include "host/io/svg/SvgPathData.h"

namespace orbalis::host::svg {
namespace {

std::vector<Subpath> Parse(const std::string& d) {
    size_t budget = 1000;
    std::vector<Subpath> out;
    PathDataError error;
    EXPECT_TRUE(ParsePathData(d, &budget, &out, &error)) << d << ": " << error.message;
    return out;
}

HostPoint At(const HostPathSegment& from, const HostPathSegment& to, double t) {
    const double u = 1 - t;
    auto mix = [&](double a, double b, double c, double d) {
        return u * u * u * a + 3 * u * u * t * b + 3 * u * t * t * c + t * t * t * d;
    };
    return {mix(from.p.x, from.out.x, to.in.x, to.p.x), mix(from.p.y, from.out.y, to.in.y, to.p.y)};
}

void ExpectPoint(HostPoint p, double x, double y) {
    EXPECT_NEAR(p.x, x, 1e-9);
    EXPECT_NEAR(p.y, y, 1e-9);
}

bool Straight(const HostPathSegment& s) {
    return s.in.x == s.p.x && s.in.y == s.p.y && s.out.x == s.p.x && s.out.y == s.p.y;
}

TEST(SvgPathData, AbsoluteAndRelativeCommandsReachTheSamePoints) {
    const auto abs = Parse("M10 10 L20 10 L20 20 H10 V15 Z");
    const auto rel = Parse("m10 10 l10 0 l0 10 h-10 v-5 z");
    ASSERT_EQ(abs.size(), 1u);
    ASSERT_EQ(rel.size(), 1u);
    ASSERT_EQ(abs[0].segments.size(), 5u);
    ASSERT_EQ(rel[0].segments.size(), 5u);
    for (size_t i = 0; i < 5; ++i) {
        ExpectPoint(rel[0].segments[i].p, abs[0].segments[i].p.x, abs[0].segments[i].p.y);
        EXPECT_TRUE(Straight(abs[0].segments[i]));
    }
    EXPECT_TRUE(abs[0].closed && rel[0].closed);
    ExpectPoint(abs[0].segments[4].p, 10, 15);
}

TEST(SvgPathData, ImplicitRepeatsAfterMoveDrawLines) {
    const auto abs = Parse("M0 0 10 0 10 10");
    ASSERT_EQ(abs[0].segments.size(), 3u);
    ExpectPoint(abs[0].segments[2].p, 10, 10);
    const auto rel = Parse("m5 5 10 0 0 10");
    ExpectPoint(rel[0].segments[1].p, 15, 5);
    ExpectPoint(rel[0].segments[2].p, 15, 15);
    const auto curves = Parse("M0 0 C1 1 2 1 3 0 4 -1 5 -1 6 0");
    ASSERT_EQ(curves[0].segments.size(), 3u);
    ExpectPoint(curves[0].segments[2].in, 5, -1);
}

TEST(SvgPathData, NumberGrammarQuirks) {
    struct Case {
        const char* d;
        double x, y;
    } cases[] = {
        {"M1.5.5", 1.5, 0.5},   {"M-1-2", -1, -2},   {"M1e-5 2E+1", 1e-5, 20},
        {"M.5.5", 0.5, 0.5},    {"M 3,4", 3, 4},     {"M+3 -.25", 3, -0.25},
        {"M1e2-1e1", 100, -10}, {"M1e-400 0", 0, 0}, {"  M\t7\n8  ", 7, 8},
    };
    for (const Case& c : cases) {
        const auto out = Parse(c.d);
        ASSERT_EQ(out.size(), 1u) << c.d;
        ExpectPoint(out[0].segments[0].p, c.x, c.y);
    }
}

TEST(SvgPathData, SmoothCurvesReflectTheLastControlPoint) {
    const auto s = Parse("M0 0 C0 10 10 10 10 0 S20 -10 20 0");
    ASSERT_EQ(s[0].segments.size(), 3u);
    ExpectPoint(s[0].segments[1].out, 10, -10);  // (10,10) mirrored about (10,0)
    const auto noReflect = Parse("M0 0 L5 5 S10 10 15 5");
    ExpectPoint(noReflect[0].segments[1].out, 5, 5);  // after a line the first control is the point
    const auto q = Parse("M0 0 Q10 10 20 0 T40 0");
    ExpectPoint(q[0].segments[0].out, 20.0 / 3, 20.0 / 3);
    ExpectPoint(q[0].segments[1].in, 40.0 / 3, 20.0 / 3);
    // T mirrors (10,10) about (20,0) to (30,-10): the elevated handles follow.
    ExpectPoint(q[0].segments[1].out, 20 + 10.0 * 2 / 3, -20.0 / 3);
    ExpectPoint(q[0].segments[2].in, 40 - 10.0 * 2 / 3, -20.0 / 3);
}

TEST(SvgPathData, ArcsFollowTheEllipse) {
    struct Case {
        const char* d;
        double cx, cy, r;
        double expectedMidY;  // y of the arc's middle, which side it bulges to
    } cases[] = {
        {"M0 0 A10 10 0 0 1 20 0", 10, 0, 10, -10},
        {"M0 0 A10 10 0 0 0 20 0", 10, 0, 10, 10},
        {"M0 0 a10 10 0 0 1 20 0", 10, 0, 10, -10},
        {"M0 0 A1 1 0 0 1 20 0", 10, 0, 10, -10},  // radii too small grow to fit
        {"M0 0 A-10 -10 0 0 1 20 0", 10, 0, 10, -10},
    };
    for (const Case& c : cases) {
        const auto out = Parse(c.d);
        const auto& s = out[0].segments;
        ASSERT_GE(s.size(), 3u) << c.d;
        double midY = 0;
        for (size_t i = 1; i < s.size(); ++i)
            for (double t : {0.25, 0.5, 0.75}) {
                const HostPoint p = At(s[i - 1], s[i], t);
                EXPECT_NEAR(std::hypot(p.x - c.cx, p.y - c.cy), c.r, 1e-3 * c.r) << c.d;
                if (std::fabs(p.x - c.cx) < 1e-6) midY = p.y;
            }
        for (size_t i = 1; i < s.size(); ++i)
            if (std::fabs(s[i].p.x - c.cx) < 1e-9) midY = s[i].p.y;
        EXPECT_NEAR(midY, c.expectedMidY, 1e-6) << c.d;
        ExpectPoint(s.back().p, 20, 0);
    }
}

TEST(SvgPathData, LargeArcFlagTakesTheLongWay) {
    const auto small = Parse("M10 0 A10 10 0 0 1 0 10");
    const auto large = Parse("M10 0 A10 10 0 1 1 0 10");
    // A quarter turn is one curve; three quarters are three.
    EXPECT_EQ(small[0].segments.size(), 2u);
    EXPECT_EQ(large[0].segments.size(), 4u);
}

TEST(SvgPathData, DegenerateArcs) {
    const auto zeroRadius = Parse("M0 0 A0 5 0 0 1 10 0");
    ASSERT_EQ(zeroRadius[0].segments.size(), 2u);
    EXPECT_TRUE(Straight(zeroRadius[0].segments[1]));
    const auto samePoint = Parse("M3 3 A5 5 0 0 1 3 3");
    EXPECT_EQ(samePoint[0].segments.size(), 1u);
}

TEST(SvgPathData, ClosingOnTheStartDoesNotDuplicateIt) {
    const auto out = Parse("M0 0 L10 0 L10 10 L0 0 Z");
    ASSERT_EQ(out[0].segments.size(), 3u);
    EXPECT_TRUE(out[0].closed);
    // A curve back to the start keeps its handle on the first anchor.
    const auto curve = Parse("M0 0 L10 0 C10 5 5 10 0 0 Z");
    ASSERT_EQ(curve[0].segments.size(), 2u);
    ExpectPoint(curve[0].segments[0].in, 5, 10);
}

// Relative steps that come back to the start mathematically land a rounding
// error off it in floating point (-347.67788250000007 here); the closing
// point is the start all the same, or a second reading of the written file
// (which prints both alike) would merge it and write other data.
TEST(SvgPathData, ClosingWithinRoundingOfTheStartMergesIt) {
    const auto out = Parse("m10.1 -347.6778825 l0.2 0.2 l0.7 0.7 l-0.3 -0.3 l-0.6 -0.6 z");
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].segments.size(), 4u);
    // A closing point a real (if tiny) step away stays an anchor of its own.
    const auto apart = Parse("M10 10 L20 10 L20 20 L10 10.00001 Z");
    EXPECT_EQ(apart[0].segments.size(), 4u);
}

TEST(SvgPathData, SubpathsAfterCloseStartAtTheClosedStart) {
    const auto out = Parse("M5 5 L10 5 L10 10 Z l1 1 M20 20 L30 30");
    ASSERT_EQ(out.size(), 3u);
    EXPECT_TRUE(out[0].closed);
    ExpectPoint(out[1].segments[0].p, 5, 5);
    ExpectPoint(out[1].segments[1].p, 6, 6);
    EXPECT_FALSE(out[1].closed);
    ExpectPoint(out[2].segments[0].p, 20, 20);
}

TEST(SvgPathData, MalformedDataNamesTheOffset) {
    struct Case {
        const char* d;
        size_t offset;
        const char* message;
    } cases[] = {
        {"L1 2", 0, "must start with a move"},
        {"M1", 2, "expected a number"},
        {"M1 2 L3 x", 8, "expected a number"},
        {"M1e400 2", 1, "number out of range"},
        {"M0 0 A1 1 0 2 0 5 5", 12, "expected a flag"},
        {"M0 0 X1", 5, "unknown command \"X\""},
        {"M NaN 0", 2, "expected a number"},
        {"M1,,2", 3, "expected a number"},
        {"M0 0 Z 1", 7, "expected a command"},
        {"M0 0 L1 1,", 10, "expected a number"},
    };
    for (const Case& c : cases) {
        size_t budget = 100;
        std::vector<Subpath> out;
        PathDataError error;
        EXPECT_FALSE(ParsePathData(c.d, &budget, &out, &error)) << c.d;
        EXPECT_EQ(error.offset, c.offset) << c.d;
        EXPECT_NE(error.message.find(c.message), std::string::npos) << c.d << ": " << error.message;
    }
}

TEST(SvgPathData, SegmentBudgetIsShared) {
    size_t budget = 5;
    std::vector<Subpath> out;
    PathDataError error;
    EXPECT_TRUE(ParsePathData("M0 0 1 1 2 2", &budget, &out, &error));
    EXPECT_EQ(budget, 2u);
    EXPECT_FALSE(ParsePathData("M0 0 1 1 2 2", &budget, &out, &error));
    EXPECT_EQ(error.message, "too many path segments");
}

TEST(SvgPathData, CornersWhereTheDirectionBreaks) {
    auto square = Parse("M0 0 H10 V10 H0 Z");
    MarkCorners(square[0].segments, true);
    for (const auto& s : square[0].segments) EXPECT_TRUE(s.corner);

    auto circle = Parse("M10 0 A10 10 0 0 1 0 10 A10 10 0 0 1 -10 0 A10 10 0 0 1 0 -10 A10 10 0 0 1 10 0 Z");
    ASSERT_EQ(circle[0].segments.size(), 4u);
    MarkCorners(circle[0].segments, true);
    for (const auto& s : circle[0].segments) EXPECT_FALSE(s.corner);

    // A line running on into a curve along its own direction is smooth.
    auto tangent = Parse("M0 0 L10 0 C15 0 20 5 20 10");
    MarkCorners(tangent[0].segments, false);
    EXPECT_TRUE(tangent[0].segments[0].corner);  // an open end
    EXPECT_FALSE(tangent[0].segments[1].corner);
}

TEST(SvgPathData, WrittenDataReadsBackExactly) {
    const auto original = Parse("M0.1 0.2 C1 2 3 4 5 6 L7.25 -8 Q9 9 10 0 A4 3 30 1 0 20 5 Z M-1 -1 h2");
    std::string d;
    for (const auto& sub : original) AppendPathData(d, sub.segments, sub.closed);
    const auto again = Parse(d);
    ASSERT_EQ(again.size(), original.size());
    for (size_t k = 0; k < original.size(); ++k) {
        ASSERT_EQ(again[k].segments.size(), original[k].segments.size()) << d;
        EXPECT_EQ(again[k].closed, original[k].closed);
        for (size_t i = 0; i < original[k].segments.size(); ++i) {
            const auto &a = original[k].segments[i], &b = again[k].segments[i];
            for (auto [p, q] : {std::pair{a.p, b.p}, {a.in, b.in}, {a.out, b.out}}) {
                EXPECT_NEAR(p.x, q.x, 1e-6);
                EXPECT_NEAR(p.y, q.y, 1e-6);
            }
        }
    }
}

TEST(SvgNumbers, FormattingIsShortAndExactEnough) {
    EXPECT_EQ(FormatCoordinate(-0.0), "0");
    EXPECT_EQ(FormatCoordinate(184.22 * 0.75), "138.165");
    EXPECT_EQ(FormatCoordinate(1.0 / 3), "0.333333");
    EXPECT_EQ(FormatExact(0.1), "0.1");
    EXPECT_EQ(FormatExact(1.0 / 3), "0.3333333333333333");
    double v;
    ASSERT_TRUE(ParseNumber(FormatExact(1e300), &v));
    EXPECT_EQ(v, 1e300);
}

}  // namespace
}  // namespace orbalis::host::svg
