// The move-between-layers panel: its tree of layers, and the moves a click
// on a layer's name makes.
#include <cmath>

#include "tests/panels/PanelTestSupport.h"

namespace orbalis::testing {
namespace {

constexpr const char* kTitle = "レイヤー間移動";
constexpr const char* kPanel = "panel レイヤー間移動; ";

class MoveLayerPanelTest : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        roads = AddLayer(doc(), "道路");
        national = AddLayer(doc(), "国道");
        ASSERT_EQ(doc().insertLayer(roads, kHostPlaceInsideOnTop, &national2), 0);
        national2->title = "国道";
        ASSERT_EQ(doc().insertLayer(national2, kHostPlaceBelow, &prefectural), 0);
        prefectural->title = "県道";
    }

    std::vector<std::string> Alerts() { return user().alerts(); }

    host::Layer* roads = nullptr;
    host::Layer* national = nullptr;     // a top-level layer titled 国道
    host::Layer* national2 = nullptr;    // 道路/国道
    host::Layer* prefectural = nullptr;  // 道路/県道
};

TEST_F(MoveLayerPanelTest, StartsEmptyAndRefreshShowsSublayersNestedInTheHostsOrder) {
    // Empty, and greyed out until a refresh lists the current document.
    EXPECT_EQ(TreeText(kTitle), "-");
    ASSERT_EQ(Play(std::string(kPanel) + "refresh"), "");
    EXPECT_EQ(TreeText(kTitle),
              " [2]\n"
              "  国道 [0]\n"
              "  道路 [0]\n"
              "    国道 [0]\n"
              "    県道 [0]\n"
              "  Layer 1 [0]\n");
}

TEST_F(MoveLayerPanelTest, TwoObjectsFromTwoLayersArriveAsOneGroupAtTheBottom) {
    host::Art* first = AddRect(doc(), layer->group(), 0, 0, 10, 10);
    host::Art* second = AddRect(doc(), national->group(), 20, 0, 10, 10);
    host::Art* already = AddRect(doc(), prefectural->group(), 40, 0, 10, 10);
    Select(doc(), first);
    Select(doc(), second);
    ASSERT_EQ(Play(std::string(kPanel) + "refresh; check; tree 道路/県道"), "");
    EXPECT_TRUE(Alerts().empty());
    host::Art* group = prefectural->group()->firstChild();
    ASSERT_EQ(group, already);
    group = already->next();
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->type(), kHostGroupArt);
    EXPECT_EQ(group->next(), nullptr);
    // The set lists the upper layer first; it ends highest in the group.
    EXPECT_EQ(group->firstChild(), second);
    EXPECT_EQ(second->next(), first);
    EXPECT_EQ(first->next(), nullptr);
}

TEST_F(MoveLayerPanelTest, WithoutTheGroupOptionEachObjectGoesToTheLayersBottom) {
    host::Art* first = AddRect(doc(), layer->group(), 0, 0, 10, 10);
    host::Art* second = AddRect(doc(), national->group(), 20, 0, 10, 10);
    Select(doc(), first);
    Select(doc(), second);
    ASSERT_EQ(Play(std::string(kPanel) + "refresh; tree 国道"), "");
    EXPECT_TRUE(Alerts().empty());
    EXPECT_EQ(doc().layerOf(first), national);
    EXPECT_EQ(national->group()->firstChild(), second);
    EXPECT_EQ(second->next(), first);
}

TEST_F(MoveLayerPanelTest, OneObjectWithTheGroupOptionLandsInAHiddenLockedLayerThatStaysSo) {
    host::Art* art = AddRect(doc(), layer->group(), 0, 0, 10, 10);
    Select(doc(), art);
    prefectural->visible = false;
    prefectural->editable = false;
    ASSERT_EQ(Play(std::string(kPanel) + "refresh; label; tree 道路/県道"), "");
    EXPECT_TRUE(Alerts().empty());
    EXPECT_EQ(art->parent(), prefectural->group());
    EXPECT_EQ(prefectural->group()->firstChild(), art);
    EXPECT_EQ(art->next(), nullptr);
    EXPECT_FALSE(prefectural->visible);
    EXPECT_FALSE(prefectural->editable);
}

TEST_F(MoveLayerPanelTest, ObjectsAlreadyOnTheTargetStayAndLeaveNoGroupBehind) {
    host::Art* one = AddRect(doc(), national->group(), 0, 0, 10, 10);
    host::Art* two = AddRect(doc(), national->group(), 20, 0, 10, 10);
    host::Art* first = national->group()->firstChild();
    Select(doc(), one);
    ASSERT_EQ(Play(std::string(kPanel) + "refresh; check; tree 国道"), "");
    EXPECT_TRUE(Alerts().empty());
    EXPECT_EQ(national->group()->firstChild(), first);
    EXPECT_EQ(first->next(), first == one ? two : one);
    EXPECT_EQ(first->next()->next(), nullptr);
}

TEST_F(MoveLayerPanelTest, APartlySelectedGroupStaysWithoutAnErrorWhileItsSelectedPartMoves) {
    host::Art* group = AddGroup(doc(), layer->group());
    host::Art* kept = AddRect(doc(), group, 0, 0, 10, 10);
    host::Art* taken = AddRect(doc(), group, 20, 0, 10, 10);
    Select(doc(), taken);
    ASSERT_EQ(Play(std::string(kPanel) + "refresh; tree 国道"), "");
    EXPECT_TRUE(Alerts().empty()) << Alerts().front();
    EXPECT_EQ(group->parent(), layer->group());
    EXPECT_EQ(kept->parent(), group);
    EXPECT_EQ(taken->parent(), national->group());
}

TEST_F(MoveLayerPanelTest, AWhollySelectedGroupMovesAsAWhole) {
    host::Art* group = AddGroup(doc(), layer->group());
    host::Art* a = AddRect(doc(), group, 0, 0, 10, 10);
    host::Art* b = AddRect(doc(), group, 20, 0, 10, 10);
    Select(doc(), a);
    Select(doc(), b);
    Select(doc(), group);
    ASSERT_EQ(Play(std::string(kPanel) + "refresh; tree 国道"), "");
    EXPECT_TRUE(Alerts().empty());
    EXPECT_EQ(group->parent(), national->group());
    EXPECT_EQ(a->parent(), group);
    EXPECT_EQ(b->parent(), group);
}

TEST_F(MoveLayerPanelTest, RootExpanderAndIndentClicksDoNothing) {
    host::Art* art = AddRect(doc(), layer->group(), 0, 0, 10, 10);
    Select(doc(), art);
    ASSERT_EQ(Play(std::string(kPanel) + "refresh; tree-root; tree-expander 道路; tree-indent 道路/県道"), "");
    EXPECT_EQ(art->parent(), layer->group());
    EXPECT_TRUE(Alerts().empty());
}

TEST_F(MoveLayerPanelTest, NothingSelectedAndAVanishedLayerAreToldAndMoveNothing) {
    ASSERT_EQ(Play(std::string(kPanel) + "refresh; tree 国道"), "");
    host::Art* art = AddRect(doc(), layer->group(), 0, 0, 10, 10);
    Select(doc(), art);
    ASSERT_EQ(doc().deleteLayer(national), 0);
    ASSERT_EQ(Play(std::string(kPanel) + "tree 国道"), "");
    EXPECT_EQ(Alerts(), (std::vector<std::string>{"オブジェクトが選択されていません",
                                                  "指定されたレイヤーは現在のドキュメント上にありません"}));
    EXPECT_EQ(art->parent(), layer->group());
}

TEST_F(MoveLayerPanelTest, AHostErrorEndsTheMoveWithTheMessageAndKeepsEarlierMoves) {
    host::Art* first = AddRect(doc(), layer->group(), 0, 0, 10, 10);
    host::Art* second = AddRect(doc(), layer->group(), 20, 0, 10, 10);
    Select(doc(), first);
    Select(doc(), second);
    ASSERT_EQ(Play(std::string(kPanel) + "refresh"), "");
    host::Faults::FailOperation("ReorderArt", 2, kHostBadParameterErr);
    ASSERT_EQ(Play(std::string(kPanel) + "tree 国道"), "");
    EXPECT_EQ(Alerts(), (std::vector<std::string>{"エラーにより操作を完了できませんでした"}));
    // The first of the set moved before the failure and stays moved.
    EXPECT_NE(doc().layerOf(first), doc().layerOf(second));
    EXPECT_EQ(national->group()->firstChild() != nullptr, true);
}

TEST_F(MoveLayerPanelTest, AnObjectThatCannotBeReadEndsTheMoveWithTheMessageInsteadOfStaying) {
    // Its layer, its own layer's group, its type, and whether a group is
    // wholly selected: each unreadable in turn.
    for (const char* operation : {"GetLayerOfArt", "GetFirstArtOfLayer", "GetArtType", "GetArtUserAttr"}) {
        host::Art* group = AddGroup(doc(), layer->group());
        host::Art* inside = AddRect(doc(), group, 0, 0, 10, 10);
        Select(doc(), inside);
        Select(doc(), group);
        user().ClearTranscript();
        ASSERT_EQ(Play(std::string(kPanel) + "refresh"), "");
        // The target layer's group is read first (the group option is off).
        host::Faults::FailOperation(operation, std::string(operation) == "GetFirstArtOfLayer" ? 2 : 1,
                                    kHostBadParameterErr);
        ASSERT_EQ(Play(std::string(kPanel) + "tree 国道"), "");
        host::Faults::Reset();
        EXPECT_EQ(Alerts(), (std::vector<std::string>{"エラーにより操作を完了できませんでした"})) << operation;
        EXPECT_EQ(doc().layerOf(group), layer) << operation;
        doc().deselectAll();
    }
}

TEST_F(MoveLayerPanelTest, AnotherDocumentGreysTheTreeOutUntilRefreshed) {
    ASSERT_EQ(Play(std::string(kPanel) + "refresh"), "");
    host::Layer* other = nullptr;
    host->OpenDocument(NewDocument(&other));
    EXPECT_EQ(TreeText(kTitle).substr(0, 1), "-");
    EXPECT_NE(Play(std::string(kPanel) + "tree Layer 1"), "");
    ASSERT_EQ(Play("document 1"), "");
    EXPECT_NE(TreeText(kTitle).substr(0, 1), "-");
    ASSERT_EQ(Play("document 2; " + std::string(kPanel) + "refresh"), "");
    EXPECT_EQ(TreeText(kTitle), " [2]\n  Layer 1 [0]\n");
    host::Art* art = AddRect(*host->document(), other->group(), 0, 0, 1, 1);
    Select(*host->document(), art);
    EXPECT_EQ(Play(std::string(kPanel) + "tree Layer 1"), "");
    EXPECT_EQ(host->documents().Close().get() != nullptr, true);
}

TEST_F(MoveLayerPanelTest, TitlesLongerThanTheOldBufferAreShownWhole) {
    const std::string longTitle(300, 'x');
    national->title = longTitle + "/end";
    ASSERT_EQ(Play(std::string(kPanel) + "refresh"), "");
    EXPECT_NE(TreeText(kTitle).find("  " + longTitle + "/end [0]\n"), std::string::npos);
}

TEST_F(MoveLayerPanelTest, AResizeLaysTheControlsOutFromThePanelSize) {
    ASSERT_EQ(Play(std::string(kPanel) + "resize 300 400"), "");
    RECT tree{}, button{};
    GetWindowRect(Child(kTitle, u"SysTreeView32"), &tree);
    GetWindowRect(Child(kTitle, u"BUTTON", 2), &button);
    EXPECT_EQ(tree.right - tree.left, 292);
    EXPECT_EQ(tree.bottom - tree.top, 345);
    EXPECT_EQ(button.right - button.left, 150);
    EXPECT_EQ(button.bottom - button.top, 22);
    // Smaller than the minimum is held at the minimum.
    ASSERT_EQ(Play(std::string(kPanel) + "resize 10 10"), "");
    GetWindowRect(Child(kTitle, u"SysTreeView32"), &tree);
    EXPECT_EQ(tree.right - tree.left, 152);
    EXPECT_EQ(tree.bottom - tree.top, 89);
    // A size no window can have is held at the largest; none at all at the minimum.
    const host::PanelEntry panel = host::FindPanel(kTitle);
    host::UserResizePanel(panel.handle, 1e300, std::nan(""));
    RECT frame{};
    GetWindowRect(panel.panel->window, &frame);
    EXPECT_EQ(frame.right - frame.left, 32767);
    EXPECT_EQ(frame.bottom - frame.top, 144);
}

}  // namespace
}  // namespace orbalis::testing
