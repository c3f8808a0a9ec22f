// The layout model on what map labels carry: tracking, baseline shifts,
// hidden runs and characters placed apart.
#include <gtest/gtest.h>

#include <cmath>

#include "host/model/TextLayout.h"
#include "host/model/TextStory.h"

namespace orbalis::testing {
namespace {

using host::CharFeatures;
using host::TextData;

CharFeatures Size(double size) {
    CharFeatures f = host::DefaultCharFeatures();
    f.fontSize = size;
    return f;
}

TextData Label(std::vector<host::TextRun> runs) {
    TextData text;
    text.matrix = {1, 0, 0, 1, 100, 50};
    text.runs = std::move(runs);
    return text;
}

HostRect Bounds(const TextData& text) {
    HostRect r{};
    EXPECT_TRUE(host::TextBounds(text, &r));
    return r;
}

TEST(LabelLayout, TrackingWidensEveryAdvanceAndTheJustifiedLine) {
    CharFeatures tracked = Size(10);
    tracked.tracking = 200;  // 2 pt a glyph at 10 pt
    TextData text = Label({{"RHINE", tracked}});
    EXPECT_DOUBLE_EQ(Bounds(text).right, 100 + 5 * (5 + 2));
    const auto glyphs = host::LayoutText(text);
    ASSERT_EQ(glyphs.size(), 5u);
    EXPECT_DOUBLE_EQ(glyphs[1].corners[0].x, 107);
    text.paragraphs = {host::Justification::Center};
    EXPECT_DOUBLE_EQ(Bounds(text).left, 100 - 17.5);
    // Scaling the type scales the spacing with it.
    text.runs[0].features.fontSize = 20;
    EXPECT_DOUBLE_EQ(Bounds(text).left, 100 - 35);
}

TEST(LabelLayout, BaselineShiftRaisesOnlyItsRun) {
    CharFeatures super = Size(6);
    super.baselineShift = 4;
    const TextData text = Label({{"m", Size(10)}, {"2", super}});
    const auto glyphs = host::LayoutText(text);
    ASSERT_EQ(glyphs.size(), 2u);
    EXPECT_DOUBLE_EQ(glyphs[0].corners[0].y, 50 - 2);
    EXPECT_DOUBLE_EQ(glyphs[1].corners[0].y, 50 + 4 - 1.2);
    EXPECT_DOUBLE_EQ(glyphs[1].corners[0].x, 105);
}

TEST(LabelLayout, HiddenRunsTakeNoRoom) {
    CharFeatures hidden = Size(10);
    hidden.hidden = true;
    const TextData text = Label({{"ab", Size(10)}, {"xyz", hidden}, {"c", Size(10)}});
    const auto glyphs = host::LayoutText(text);
    ASSERT_EQ(glyphs.size(), 3u);
    EXPECT_EQ(glyphs[2].position, 5u) << "positions still count the hidden characters";
    EXPECT_DOUBLE_EQ(glyphs[2].corners[0].x, 110);
}

TEST(LabelLayout, CharactersPlacedApartMoveTheFlow) {
    TextData text = Label({{"abcd", Size(10)}});
    text.glyphs.dx = {NAN, 3};        // b and what follows 3 pt further
    text.glyphs.dy = {NAN, NAN, -4};  // c and d 4 pt lower
    text.glyphs.rotate = {NAN, NAN, NAN, 90};
    text.glyphs.x = {NAN, NAN, NAN, 40};  // d at 40 along the line
    const auto glyphs = host::LayoutText(text);
    ASSERT_EQ(glyphs.size(), 4u);
    EXPECT_DOUBLE_EQ(glyphs[1].corners[0].x, 108);
    EXPECT_DOUBLE_EQ(glyphs[2].corners[0].x, 113);
    EXPECT_DOUBLE_EQ(glyphs[2].corners[0].y, 50 - 4 - 2);
    // d: at x 40, on the lowered baseline, turned a quarter: its bottom
    // left corner (0, -2) goes to (2, 0) from its origin.
    EXPECT_NEAR(glyphs[3].corners[0].x, 140 + 2, 1e-12);
    EXPECT_NEAR(glyphs[3].corners[0].y, 50 - 4, 1e-12);

    // Inserting text keeps the placed characters with their characters.
    host::InsertText(text, 0, "zz");
    ASSERT_EQ(text.glyphs.dx.size(), 4u);
    EXPECT_TRUE(std::isnan(text.glyphs.dx[0]) && std::isnan(text.glyphs.dx[2]));
    EXPECT_EQ(text.glyphs.dx[3], 3);
    EXPECT_EQ(text.glyphs.x[5], 40);
}

}  // namespace
}  // namespace orbalis::testing
