// Editing a story by character positions.
#include <gtest/gtest.h>

#include "host/model/TextStory.h"
#include "tests/support/TextFixtures.h"

namespace orbalis::testing {
namespace {

using host::TextData;

std::vector<std::string> Texts(const TextData& t) {
    std::vector<std::string> out;
    for (const auto& run : t.runs) out.push_back(run.text);
    return out;
}

TEST(TextStoryTest, LocalFeaturesSplitRunsAtCharacterBoundaries) {
    TextData t;
    t.runs = {Chars("東京都", 12), Chars("Ab", 9)};
    host::CharFeatureSet bigger;
    bigger.fontSize = 20;
    host::ApplyCharFeatures(t, 1, 4, bigger);  // "京都" and "A"
    EXPECT_EQ(Texts(t), (std::vector<std::string>{"東", "京都A", "b"}));
    EXPECT_EQ(t.runs[1].features.fontSize, 20);
    EXPECT_EQ(t.runs[2].features.fontSize, 9);
    EXPECT_EQ(host::StoryContents(t, 1, 3), "京都");

    const host::CharFeatureSet shared = host::SharedCharFeatures(t, 0, 4);
    EXPECT_FALSE(shared.fontSize.has_value());
    EXPECT_EQ(shared.rotation, 0.0);
    EXPECT_EQ(host::SharedCharFeatures(t, 2, 3).fontSize, 20.0);

    host::ApplyCharFeatures(t, 0, 99, bigger);  // past the end is cut to the story
    host::CharFeatureSet nine;
    nine.fontSize = 9;
    host::ApplyCharFeatures(t, 3, 3, nine);  // an empty range changes nothing
    EXPECT_EQ(Texts(t), (std::vector<std::string>{"東京都Ab"}));
}

TEST(TextStoryTest, InsertedTextTakesThePrecedingFeaturesAndItsParagraphsJustification) {
    TextData t;
    t.runs = {Chars("ab", 10), Chars("cd", 14)};
    t.paragraphs = {host::Justification::Right};
    host::InsertText(t, 2, "X\rY");
    EXPECT_EQ(Texts(t), (std::vector<std::string>{"abX\rY", "cd"}));
    EXPECT_EQ(t.paragraphs, (std::vector<host::Justification>{host::Justification::Right, host::Justification::Right}));
    host::InsertText(t, 0, "<");
    EXPECT_EQ(t.runs.front().text, "<abX\rY") << "at the start, the first character's features";

    TextData empty;
    host::InsertText(empty, 5, "新");
    ASSERT_EQ(empty.runs.size(), 1u);
    EXPECT_EQ(empty.runs[0].features.fill.c.gray.gray, 1) << "the host's default, black";
    EXPECT_EQ(host::ParagraphsOf(t, 0, 2), (std::pair<size_t, size_t>{0, 0}));
    EXPECT_EQ(host::ParagraphsOf(t, 2, 7), (std::pair<size_t, size_t>{0, 1}));
}

TEST(TextStoryTest, VerticalAreaTextOverflowsByColumns) {
    // Columns of 10 pt advance to the left; the frame is two columns wide.
    TextData t;
    t.frameKind = 1;
    t.orientation = 1;
    t.matrix = {1, 0, 0, 1, 15, 30};
    t.runs = {Chars("一二\r三四\r五", 10)};
    for (HostPoint p : std::vector<HostPoint>{{0, 30}, {20, 30}, {20, 0}, {0, 0}}) t.path.push_back({p, p, p, true});
    t.pathClosed = true;
    EXPECT_EQ(host::VisibleEnd(t), 6u) << "the third column does not fit";
    t.frameKind = 0;
    EXPECT_EQ(host::VisibleEnd(t), host::StoryLength(t)) << "point text shows everything";
}

}  // namespace
}  // namespace orbalis::testing
