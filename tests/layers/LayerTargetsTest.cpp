// The walk over the target layers on real layer trees of the stand-in host.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "frame/HostError.h"
#include "layers/LayerTargets.h"
#include "tests/layers/LayerTreeFixture.h"
#include "tests/support/PluginHarness.h"

namespace orbalis::testing {
namespace {

constexpr HostErr kFail = HOST_FOURCC('F', 'A', 'I', 'L');

class LayerTargets : public InProcessTest {
protected:
    void SetUp() override {
        InProcessTest::SetUp();
        tree = std::make_unique<LayerTree>(doc(), layer);
    }

    // The titles the walk hands to the action.
    std::vector<std::string> Visit(int32_t kind, int32_t visibleOnly, HostErr* result = nullptr) {
        std::vector<std::string> titles;
        const HostErr err = ForEachTargetLayer(kind, visibleOnly, [&](HostLayer l) {
            titles.push_back(host::Document::fromHandle(l)->title);
            return HostErr{0};
        });
        if (result)
            *result = err;
        else
            EXPECT_EQ(err, 0);
        return titles;
    }

    void MakeCurrent(host::Layer* l) { ASSERT_EQ(doc().setCurrentLayer(l), 0); }

    using Titles = std::vector<std::string>;
    std::unique_ptr<LayerTree> tree;
};

TEST_F(LayerTargets, TopLevelVisitsOnlyTopLevelLayersAndAsksVisibilityOnlyWithTheFilter) {
    host::Faults::KeepCallLog();
    EXPECT_EQ(Visit(TopLevel, 0), (Titles{"A", "B", "C"}));
    EXPECT_EQ(host::Faults::CallLog(), (Titles{"CountLayers", "GetNthLayer", "GetNthLayer", "GetNthLayer"}));

    host::Faults::KeepCallLog();
    EXPECT_EQ(Visit(TopLevel, 1), (Titles{"A", "C"}));
    EXPECT_EQ(host::Faults::CallLog(), (Titles{"CountLayers", "GetNthLayer", "GetLayerVisible", "GetNthLayer",
                                               "GetLayerVisible", "GetNthLayer", "GetLayerVisible"}));
}

TEST_F(LayerTargets, SublayersOfCurrentVisitsTheDirectSublayersOnly) {
    MakeCurrent(tree->a);
    host::Faults::KeepCallLog();
    EXPECT_EQ(Visit(SublayersOfCurrent, 0), (Titles{"A1", "A2"}));
    // Visibility is asked of every candidate, filter or not.
    const auto& log = host::Faults::CallLog();
    EXPECT_EQ(std::count(log.begin(), log.end(), "GetLayerVisible"), 2);
    EXPECT_EQ(std::count(log.begin(), log.end(), "GetLayerParent"), 2);

    // The current layer may itself be a sublayer; the walk stops before A2,
    // the next layer in pre-order, which is a sibling of A1.
    MakeCurrent(tree->a1);
    EXPECT_EQ(Visit(SublayersOfCurrent, 0), (Titles{"A1a"}));

    // The last sublayer of the last top-level layer: nothing follows it.
    MakeCurrent(tree->b);
    EXPECT_EQ(Visit(SublayersOfCurrent, 0), (Titles{"B1", "B2"}));
    EXPECT_EQ(Visit(SublayersOfCurrent, 1), (Titles{"B1"}));
}

TEST_F(LayerTargets, SublayersOfALayerWithoutSublayersIsNothing) {
    for (host::Layer* l : {tree->a1a, tree->c}) {
        MakeCurrent(l);
        HostErr err = -1;
        EXPECT_TRUE(Visit(SublayersOfCurrent, 0, &err).empty()) << l->title;
        EXPECT_EQ(err, 0);
    }
}

TEST_F(LayerTargets, AllLayersWalksInPreOrderAndJudgesEachLayerByItsOwnVisibility) {
    host::Faults::KeepCallLog();
    EXPECT_EQ(Visit(AllLayers, 0), (Titles{"A", "A1", "A1a", "A2", "B", "B1", "B2", "C"}));
    // Visibility is asked of every layer, filter or not.
    const auto& log = host::Faults::CallLog();
    EXPECT_EQ(std::count(log.begin(), log.end(), "GetLayerVisible"), 8);
    // B is hidden but its visible sublayer B1 keeps its pre-order place.
    EXPECT_EQ(Visit(AllLayers, 1), (Titles{"A", "A1", "A1a", "A2", "B1", "C"}));
}

TEST_F(LayerTargets, OnlyTheLayersOwnVisibilityCounts) {
    // A locked layer, and an empty one, are visited like any other.
    tree->a->editable = false;
    tree->a2->editable = false;
    EXPECT_EQ(Visit(AllLayers, 1), (Titles{"A", "A1", "A1a", "A2", "B1", "C"}));
}

TEST_F(LayerTargets, AllHiddenWithTheFilterVisitsNothing) {
    for (host::Layer* l : doc().allLayers()) l->visible = false;
    for (int32_t kind : {TopLevel, SublayersOfCurrent, AllLayers}) {
        MakeCurrent(tree->a);
        HostErr err = -1;
        EXPECT_TRUE(Visit(kind, 1, &err).empty()) << kind;
        EXPECT_EQ(err, 0);
    }
}

TEST_F(LayerTargets, AnUnknownKindVisitsNothingAndAsksTheHostNothing) {
    for (int32_t kind : {3, 4, 1000, -1}) {
        host::Faults::KeepCallLog();
        HostErr err = -1;
        EXPECT_TRUE(Visit(kind, 0, &err).empty()) << kind;
        EXPECT_EQ(err, 0);
        EXPECT_TRUE(host::Faults::CallLog().empty()) << kind;
    }
}

TEST_F(LayerTargets, TheActionsCodeEndsTheWalk) {
    for (int32_t kind : {TopLevel, AllLayers}) {
        int visits = 0;
        const HostErr err = ForEachTargetLayer(kind, 0, [&](HostLayer) { return ++visits == 2 ? kFail : HostErr{0}; });
        EXPECT_EQ(err, kFail) << kind;
        EXPECT_EQ(visits, 2) << kind;
    }
}

TEST_F(LayerTargets, AHostErrorEndsTheWalkWithItsCode) {
    struct Case {
        int32_t kind;
        const char* operation;
        uint64_t nth;
        size_t visitedBefore;
    };
    MakeCurrent(tree->a);
    for (const Case& c :
         {Case{TopLevel, "CountLayers", 1, 0}, Case{TopLevel, "GetNthLayer", 2, 1},
          Case{SublayersOfCurrent, "GetCurrentLayer", 1, 0}, Case{SublayersOfCurrent, "GetLayerFirstChild", 1, 0},
          Case{SublayersOfCurrent, "GetLayerParent", 1, 1}, Case{AllLayers, "GetFirstLayer", 1, 0},
          Case{AllLayers, "GetNextPreorderLayer", 2, 2}, Case{AllLayers, "GetLayerVisible", 3, 2}}) {
        SCOPED_TRACE(c.operation);
        host::Faults::FailOperation(c.operation, c.nth, kFail);
        HostErr err = 0;
        EXPECT_EQ(Visit(c.kind, 1, &err).size(), c.visitedBefore);
        EXPECT_EQ(err, kFail);
        host::Faults::Reset();
    }
}

}  // namespace
}  // namespace orbalis::testing
