// The document's bounds cache against bounds computed afresh: kept through
// the transformations that map boxes exactly, dropped by every other edit.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "host/model/Document.h"
#include "host/model/TextStory.h"
#include "host/model/Transform.h"
#include "tests/support/DocumentBuilder.h"
#include "tests/support/FreshBounds.h"

namespace orbalis::testing {
namespace {

using host::Art;
using host::Document;
using host::Layer;

void ForEachArt(Art* root, const std::function<void(Art*)>& visit) {
    visit(root);
    for (Art* child = root->firstChild(); child; child = child->next()) ForEachArt(child, visit);
}

class BoundsCache : public ::testing::Test {
protected:
    void SetUp() override { doc = NewDocument(&layer); }
    // Fills every object's cache.
    void Warm() {
        HostRect r{};
        ForEachArt(layer->group(), [&](Art* art) { doc->bounds(art, &r); });
    }
    std::unique_ptr<Document> doc;
    Layer* layer = nullptr;
};

TEST_F(BoundsCache, ScalesAndMirrorsOfNestedGroupsAndLoosePaths) {
    // Coordinates that no scaling maps to round numbers.
    Art* outer = AddGroup(*doc, layer->group());
    Art* inner = AddGroup(*doc, outer);
    Art* triangle = AddPolygon(*doc, inner, {{0.1, 0.3}, {7.7, -2.9}, {3.3, 9.1}});
    AddPolygon(*doc, inner, {{-4.4, 1.7}, {2.2, 2.6}, {-1.9, -6.3}, {0.7, 0.2}});
    Art* compound = AddCompound(*doc, outer);
    AddRect(*doc, compound, 1.3, 1.9, 11.1, 7.3);
    AddRect(*doc, compound, 3.7, 3.1, 2.9, 1.7);
    AddGroup(*doc, outer);  // empty: no bounds, before or after
    Art* loose = AddPolygon(*doc, layer->group(), {{20.3, 20.9}, {31.1, 27.7}}, false);
    // Straight segments, with the handles at the open ends pulled far out:
    // they shape no segment, so the box is the anchors' alone.
    Art* hooked = AddPolygon(*doc, inner, {{-3.1, 4.3}, {5.9, -1.3}, {6.7, 8.9}}, false);
    hooked->path()->segments.front().in = {-70.7, 90.1};
    hooked->path()->segments.back().out = {80.3, -60.9};
    AddPolygon(*doc, layer->group(), {}, false);  // no points at all

    struct Step {
        const char* name;
        Art* art;
        HostMatrix m;
        int32_t flags;
    };
    const int32_t all = kHostTransformObjects | kHostTransformChildren;
    const Step steps[] = {
        {"the whole layer scaled up", layer->group(), {2.3, 0, 0, 2.3, -1.7, 4.1}, all},
        {"one path scaled down", triangle, {0.37, 0, 0, 0.37, 0.9, -0.3}, kHostTransformObjects},
        {"a group mirrored left to right", outer, {-1, 0, 0, 1, 3.3, 0}, all},
        {"a group mirrored top to bottom, unevenly", inner, {1.7, 0, 0, -0.61, 0, 2.9}, all},
        {"a loose path mirrored both ways", loose, {-0.5, 0, 0, -3, 0, 0}, kHostTransformObjects},
        {"the compound path moved", compound, {1, 0, 0, 1, 1e-3, -7.77}, all},
        {"a group moved without its children", outer, {3, 0, 0, 3, 0, 0}, kHostTransformObjects},
        {"styles only", outer, {4, 0, 0, 4, 0, 0}, kHostTransformChildren | kHostScaleLines},
        {"the layer rotated", layer->group(), {0.6, 0.8, -0.8, 0.6, 2, 1}, all},
        {"a path sheared", triangle, {1, 0, 0.5, 1, 0, 0}, kHostTransformObjects},
        {"the layer scaled after the rotation", layer->group(), {0.5, 0, 0, 0.5, 0, 0}, all},
    };
    Warm();
    for (const Step& step : steps) {
        host::TransformArt(*doc, step.art, step.m, 1, step.flags);
        ExpectBoundsAsFresh(*doc, layer->group(), step.name);
        // The same again from a cache filled only in part: the layer's box
        // asked, each object's cache filled on the way.
        host::TransformArt(*doc, step.art, step.m, 1, step.flags);
        HostRect r{};
        doc->bounds(layer->group(), &r);
        ExpectBoundsAsFresh(*doc, layer->group(), step.name);
        Warm();
    }
    // Edits other than transformations still drop the boxes.
    triangle->path()->segments[1].p = {500.5, -500.5};
    doc->touch(triangle);
    ExpectBoundsAsFresh(*doc, layer->group(), "a point moved");
    ASSERT_EQ(doc->disposeArt(loose), 0);
    ExpectBoundsAsFresh(*doc, layer->group(), "a path disposed of");
}

// A walk that scales a map maps a group's children one by one, in order, by
// one matrix; the group's box is then carried over too. Each interruption,
// after any number of children, must leave the boxes as a recomputation
// gives them.
TEST_F(BoundsCache, GroupsWhoseChildrenAreMappedInTurn) {
    const HostMatrix m{-1.7, 0, 0, 0.61, 3.3, -2.9};
    const int32_t all = kHostTransformObjects | kHostTransformChildren;
    struct Interruption {
        const char* name;
        std::function<void(Document&, Art* group, std::vector<Art*>& rest)> run;
    };
    auto movePoint = [](Document& d, Art* path, HostPoint p) {
        path->path()->segments[0].p = p;
        d.touch(path);
    };
    const Interruption interruptions[] = {
        {"none", [](Document&, Art*, std::vector<Art*>&) {}},
        {"a point of the last child moved",
         [&](Document& d, Art* group, std::vector<Art*>&) {
             movePoint(d, group->lastChild(), {-90.1, 80.3});
         }},
        {"a point of the first child moved",
         [&](Document& d, Art* group, std::vector<Art*>&) {
             movePoint(d, group->firstChild(), {70.7, -60.9});
         }},
        {"a child added, left unmapped",
         [](Document& d, Art* group, std::vector<Art*>&) { AddRect(d, group, 99.9, 99.7, 1.3, 1.1); }},
        {"the next child disposed of",
         [](Document& d, Art*, std::vector<Art*>& rest) {
             if (rest.empty()) return;
             ASSERT_EQ(d.disposeArt(rest.front()), 0);
             rest.erase(rest.begin());
         }},
        {"the next child mapped otherwise",
         [](Document& d, Art*, std::vector<Art*>& rest) {
             if (!rest.empty()) host::TransformArt(d, rest.front(), {2, 0, 0, 2, 1, 1}, 1, kHostTransformObjects);
         }},
        {"the first child mapped again",
         [&](Document& d, Art* group, std::vector<Art*>&) {
             host::TransformArt(d, group->firstChild(), m, 1, kHostTransformObjects);
         }},
        {"the last child moved to the front",
         [](Document& d, Art* group, std::vector<Art*>&) {
             ASSERT_EQ(d.reorderArt(group->lastChild(), kHostPlaceInsideOnTop, group), 0);
         }},
        {"the group's box asked",
         [](Document& d, Art* group, std::vector<Art*>&) {
             HostRect r{};
             d.bounds(group, &r);
         }},
    };
    constexpr size_t kChildren = 5;
    for (const Interruption& interruption : interruptions) {
        for (size_t k = 0; k <= kChildren; ++k) {
            SetUp();
            Art* group = AddGroup(*doc, layer->group());
            AddPolygon(*doc, group, {{0.1, 0.3}, {7.7, -2.9}, {3.3, 9.1}});
            AddPolygon(*doc, group, {{-4.4, 1.7}, {2.2, 2.6}, {-1.9, -6.3}});
            AddRect(*doc, group, 1.3, 1.9, 11.1, 7.3);
            AddRect(*doc, group, 20.3, 20.9, 3.1, 2.7);
            AddPolygon(*doc, group, {{-30.1, 5.5}, {-20.7, 6.6}}, false);
            Warm();
            std::vector<Art*> children;
            for (Art* child = group->firstChild(); child; child = child->next()) children.push_back(child);
            ASSERT_EQ(children.size(), kChildren);
            for (size_t i = 0; i < k; ++i) host::TransformArt(*doc, children[i], m, 1, kHostTransformObjects);
            std::vector<Art*> rest(children.begin() + k, children.end());
            interruption.run(*doc, group, rest);
            // The rest in the order the walk had them.
            for (Art* child : rest) host::TransformArt(*doc, child, m, 1, kHostTransformObjects);
            const std::string step = std::string(interruption.name) + " after " + std::to_string(k) + " children";
            ExpectBoundsAsFresh(*doc, layer->group(), step.c_str());
        }
    }

    // Children that are containers, mapped with their contents (groups of
    // paths within them, an empty group), among paths mapped in turn.
    SetUp();
    Art* group = AddGroup(*doc, layer->group());
    AddRect(*doc, group, 0.3, 0.7, 2.9, 1.3);
    Art* inner = AddGroup(*doc, group);
    AddPolygon(*doc, inner, {{-4.4, 1.7}, {2.2, 2.6}, {-1.9, -6.3}});
    AddRect(*doc, AddGroup(*doc, inner), 40.1, -30.7, 5.3, 7.9);
    AddGroup(*doc, group);
    AddRect(*doc, group, 20.3, 20.9, 3.1, 2.7);
    Warm();
    for (Art* child = group->firstChild(); child; child = child->next()) host::TransformArt(*doc, child, m, 1, all);
    ExpectBoundsAsFresh(*doc, layer->group(), "containers among the children");
}

TEST_F(BoundsCache, CurvesTextsSymbolsImagesAndFramePaths) {
    // A curve's box lies off its anchors: recomputed after every mapping.
    Art* group = AddGroup(*doc, layer->group());
    Art* curve = AddPolygon(*doc, group, {{0.3, 0.1}, {10.7, 0.9}}, false);
    curve->path()->segments[0].out = {0.3, 10.3};
    curve->path()->segments[1].in = {10.7, 10.9};
    doc->touch(curve);
    AddRect(*doc, group, -3.1, -2.2, 1.1, 1.3);

    Art* text = AddArt(*doc, layer->group(), kHostTextFrameArt);
    auto& data = std::get<host::TextData>(text->data);
    data.matrix = {1, 0, 0, 1, 40.3, 50.9};
    data.runs.push_back({"地図 map", host::DefaultCharFeatures()});
    data.paragraphs.resize(1);
    doc->touch(text);

    Art* definition = doc->newSymbolDefinition("pin");
    AddRect(*doc, definition, -2.5, -2.5, 5, 5);
    Art* instance = AddArt(*doc, layer->group(), kHostSymbolArt);
    instance->data = host::SymbolData{"pin", {0.5, 0, 0, 0.5, 60.1, 70.7}};
    doc->touch(instance);

    Art* image = AddArt(*doc, layer->group(), kHostPlacedArt);
    auto& placed = std::get<host::PlacedData>(image->data);
    placed.width = 33.3, placed.height = 21.1;
    placed.matrix = {0.8, 0.6, -0.6, 0.8, 90.9, 10.1};
    doc->touch(image);

    Warm();
    const int32_t all = kHostTransformObjects | kHostTransformChildren;
    for (const HostMatrix& m : {HostMatrix{1.41, 0, 0, 1.41, -3.3, 2.2}, HostMatrix{-0.71, 0, 0, 0.71, 5.5, 0},
                                HostMatrix{0.6, -0.8, 0.8, 0.6, 0, 0}}) {
        host::TransformArt(*doc, layer->group(), m, 1, all);
        ExpectBoundsAsFresh(*doc, layer->group(), "every kind mapped");
        Warm();
    }

    // An area text and the path object that stands for its frame: each
    // answers the other's mapping.
    Art* area = AddArt(*doc, layer->group(), kHostTextFrameArt);
    auto& areaData = std::get<host::TextData>(area->data);
    areaData.frameKind = 1;
    areaData.path = {{{0, 0}, {0, 0}, {0, 0}, 1},
                     {{100, 0}, {100, 0}, {100, 0}, 1},
                     {{100, 50}, {100, 50}, {100, 50}, 1},
                     {{0, 50}, {0, 50}, {0, 50}, 1}};
    areaData.pathClosed = true;
    doc->touch(area);
    Art* frame = doc->framePathOf(area);
    ASSERT_NE(frame, nullptr);
    HostRect r{};
    ASSERT_TRUE(doc->bounds(frame, &r));
    host::TransformArt(*doc, frame, {2, 0, 0, 2, 10, 0}, 1, kHostTransformObjects);
    ASSERT_TRUE(doc->bounds(frame, &r));
    EXPECT_EQ(r.right, 210) << "the frame path object's own box follows its mapping";
    host::TransformArt(*doc, area, {1, 0, 0, 1, 0, -50}, 1, kHostTransformObjects);
    ASSERT_TRUE(doc->bounds(frame, &r));
    EXPECT_EQ(r.bottom, -50) << "and the text's";
    ExpectBoundsAsFresh(*doc, layer->group(), "the area text mapped");
}

TEST_F(BoundsCache, LayerArtSetFollowsTheTree) {
    Art* group = AddGroup(*doc, layer->group());
    Art* a = AddRect(*doc, group, 0, 0, 1, 1);
    Art* b = AddRect(*doc, layer->group(), 2, 2, 1, 1);
    auto walk = [&] {
        std::vector<HostArt> expected;
        ForEachArt(layer->group(), [&](Art* art) { expected.push_back(Document::toHandle(art)); });
        return expected;
    };
    std::vector<HostArt> set;
    doc->collectLayerArt(layer, set);
    EXPECT_EQ(set, walk());
    host::TransformArt(*doc, layer->group(), {2, 0, 0, 2, 0, 0}, 1, kHostTransformObjects | kHostTransformChildren);
    doc->collectLayerArt(layer, set);
    EXPECT_EQ(set, walk()) << "a transformation leaves the set as it was";

    Art* c = AddRect(*doc, group, 4, 4, 1, 1);
    doc->collectLayerArt(layer, set);
    EXPECT_EQ(set, walk()) << "new art";
    ASSERT_EQ(doc->reorderArt(b, kHostPlaceInsideOnTop, group), 0);
    doc->collectLayerArt(layer, set);
    EXPECT_EQ(set, walk()) << "art moved";
    ASSERT_EQ(doc->disposeArt(a), 0);
    doc->collectLayerArt(layer, set);
    EXPECT_EQ(set, walk()) << "art disposed of";
    Art* copy = nullptr;
    ASSERT_EQ(doc->duplicateArt(c, kHostPlaceAbove, group, &copy), 0);
    Layer* sub = nullptr;
    ASSERT_EQ(doc->insertLayer(layer, kHostPlaceInsideOnBottom, &sub), 0);
    AddRect(*doc, sub->group(), 9, 9, 1, 1);
    doc->collectLayerArt(layer, set);
    EXPECT_EQ(set, walk()) << "a copy and a sublayer with art";
    EXPECT_EQ(set.size(), 7u)
        << "the layer group, the group with b, c and the copy, the sublayer group and its rectangle";
}

}  // namespace
}  // namespace orbalis::testing
