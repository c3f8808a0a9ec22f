// "地図拡大縮小..." through the loaded plug-in and dialog 115.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

#include "host/model/TextLayout.h"
#include "mapgeom/MapScaling.h"
#include "tests/layers/LayerCommandTest.h"
#include "tests/support/FreshBounds.h"
#include "tests/support/TextFixtures.h"

namespace orbalis::testing {
namespace {

using host::Art;

constexpr const char* kItem = "地図拡大縮小...";
constexpr const char* kSection = "Nodra-Orbalis1.5";

HostPathStyle WideStroke() {
    HostPathStyle style = StrokedStyle();
    style.stroke.width = 4;
    style.stroke.dashCount = 2;
    style.stroke.dashes[0] = 6;
    style.stroke.dashes[1] = 2;
    return style;
}

class MapScalingTest : public LayerCommandTest {
protected:
    // A square from (0, 0) to (200, 100): the bounds centre is (100, 50).
    void SetUp() override {
        LayerCommandTest::SetUp();
        frame = AddRect(doc(), layer->group(), 0, 0, 200, 100, WideStroke());
        user().onProgress = [this](const std::string&, int32_t, int32_t maximum) { maxima.insert(maximum); };
    }

    void StoreReal(const char* key, double value) { ASSERT_EQ(host->preferences().putReal(kSection, key, value), 0); }
    std::optional<double> StoredReal(const char* key) {
        double value = 0;
        if (host->preferences().getReal(kSection, key, &value) != 0) return std::nullopt;
        return value;
    }

    const HostPathStyle& StyleOf(const Art* path) { return path->path()->style; }

    Art* frame = nullptr;
    std::set<int32_t> maxima;  // the progress totals shown
};

::testing::AssertionResult AnchorAt(const Art* path, HostPoint p) { return NearPoint(FirstAnchor(path), p, 1e-9); }

TEST_F(MapScalingTest, HalvingTheScaleHalvesEveryDistanceFromTheCentre) {
    Art* dot = AddRect(doc(), layer->group(), 180, 90, 2, 2);
    EXPECT_EQ(Run(kItem, "dialog 115; type 1074 25000; type 1090 50000; click 1080; click 1"), 0);
    EXPECT_TRUE(AnchorAt(frame, {50, 25}));
    EXPECT_TRUE(AnchorAt(dot, {140, 70}));
    // Line scale 0.5 with the stroke option on: widths and dashes halve.
    EXPECT_DOUBLE_EQ(StyleOf(frame).stroke.width, 2);
    EXPECT_DOUBLE_EQ(StyleOf(frame).stroke.dashes[0], 3);
    EXPECT_DOUBLE_EQ(StyleOf(frame).stroke.dashes[1], 1);
    const auto& texts = user().progressTexts();
    EXPECT_NE(std::find(texts.begin(), texts.end(), "拡大/縮小しています"), texts.end());
    EXPECT_EQ(maxima, std::set<int32_t>{0}) << "without a selection the progress has no total";
}

// Each round reads the bounds the previous one left in the host's cache:
// they must be those of the map read afresh, or the rounds drift apart.
TEST_F(MapScalingTest, RoundAfterRoundReadsTheBoundsOfAFreshMap) {
    for (int g = 0; g < 3; ++g) {
        Art* group = AddGroup(doc(), layer->group());
        for (int i = 0; i < 4; ++i) {
            const double x = 13.7 * g + 3.1 * i, y = 7.3 * i - 2.9 * g;
            AddPolygon(doc(), group, {{x, y}, {x + 5.3, y + 0.7}, {x + 1.1, y + 4.9}});
        }
    }
    Art* curve = AddPolygon(doc(), layer->group(), {{-20.3, 5.1}, {-9.7, 5.9}}, false);
    curve->path()->segments[0].out = {-20.3, 15.3};
    curve->path()->segments[1].in = {-9.7, 15.9};
    doc().touch(curve);
    Art* text = AddPointText(doc(), layer->group(), {1, 0, 0, 1, 60.3, -30.1}, {Chars("町")});
    AddFramedText(doc(), layer->group(), 1, {1, 0, 0, 1, 0, 0}, {{70.1, 3.3}, {90.7, 3.3}, {90.7, 20.9}, {70.1, 20.9}},
                  {Chars("地図の文字")});
    for (const char* row : {"8", "1", "7", "0", "4"}) {
        const std::string script = std::string("dialog 115; click 1077; select 1083 ") + row + "; click 1";
        ASSERT_EQ(Run(kItem, script), 0) << row;
        ExpectBoundsAsFresh(doc(), layer->group(), row);
    }
    EXPECT_NE(std::get<host::TextData>(text->data).matrix.tx, 60.3);
}

TEST_F(MapScalingTest, StrokesKeepTheirWidthUnlessAsked) {
    EXPECT_EQ(Run(kItem, "dialog 115; type 1074 25000; type 1090 50000; click 1"), 0);
    EXPECT_TRUE(AnchorAt(frame, {50, 25}));
    EXPECT_DOUBLE_EQ(StyleOf(frame).stroke.width, 4);
    EXPECT_DOUBLE_EQ(StyleOf(frame).stroke.dashes[0], 6);
}

TEST_F(MapScalingTest, PercentagesScaleEachAxisAndTheLineByTheirGeometricMean) {
    EXPECT_EQ(Run(kItem, "dialog 115; click 1076; click 1070; type 1072 200; type 1073 50; click 1080; click 1"), 0);
    EXPECT_TRUE(AnchorAt(frame, {-100, 25}));
    EXPECT_DOUBLE_EQ(StyleOf(frame).stroke.width, 4) << "line scale is the square root of 1";
    EXPECT_EQ(StoredInteger("MS_Mode"), 1);
    EXPECT_EQ(StoredReal("MS_HorizontalRatio"), 200.0);
    EXPECT_EQ(StoredReal("MS_VerticalRatio"), 50.0);
}

TEST_F(MapScalingTest, PaperRatiosUseTheirExactFactors) {
    EXPECT_EQ(Run(kItem, "dialog 115; click 1077; select 1083 7; click 1080; click 1"), 0);
    EXPECT_DOUBLE_EQ(FirstAnchor(frame).x, 100 - 100 * 1.41);
    EXPECT_DOUBLE_EQ(StyleOf(frame).stroke.width, 4 * 1.41);
    EXPECT_NE(StyleOf(frame).stroke.width, 4 * std::sqrt(2.0));
    EXPECT_EQ(StoredInteger("MS_PaperScaling"), 7);
}

TEST_F(MapScalingTest, PatternsFollowOnlyWithTheirOption) {
    HostPathStyle patterned = FilledStyle();
    patterned.fill.color.kind = kHostPatternColor;
    patterned.fill.color.c.pattern = {1, {1, 0, 0, 1, 0, 0}};
    patterned.strokePaint = 1;
    patterned.stroke.color.kind = kHostPatternColor;
    patterned.stroke.color.c.pattern = {2, {1, 0, 0, 1, 0, 0}};
    Art* tiles = AddRect(doc(), layer->group(), 0, 0, 200, 100, patterned);

    EXPECT_EQ(Run(kItem, "dialog 115; click 1077; select 1083 0; click 1"), 0);
    EXPECT_TRUE(NearMatrix(StyleOf(tiles).fill.color.c.pattern.transform, {1, 0, 0, 1, 0, 0}));

    EXPECT_EQ(Run(kItem, "dialog 115; click 1081; click 1"), 0);
    // The second run halves the half-size map about the same centre, (100, 50).
    EXPECT_TRUE(NearMatrix(StyleOf(tiles).fill.color.c.pattern.transform, {0.5, 0, 0, 0.5, 50, 25}));
    EXPECT_TRUE(NearMatrix(StyleOf(tiles).stroke.color.c.pattern.transform, {0.5, 0, 0, 0.5, 50, 25}));
}

TEST_F(MapScalingTest, GuidesStayUnlessAsked) {
    Art* guide = AddPolygon(doc(), layer->group(), {{0, 50}, {200, 50}}, false, StrokedStyle());
    guide->path()->guide = true;
    EXPECT_EQ(Run(kItem, "dialog 115; click 1077; select 1083 0; click 1"), 0);
    EXPECT_TRUE(AnchorAt(guide, {0, 50}));
    EXPECT_TRUE(AnchorAt(frame, {50, 25}));

    EXPECT_EQ(Run(kItem, "dialog 115; click 1082; click 1"), 0);
    EXPECT_TRUE(AnchorAt(guide, {50, 50}));
}

TEST_F(MapScalingTest, TextKeepsItsSizeUnlessAsked) {
    Art* label = AddPointText(doc(), layer->group(), {1, 0, 0, 1, 180, 90}, {Chars("町", 12)});
    Art* area = AddFramedText(doc(), layer->group(), kHostAreaText, {1, 0, 0, 1, 0, 100},
                              {{0, 0}, {200, 0}, {200, 100}, {0, 100}}, {Chars("村", 10)});
    EXPECT_EQ(Run(kItem, "dialog 115; click 1077; select 1083 0; click 1"), 0);
    EXPECT_TRUE(NearMatrix(TextOf(label).matrix, {1, 0, 0, 1, 140, 70}));
    EXPECT_DOUBLE_EQ(TextOf(label).runs[0].features.fontSize, 12);
    EXPECT_TRUE(NearPoint(TextOf(area).path[0].p, {50, 25}));
    EXPECT_TRUE(NearPoint(TextOf(area).path[2].p, {150, 75}));
    EXPECT_DOUBLE_EQ(TextOf(area).runs[0].features.fontSize, 10);

    EXPECT_EQ(Run(kItem, "dialog 115; click 1078; click 1"), 0);
    EXPECT_DOUBLE_EQ(TextOf(label).matrix.a, 0.5) << "with the font-size option the text scales whole";
    EXPECT_DOUBLE_EQ(TextOf(label).matrix.d, 0.5);
}

// A label with a halo, tracking, a raised run, a hidden run and characters
// placed apart: without the font-size option it only moves; with it every
// glyph lands where the scaling takes it.
TEST_F(MapScalingTest, LabelsWithEveryFeatureMoveOrScaleWhole) {
    host::TextRun name = Chars("Rhine", 12), raised = Chars("2", 7), hidden = Chars("x", 12);
    name.features.strokePaint = true;
    name.features.strokeUnder = true;
    name.features.strokeWidth = 3;
    name.features.tracking = 250;
    name.features.decoration = host::kUnderline;
    raised.features.baselineShift = 4;
    hidden.features.hidden = true;
    Art* label = AddPointText(doc(), layer->group(), {1, 0, 0, 1, 20, 30}, {name, raised, hidden});
    TextOf(label).glyphs.dx = {NAN, 2};
    TextOf(label).glyphs.dy = {NAN, NAN, -1};
    TextOf(label).glyphs.rotate = {NAN, NAN, NAN, 15};
    doc().touch(label);
    const std::vector<host::GlyphBox> before = host::LayoutText(TextOf(label));
    const host::TextData original = TextOf(label);

    EXPECT_EQ(Run(kItem, "dialog 115; click 1077; select 1083 0; click 1"), 0);
    std::vector<host::GlyphBox> moved = host::LayoutText(TextOf(label));
    ASSERT_EQ(moved.size(), before.size());
    for (size_t i = 0; i < moved.size(); ++i)
        for (int k = 0; k < 4; ++k)
            EXPECT_TRUE(NearPoint(moved[i].corners[k], {before[i].corners[k].x + 40, before[i].corners[k].y + 10}))
                << i;
    for (size_t r = 0; r < original.runs.size(); ++r)
        EXPECT_TRUE(host::SameFeatures(TextOf(label).runs[r].features, original.runs[r].features)) << r;
    ASSERT_EQ(TextOf(label).glyphs.rotate.size(), 4u);
    EXPECT_EQ(TextOf(label).glyphs.rotate[3], 15);

    EXPECT_EQ(Run(kItem, "dialog 115; click 1078; click 1"), 0);
    const std::vector<host::GlyphBox> scaled = host::LayoutText(TextOf(label));
    ASSERT_EQ(scaled.size(), before.size());
    // The second run halves again about the same centre: (100, 50).
    for (size_t i = 0; i < scaled.size(); ++i)
        for (int k = 0; k < 4; ++k)
            EXPECT_TRUE(NearPoint(scaled[i].corners[k],
                                  {100 + (moved[i].corners[k].x - 100) / 2, 50 + (moved[i].corners[k].y - 50) / 2},
                                  1e-9))
                << i;
}

TEST_F(MapScalingTest, LegacyTextIsLeftWhenFontsKeepTheirSize) {
    Art* legacy = AddArt(doc(), layer->group(), kHostLegacyTextArt);
    legacy->data = host::ForeignData{"", "", {1, 0, 0, 1, 20, 20}, true, {0, 10, 10, 0}};
    EXPECT_EQ(Run(kItem, "dialog 115; click 1077; select 1083 0; click 1"), 0);
    EXPECT_TRUE(NearMatrix(std::get<host::ForeignData>(legacy->data).matrix, {1, 0, 0, 1, 20, 20}));
    EXPECT_TRUE(AnchorAt(frame, {50, 25}));
    const auto& log = host::Faults::CallLog();
    EXPECT_NE(std::find(log.begin(), log.end(), "GetTextKind"), log.end());
}

TEST_F(MapScalingTest, SymbolsKeepTheirSizeAboutTheirCentreUnlessAsked) {
    Art* star = doc().newSymbolDefinition("star");
    AddRect(doc(), star, -5, -5, 10, 10);
    Art* pin = AddArt(doc(), layer->group(), kHostSymbolArt);
    std::get<host::SymbolData>(pin->data) = {"star", {1, 0, 0, 1, 180, 90}};
    EXPECT_EQ(Run(kItem, "dialog 115; click 1077; select 1083 0; click 1"), 0);
    EXPECT_TRUE(NearMatrix(std::get<host::SymbolData>(pin->data).matrix, {1, 0, 0, 1, 140, 70}));

    EXPECT_EQ(Run(kItem, "dialog 115; click 1079; click 1"), 0);
    const HostMatrix m = std::get<host::SymbolData>(pin->data).matrix;
    EXPECT_DOUBLE_EQ(m.a, 0.5);
    EXPECT_DOUBLE_EQ(m.d, 0.5);
}

TEST_F(MapScalingTest, HiddenAndLockedLayersAndObjectsStayButWidenTheBounds) {
    host::Layer* hidden = AddLayer(doc(), "hidden");
    Art* far = AddRect(doc(), hidden->group(), 400, 0, 200, 100);  // bounds now (0, 0)-(600, 100)
    hidden->visible = false;
    host::Layer* locked = AddLayer(doc(), "locked");
    Art* fixed = AddRect(doc(), locked->group(), 10, 10, 5, 5);
    locked->editable = false;
    Art* lockedObject = AddRect(doc(), layer->group(), 20, 20, 5, 5);
    Lock(doc(), lockedObject);
    Art* group = AddGroup(doc(), layer->group());
    Art* hiddenGroup = AddGroup(doc(), group);
    Art* inHidden = AddRect(doc(), hiddenGroup, 30, 30, 5, 5);
    Hide(doc(), hiddenGroup);

    EXPECT_EQ(Run(kItem, "dialog 115; click 1077; select 1083 0; click 1"), 0);
    EXPECT_TRUE(AnchorAt(frame, {150, 25}));
    EXPECT_TRUE(AnchorAt(far, {400, 0}));
    EXPECT_TRUE(AnchorAt(fixed, {10, 10}));
    EXPECT_TRUE(AnchorAt(lockedObject, {20, 20}));
    EXPECT_TRUE(AnchorAt(inHidden, {30, 30}));
}

TEST_F(MapScalingTest, EmptyLayersAndGroupsAddNoBounds) {
    AddLayer(doc(), "empty");
    AddGroup(doc(), layer->group());
    EXPECT_EQ(Run(kItem, "dialog 115; click 1077; select 1083 0; click 1"), 0);
    EXPECT_TRUE(AnchorAt(frame, {50, 25}));
}

TEST_F(MapScalingTest, SelectionOnlyScalesTheSelectedAboutTheirOwnCentre) {
    Art* group = AddGroup(doc(), layer->group());
    Art* chosen = AddRect(doc(), group, 300, 300, 100, 100);
    Art* other = AddRect(doc(), group, 500, 500, 10, 10);
    Select(doc(), chosen);
    EXPECT_EQ(Run(kItem, "dialog 115; click 1092; click 1077; select 1083 0; click 1"), 0);
    EXPECT_TRUE(AnchorAt(chosen, {325, 325}));
    EXPECT_TRUE(AnchorAt(other, {500, 500}));
    EXPECT_TRUE(AnchorAt(frame, {0, 0}));
    ASSERT_FALSE(maxima.empty());
    EXPECT_EQ(*maxima.rbegin(), 3) << "the layer group, the group and the square are selected";
}

TEST_F(MapScalingTest, NothingToScaleEndsWithoutChange) {
    const std::vector<double> before = Geometry(frame);
    EXPECT_EQ(Run(kItem, "dialog 115; click 1092; click 1"), 0) << "selection-only with nothing selected";
    EXPECT_EQ(Geometry(frame), before);
    EXPECT_EQ(StoredBoolean("MS_SelectionOnly"), 1);

    ASSERT_EQ(doc().disposeArt(frame), 0);
    EXPECT_EQ(Run(kItem, "dialog 115; click 1092; click 1"), 0) << "a document without art";
}

TEST_F(MapScalingTest, CancelSavesNothingAndChangesNothing) {
    const std::vector<double> before = Geometry(frame);
    for (const char* script : {"dialog 115; type 1074 10000; click 2", "dialog 115; escape"}) {
        SCOPED_TRACE(script);
        EXPECT_EQ(Run(kItem, script), kStop);
        EXPECT_EQ(Geometry(frame), before);
        for (const std::string& call : PreferenceCalls()) EXPECT_EQ(call.rfind("Put", 0), std::string::npos) << call;
    }
}

TEST_F(MapScalingTest, TheThirteenKeysAreReadAndWrittenInOrder) {
    EXPECT_EQ(Run(kItem, "dialog 115; click 1"), 0);
    const std::vector<std::string> keys{"Integer MS_Mode",
                                        "Integer MS_CurrentScale",
                                        "Integer MS_TargetScale",
                                        "Real MS_HorizontalRatio",
                                        "Real MS_VerticalRatio",
                                        "Integer MS_PaperScaling",
                                        "Boolean MS_KeepProportion",
                                        "Boolean MS_ScaleFontSize",
                                        "Boolean MS_ScaleSymbolSize",
                                        "Boolean MS_ScaleStrokeEffect",
                                        "Boolean MS_ScaleGuide",
                                        "Boolean MS_ScalePattern",
                                        "Boolean MS_SelectionOnly"};
    std::vector<std::string> expected;
    for (const std::string& k : keys)
        expected.push_back("Get" + k.substr(0, k.find(' ')) + "Preference" + k.substr(k.find(' ')));
    for (const std::string& k : keys)
        expected.push_back("Put" + k.substr(0, k.find(' ')) + "Preference" + k.substr(k.find(' ')));
    EXPECT_EQ(PreferenceCalls(), expected);
    // The defaults: 1/25000 to 1/30000.
    EXPECT_DOUBLE_EQ(FirstAnchor(frame).x, 100 - 100 * (25000.0 / 30000.0));
}

TEST_F(MapScalingTest, AHostErrorPartWayReturnsItsCodeWithEarlierObjectsScaled) {
    AddRect(doc(), layer->group(), 0, 0, 100, 100);
    Art* first = layer->group()->firstChild();
    Art* second = first->next();
    host::Faults::FailOperation("TransformArt", 2, kFail);
    EXPECT_EQ(Run(kItem, "dialog 115; click 1077; select 1083 0; click 1"), kFail);
    EXPECT_TRUE(AnchorAt(first, {50, 25})) << "scaled before the failure";
    EXPECT_TRUE(AnchorAt(second, {0, 0}));
    EXPECT_EQ(StoredInteger("MS_Mode"), 2) << "the settings were saved before the drawing changed";
}

TEST_F(MapScalingTest, BoundsErrorsOtherThanNoBoundsEndTheRun) {
    const std::vector<double> before = Geometry(frame);
    host::Faults::FailOperation("GetArtBounds", 1, kFail);
    EXPECT_EQ(Run(kItem, "dialog 115; click 1"), kFail);
    EXPECT_EQ(Geometry(frame), before);
}

}  // namespace
}  // namespace orbalis::testing
