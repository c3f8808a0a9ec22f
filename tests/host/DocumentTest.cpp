// The stand-in host's document model: layer tree, art tree, attributes,
// selection and bounds.
#include <gtest/gtest.h>

#include "host/model/Document.h"
#include "host/model/TextLayout.h"
#include "host/model/Transform.h"
#include "tests/support/DocumentBuilder.h"

namespace orbalis::testing {
namespace {

using host::Art;
using host::Document;
using host::Layer;

std::vector<std::string> Titles(const std::vector<Layer*>& layers) {
    std::vector<std::string> out;
    for (const Layer* l : layers) out.push_back(l->title);
    return out;
}

TEST(DocumentLayers, OrdersNestingWalksAndDeletion) {
    Layer* base = nullptr;
    auto doc = NewDocument(&base);
    Layer* top = AddLayer(*doc, "top");
    Layer* bottom = AddLayer(*doc, "bottom", base);
    EXPECT_EQ(Titles(doc->topLayers()), (std::vector<std::string>{"top", "Layer 1", "bottom"}));

    Layer *first = nullptr, *last = nullptr, *above = nullptr;
    ASSERT_EQ(doc->insertLayer(base, kHostPlaceInsideOnBottom, &last), 0);
    ASSERT_EQ(doc->insertLayer(base, kHostPlaceInsideOnTop, &first), 0);
    ASSERT_EQ(doc->insertLayer(last, kHostPlaceAbove, &above), 0);
    first->title = "first", last->title = "last", above->title = "above";
    Art* art = AddRect(*doc, base->group(), 0, 0, 1, 1);
    // Sublayers are groups among the parent's art, in paint order.
    EXPECT_EQ(first->group()->parent(), base->group());
    EXPECT_EQ(base->group()->firstChild(), first->group());
    EXPECT_EQ(doc->parentLayer(above), base);
    EXPECT_EQ(doc->firstSublayer(base), first);
    EXPECT_EQ(doc->nextSiblingLayer(first), above);
    EXPECT_EQ(Titles(doc->allLayers()),
              (std::vector<std::string>{"top", "Layer 1", "first", "above", "last", "bottom"}));
    EXPECT_EQ(doc->nextNonChildPreorderLayer(first), above);
    EXPECT_EQ(doc->nextNonChildPreorderLayer(last), bottom);
    EXPECT_EQ(doc->nextNonChildPreorderLayer(bottom), nullptr);
    EXPECT_EQ(doc->layerOf(art), base);

    const HostLayer aboveHandle = Document::toHandle(above);
    const HostArt artHandle = Document::toHandle(art);
    ASSERT_EQ(doc->setCurrentLayer(above), 0);
    ASSERT_EQ(doc->deleteLayer(base), 0);
    EXPECT_EQ(Document::fromHandle(aboveHandle), nullptr) << "the sublayer went with it";
    EXPECT_EQ(Document::fromHandle(artHandle), nullptr);
    EXPECT_EQ(doc->currentLayer(), top) << "the current layer went with it";
    EXPECT_EQ(Titles(doc->topLayers()), (std::vector<std::string>{"top", "bottom"}));
    ASSERT_EQ(doc->deleteLayer(bottom), 0);
    EXPECT_EQ(doc->deleteLayer(top), kHostBadParameterErr) << "a document keeps one layer";
    EXPECT_EQ(doc->insertLayer(nullptr, kHostPlaceAbove, &first), kHostBadParameterErr);
}

class DocumentArt : public ::testing::Test {
protected:
    void SetUp() override { doc = NewDocument(&layer); }
    std::unique_ptr<Document> doc;
    Layer* layer = nullptr;
};

TEST_F(DocumentArt, PaintOrdersPlaceArtFrontToBack) {
    Art* a = AddRect(*doc, layer->group(), 0, 0, 1, 1);
    Art *front = nullptr, *behind = nullptr, *onTop = nullptr, *inGroup = nullptr;
    ASSERT_EQ(doc->newArt(kHostPathArt, kHostPlaceAbove, a, &front), 0);
    ASSERT_EQ(doc->newArt(kHostPathArt, kHostPlaceBelow, a, &behind), 0);
    ASSERT_EQ(doc->newArt(kHostGroupArt, kHostPlaceInsideOnTop, nullptr, &onTop), 0);
    ASSERT_EQ(doc->newArt(kHostPathArt, kHostPlaceInsideOnBottom, onTop, &inGroup), 0);
    std::vector<Art*> order;
    for (Art* c = layer->group()->firstChild(); c; c = c->next()) order.push_back(c);
    EXPECT_EQ(order, (std::vector<Art*>{onTop, front, a, behind}));

    Art* compound = AddCompound(*doc, layer->group());
    Art* refused = nullptr;
    EXPECT_EQ(doc->newArt(kHostGroupArt, kHostPlaceInsideOnTop, compound, &refused), kHostBadParameterErr);
    EXPECT_EQ(doc->reorderArt(onTop, kHostPlaceInsideOnTop, inGroup), kHostBadParameterErr);
    EXPECT_EQ(doc->reorderArt(onTop, kHostPlaceInsideOnTop, onTop), kHostBadParameterErr) << "into itself";
    ASSERT_EQ(doc->reorderArt(behind, kHostPlaceAbove, onTop), 0);
    EXPECT_EQ(layer->group()->firstChild(), behind);
}

TEST_F(DocumentArt, LockedAndHiddenArtAndLayersRefuseStructuralEdits) {
    Art* group = AddGroup(*doc, layer->group());
    Art* inside = AddRect(*doc, group, 0, 0, 1, 1);
    const HostArt insideHandle = Document::toHandle(inside);
    Hide(*doc, inside);
    EXPECT_EQ(doc->disposeArt(group), kHostLockedErr) << "hidden contents";
    EXPECT_EQ(Document::fromHandle(insideHandle), inside);
    doc->setAttributes(inside, kHostArtHidden, 0);
    Lock(*doc, group);
    Art* added = nullptr;
    EXPECT_EQ(doc->newArt(kHostPathArt, kHostPlaceInsideOnTop, group, &added), kHostLockedErr);
    EXPECT_EQ(doc->disposeArt(inside), kHostLockedErr) << "inside a locked group";
    doc->setAttributes(group, kHostArtLocked, 0);
    layer->editable = false;
    EXPECT_EQ(doc->disposeArt(group), kHostLockedErr);
    layer->editable = true;
    EXPECT_EQ(doc->disposeArt(group), 0);
    EXPECT_EQ(Document::fromHandle(insideHandle), nullptr) << "stale handles are refused";
}

TEST_F(DocumentArt, DuplicatesCopyTheSubtreeButNotTheSelection) {
    Art* group = AddGroup(*doc, layer->group());
    Art* path = AddRect(*doc, group, 0, 0, 1, 1);
    path->name = "road";
    path->tags = {{"kind", "primary"}};
    Select(*doc, path);
    Lock(*doc, path);
    Art* copy = nullptr;
    ASSERT_EQ(doc->duplicateArt(group, kHostPlaceBelow, group, &copy), 0);
    EXPECT_EQ(group->next(), copy);
    const Art* copied = copy->firstChild();
    ASSERT_NE(copied, nullptr);
    EXPECT_EQ(copied->name, "road");
    EXPECT_EQ(copied->tags, path->tags);
    EXPECT_EQ(copied->attributes(), kHostArtLocked);
    EXPECT_FALSE(copy->answersSelected());
    EXPECT_EQ(Geometry(copy), Geometry(group));
}

TEST_F(DocumentArt, SelectionAnswersThroughContainersAndFollowsMoves) {
    Layer* other = AddLayer(*doc, "other", layer);
    Art* group = AddGroup(*doc, layer->group());
    Art* path = AddRect(*doc, group, 0, 0, 1, 1);
    Select(*doc, path);
    EXPECT_TRUE(group->answersSelected());
    EXPECT_TRUE(layer->group()->answersSelected());
    std::vector<Art*> selected;
    doc->collectSelected(selected);
    EXPECT_EQ(selected, (std::vector<Art*>{layer->group(), group, path}));

    ASSERT_EQ(doc->reorderArt(path, kHostPlaceInsideOnTop, other->group()), 0);
    EXPECT_FALSE(group->answersSelected());
    EXPECT_TRUE(other->group()->answersSelected());
    ASSERT_EQ(doc->disposeArt(path), 0);
    EXPECT_FALSE(other->group()->answersSelected());
    doc->collectSelected(selected);
    EXPECT_TRUE(selected.empty());
}

TEST_F(DocumentArt, BoundsFollowCurvesChildrenAndEdits) {
    // A curve from (0, 0) to (10, 0) with both handles at height 10 rises to 7.5.
    Art* curve = AddPolygon(*doc, layer->group(), {{0, 0}, {10, 0}}, false);
    curve->path()->segments[0].out = {0, 10};
    curve->path()->segments[1].in = {10, 10};
    doc->touch(curve);
    HostRect r{};
    ASSERT_TRUE(doc->bounds(curve, &r));
    EXPECT_DOUBLE_EQ(r.top, 7.5);
    EXPECT_DOUBLE_EQ(r.bottom, 0);

    Art* group = AddGroup(*doc, layer->group());
    EXPECT_FALSE(doc->bounds(group, &r)) << "an empty group has no bounds";
    Art* square = AddRect(*doc, group, 20, 20, 5, 5);
    ASSERT_TRUE(doc->bounds(layer->group(), &r));
    EXPECT_EQ(r.right, 25);
    host::TransformArt(*doc, square, {1, 0, 0, 1, 100, 0}, 1, kHostTransformObjects);
    ASSERT_TRUE(doc->bounds(layer->group(), &r));
    EXPECT_EQ(r.right, 125) << "a child's move reaches the layer's bounds";
    ASSERT_EQ(doc->disposeArt(square), 0);
    ASSERT_TRUE(doc->bounds(layer->group(), &r));
    EXPECT_EQ(r.right, 10);

    Art* image = AddArt(*doc, layer->group(), kHostPlacedArt);
    auto& placed = std::get<host::PlacedData>(image->data);
    placed.width = 40, placed.height = 30;
    placed.matrix = {1, 0, 0, -1, 5, 100};  // top left at (5, 100)
    doc->touch(image);
    ASSERT_TRUE(doc->bounds(image, &r));
    EXPECT_EQ(r.left, 5);
    EXPECT_EQ(r.top, 100);
    EXPECT_EQ(r.bottom, 70);
}

TEST_F(DocumentArt, TransformsHonourTheirOptions) {
    Art* path = AddRect(*doc, layer->group(), 0, 0, 1, 1, StrokedStyle());
    path->path()->style.stroke.width = 2;
    host::TransformArt(*doc, path, {2, 0, 0, 2, 0, 0}, 2, kHostTransformObjects);
    EXPECT_EQ(path->path()->style.stroke.width, 2) << "no line scaling asked";
    host::TransformArt(*doc, path, {1, 0, 0, 1, 0, 0}, 3, kHostScaleLines);
    EXPECT_EQ(path->path()->style.stroke.width, 6);
    EXPECT_EQ(path->path()->segments[2].p.x, 2);

    Art* group = AddGroup(*doc, layer->group());
    Art* child = AddRect(*doc, group, 0, 0, 1, 1);
    host::TransformArt(*doc, group, {1, 0, 0, 1, 5, 0}, 1, kHostTransformObjects);
    EXPECT_EQ(FirstAnchor(child).x, 0) << "children move only when asked";
    host::TransformArt(*doc, group, {1, 0, 0, 1, 5, 0}, 1, kHostTransformObjects | kHostTransformChildren);
    EXPECT_EQ(FirstAnchor(child).x, 5);
}

TEST(TextLayout, WidthsJustificationAndVerticalText) {
    host::TextData text;
    text.matrix = {1, 0, 0, 1, 100, 50};
    host::CharFeatures features;
    features.fontSize = 10;
    text.runs = {{"ab地図", features}};
    HostRect r{};
    ASSERT_TRUE(host::TextBounds(text, &r));
    // Two half-width and two full-width glyphs: 5 + 5 + 10 + 10.
    EXPECT_DOUBLE_EQ(r.left, 100);
    EXPECT_DOUBLE_EQ(r.right, 130);
    EXPECT_DOUBLE_EQ(r.top, 58);
    EXPECT_DOUBLE_EQ(r.bottom, 48);

    text.paragraphs = {host::Justification::Center};
    ASSERT_TRUE(host::TextBounds(text, &r));
    EXPECT_DOUBLE_EQ(r.left, 85);
    EXPECT_DOUBLE_EQ(r.right, 115);
    text.paragraphs = {host::Justification::Right};
    ASSERT_TRUE(host::TextBounds(text, &r));
    EXPECT_DOUBLE_EQ(r.right, 100);

    text.paragraphs.clear();
    text.orientation = 1;
    ASSERT_TRUE(host::TextBounds(text, &r));
    EXPECT_DOUBLE_EQ(r.top, 50);
    EXPECT_DOUBLE_EQ(r.bottom, 20) << "the column runs down";
    EXPECT_DOUBLE_EQ(r.left, 95);

    text.orientation = 0;
    text.runs = {{"a\rbb", features}};
    ASSERT_TRUE(host::TextBounds(text, &r));
    EXPECT_DOUBLE_EQ(r.bottom, 38) << "the second line sits one font size lower";
}

}  // namespace
}  // namespace orbalis::testing
