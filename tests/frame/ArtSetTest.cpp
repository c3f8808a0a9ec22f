// The art set holder and the layer-emptying routine, with the host's suites.
#include <gtest/gtest.h>

#include "frame/ArtSet.h"
#include "tests/support/PluginHarness.h"

namespace orbalis::testing {
namespace {

using host::Art;
using host::Document;

class ArtSetTest : public InProcessTest {
protected:
    HostLayer Handle(host::Layer* l) { return Document::toHandle(l); }
};

TEST_F(ArtSetTest, SelectionInDocumentOrderWithContainersFirst) {
    host::Layer* lower = AddLayer(doc(), "lower", layer);
    Art* group = AddGroup(doc(), layer->group());
    Art* inner = AddRect(doc(), group, 0, 0, 1, 1);
    Art* loose = AddRect(doc(), layer->group(), 0, 0, 1, 1);
    Art* below = AddRect(doc(), lower->group(), 0, 0, 1, 1);
    for (Art* a : {below, inner, loose}) Select(doc(), a);

    CArtSet set;
    ASSERT_EQ(set.FillFromSelection(), 0);
    ASSERT_EQ(set.Count(), 6u);
    const std::vector<Art*> expected = {layer->group(), group, inner, loose, lower->group(), below};
    for (int32_t i = 0; i < 6; ++i) EXPECT_EQ(set.At(i), Document::toHandle(expected[size_t(i)])) << i;
    EXPECT_EQ(set.At(-1), nullptr);
    EXPECT_EQ(set.At(6), nullptr);

    // Refilling replaces the set; the holder owns one host set at a time.
    set.FillFromLayer(Handle(lower));
    EXPECT_EQ(set.Count(), 2u);
    EXPECT_EQ(host->liveArtSets, 1);
    set.Release();
    EXPECT_EQ(set.Count(), 0u);
    EXPECT_EQ(host->liveArtSets, 0);
}

TEST_F(ArtSetTest, FillFailuresLeaveTheHolderEmpty) {
    CArtSet set;
    set.FillFromLayer(Handle(layer));
    EXPECT_EQ(set.Count(), 1u) << "an empty layer holds just its group";
    set.FillFromLayer(nullptr);
    EXPECT_EQ(set.Count(), 0u);
    host::Faults::FailOperation("CountArtSet", 1, kHostBadParameterErr);
    set.FillFromLayer(Handle(layer));
    EXPECT_EQ(set.Count(), 0u);
    host::Faults::FailOperation("SelectedArtSet", 1, kHostIndexErr);
    EXPECT_EQ(set.FillFromSelection(), kHostIndexErr);
    EXPECT_EQ(set.Count(), 0u);
}

TEST_F(ArtSetTest, ClearLayerArtEmptiesAHiddenLockedLayerAndKeepsItsState) {
    Art* group = AddGroup(doc(), layer->group());
    Art* deep = AddRect(doc(), group, 0, 0, 1, 1);
    const HostArt deepHandle = Document::toHandle(deep);
    Art* lockedTop = AddRect(doc(), layer->group(), 0, 0, 1, 1);
    Hide(doc(), deep);
    Lock(doc(), group);
    Lock(doc(), lockedTop);
    Hide(doc(), lockedTop);
    layer->visible = false;
    layer->editable = false;

    EXPECT_EQ(ClearLayerArt(Handle(layer)), 0);
    EXPECT_EQ(layer->group()->firstChild(), nullptr);
    EXPECT_EQ(Document::fromHandle(deepHandle), nullptr);
    EXPECT_FALSE(layer->visible);
    EXPECT_FALSE(layer->editable);
}

TEST_F(ArtSetTest, ClearLayerArtOnAnEmptyLayerChangesNothing) {
    layer->visible = false;
    EXPECT_EQ(ClearLayerArt(Handle(layer)), 0);
    EXPECT_FALSE(layer->visible);
    EXPECT_TRUE(layer->editable);
}

TEST_F(ArtSetTest, ClearLayerArtRestoresTheFlagsAfterAnError) {
    AddRect(doc(), layer->group(), 0, 0, 1, 1);
    AddRect(doc(), layer->group(), 0, 0, 1, 1);
    layer->editable = false;
    host::Faults::FailOperation("DisposeArt", 2, HOST_FOURCC('D', 'I', 'S', 'P'));
    EXPECT_EQ(ClearLayerArt(Handle(layer)), HOST_FOURCC('D', 'I', 'S', 'P'));
    EXPECT_FALSE(layer->editable);
    EXPECT_TRUE(layer->visible);
    EXPECT_NE(layer->group()->firstChild(), nullptr);
}

TEST_F(ArtSetTest, UnlockArtTreeCoversFollowingSiblingsOnlyWhenAsked) {
    Art* first = AddGroup(doc(), layer->group());
    Art* child = AddRect(doc(), first, 0, 0, 1, 1);
    Art* second = AddRect(doc(), layer->group(), 0, 0, 1, 1);
    for (Art* a : {first, child, second}) {
        Lock(doc(), a);
        Hide(doc(), a);
    }
    EXPECT_EQ(UnlockArtTree(Document::toHandle(first), false), 0);
    EXPECT_EQ(first->attributes(), 0);
    EXPECT_EQ(child->attributes(), 0);
    EXPECT_EQ(second->attributes(), kHostArtLocked | kHostArtHidden);
    EXPECT_EQ(UnlockArtTree(Document::toHandle(first), true), 0);
    EXPECT_EQ(second->attributes(), 0);
}

}  // namespace
}  // namespace orbalis::testing
