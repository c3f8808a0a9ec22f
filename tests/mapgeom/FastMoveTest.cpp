// "高速移動" run through the host's menu.
#include <gtest/gtest.h>

#include "host/io/DocumentFiles.h"
#include "tests/support/PluginHarness.h"

namespace orbalis::testing {
namespace {

using host::Art;
using host::Document;

constexpr const char* kSelectOnePath = "移動先を示すパスを1つだけ選択して実行してください";
constexpr const char* kDeleteQuestion = "移動完了後に、移動先を示すパスを削除しますか？";
constexpr const char* kGuideQuestion = "ガイドを無視しますか？";

class FastMoveTest : public PluginTest {
protected:
    // An open path from (0, 0) to (dx, dy) through a middle point, selected.
    Art* Arrow(double dx, double dy, Art* container = nullptr) {
        Art* path = AddPolygon(doc(), container ? container : layer->group(), {{0, 0}, {3, 7}, {dx, dy}}, false,
                               StrokedStyle());
        Select(doc(), path);
        return path;
    }
    static HostPoint Moved(HostPoint p) { return {p.x + 10, p.y + 5}; }
};

void ExpectAt(const Art* path, HostPoint p) {
    EXPECT_DOUBLE_EQ(FirstAnchor(path).x, p.x);
    EXPECT_DOUBLE_EQ(FirstAnchor(path).y, p.y);
}

TEST_F(FastMoveTest, MovesVisibleUnlockedArtByThePathsVector) {
    Art* square = AddRect(doc(), layer->group(), 100, 100, 10, 10);
    Art* group = AddGroup(doc(), layer->group());
    Art* inGroup = AddRect(doc(), group, 200, 0, 5, 5);
    Art* compound = AddCompound(doc(), layer->group());
    Art* outer = AddRect(doc(), compound, 0, 200, 50, 50);
    Art* hole = AddRect(doc(), compound, 10, 210, 10, 10);
    Art* arrow = Arrow(10, 5);
    const HostArt arrowHandle = Document::toHandle(arrow);
    const std::vector<double> arrowBefore = Geometry(arrow);

    user().QueueAnswer(false);
    EXPECT_EQ(Choose("高速移動"), 0);
    EXPECT_EQ(user().questions(), (std::vector<std::string>{kDeleteQuestion}));
    ExpectAt(square, {110, 105});
    ExpectAt(inGroup, {210, 5});
    ExpectAt(outer, {10, 205});
    ExpectAt(hole, {20, 215});
    EXPECT_EQ(Geometry(arrow), arrowBefore) << "the destination path stays where it was drawn";
    EXPECT_EQ(Document::fromHandle(arrowHandle), arrow);
}

TEST_F(FastMoveTest, AZeroVectorMovesNothingAndYesDeletesThePath) {
    Art* square = AddRect(doc(), layer->group(), 1, 2, 3, 4);
    Art* arrow = AddPolygon(doc(), layer->group(), {{5, 5}, {9, 9}, {5, 5}}, false, StrokedStyle());
    const HostArt arrowHandle = Document::toHandle(arrow);
    Select(doc(), arrow);
    user().QueueAnswer(true);
    EXPECT_EQ(Choose("高速移動"), 0);
    ExpectAt(square, {1, 2});
    EXPECT_EQ(Document::fromHandle(arrowHandle), nullptr) << "the path is deleted";
}

TEST_F(FastMoveTest, ADestinationInsideAGroupIsAccepted) {
    Art* group = AddGroup(doc(), layer->group());
    Art* sibling = AddRect(doc(), group, 0, 0, 1, 1);
    Arrow(10, 5, group);
    user().QueueAnswer(false);
    EXPECT_EQ(Choose("高速移動"), 0);
    ExpectAt(sibling, {10, 5});
}

TEST_F(FastMoveTest, LockedAndHiddenObjectsAndLayersStayPut) {
    Art* locked = AddRect(doc(), layer->group(), 0, 0, 1, 1);
    Lock(doc(), locked);
    Art* hiddenGroup = AddGroup(doc(), layer->group());
    Art* insideHidden = AddRect(doc(), hiddenGroup, 0, 0, 1, 1);
    Hide(doc(), hiddenGroup);
    host::Layer* lockedLayer = AddLayer(doc(), "locked", layer);
    Art* onLocked = AddRect(doc(), lockedLayer->group(), 0, 0, 1, 1);
    lockedLayer->editable = false;
    host::Layer* hiddenLayer = AddLayer(doc(), "hidden", layer);
    Art* onHidden = AddRect(doc(), hiddenLayer->group(), 0, 0, 1, 1);
    hiddenLayer->visible = false;
    host::Layer* open = AddLayer(doc(), "open", hiddenLayer);
    Art* onOpen = AddRect(doc(), open->group(), 0, 0, 1, 1);
    host::Layer* sublayer = nullptr;
    ASSERT_EQ(doc().insertLayer(open, kHostPlaceInsideOnTop, &sublayer), 0);
    Art* onHiddenSublayer = AddRect(doc(), sublayer->group(), 0, 0, 1, 1);
    sublayer->visible = false;
    Arrow(10, 5);

    user().QueueAnswer(false);
    EXPECT_EQ(Choose("高速移動"), 0);
    for (Art* still : {locked, insideHidden, onLocked, onHidden, onHiddenSublayer}) ExpectAt(still, {0, 0});
    ExpectAt(onOpen, {10, 5});
}

TEST_F(FastMoveTest, TheGuideQuestionComesOnceAndDecidesForEveryGuide) {
    for (bool ignore : {true, false}) {
        Art* guide1 = AddRect(doc(), layer->group(), 0, 0, 1, 1, StrokedStyle());
        Art* guide2 = AddRect(doc(), layer->group(), 0, 0, 1, 1, StrokedStyle());
        guide1->path()->guide = guide2->path()->guide = true;
        const HostArt arrow = Document::toHandle(Arrow(10, 5));
        user().QueueAnswers({true, ignore});
        user().ClearTranscript();
        EXPECT_EQ(Choose("高速移動"), 0);
        EXPECT_EQ(user().questions(), (std::vector<std::string>{kDeleteQuestion, kGuideQuestion}));
        for (Art* guide : {guide1, guide2}) ExpectAt(guide, ignore ? HostPoint{0, 0} : HostPoint{10, 5});
        EXPECT_EQ(Document::fromHandle(arrow), nullptr);
        for (Art* guide : {guide1, guide2}) ASSERT_EQ(doc().disposeArt(guide), 0);
    }
}

TEST_F(FastMoveTest, OnlyTheKindsMovedWholeAreMoved) {
    std::vector<std::pair<int32_t, Art*>> arts;
    for (int32_t type : {4, 5, 6, 8, 16, 20, kHostPlacedArt, 9, 10, 11, 12, 13, 14, 15})
        arts.emplace_back(type, AddArt(doc(), layer->group(), type));
    Arrow(10, 5);
    user().QueueAnswer(false);
    EXPECT_EQ(Choose("高速移動"), 0);
    for (auto& [type, art] : arts) {
        const std::vector<double> g = Geometry(art);
        ASSERT_GE(g.size(), 6u) << type;
        const bool moved = g[4] == 10 && g[5] == 5;
        const bool wholeKind = type == kHostPlacedArt || (type >= 9 && type <= 15);
        EXPECT_EQ(moved, wholeKind) << "type " << type;
    }
}

TEST_F(FastMoveTest, ASelectionOtherThanOnePathIsRefusedWithTheMessage) {
    auto expectRefused = [&](const char* what) {
        user().ClearTranscript();
        EXPECT_EQ(Choose("高速移動"), 0) << what;
        EXPECT_EQ(user().alerts(), (std::vector<std::string>{kSelectOnePath})) << what;
        EXPECT_TRUE(user().questions().empty()) << what;
    };
    expectRefused("nothing selected");
    Art* a = Arrow(1, 1);
    Art* b = Arrow(2, 2);
    expectRefused("two paths");
    doc().deselectAll();
    Select(doc(), a);
    Select(doc(), AddArt(doc(), layer->group(), kHostPlacedArt));
    expectRefused("a path and an image");
    (void)b;
}

TEST_F(FastMoveTest, AnUnreadableSelectionTypeIsReportedWithTheHostsCode) {
    Arrow(1, 1);
    host::Faults::FailOperation("GetArtType", 1, kHostBadParameterErr);
    EXPECT_EQ(Choose("高速移動"), kHostBadParameterErr);
    EXPECT_EQ(user().alerts(), (std::vector<std::string>{kSelectOnePath}));
}

TEST_F(FastMoveTest, UnreadableSegmentsEndTheRunQuietly) {
    Art* square = AddRect(doc(), layer->group(), 0, 0, 1, 1);
    Arrow(10, 5);
    user().QueueAnswer(true);
    host::Faults::FailOperation("GetPathSegments", 2, kHostBadParameterErr);
    EXPECT_EQ(Choose("高速移動"), 0);
    ExpectAt(square, {0, 0});
}

TEST_F(FastMoveTest, AFailingTransformEndsTheRunAndKeepsEarlierMoves) {
    Art* first = AddRect(doc(), layer->group(), 0, 0, 1, 1);
    Art* second = AddRect(doc(), layer->group(), 0, 0, 1, 1);
    Art* third = AddRect(doc(), layer->group(), 0, 0, 1, 1);
    Art* arrow = Arrow(10, 5);
    const HostArt arrowHandle = Document::toHandle(arrow);
    user().QueueAnswer(true);
    host::Faults::FailOperation("TransformArt", 2, HOST_FOURCC('X', 'F', 'R', 'M'));
    EXPECT_EQ(Choose("高速移動"), HOST_FOURCC('X', 'F', 'R', 'M'));
    ExpectAt(first, {10, 5});
    ExpectAt(second, {0, 0});
    ExpectAt(third, {0, 0});
    EXPECT_EQ(Document::fromHandle(arrowHandle), arrow) << "the path is not deleted after a failure";
}

TEST_F(FastMoveTest, EveryCountyMovesByExactlyTheDrawnVector) {
    std::string error;
    auto map = host::ReadDocumentFile(std::string(ORBALIS_SOURCE_DIR) + "/examples/counties.svg", {}, &error);
    ASSERT_NE(map, nullptr) << error;
    host->OpenDocument(std::move(map));
    host::Layer* counties = doc().currentLayer();
    ASSERT_EQ(counties->title, "counties");
    std::vector<std::pair<Art*, std::vector<double>>> before;
    for (Art* a = counties->group()->firstChild(); a; a = a->next()) before.emplace_back(a, Geometry(a));
    ASSERT_EQ(before.size(), 3139u);

    const HostPoint from{100, 100}, to{112.345, 32.11};
    Art* arrow = AddPolygon(doc(), counties->group(), {from, {150, 120}, to}, false, StrokedStyle());
    const HostArt arrowHandle = Document::toHandle(arrow);
    const double dx = to.x - from.x, dy = to.y - from.y;
    Select(doc(), arrow);
    user().QueueAnswer(true);
    ASSERT_EQ(Choose("高速移動"), 0);
    EXPECT_EQ(Document::fromHandle(arrowHandle), nullptr);
    for (auto& [county, geometry] : before) {
        const std::vector<double> after = Geometry(county);
        ASSERT_EQ(after.size(), geometry.size()) << county->name;
        for (size_t i = 0; i < after.size(); i += 2) {
            ASSERT_EQ(after[i], geometry[i] + dx) << county->name;
            ASSERT_EQ(after[i + 1], geometry[i + 1] + dy) << county->name;
        }
    }
}

}  // namespace
}  // namespace orbalis::testing
