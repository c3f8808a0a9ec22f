// What a click or a dragged rectangle on the workbench's page selects: the
// frontmost top-level object of a visible, unlocked layer, whole.
#include <gtest/gtest.h>

#include "tests/support/DocumentBuilder.h"
#include "tools/workbench/HitTest.h"

namespace orbalis::workbench {
namespace {

using host::Art;
using host::Document;
using host::Layer;
using testing::AddCompound;
using testing::AddGroup;
using testing::AddLayer;
using testing::AddPolygon;
using testing::AddRect;
using testing::NewDocument;

bool Selected(const Art* art) { return (art->attributes() & kHostArtSelected) != 0; }

class HitTestTest : public ::testing::Test {
protected:
    void SetUp() override { doc = NewDocument(&layer); }
    Art* Hit(double x, double y, double tolerance = 2) { return HitObject(*doc, {x, y}, tolerance); }

    std::unique_ptr<Document> doc;
    Layer* layer = nullptr;
};

TEST_F(HitTestTest, NestedGroupsAnswerWithTheirTopLevelGroupAndSelectWhole) {
    Art* outer = AddGroup(*doc, layer->group());
    Art* inner = AddGroup(*doc, outer);
    Art* deep = AddRect(*doc, inner, 10, 10, 10, 10);
    Art* beside = AddRect(*doc, outer, 40, 10, 10, 10);
    Art* loose = AddRect(*doc, layer->group(), 100, 100, 5, 5);

    EXPECT_EQ(Hit(15, 15), outer) << "a click deep inside picks the top-level group";
    EXPECT_EQ(Hit(45, 15), outer);
    EXPECT_EQ(Hit(30, 15), nullptr) << "the gap between the group's members is not the group";
    ApplyClick(*doc, Hit(15, 15), false);
    EXPECT_TRUE(Selected(outer) && Selected(inner) && Selected(deep) && Selected(beside));
    EXPECT_FALSE(Selected(loose));

    // Shift-click adds, and takes away again.
    ApplyClick(*doc, Hit(102, 102), true);
    EXPECT_TRUE(Selected(loose) && Selected(deep));
    ApplyClick(*doc, Hit(15, 15), true);
    EXPECT_FALSE(Selected(outer) || Selected(deep));
    EXPECT_TRUE(Selected(loose));
    // A plain click on nothing clears the selection; shift-click on nothing keeps it.
    ApplyClick(*doc, nullptr, true);
    EXPECT_TRUE(Selected(loose));
    ApplyClick(*doc, nullptr, false);
    EXPECT_FALSE(Selected(loose));
}

TEST_F(HitTestTest, FrontmostFilledOutlineStrokeAndHole) {
    // Each new object goes behind those already there.
    Art* front = AddRect(*doc, layer->group(), 20, 20, 50, 50);
    Art* back = AddRect(*doc, layer->group(), 0, 0, 50, 50);
    EXPECT_EQ(Hit(30, 30), front);
    EXPECT_EQ(Hit(10, 10), back);

    // An unfilled path is hit only near its outline.
    Art* line = AddPolygon(*doc, layer->group(), {{200, 0}, {300, 0}, {300, 100}}, false, testing::StrokedStyle());
    EXPECT_EQ(Hit(250, 1.5), line);
    EXPECT_EQ(Hit(250, 3), nullptr);
    EXPECT_EQ(Hit(250, 3, 4), line);
    EXPECT_EQ(Hit(280, 50), nullptr) << "inside an unfilled outline is empty";

    // A compound path's hole is not part of it.
    Art* ring = AddCompound(*doc, layer->group());
    AddRect(*doc, ring, 400, 0, 100, 100);
    AddRect(*doc, ring, 425, 25, 50, 50);
    EXPECT_EQ(Hit(410, 50), ring);
    EXPECT_EQ(Hit(450, 50), nullptr);
}

TEST_F(HitTestTest, HiddenAndLockedLayersAndArtAreNotPicked) {
    Layer* top = AddLayer(*doc, "top");
    Layer* sub = nullptr;
    ASSERT_EQ(doc->insertLayer(top, kHostPlaceInsideOnTop, &sub), 0);
    Art* under = AddRect(*doc, layer->group(), 0, 0, 100, 100);
    Art* inSub = AddRect(*doc, sub->group(), 10, 10, 10, 10);
    Art* locked = AddRect(*doc, layer->group(), 50, 50, 10, 10);
    testing::Lock(*doc, locked);
    EXPECT_EQ(Hit(15, 15), inSub) << "a sublayer's objects are top-level objects";
    EXPECT_EQ(Hit(55, 55), under) << "locked art lets the click through";

    top->visible = false;
    EXPECT_EQ(Hit(15, 15), under) << "a hidden layer hides its sublayers";
    top->visible = true;
    top->editable = false;
    EXPECT_EQ(Hit(15, 15), under) << "a locked layer locks its sublayers";
    top->editable = true;
    sub->visible = false;
    EXPECT_EQ(Hit(15, 15), under);
    layer->visible = false;
    EXPECT_EQ(Hit(15, 15), nullptr);
}

TEST_F(HitTestTest, DraggedRectangleMeetsBoundsInAnyDirection) {
    Art* a = AddRect(*doc, layer->group(), 0, 0, 10, 10);
    Art* b = AddRect(*doc, layer->group(), 20, 0, 10, 10);
    Art* group = AddGroup(*doc, layer->group());
    Art* c = AddRect(*doc, group, 40, 0, 10, 10);
    // Dragged from the right to the left, from the bottom up: the same
    // rectangle; the objects come front first.
    auto picked = ObjectsInRect(*doc, {25, 5, 45, -5});
    EXPECT_EQ(picked, (std::vector<Art*>{b, group}));
    ApplyClick(*doc, a, false);
    ApplyDrag(*doc, picked, true);
    EXPECT_TRUE(Selected(a) && Selected(b) && Selected(c));
    ApplyDrag(*doc, ObjectsInRect(*doc, {100, 100, 120, 120}), false);
    EXPECT_FALSE(Selected(a) || Selected(b) || Selected(c)) << "a drag over nothing clears";
}

}  // namespace
}  // namespace orbalis::workbench
