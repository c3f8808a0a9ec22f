// "スケールバー作成..." through the loaded plug-in and dialog 123, and the
// label and length rules it draws with.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <variant>

#include "mapgeom/ScaleBar.h"
#include "tests/layers/LayerCommandTest.h"
#include "tests/support/TextFixtures.h"

namespace orbalis::testing {
namespace {

constexpr const char* kItem = "スケールバー作成...";
constexpr const char* kSection = "Nodra-Orbalis1.5";
constexpr HostPoint kCentre{300, 400};

// ---------------------------------------------------------------- rules

TEST(ScaleBarLabels, ScalesGetACommaBetweenGroupsOfThreeDigits) {
    EXPECT_EQ(ScaleLabel(50), "1 : 50");
    EXPECT_EQ(ScaleLabel(100), "1 : 100");
    EXPECT_EQ(ScaleLabel(999), "1 : 999");
    EXPECT_EQ(ScaleLabel(1000), "1 : 1,000");
    EXPECT_EQ(ScaleLabel(25000), "1 : 25,000");
    EXPECT_EQ(ScaleLabel(1000000), "1 : 1,000,000");
    EXPECT_EQ(ScaleLabel(12345678), "1 : 12,345,678");
    EXPECT_EQ(ScaleLabel(7), "1 : 7");
}

TEST(ScaleBarLabels, DistancesCarryTheirUnitWithoutABlank) {
    EXPECT_EQ(DistanceLabel(0.5, kKilometres), "0.5km");
    EXPECT_EQ(DistanceLabel(500, kMetres), "500m");
    EXPECT_EQ(DistanceLabel(1, kKilometres), "1km");
    EXPECT_EQ(DistanceLabel(12345678, kMetres), "1.234568e+07m");
}

TEST(ScaleBarLength, GroundMillimetresOverTheScaleInPoints) {
    ScaleBarSettings s;
    // 1 km at 1/25000 is 40 mm on paper.
    EXPECT_NEAR(BarLength(s), 113.3858, 1e-4);
    EXPECT_DOUBLE_EQ(BarLength(s), 40.0 * 72 / 25.4);
    s.scale = 10000;
    s.distance = 500;
    s.unit = kMetres;
    EXPECT_DOUBLE_EQ(BarLength(s), 50.0 * 72 / 25.4);
    // A negative distance draws the bar the other way round.
    s.distance = -500;
    EXPECT_DOUBLE_EQ(BarLength(s), -50.0 * 72 / 25.4);
}

// ---------------------------------------------------------------- the command

const host::TextData& TextOf(const host::Art* art) { return std::get<host::TextData>(art->data); }

std::string Contents(const host::Art* art) {
    std::string text;
    for (const host::TextRun& run : TextOf(art).runs) text += run.text;
    return text;
}

class ScaleBar : public LayerCommandTest {
protected:
    void SetUp() override {
        LayerCommandTest::SetUp();
        doc().viewCenter = kCentre;
    }

    // The one group the run built on `target`, its pieces front to back.
    std::vector<host::Art*> Pieces(host::Layer* target) {
        std::vector<host::Art*> pieces;
        host::Art* group = target->group()->firstChild();
        EXPECT_TRUE(group && group->type() == kHostGroupArt);
        if (!group || group->type() != kHostGroupArt) return pieces;
        EXPECT_EQ(group->next(), nullptr);
        for (host::Art* a = group->firstChild(); a; a = a->next()) pieces.push_back(a);
        return pieces;
    }

    // The pieces in the order they were made: bar, ticks, then the labels.
    std::vector<host::Art*> PiecesInOrder(host::Layer* target) {
        std::vector<host::Art*> pieces = Pieces(target);
        std::reverse(pieces.begin(), pieces.end());
        return pieces;
    }

    std::optional<double> StoredReal(const char* key) {
        double value = 0;
        if (host->preferences().getReal(kSection, key, &value) != 0) return std::nullopt;
        return value;
    }
};

void ExpectLine(const host::Art* art, HostPoint from, HostPoint to) {
    ASSERT_EQ(art->type(), kHostPathArt);
    const host::PathData& path = *art->path();
    ASSERT_EQ(path.segments.size(), 2u);
    EXPECT_FALSE(path.closed);
    const HostPoint ends[2] = {from, to};
    for (size_t i = 0; i < 2; ++i) {
        const HostPathSegment& s = path.segments[i];
        EXPECT_NEAR(s.p.x, ends[i].x, 1e-9);
        EXPECT_NEAR(s.p.y, ends[i].y, 1e-9);
        EXPECT_EQ(s.in.x, s.p.x);
        EXPECT_EQ(s.in.y, s.p.y);
        EXPECT_EQ(s.out.x, s.p.x);
        EXPECT_EQ(s.out.y, s.p.y);
        EXPECT_TRUE(s.corner);
    }
    const HostPathStyle& style = path.style;
    EXPECT_FALSE(style.fillPaint);
    EXPECT_TRUE(style.strokePaint);
    ASSERT_EQ(style.stroke.color.kind, kHostFourColor);
    EXPECT_EQ(style.stroke.color.c.four.cyan, 0);
    EXPECT_EQ(style.stroke.color.c.four.magenta, 0);
    EXPECT_EQ(style.stroke.color.c.four.yellow, 0);
    EXPECT_EQ(style.stroke.color.c.four.black, 1.0);
    EXPECT_EQ(style.stroke.width, 0.25);
    // What the host's new-path style says beyond these stays.
    EXPECT_EQ(style.stroke.miterLimit, host::NewPathStyle().stroke.miterLimit);
    EXPECT_TRUE(art->attributes() & kHostArtSelected);
}

void ExpectLabel(const host::Art* art, HostPoint anchor, const std::string& text) {
    ASSERT_EQ(art->type(), kHostTextFrameArt);
    const host::TextData& t = TextOf(art);
    EXPECT_EQ(t.frameKind, kHostPointText);
    EXPECT_EQ(t.orientation, kHostHorizontalText);
    EXPECT_NEAR(t.matrix.tx, anchor.x, 1e-9);
    EXPECT_NEAR(t.matrix.ty, anchor.y, 1e-9);
    EXPECT_EQ(Contents(art), text);
    ASSERT_FALSE(t.paragraphs.empty());
    EXPECT_EQ(t.paragraphs.front(), host::Justification::Center);
    for (const host::TextRun& run : t.runs) {
        if (run.text.empty()) continue;
        EXPECT_EQ(run.features.fontSize, 9);
        EXPECT_TRUE(run.features.fillPaint);
        ASSERT_EQ(run.features.fill.kind, kHostFourColor);
        EXPECT_EQ(run.features.fill.c.four.black, 1.0);
        EXPECT_EQ(run.features.fill.c.four.cyan + run.features.fill.c.four.magenta + run.features.fill.c.four.yellow,
                  0);
        EXPECT_FALSE(run.features.strokePaint);
        // None of what map labels may carry: a new label of the host's is plain.
        EXPECT_FALSE(run.features.strokeUnder);
        EXPECT_EQ(run.features.tracking, 0);
        EXPECT_EQ(run.features.baselineShift, 0);
        EXPECT_EQ(run.features.decoration, 0);
        EXPECT_FALSE(run.features.hidden);
        EXPECT_TRUE(run.features.fillServer.empty() && run.features.strokeServer.empty());
    }
    EXPECT_TRUE(t.glyphs.empty());
    EXPECT_TRUE(art->attributes() & kHostArtSelected);
}

TEST_F(ScaleBar, TheDefaultsDrawOneKilometreAtOneTo25000OnANewTopLayer) {
    host::Layer* below = AddLayer(doc(), "道路", layer);
    ASSERT_EQ(doc().setCurrentLayer(below), 0);
    EXPECT_EQ(Run(kItem, "dialog 123; click 1"), 0);

    const DialogState& open = AtOpen();
    EXPECT_EQ(open.at(1093).text, "25000");
    EXPECT_EQ(open.at(1094).text, "1");
    EXPECT_TRUE(open.at(1095).checked);
    EXPECT_FALSE(open.at(1096).checked);
    EXPECT_TRUE(open.at(1070).checked);
    EXPECT_TRUE(open.at(1070).enabled);
    EXPECT_EQ(open.at(1098).text, "");

    ASSERT_EQ(doc().topLayers().size(), 3u);
    host::Layer* bar = doc().topLayers().front();
    EXPECT_EQ(bar->title, "スケールバー");
    EXPECT_EQ(below->group()->firstChild(), nullptr);

    const std::vector<host::Art*> made = PiecesInOrder(bar);
    ASSERT_EQ(made.size(), 7u);
    const double h = 40.0 * 72 / 25.4 / 2;
    EXPECT_NEAR(h, 56.69, 0.01);
    const double cx = kCentre.x, cy = kCentre.y;
    ExpectLine(made[0], {cx - h, cy}, {cx + h, cy});
    ExpectLine(made[1], {cx - h, cy - 2.5}, {cx - h, cy + 2.5});
    ExpectLine(made[2], {cx + h, cy - 2.5}, {cx + h, cy + 2.5});
    ExpectLine(made[3], {cx, cy}, {cx, cy + 2.5});
    ExpectLabel(made[4], {cx - h, cy + 5}, "0");
    ExpectLabel(made[5], {cx + h, cy + 5}, "1km");
    ExpectLabel(made[6], {cx, cy - 14}, "1 : 25,000");

    // The document is asked to refresh once per label.
    EXPECT_EQ(host::Faults::Calls("RedrawDocument"), 3u);
}

TEST_F(ScaleBar, FiveHundredMetresAtOneTo10000AreStoredAndReopened) {
    EXPECT_EQ(Run(kItem, "dialog 123; type 1093 10000; type 1094 500; click 1096; click 1"), 0);
    const std::vector<host::Art*> made = PiecesInOrder(doc().topLayers().front());
    ASSERT_EQ(made.size(), 7u);
    const double h = 50.0 * 72 / 25.4 / 2;
    ExpectLine(made[0], {kCentre.x - h, kCentre.y}, {kCentre.x + h, kCentre.y});
    ExpectLabel(made[5], {kCentre.x + h, kCentre.y + 5}, "500m");
    ExpectLabel(made[6], {kCentre.x, kCentre.y - 14}, "1 : 10,000");
    EXPECT_EQ(StoredInteger("SB_Scale"), 10000);
    EXPECT_EQ(StoredReal("SB_Distance"), 500.0);
    EXPECT_EQ(StoredInteger("SB_Unit"), 1);
    EXPECT_EQ(StoredBoolean("SB_NewLayer"), 1);

    EXPECT_EQ(Run(kItem, "dialog 123; type 1094 0.5; click 1095; click 2"), kStop);
    EXPECT_EQ(AtOpen().at(1093).text, "10000");
    EXPECT_EQ(AtOpen().at(1094).text, "500");
    EXPECT_TRUE(AtOpen().at(1096).checked);
    EXPECT_FALSE(AtOpen().at(1095).checked);
}

TEST_F(ScaleBar, KeysAreReadBeforeTheDialogAndWrittenBeforeTheDocumentChanges) {
    EXPECT_EQ(Run(kItem, "dialog 123; click 1"), 0);
    const std::vector<std::string> expected = {"GetIntegerPreference SB_Scale", "GetRealPreference SB_Distance",
                                               "GetIntegerPreference SB_Unit",  "GetBooleanPreference SB_NewLayer",
                                               "PutIntegerPreference SB_Scale", "PutRealPreference SB_Distance",
                                               "PutIntegerPreference SB_Unit",  "PutBooleanPreference SB_NewLayer"};
    EXPECT_EQ(PreferenceCalls(), expected);
    const auto& log = host::Faults::CallLog();
    const auto lastPut = std::find(log.begin(), log.end(), "PutBooleanPreference SB_NewLayer");
    const auto insert = std::find(log.begin(), log.end(), "InsertLayer");
    ASSERT_NE(insert, log.end());
    EXPECT_LT(lastPut, insert);
}

TEST_F(ScaleBar, CancelBuildsAndStoresNothing) {
    host::Art* square = AddRect(doc(), layer->group(), 0, 0, 10, 10);
    Select(doc(), square);
    doc().textFocus = true;
    EXPECT_EQ(Run(kItem, "dialog 123; type 1093 5000; click 2"), kStop);
    EXPECT_EQ(doc().topLayers().size(), 1u);
    EXPECT_EQ(layer->group()->firstChild(), square);
    EXPECT_EQ(square->next(), nullptr);
    EXPECT_TRUE(square->attributes() & kHostArtSelected);
    EXPECT_TRUE(doc().textFocus);
    EXPECT_FALSE(StoredInteger("SB_Scale"));
    EXPECT_FALSE(StoredReal("SB_Distance"));
}

TEST_F(ScaleBar, TheSelectionAndTextEditingAreClearedAndOnlyThePiecesAreSelected) {
    host::Layer* other = AddLayer(doc(), "Other", layer);
    host::Art* group = AddGroup(doc(), layer->group());
    host::Art* inner = AddRect(doc(), group, 0, 0, 10, 10);
    host::Art* square = AddRect(doc(), other->group(), 0, 0, 10, 10);
    Select(doc(), inner);
    Select(doc(), square);
    doc().textFocus = true;
    EXPECT_EQ(Run(kItem, "dialog 123; click 1070; click 1"), 0);
    EXPECT_FALSE(doc().textFocus);
    EXPECT_FALSE(inner->attributes() & kHostArtSelected);
    EXPECT_FALSE(square->attributes() & kHostArtSelected);
    // Unchecked, the bar goes onto the current layer, on top of its art.
    EXPECT_EQ(doc().topLayers().size(), 2u);
    EXPECT_EQ(StoredBoolean("SB_NewLayer"), 0);
    host::Art* bar = layer->group()->firstChild();
    ASSERT_EQ(bar->type(), kHostGroupArt);
    EXPECT_EQ(bar->next(), group);
    std::vector<host::Art*> selected;
    doc().collectSelected(selected);
    // The layer group, the bar's group and its seven pieces.
    EXPECT_EQ(selected.size(), 9u);
}

// The bar goes onto a layer of haloed, tracked, shifted labels with
// characters placed apart: its own labels are plain, the others untouched,
// and the map goes through SVG as it stands.
TEST_F(ScaleBar, ALayerOfFeaturedLabelsKeepsThemAndTheBarsLabelsArePlain) {
    host::TextRun name = Chars("Seine", 10), note = Chars("km2", 6), gone = Chars("?", 6);
    name.features.strokePaint = note.features.strokePaint = true;
    name.features.strokeUnder = note.features.strokeUnder = true;
    name.features.tracking = 300;
    note.features.baselineShift = 3;
    note.features.decoration = host::kUnderline;
    gone.features.hidden = true;
    host::Art* label = AddPointText(doc(), layer->group(), Turned(10, 200, 300), {name, note, gone});
    std::get<host::TextData>(label->data).glyphs.dx = {NAN, 1.5};
    Select(doc(), label);
    const host::TextData before = TextOf(label);
    EXPECT_EQ(Run(kItem, "dialog 123; click 1070; click 1"), 0);
    ASSERT_EQ(TextOf(label).runs.size(), before.runs.size());
    for (size_t r = 0; r < before.runs.size(); ++r)
        EXPECT_TRUE(host::SameFeatures(TextOf(label).runs[r].features, before.runs[r].features)) << r;
    EXPECT_EQ(TextOf(label).glyphs.dx.size(), 2u);
    EXPECT_TRUE(NearMatrix(TextOf(label).matrix, before.matrix));
    host::Art* bar = layer->group()->firstChild();
    ASSERT_EQ(bar->next(), label);
    std::vector<host::Art*> made;
    for (host::Art* a = bar->lastChild(); a; a = a->prev()) made.push_back(a);
    ASSERT_EQ(made.size(), 7u);
    ExpectLabel(made[4], {kCentre.x - 40.0 * 72 / 25.4 / 2, kCentre.y + 5}, "0");
}

TEST_F(ScaleBar, AHiddenOrLockedCurrentLayerDisablesTheBoxAndGetsANewLayerAnyway) {
    StoreBoolean("SB_NewLayer", 0);
    layer->visible = false;
    EXPECT_EQ(Run(kItem, "dialog 123; click 1"), 0);
    EXPECT_FALSE(AtOpen().at(1070).enabled);
    EXPECT_FALSE(AtOpen().at(1070).checked);
    ASSERT_EQ(doc().topLayers().size(), 2u);
    EXPECT_EQ(doc().topLayers().front()->title, "スケールバー");
    EXPECT_EQ(PiecesInOrder(doc().topLayers().front()).size(), 7u);
    EXPECT_EQ(layer->group()->firstChild(), nullptr);
    // The box's state is still what is stored.
    EXPECT_EQ(StoredBoolean("SB_NewLayer"), 0);

    layer->visible = true;
    layer->editable = false;
    ASSERT_EQ(doc().setCurrentLayer(layer), 0);
    EXPECT_EQ(Run(kItem, "dialog 123; click 1"), 0);
    EXPECT_FALSE(AtOpen().at(1070).enabled);
    EXPECT_EQ(doc().topLayers().size(), 3u);
    EXPECT_EQ(layer->group()->firstChild(), nullptr);
}

TEST_F(ScaleBar, TheFieldsAreRewrittenWhenTheyLoseTheFocus) {
    // Steps: dialog, type, click (focus moves), type, click 1097, click 1096,
    // type 1094 1e999, click 1097, click 2.
    EXPECT_EQ(Run(kItem,
                  "dialog 123; type 1093 0; click 1094; type 1093 0012500x; click 1097; "
                  "click 1096; type 1094 1e999; click 1097; click 2"),
              kStop);
    const auto& seen = watcher.seen;
    ASSERT_EQ(seen.size(), 9u);
    // A zero scale takes back the value the dialog opened with.
    EXPECT_EQ(seen[3].at(1093).text, "25000");
    // Other texts are written back in their normal form; the length on
    // paper of 1 km at 1/12500 is 8 cm.
    EXPECT_EQ(seen[5].at(1093).text, "12500");
    EXPECT_EQ(seen[5].at(1098).text, " 8 cm");
    // A unit click empties the length.
    EXPECT_EQ(seen[6].at(1098).text, "");
    // A distance beyond the range of numbers is refused like a zero, and in
    // metres the length is 1 m at 1/12500: 0.008 cm.
    EXPECT_EQ(seen[8].at(1094).text, "1");
    EXPECT_EQ(seen[8].at(1098).text, " 0.008 cm");
    EXPECT_FALSE(StoredInteger("SB_Scale"));
}

TEST_F(ScaleBar, ThePaperLengthOfTheDefaultsIsFourCentimetresAndFocusLossEmptiesIt) {
    EXPECT_EQ(Run(kItem, "dialog 123; click 1097; type 1094 2; click 1097; click 1094; click 1093; escape"), kStop);
    const auto& seen = watcher.seen;
    ASSERT_EQ(seen.size(), 7u);
    EXPECT_EQ(seen[2].at(1098).text, " 4 cm");
    EXPECT_EQ(seen[4].at(1098).text, " 8 cm");
    EXPECT_EQ(seen[5].at(1098).text, " 8 cm");
    // Leaving the distance field empties the display.
    EXPECT_EQ(seen[6].at(1098).text, "");
}

TEST_F(ScaleBar, ConfirmingWithAnUncheckedZeroOrEndlessValueUsesTheOpenedOne) {
    // Enter confirms with the focus still in the field, so the focus rule
    // has not run; the command applies it itself.
    EXPECT_EQ(Run(kItem, "dialog 123; type 1093 0; enter"), 0);
    EXPECT_EQ(StoredInteger("SB_Scale"), 25000);
    std::vector<host::Art*> made = PiecesInOrder(doc().topLayers().front());
    ASSERT_EQ(made.size(), 7u);
    EXPECT_EQ(Contents(made[6]), "1 : 25,000");
    const double h = 40.0 * 72 / 25.4 / 2;
    ExpectLine(made[0], {kCentre.x - h, kCentre.y}, {kCentre.x + h, kCentre.y});

    for (const char* distance : {"0", "1e999", "-1e999"}) {
        SCOPED_TRACE(distance);
        EXPECT_EQ(Run(kItem, std::string("dialog 123; click 1094; type 1094 ") + distance + "; enter"), 0);
        EXPECT_EQ(StoredReal("SB_Distance"), 1.0);
        made = PiecesInOrder(doc().topLayers().front());
        ASSERT_EQ(made.size(), 7u);
        EXPECT_EQ(Contents(made[5]), "1km");
        ExpectLine(made[0], {kCentre.x - h, kCentre.y}, {kCentre.x + h, kCentre.y});
    }
}

TEST_F(ScaleBar, NegativeDistancesAreKept) {
    EXPECT_EQ(Run(kItem, "dialog 123; type 1094 -2; click 1"), 0);
    EXPECT_EQ(StoredReal("SB_Distance"), -2.0);
    const std::vector<host::Art*> made = PiecesInOrder(doc().topLayers().front());
    ASSERT_EQ(made.size(), 7u);
    const double h = -80.0 * 72 / 25.4 / 2;
    ExpectLine(made[0], {kCentre.x - h, kCentre.y}, {kCentre.x + h, kCentre.y});
    EXPECT_EQ(Contents(made[5]), "-2km");
}

TEST_F(ScaleBar, DamagedStoredValuesOpenAsTheDefaults) {
    for (int32_t scale : {0, -100}) {
        SCOPED_TRACE(scale);
        StoreInteger("SB_Scale", scale);
        ASSERT_EQ(host->preferences().putReal(kSection, "SB_Distance", 0), 0);
        EXPECT_EQ(Run(kItem, "dialog 123; click 1"), 0);
        EXPECT_EQ(AtOpen().at(1093).text, "25000");
        EXPECT_EQ(AtOpen().at(1094).text, "1");
        const std::vector<host::Art*> made = PiecesInOrder(doc().topLayers().front());
        ASSERT_EQ(made.size(), 7u);
        EXPECT_EQ(Contents(made[6]), "1 : 25,000");
        EXPECT_EQ(StoredInteger("SB_Scale"), 25000);
    }
    // A stored unit that is neither checks neither button, and is read as
    // metres when confirmed that way.
    StoreInteger("SB_Unit", 7);
    EXPECT_EQ(Run(kItem, "dialog 123; click 1"), 0);
    EXPECT_FALSE(AtOpen().at(1095).checked);
    EXPECT_FALSE(AtOpen().at(1096).checked);
    EXPECT_EQ(StoredInteger("SB_Unit"), 1);
}

TEST_F(ScaleBar, TheViewCentreDefaultsToTheArtboardCentre) {
    doc().viewCenter.reset();
    doc().artboard = {100, 500, 300, 100};
    EXPECT_EQ(Run(kItem, "dialog 123; click 1"), 0);
    const std::vector<host::Art*> made = PiecesInOrder(doc().topLayers().front());
    ASSERT_EQ(made.size(), 7u);
    ExpectLine(made[3], {200, 300}, {200, 302.5});
}

TEST_F(ScaleBar, AHostErrorWhileBuildingLeavesThePiecesMadeSoFarUngrouped) {
    host::Faults::FailOperation("NewPointText", 2, kFail);
    EXPECT_EQ(Run(kItem, "dialog 123; click 1"), kFail);
    host::Layer* bar = doc().topLayers().front();
    EXPECT_EQ(bar->title, "スケールバー");
    std::vector<int32_t> types;
    for (host::Art* a = bar->group()->firstChild(); a; a = a->next()) types.push_back(a->type());
    // The "0" label on top of the four lines, no group.
    EXPECT_EQ(types, (std::vector<int32_t>{kHostTextFrameArt, kHostPathArt, kHostPathArt, kHostPathArt, kHostPathArt}));
    // The settings were stored before the document changed.
    EXPECT_EQ(StoredInteger("SB_Scale"), 25000);
}

TEST_F(ScaleBar, ErrorsInTheTextEngineAndInGroupingEndTheRun) {
    host::Faults::FailOperation("ATETextRange.SetLocalCharFeatures", 1, kFail);
    EXPECT_EQ(Run(kItem, "dialog 123; click 1"), kFail);
    EXPECT_EQ(host::Faults::Calls("RedrawDocument"), 0u);

    host::Faults::Reset();
    host::Faults::FailOperation("ReorderArt", 3, kFail);
    EXPECT_EQ(Run(kItem, "dialog 123; click 1"), kFail);
    // The group holds the two pieces moved before the failure.
    host::Art* group = doc().topLayers().front()->group()->firstChild();
    ASSERT_EQ(group->type(), kHostGroupArt);
    int inside = 0;
    for (host::Art* a = group->firstChild(); a; a = a->next()) ++inside;
    EXPECT_EQ(inside, 2);
}

TEST_F(ScaleBar, HostErrorsWhileClearingTheSelectionDoNotStopTheRun) {
    host::Faults::FailOperation("HasTextFocus", 1, kFail);
    EXPECT_EQ(Run(kItem, "dialog 123; click 1"), 0);
    EXPECT_EQ(PiecesInOrder(doc().topLayers().front()).size(), 7u);
    host::Faults::FailOperation("LayerHasSelectedArt", 1, kFail);
    EXPECT_EQ(Run(kItem, "dialog 123; click 1"), 0);
    EXPECT_EQ(doc().topLayers().size(), 3u);
}

TEST_F(ScaleBar, AFailingNewLayerEndsTheRunWithItsCode) {
    host::Faults::FailOperation("InsertLayer", 1, kFail);
    EXPECT_EQ(Run(kItem, "dialog 123; click 1"), kFail);
    EXPECT_EQ(doc().topLayers().size(), 1u);
    EXPECT_EQ(layer->group()->firstChild(), nullptr);
}

}  // namespace
}  // namespace orbalis::testing
