// "配置画像サイズをリセット", "テキストを水平垂直に戻す" and "テキストのシアー変形除去"
// run through the host's menu.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>
#include <set>

#include "host/model/Geometry.h"
#include "host/suites/SuiteTables.h"
#include "mapgeom/ResetTransform.h"
#include "tests/support/PluginHarness.h"
#include "tests/support/TextFixtures.h"

namespace orbalis::testing {
namespace {

using host::Art;

constexpr const char* kResetPlaced = "配置画像サイズをリセット";
constexpr const char* kUpright = "テキストを水平垂直に戻す";
constexpr const char* kRemoveShear = "テキストのシアー変形除去";
constexpr const char* kAccum = "BBAccumRotation";
constexpr HostErr kInjected = HOST_FOURCC('F', 'A', 'I', 'L');
constexpr HostErr kCant = HOST_FOURCC('C', 'A', 'N', 'T');
const double kPi = std::numbers::pi;

bool HasTag(const Art* art, const std::string& name) {
    for (const auto& [n, v] : art->tags)
        if (n == name) return true;
    return false;
}

// Scale and shear first, then a rotation and the anchor: a label that was
// stretched, slanted and turned.
HostMatrix Sheared(double sx, double sy, double shear, double degrees, double tx, double ty) {
    return host::Concat(HostMatrix{sx, 0, shear, sy, 0, 0}, Turned(degrees, tx, ty));
}

class ResetTransformTest : public PluginTest {
protected:
    Art* group() { return layer->group(); }
    Art* Selected(Art* art) {
        Select(doc(), art);
        return art;
    }
    Art* Label(const HostMatrix& m, std::vector<host::TextRun> runs = {Chars("Ab"), Chars("漢字", 10, 20)},
               int32_t orientation = 0) {
        return Selected(AddPointText(doc(), group(), m, std::move(runs), orientation));
    }
};

// ---------------------------------------------------------------- what the commands leave alone

// The host would not offer the items for such a selection, so the commands
// are run directly.
class ResetTransformInProcessTest : public InProcessTest {};

TEST_F(ResetTransformInProcessTest, ASelectionWithoutImagesOrTextChangesNothing) {
    Art* square = AddRect(doc(), layer->group(), 0, 0, 10, 10);
    Select(doc(), square);
    Art* other = AddPointText(doc(), layer->group(), Turned(30), {Chars("x", 12, 40)});  // not selected
    Art* image = AddPlaced(doc(), layer->group(), host::Concat({0.5, 0, 0, -0.5, 0, 0}, Turned(10)), 20, 10);
    const auto squareBefore = Geometry(square);
    const uint64_t revision = doc().revision();
    CResetTransform command;
    EXPECT_EQ(command.ResetPlacedImageSize(), 0);
    EXPECT_EQ(command.RestoreTextUpright(), 0);
    EXPECT_EQ(command.RemoveTextShear(), 0);
    EXPECT_EQ(doc().revision(), revision);
    EXPECT_EQ(Geometry(square), squareBefore);
    EXPECT_TRUE(NearMatrix(TextOf(other).matrix, Turned(30), 0));
    EXPECT_EQ(std::get<host::PlacedData>(image->data).matrix.a, 0.5 * std::cos(10 * kPi / 180));
    EXPECT_EQ(host::Faults::Calls("TransformArt"), 0u);
    EXPECT_GT(host::Faults::Calls("GetArtType"), 0u) << "the selection was looked at";
}

TEST_F(ResetTransformTest, ItemsAreEnabledByWhatTheSelectionHolds) {
    Art* square = Selected(AddRect(doc(), group(), 0, 0, 10, 10));
    host->menus().UpdateEnabling(&doc());
    EXPECT_FALSE(Item(kResetPlaced)->enabled);
    EXPECT_FALSE(Item(kUpright)->enabled);
    EXPECT_EQ(Choose(kUpright), kHostBadParameterErr) << "a disabled item is refused";

    Art* inGroup = AddGroup(doc(), group());
    Selected(AddRaster(doc(), inGroup, {1, 0, 0, 1, 0, 0}, 4, 4));
    host->menus().UpdateEnabling(&doc());
    EXPECT_TRUE(Item(kResetPlaced)->enabled) << "raster art inside a group counts";
    EXPECT_FALSE(Item(kRemoveShear)->enabled);

    doc().deselectAll();
    Selected(square);
    Label(Turned(5));
    host->menus().UpdateEnabling(&doc());
    EXPECT_FALSE(Item(kResetPlaced)->enabled);
    EXPECT_TRUE(Item(kUpright)->enabled);
    EXPECT_TRUE(Item(kRemoveShear)->enabled);
    EXPECT_TRUE(Item("高速移動")->enabled) << "a document is open";
}

// ---------------------------------------------------------------- placed and raster art

TEST_F(ResetTransformTest, APlacedImageGetsItsNaturalSizeKeepingItsLeftAndTopEdges) {
    const HostMatrix halfTurned =
        host::Concat(host::Concat({1, 0, 0, -1, 0, 0}, {0.5, 0, 0, 0.5, 0, 0}), Turned(30, 100, 400));
    Art* image = Selected(AddPlaced(doc(), group(), halfTurned, 200, 100));
    image->tags = {{kAccum, "0.5236"}, {"keep", "1"}};
    const HostRect before = BoundsOf(doc(), image);
    EXPECT_EQ(Choose(kResetPlaced), 0);
    const HostMatrix& m = std::get<host::PlacedData>(image->data).matrix;
    EXPECT_EQ(m.a, 1);
    EXPECT_EQ(m.b, 0);
    EXPECT_EQ(m.c, 0);
    EXPECT_EQ(m.d, -1);
    const HostRect after = BoundsOf(doc(), image);
    EXPECT_NEAR(after.left, before.left, 1e-9);
    EXPECT_NEAR(after.top, before.top, 1e-9);
    EXPECT_NEAR(after.right - after.left, 200, 1e-9);
    EXPECT_NEAR(after.top - after.bottom, 100, 1e-9);
    EXPECT_FALSE(HasTag(image, kAccum));
    EXPECT_TRUE(HasTag(image, "keep"));
}

TEST_F(ResetTransformTest, RasterArtLosesScaleAndRotationButKeepsItsTranslation) {
    Art* raster = Selected(AddRaster(doc(), group(), {0.4, 0.3, -0.3, 0.4, 25, -40}, 64, 32));
    raster->tags = {{kAccum, "0.6"}};
    EXPECT_EQ(Choose(kResetPlaced), 0);
    EXPECT_TRUE(NearMatrix(std::get<host::RasterData>(raster->data).matrix, {1, 0, 0, 1, 25, -40}, 0));
    EXPECT_FALSE(HasTag(raster, kAccum));
}

TEST_F(ResetTransformTest, AFailedTagRemovalDoesNotStopTheImageReset) {
    Art* image = Selected(AddPlaced(doc(), group(), {0.5, 0, 0, -0.5, 10, 10}, 40, 20));
    Art* raster = Selected(AddRaster(doc(), group(), {2, 0, 0, 2, 5, 5}, 4, 4));
    host::Faults::FailOperation("RemoveTag", 1, kInjected, true);
    EXPECT_EQ(Choose(kResetPlaced), 0);
    EXPECT_EQ(std::get<host::PlacedData>(image->data).matrix.a, 1);
    EXPECT_EQ(std::get<host::RasterData>(raster->data).matrix.a, 1);
}

TEST_F(ResetTransformTest, AFailureEndsTheRunAndKeepsTheObjectsAlreadyReset) {
    Art* first = Selected(AddPlaced(doc(), group(), {0.5, 0, 0, -0.5, 10, 10}, 40, 20));
    Art* second = Selected(AddPlaced(doc(), group(), {0.25, 0, 0, -0.25, 90, 10}, 40, 20));
    host::Faults::FailOperation("SetPlacedMatrix", 2, kInjected);
    EXPECT_EQ(Choose(kResetPlaced), kInjected);
    EXPECT_EQ(std::get<host::PlacedData>(first->data).matrix.a, 1);
    EXPECT_EQ(std::get<host::PlacedData>(second->data).matrix.a, 0.25);
}

// ---------------------------------------------------------------- restoring text upright

TEST_F(ResetTransformTest, UprightTurnsPointTextBackAboutItsAnchorAndClearsCharacterRotation) {
    Art* label = Label(Turned(30, 100, 200), {Chars("Ab", 12, 15), Chars("漢字", 10, -40)});
    label->tags = {{kAccum, "1"}, {"note", "x"}, {kAccum, "2"}};
    EXPECT_EQ(Choose(kUpright), 0);
    const host::TextData& text = TextOf(label);
    EXPECT_TRUE(NearMatrix(text.matrix, {1, 0, 0, 1, 100, 200}));
    ASSERT_EQ(text.runs.size(), 2u) << "runs that still differ in size stay apart";
    for (const auto& run : text.runs) EXPECT_EQ(run.features.rotation, 0);
    EXPECT_EQ(label->tags, (host::NameValues{{"note", "x"}})) << "every BBAccumRotation tag goes";
}

TEST_F(ResetTransformTest, UprightKeepsScaleAndShearAndTurnsVerticalTextToo) {
    Art* sheared = Label(Sheared(1.5, 0.8, 0.3, -50, 10, 20));
    Art* vertical = Label(Turned(90, 300, 300), {Chars("縦書き")}, 1);
    EXPECT_EQ(Choose(kUpright), 0);
    // The rotation that turns the x axis back goes; what is left maps the x
    // axis onto itself.
    const HostMatrix& m = TextOf(sheared).matrix;
    EXPECT_NEAR(m.b, 0, 1e-9);
    EXPECT_GT(m.a, 0);
    EXPECT_NEAR(m.tx, 10, 1e-9);
    EXPECT_NEAR(m.ty, 20, 1e-9);
    EXPECT_TRUE(NearMatrix(TextOf(vertical).matrix, {1, 0, 0, 1, 300, 300}));
}

TEST_F(ResetTransformTest, UprightTurnsAreaTextAboutTheCentreOfItsBounds) {
    // A 100 x 50 frame turned 40 degrees about its centre (150, 125).
    const HostMatrix turn =
        host::Concat(host::Concat(host::Translation(-150, -125), Turned(40)), host::Translation(150, 125));
    std::vector<HostPoint> frame;
    for (HostPoint p : std::vector<HostPoint>{{100, 150}, {200, 150}, {200, 100}, {100, 100}})
        frame.push_back(host::Apply(turn, p));
    Art* area = Selected(AddFramedText(doc(), group(), 1, host::Concat(host::Translation(100, 140), turn), frame,
                                       {Chars("Area text", 12, 10)}));
    const HostRect before = BoundsOf(doc(), area);
    EXPECT_EQ(Choose(kUpright), 0);
    const host::TextData& text = TextOf(area);
    EXPECT_TRUE(NearMatrix(text.matrix, {1, 0, 0, 1, 100, 140}, 1e-9));
    EXPECT_TRUE(NearPoint(text.path[0].p, {100, 150}, 1e-9));
    EXPECT_TRUE(NearPoint(text.path[2].p, {200, 100}, 1e-9));
    const HostRect after = BoundsOf(doc(), area);
    EXPECT_NEAR((after.left + after.right) / 2, (before.left + before.right) / 2, 1e-9);
    EXPECT_NEAR((after.top + after.bottom) / 2, (before.top + before.bottom) / 2, 1e-9);
    EXPECT_EQ(text.runs[0].features.rotation, 0);
}

TEST_F(ResetTransformTest, UprightLeavesTextOnAPathAsItIs) {
    Art* onPath = Selected(AddFramedText(doc(), group(), 2, Turned(25, 10, 10), {{10, 10}, {60, 33}, {120, 40}},
                                         {Chars("Along", 12, 30)}));
    onPath->tags = {{kAccum, "1"}};
    const auto before = Geometry(onPath);
    EXPECT_EQ(Choose(kUpright), 0);
    EXPECT_EQ(Geometry(onPath), before);
    EXPECT_EQ(TextOf(onPath).runs[0].features.rotation, 30);
    EXPECT_TRUE(HasTag(onPath, kAccum));
}

// ---------------------------------------------------------------- removing shear

TEST_F(ResetTransformTest, ShearRemovalLeavesOnlyTheRotationOfPointText) {
    Art* label = Label(Sheared(1.5, 0.8, 0.3, 30, 100, 200), {Chars("Ab", 12), Chars("cd", 20)});
    TextOf(label).runs[1].features.horizontalScale = 1.2;
    EXPECT_EQ(Choose(kRemoveShear), 0);
    const host::TextData& text = TextOf(label);
    EXPECT_TRUE(NearMatrix(text.matrix, Turned(30, 100, 200)));
    // M2.d is the vertical scale left once the rotation is taken out.
    ASSERT_EQ(text.runs.size(), 2u);
    EXPECT_NEAR(text.runs[0].features.fontSize, 12 * 0.8, 1e-9);
    EXPECT_NEAR(text.runs[0].features.horizontalScale, 1 / 0.8, 1e-9);
    EXPECT_NEAR(text.runs[1].features.fontSize, 20 * 0.8, 1e-9);
    EXPECT_NEAR(text.runs[1].features.horizontalScale, 1.2 / 0.8, 1e-9);
    EXPECT_EQ(text.runs[0].features.verticalScale, 1);
}

TEST_F(ResetTransformTest, ShearRemovalLeavesAPurelyRotatedLabelAsItWas) {
    Art* label = Label(Turned(30, 100, 200));
    const host::TextData before = TextOf(label);
    EXPECT_EQ(Choose(kRemoveShear), 0);
    const host::TextData& after = TextOf(label);
    EXPECT_TRUE(NearMatrix(after.matrix, before.matrix, 1e-12));
    ASSERT_EQ(after.runs.size(), before.runs.size());
    for (size_t i = 0; i < after.runs.size(); ++i) {
        EXPECT_NEAR(after.runs[i].features.fontSize, before.runs[i].features.fontSize, 1e-12);
        EXPECT_NEAR(after.runs[i].features.horizontalScale, before.runs[i].features.horizontalScale, 1e-12);
    }
}

TEST_F(ResetTransformTest, ShearRemovalOfVerticalTextKeepsTheColumnsDirection) {
    Art* label = Label(Sheared(1, 1.25, 0.5, 20, 50, 60), {Chars("縦書き", 12)}, 1);
    TextOf(label).runs[0].features.verticalScale = 0.9;
    EXPECT_EQ(Choose(kRemoveShear), 0);
    const double m2c = 0.5, m2d = 1.25;
    const double kept = 20 * kPi / 180 + std::atan(-m2c / m2d);
    const host::TextData& text = TextOf(label);
    EXPECT_TRUE(NearMatrix(text.matrix, host::Concat(host::Rotation(kept), host::Translation(50, 60))));
    EXPECT_NEAR(text.runs[0].features.fontSize, 12 * m2d, 1e-9);
    EXPECT_NEAR(text.runs[0].features.verticalScale, 0.9 / m2d, 1e-9);
    EXPECT_EQ(text.runs[0].features.horizontalScale, 1);
}

TEST_F(ResetTransformTest, ShearRemovalUndoesAnAreaTextsWholeMatrixAboutItsCentre) {
    const HostMatrix skew = Sheared(1, 1, 0.5, 0, 0, 0);
    std::vector<HostPoint> frame;
    for (HostPoint p : std::vector<HostPoint>{{0, 50}, {100, 50}, {100, 0}, {0, 0}})
        frame.push_back(host::Apply(skew, p));
    Art* area = Selected(
        AddFramedText(doc(), group(), 1, host::Concat(host::Translation(0, 40), skew), frame, {Chars("Area", 10)}));
    const HostRect before = BoundsOf(doc(), area);
    const HostPoint centre{(before.left + before.right) / 2, (before.top + before.bottom) / 2};
    EXPECT_EQ(Choose(kRemoveShear), 0);
    const host::TextData& text = TextOf(area);
    EXPECT_TRUE(NearMatrix(text.matrix, host::Concat(host::Translation(0, 40), host::Translation(0, 0))) ||
                std::fabs(text.matrix.c) < 1e-9)
        << "no shear is left";
    EXPECT_NEAR(text.matrix.a, 1, 1e-9);
    EXPECT_NEAR(text.matrix.c, 0, 1e-9);
    EXPECT_NEAR(text.matrix.d, 1, 1e-9);
    // The frame's shear went about the centre of its bounds.
    const HostRect after = BoundsOf(doc(), area);
    EXPECT_NEAR((after.left + after.right) / 2, centre.x, 1e-9);
    EXPECT_NEAR((after.top + after.bottom) / 2, centre.y, 1e-9);
    EXPECT_NEAR(after.right - after.left, 100, 1e-9);
    EXPECT_EQ(text.runs[0].features.fontSize, 10);
}

TEST_F(ResetTransformTest, ShearRemovalKeepsTextOnItsPath) {
    const std::vector<HostPoint> curve{{10, 10}, {60, 33}, {120, 40}};
    Art* onPath =
        Selected(AddFramedText(doc(), group(), 2, Sheared(1, 2, 0.4, 15, 10, 10), curve, {Chars("Along", 12)}));
    const auto pathBefore = TextOf(onPath).path;
    EXPECT_EQ(Choose(kRemoveShear), 0);
    const host::TextData& text = TextOf(onPath);
    ASSERT_EQ(text.path.size(), pathBefore.size());
    for (size_t i = 0; i < curve.size(); ++i) EXPECT_TRUE(NearPoint(text.path[i].p, pathBefore[i].p, 0));
    EXPECT_NEAR(text.matrix.a * text.matrix.a + text.matrix.b * text.matrix.b, 1, 1e-9)
        << "the text itself lost its scale";
    EXPECT_NEAR(text.runs[0].features.fontSize, 24, 1e-9);
}

TEST_F(ResetTransformTest, ShearRemovalResizesOverflowTextToo) {
    // A frame two lines high holding four lines.
    Art* area = Selected(AddFramedText(doc(), group(), 1, {1, 0, 0, 2, 0, 16}, {{0, 20}, {100, 20}, {100, -4}, {0, -4}},
                                       {Chars("one\rtwo\r", 10), Chars("three\rfour", 14)}));
    EXPECT_EQ(Choose(kRemoveShear), 0);
    EXPECT_NEAR(TextOf(area).runs.back().features.fontSize, 28, 1e-9);
    EXPECT_NEAR(TextOf(area).runs.front().features.fontSize, 20, 1e-9);
}

TEST_F(ResetTransformTest, ShearRemovalSkipsSingularAndMirroredMatrices) {
    Art* flat = Label({1, 0.5, 2, 1, 10, 10});    // determinant 0
    Art* flipped = Label({1, 0, 0, -1, 50, 50});  // mirrored on the page
    Art* sheared = Label(Sheared(1, 1, 0.5, 0, 90, 90));
    const host::TextData flatBefore = TextOf(flat), flippedBefore = TextOf(flipped);
    EXPECT_EQ(Choose(kRemoveShear), 0) << "the objects after a skipped one are still done";
    EXPECT_TRUE(NearMatrix(TextOf(flat).matrix, flatBefore.matrix, 0));
    EXPECT_TRUE(NearMatrix(TextOf(flipped).matrix, flippedBefore.matrix, 0));
    EXPECT_EQ(TextOf(flipped).runs[0].features.fontSize, flippedBefore.runs[0].features.fontSize);
    EXPECT_GT(TextOf(flipped).runs[0].features.fontSize, 0);
    EXPECT_NEAR(TextOf(sheared).matrix.c, 0, 1e-9);
}

// ---------------------------------------------------------------- host failures

struct Scenario {
    const char* item;
    std::function<void()> build;
};

// Every host call a command makes, failed in turn at each of its calls:
// the command returns the code (a text-engine failure ends as 'CANT'),
// leaves no host object behind and keeps what it changed before.
class ResetTransformFaultTest : public ResetTransformTest {
protected:
    void FailEveryCall(const Scenario& scenario) {
        scenario.build();
        host::Faults::Reset();
        ASSERT_EQ(Choose(scenario.item), 0);
        const auto calls = host::Faults::AllCalls();
        ASSERT_FALSE(calls.empty());
        int runs = 0;
        for (const auto& [operation, count] : calls) {
            // A failed release or art set disposal only leaks, which the
            // harness would report.
            if (operation == "TextEngineRelease" || operation == "DisposeArtSet") continue;
            // The frame's own calls around every message.
            if (operation == "PushAppContext" || operation == "PopAppContext") continue;
            // The panels' answer to the document-changed notification after
            // the command, not the command's own calls.
            if (operation == "CountLayers" || operation == "GetDocument") continue;
            for (uint64_t n = 1; n <= count; ++n) {
                doc().deselectAll();
                scenario.build();
                host::Faults::Reset();
                host::Faults::FailOperation(operation, n, kInjected);
                const HostErr result = Choose(scenario.item);
                host::Faults::Reset();
                ++runs;
                if (operation == "RemoveTag" && std::string(scenario.item) == kResetPlaced) {
                    EXPECT_EQ(result, 0) << operation << " #" << n;
                } else if (operation.starts_with("ATE") || operation == "TextEngineAddRef") {
                    EXPECT_EQ(result, kCant) << operation << " #" << n;
                } else if (operation == "IndexArtSet") {
                    // The art set holder reports a null object, which the
                    // next call refuses.
                    EXPECT_NE(result, 0) << operation << " #" << n;
                } else {
                    EXPECT_EQ(result, kInjected) << operation << " #" << n;
                }
                EXPECT_EQ(host::LiveTextEngineObjects(), 0) << operation << " #" << n;
                EXPECT_EQ(host->liveArtSets, 0) << operation << " #" << n;
            }
        }
        EXPECT_GT(runs, 10);
    }
};

TEST_F(ResetTransformFaultTest, ResetPlacedImageSize) {
    FailEveryCall({kResetPlaced, [this] {
                       Selected(AddPlaced(doc(), group(), {0.5, 0.1, 0, -0.5, 10, 10}, 40, 20))->tags = {{kAccum, "1"}};
                       Selected(AddRaster(doc(), group(), {2, 0, 0, 2, 5, 5}, 4, 4));
                   }});
}

TEST_F(ResetTransformFaultTest, RestoreTextUpright) {
    FailEveryCall(
        {kUpright, [this] {
             Label(Turned(30, 5, 5), {Chars("ab", 12, 10), Chars("c", 9)})->tags = {{kAccum, "1"}};
             Selected(AddFramedText(doc(), group(), 1, Turned(10), {{0, 20}, {50, 20}, {50, 0}}, {Chars("area")}));
         }});
}

TEST_F(ResetTransformFaultTest, RemoveTextShear) {
    FailEveryCall({kRemoveShear, [this] {
                       Label(Sheared(1, 2, 0.3, 30, 5, 5), {Chars("ab", 12), Chars("c", 9)});
                       Selected(AddFramedText(doc(), group(), 2, Sheared(1, 2, 0.3, 0, 0, 0),
                                              {{0, 0}, {40, 10}, {80, 0}}, {Chars("path")}));
                       Label(Sheared(1, 1.5, 0.2, 0, 9, 9), {Chars("v")}, 1);
                   }});
}

TEST_F(ResetTransformTest, ATextEngineFailureEndsAsCantAfterTheEarlierLabels) {
    Art* first = Label(Turned(30, 0, 0));
    Art* second = Label(Turned(45, 50, 0));
    host::Faults::FailOperation("ATETextFrame.GetMatrix", 2, HOST_FOURCC('A', 'T', 'E', '!'));
    EXPECT_EQ(Choose(kUpright), kCant);
    EXPECT_TRUE(NearMatrix(TextOf(first).matrix, {1, 0, 0, 1, 0, 0}));
    EXPECT_TRUE(NearMatrix(TextOf(second).matrix, Turned(45, 50, 0), 0));
}

}  // namespace
}  // namespace orbalis::testing
