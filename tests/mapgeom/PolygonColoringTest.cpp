// "ポリゴン色分け" run through the host's menu.
#include <gtest/gtest.h>

#include "tests/support/PluginHarness.h"

namespace orbalis::testing {
namespace {

using host::Art;

constexpr const char* kCommand = "ポリゴン色分け";
constexpr const char* kTooMany = "隣接数が多すぎます。一旦終了して数を減らして下さい。";
constexpr HostErr kCancel = HOST_FOURCC('S', 'T', 'O', 'P');

// The palette's colour number of a painted fill; -1 when the fill is not one.
int ColorNumber(const Art* art) {
    static const double palette[][3] = {{0.3, 0, 0},   {0, 0.3, 0},   {0, 0, 0.3},  {0.2, 0.2, 0},
                                        {0.2, 0, 0.2}, {0, 0.2, 0.2}, {0.2, 0.4, 0}};
    const host::PathData* path = art->path();
    if (!path && art->firstChild()) path = art->firstChild()->path();
    if (!path || !path->style.fillPaint || path->style.fill.color.kind != kHostFourColor) return -1;
    const HostFourColor& c = path->style.fill.color.c.four;
    for (int i = 0; i < 7; ++i)
        if (c.cyan == palette[i][0] && c.magenta == palette[i][1] && c.yellow == palette[i][2] && c.black == 0)
            return i;
    return -1;
}

class PolygonColoringTest : public PluginTest {
protected:
    HostErr Run(std::initializer_list<bool> answers = {true}) {
        user().QueueAnswers(answers);
        return Choose(kCommand);
    }
    Art* Square(double x, double y, double size = 10) { return AddRect(doc(), layer->group(), x, y, size, size); }
    void ExpectScratchLayerGone() {
        EXPECT_EQ(doc().topLayers().size(), 1u);
        EXPECT_EQ(doc().topLayers().front(), layer);
    }
};

TEST_F(PolygonColoringTest, AnEmptyLayerEndsQuietly) {
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(user().questions(),
              (std::vector<std::string>{"レイヤー「Layer 1」上のポリゴンすべてを色分けします。よろしいですか？"}));
    EXPECT_TRUE(user().alerts().empty());
    ExpectScratchLayerGone();
}

TEST_F(PolygonColoringTest, TwoSquaresSharingAnEdgeGetColoursOneAndZero) {
    Art* a = Square(0, 0);
    Art* b = Square(10, 0);
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(ColorNumber(a), 1);
    EXPECT_EQ(ColorNumber(b), 0);
    EXPECT_EQ(a->path()->style.fill.color.c.four.magenta, 0.3);
    EXPECT_EQ(user().alerts(), (std::vector<std::string>{"終了"}));
    EXPECT_EQ(user().progressTexts().front(), "隣接Artをチェック中...");
    EXPECT_NE(std::find(user().progressTexts().begin(), user().progressTexts().end(), "カラーマップ 2"),
              user().progressTexts().end());
    ExpectScratchLayerGone();
    EXPECT_EQ(doc().currentLayer(), layer);
}

TEST_F(PolygonColoringTest, NearShapesAreUnitedButNotRecordedAndFarOnesNeverUnited) {
    Art* a = Square(0, 0);
    Art* b = Square(10.4, 0);
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(host::Faults::Calls("DoUniteEffect"), 1u);
    EXPECT_EQ(ColorNumber(a), -1);
    EXPECT_EQ(ColorNumber(b), -1);
    EXPECT_TRUE(user().alerts().empty());

    host::Faults::Reset();
    ASSERT_EQ(doc().disposeArt(b), 0);
    Square(11.1, 0);
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(host::Faults::Calls("DoUniteEffect"), 0u);
}

// Neighbours whose common border each drew on its own, 0.02 pt apart, as
// web maps simplified shape by shape have them: the host's unite joins them
// within its precision, so they touch and take different colours.
TEST_F(PolygonColoringTest, ABorderDrawnTwiceAHairApartMakesNeighbours) {
    Art* a = Square(0, 0);
    Art* b = Square(10.02, 0);
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(ColorNumber(a), 1);
    EXPECT_EQ(ColorNumber(b), 0);
    ExpectScratchLayerGone();
}

TEST_F(PolygonColoringTest, ThreeMutuallyTouchingShapes) {
    Art* a = Square(0, 0);
    Art* b = Square(10, 0);
    Art* c = AddRect(doc(), layer->group(), 0, 10, 20, 10);
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(ColorNumber(a), 1);
    EXPECT_EQ(ColorNumber(b), 2);
    EXPECT_EQ(ColorNumber(c), 0);
}

TEST_F(PolygonColoringTest, AGroupIsOneNodeAndAllItsPathsTakeItsColour) {
    Art* group = AddGroup(doc(), layer->group());
    Art* left = AddRect(doc(), group, 0, 0, 10, 10);
    Art* right = AddRect(doc(), group, 10, 0, 10, 10);  // touches `left`, same node
    Art* open = AddPolygon(doc(), group, {{0, 30}, {5, 35}}, false, StrokedStyle());
    Art* unfilled = AddRect(doc(), group, 0, 40, 5, 5, StrokedStyle());
    Art* neighbour = Square(20, 0);
    EXPECT_EQ(Run(), 0);
    for (Art* path : {left, right, open, unfilled}) EXPECT_EQ(ColorNumber(path), 1);
    EXPECT_EQ(ColorNumber(neighbour), 0);
}

TEST_F(PolygonColoringTest, TouchingShapesInsideOneGroupAreNeverCompared) {
    Art* group = AddGroup(doc(), layer->group());
    Art* left = AddRect(doc(), group, 0, 0, 10, 10);
    Art* right = AddRect(doc(), group, 10, 0, 10, 10);
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(host::Faults::Calls("DoUniteEffect"), 0u);
    EXPECT_EQ(ColorNumber(left), -1);
    EXPECT_EQ(ColorNumber(right), -1);
}

TEST_F(PolygonColoringTest, OpenAndUnfilledPathsTakeNoPartInTheTest) {
    AddPolygon(doc(), layer->group(), {{0, 0}, {10, 0}, {10, 10}, {0, 10}}, false);
    AddRect(doc(), layer->group(), 10, 0, 10, 10, StrokedStyle());
    Square(0, 10);
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(host::Faults::Calls("DoUniteEffect"), 0u);
}

TEST_F(PolygonColoringTest, AHiddenOrLockedCurrentLayerIsRefused) {
    Square(0, 0);
    Square(10, 0);
    layer->visible = false;
    EXPECT_EQ(Choose(kCommand), kCancel);
    layer->visible = true;
    layer->editable = false;
    EXPECT_EQ(Choose(kCommand), kCancel);
    EXPECT_EQ(user().alerts(),
              (std::vector<std::string>{"現在のレイヤーは非表示です", "現在のレイヤーはロックされています"}));
    EXPECT_TRUE(user().questions().empty());
    ExpectScratchLayerGone();
}

TEST_F(PolygonColoringTest, AnsweringNoLeavesNothingBehind) {
    Art* a = Square(0, 0);
    Square(10, 0);
    EXPECT_EQ(Run({false}), kCancel);
    EXPECT_EQ(ColorNumber(a), -1);
    ExpectScratchLayerGone();
}

TEST_F(PolygonColoringTest, CancelDuringTheScanPaintsNothing) {
    Art* a = Square(0, 0);
    Square(10, 0);
    user().CancelAtCheck(3);
    EXPECT_EQ(Run(), kCancel);
    EXPECT_EQ(ColorNumber(a), -1);
    ExpectScratchLayerGone();
}

TEST_F(PolygonColoringTest, CancelDuringTheSearchPaintsWhatIsAssigned) {
    auto build = [&] {
        host->OpenDocument(NewDocument(&layer));
        return std::vector<Art*>{Square(0, 0), Square(10, 0), AddRect(doc(), layer->group(), 0, 10, 20, 10)};
    };
    build();
    const uint64_t before = user().cancelChecks();
    ASSERT_EQ(Run(), 0);
    const uint64_t checks = user().cancelChecks() - before;
    user().ClearTranscript();

    // The search visits nodes 0, 1 and 2, checking for cancel at each: stop
    // at node 1, before it is given a colour.
    auto shapes = build();
    user().CancelAtCheck(checks - 1);
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(ColorNumber(shapes[0]), 1);
    EXPECT_EQ(ColorNumber(shapes[1]), 0);
    EXPECT_EQ(ColorNumber(shapes[2]), 0);
    EXPECT_EQ(user().alerts(), (std::vector<std::string>{"終了"}));
}

TEST_F(PolygonColoringTest, PaintFailuresGiveTheirCodes) {
    Art* group = AddGroup(doc(), layer->group());
    AddRect(doc(), group, 0, 0, 10, 10);
    Square(10, 0);
    host::Faults::FailOperation("SetPathStyle", 1, kHostBadParameterErr);
    EXPECT_EQ(Run(), 100);

    host->OpenDocument(NewDocument(&layer));
    Square(0, 0);
    Square(10, 0);
    host::Faults::FailOperation("SetPathStyle", 1, kHostBadParameterErr);
    EXPECT_EQ(Run(), 200);
    ExpectScratchLayerGone();
}

TEST_F(PolygonColoringTest, AnUnreadableParentChainEndsTheRunWithoutRecording) {
    Square(0, 0);
    Art* b = Square(10, 0);
    host::Faults::FailOperation("GetArtParent", 1, HOST_FOURCC('P', 'A', 'R', '?'));
    EXPECT_EQ(Run(), HOST_FOURCC('P', 'A', 'R', '?'));
    EXPECT_EQ(ColorNumber(b), -1);
    ExpectScratchLayerGone();
}

class TooManyNodesTest : public PolygonColoringTest {
protected:
    // A row of squares, each touching the next: 1,002 nodes.
    std::vector<Art*> Row() {
        std::vector<Art*> row;
        for (int i = 0; i < 1002; ++i) row.push_back(Square(i * 10.0, 0));
        return row;
    }
};

TEST_F(TooManyNodesTest, YesDuringTheScanEndsQuietly) {
    auto row = Row();
    EXPECT_EQ(Run({true, true}), 0);
    EXPECT_EQ(user().questions().back(), kTooMany);
    EXPECT_EQ(ColorNumber(row[0]), -1);
    ExpectScratchLayerGone();
}

TEST_F(TooManyNodesTest, NoThenYesBeforeColouringEndsQuietly) {
    auto row = Row();
    EXPECT_EQ(Run({true, false, true}), 0);
    EXPECT_EQ(ColorNumber(row[0]), -1);
}

TEST_F(TooManyNodesTest, NoTwiceColoursEverything) {
    auto row = Row();
    EXPECT_EQ(Run({true, false, false}), 0);
    for (size_t i = 0; i + 1 < row.size(); ++i) ASSERT_EQ(ColorNumber(row[i]), i % 2 ? 2 : 1) << i;
    EXPECT_EQ(ColorNumber(row.back()), 0);
}

}  // namespace
}  // namespace orbalis::testing
