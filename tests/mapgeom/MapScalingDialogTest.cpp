// Dialog 115 of "地図拡大縮小...": what it shows and how its fields answer
// the user, and the factors it leads to.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "mapgeom/MapScaling.h"
#include "tests/layers/LayerCommandTest.h"
#include "tests/support/TextFixtures.h"

namespace orbalis::testing {
namespace {

constexpr const char* kItem = "地図拡大縮小...";
constexpr const char* kSection = "Nodra-Orbalis1.5";

class MapScalingDialogTest : public LayerCommandTest {
protected:
    void SetUp() override {
        LayerCommandTest::SetUp();
        square = AddRect(doc(), layer->group(), 0, 0, 100, 100);
    }
    // The dialog just before the last step of the script.
    const DialogState& BeforeLastStep() const { return watcher.seen.back(); }
    void StoreReal(const char* key, double value) { ASSERT_EQ(host->preferences().putReal(kSection, key, value), 0); }

    host::Art* square = nullptr;
};

TEST_F(MapScalingDialogTest, OpensWithTheDefaultsAndTheModeZeroEnabling) {
    EXPECT_EQ(Run(kItem, "dialog 115; click 2"), kStop);
    const DialogState& open = AtOpen();
    EXPECT_EQ(open.at(1074).text, "25000");
    EXPECT_EQ(open.at(1090).text, "30000");
    EXPECT_EQ(open.at(1091).text, "(83.33333%)");
    EXPECT_EQ(open.at(1072).text, "100");
    EXPECT_EQ(open.at(1073).text, "100");
    EXPECT_EQ(open.at(1083).selected, 0);
    EXPECT_TRUE(open.at(1075).checked);
    EXPECT_FALSE(open.at(1076).checked);
    EXPECT_FALSE(open.at(1077).checked);
    EXPECT_TRUE(open.at(1070).checked);
    for (int id : {1078, 1079, 1080, 1081, 1082, 1092}) EXPECT_FALSE(open.at(id).checked) << id;
    for (int id : {1074, 1090}) EXPECT_TRUE(open.at(id).enabled) << id;
    for (int id : {1070, 1072, 1073, 1083}) EXPECT_FALSE(open.at(id).enabled) << id;
    for (int id : {1078, 1079, 1080, 1081, 1082, 1092, 1, 2}) EXPECT_TRUE(open.at(id).enabled) << id;
}

TEST_F(MapScalingDialogTest, ThePaperListHoldsTheNineRatiosVerbatim) {
    // Reads the list's rows when the dialog opens, then lets the script go on.
    struct ListReader : win32::DialogUser {
        win32::DialogUser* next = nullptr;
        std::vector<std::u16string> rows;
        bool Act(HWND dialog) override {
            HWND list = GetDlgItem(dialog, 1083);
            const LRESULT count = SendMessageW(list, CB_GETCOUNT, 0, 0);
            rows.clear();
            for (LRESULT i = 0; i < count; ++i) {
                char16_t text[64] = {};
                SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
                rows.emplace_back(text);
            }
            return next->Act(dialog);
        }
    } reader;
    reader.next = &ui;
    win32::SetDialogUser(&reader);
    Ui("dialog 115; click 2");
    EXPECT_EQ(Choose(kItem), kStop);
    const std::vector<std::u16string> expected{u"A3→A5  B4→B6 (50%)",  u"A3→B5  A4→B6 (61%)",  u"A3→A4  B4→B5 (71%)",
                                               u"B4→A4  B5→A5 (82%)",  u"A3→B4  A4→B5 (87%)",  u"B4→A3  B5→A4 (115%)",
                                               u"A4→B4  A5→B5 (122%)", u"A4→A3  A5→A4 (141%)", u"A5→A3  B6→B4 (200%)"};
    EXPECT_EQ(reader.rows, expected);
}

TEST_F(MapScalingDialogTest, TheModeRadiosSwitchTheEnabling) {
    EXPECT_EQ(Run(kItem, "dialog 115; click 1076; click 1077; click 1075; click 2"), kStop);
    const DialogState& byRatio = watcher.seen[2];
    EXPECT_TRUE(byRatio.at(1076).checked);
    EXPECT_FALSE(byRatio.at(1075).checked);
    EXPECT_TRUE(byRatio.at(1070).enabled);
    EXPECT_TRUE(byRatio.at(1072).enabled);
    EXPECT_FALSE(byRatio.at(1073).enabled) << "the vertical field follows the horizontal one";
    EXPECT_FALSE(byRatio.at(1074).enabled);
    EXPECT_FALSE(byRatio.at(1083).enabled);
    const DialogState& byPaper = watcher.seen[3];
    EXPECT_TRUE(byPaper.at(1077).checked);
    EXPECT_TRUE(byPaper.at(1083).enabled);
    EXPECT_FALSE(byPaper.at(1072).enabled);
    EXPECT_FALSE(byPaper.at(1090).enabled);
    const DialogState& byScale = BeforeLastStep();
    EXPECT_TRUE(byScale.at(1075).checked);
    EXPECT_TRUE(byScale.at(1074).enabled);
    EXPECT_FALSE(byScale.at(1070).enabled);
}

TEST_F(MapScalingDialogTest, KeepingTheProportionCopiesTheHorizontalPercentage) {
    EXPECT_EQ(Run(kItem, "dialog 115; click 1076; type 1072 150; leave; click 1070; type 1073 80; click 1070; click 2"),
              kStop);
    const DialogState& afterLeave = watcher.seen[4];  // before the first click on 1070
    EXPECT_EQ(afterLeave.at(1073).text, "150");
    EXPECT_FALSE(afterLeave.at(1073).enabled);
    const DialogState& unchecked = watcher.seen[5];
    EXPECT_TRUE(unchecked.at(1073).enabled);
    const DialogState& checkedAgain = BeforeLastStep();
    EXPECT_EQ(checkedAgain.at(1073).text, "150") << "checking the box copies the horizontal text";
    EXPECT_FALSE(checkedAgain.at(1073).enabled);
}

TEST_F(MapScalingDialogTest, LeavingAScaleFieldWithOneZeroOrNoDigitsRestoresTheOpenedValue) {
    for (const char* typed : {"1", "0", "abc", "01"}) {
        SCOPED_TRACE(typed);
        EXPECT_EQ(Run(kItem, std::string("dialog 115; type 1090 ") + typed + "; leave; click 2"), kStop);
        EXPECT_EQ(BeforeLastStep().at(1090).text, "30000");
        EXPECT_EQ(BeforeLastStep().at(1091).text, "(83.33333%)");
    }
    EXPECT_EQ(Run(kItem, "dialog 115; type 1090 50000; leave; click 2"), kStop);
    EXPECT_EQ(BeforeLastStep().at(1091).text, "(50%)");
}

TEST_F(MapScalingDialogTest, LeavingAPercentageFieldWithZeroOrLessRestoresTheOpenedValue) {
    StoreReal("MS_HorizontalRatio", 120);
    EXPECT_EQ(Run(kItem, "dialog 115; click 1076; type 1072 0; leave; click 2"), kStop);
    EXPECT_EQ(BeforeLastStep().at(1072).text, "120");
    EXPECT_EQ(BeforeLastStep().at(1073).text, "120") << "copied because the proportion is kept";
    EXPECT_EQ(Run(kItem, "dialog 115; click 1076; click 1070; type 1073 -3; leave; click 2"), kStop);
    EXPECT_EQ(BeforeLastStep().at(1073).text, "100");
}

// Confirming with Enter leaves no field; the rules still apply, so the map
// is never scaled by an unusable factor.
TEST_F(MapScalingDialogTest, EnterInAFieldAppliesTheFieldRulesBeforeTheRun) {
    EXPECT_EQ(Run(kItem, "dialog 115; type 1090 0; enter"), 0);
    EXPECT_EQ(StoredInteger("MS_TargetScale"), 30000);
    EXPECT_TRUE(NearPoint(FirstAnchor(square), {50 - 50 * 25000.0 / 30000.0, 50 - 50 * 25000.0 / 30000.0}));

    EXPECT_EQ(Run(kItem, "dialog 115; click 1076; click 1070; type 1073 0; enter"), 0);
    const HostPoint p = FirstAnchor(square);
    EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y));
    std::optional<double> vertical;
    double value = 0;
    if (host->preferences().getReal(kSection, "MS_VerticalRatio", &value) == 0) vertical = value;
    EXPECT_EQ(vertical, 100.0);

    EXPECT_EQ(Run(kItem, "dialog 115; type 1072 1e999; enter"), 0) << "an infinite percentage";
    EXPECT_TRUE(std::isfinite(FirstAnchor(square).x));
}

TEST_F(MapScalingDialogTest, StoredValuesTheDialogCannotMakeOpenAsTheDefaults) {
    StoreInteger("MS_Mode", 7);
    StoreInteger("MS_PaperScaling", 42);
    StoreInteger("MS_CurrentScale", -3);
    StoreInteger("MS_TargetScale", 0);
    StoreReal("MS_VerticalRatio", -1);
    EXPECT_EQ(Run(kItem, "dialog 115; click 2"), kStop);
    const DialogState& open = AtOpen();
    EXPECT_TRUE(open.at(1075).checked);
    EXPECT_EQ(open.at(1083).selected, 0);
    EXPECT_EQ(open.at(1074).text, "25000");
    EXPECT_EQ(open.at(1090).text, "30000");
    EXPECT_EQ(open.at(1073).text, "100");
}

TEST_F(MapScalingDialogTest, StoredSettingsOpenTheDialogAsLeft) {
    StoreInteger("MS_Mode", 2);
    StoreInteger("MS_PaperScaling", 5);
    StoreBoolean("MS_KeepProportion", 0);
    StoreBoolean("MS_ScaleGuide", 1);
    EXPECT_EQ(Run(kItem, "dialog 115; click 2"), kStop);
    const DialogState& open = AtOpen();
    EXPECT_TRUE(open.at(1077).checked);
    EXPECT_EQ(open.at(1083).selected, 5);
    EXPECT_FALSE(open.at(1070).checked);
    EXPECT_TRUE(open.at(1082).checked);
}

TEST(MapScalingFactors, EachModeGivesItsFactorsAndUnusableSettingsGiveNone) {
    MapScalingSettings s;
    ScalingFactors f;
    s.targetScale = 50000;
    ASSERT_TRUE(ComputeScalingFactors(s, &f));
    EXPECT_EQ(f.horizontal, 0.5);
    EXPECT_EQ(f.lineScale, 0.5);

    s.mode = kByPercentage;
    s.horizontalRatio = 200;
    s.verticalRatio = 50;
    ASSERT_TRUE(ComputeScalingFactors(s, &f));
    EXPECT_EQ(f.horizontal, 2.0);
    EXPECT_EQ(f.vertical, 0.5);
    EXPECT_EQ(f.lineScale, 1.0);

    s.mode = kByPaperRatio;
    for (int row = 0; row < kPaperRatioCount; ++row) {
        s.paperScaling = row;
        ASSERT_TRUE(ComputeScalingFactors(s, &f));
        EXPECT_EQ(f.horizontal, kPaperRatioFactors[static_cast<size_t>(row)]);
    }
    EXPECT_EQ(f.lineScale, 2.0);

    const ScalingFactors kept = f;
    for (auto spoil : std::vector<void (*)(MapScalingSettings&)>{
             [](MapScalingSettings& m) { m.mode = 3; },
             [](MapScalingSettings& m) { m.paperScaling = 9; },
             [](MapScalingSettings& m) { m.paperScaling = -1; },
             [](MapScalingSettings& m) { m.mode = kByMapScale, m.targetScale = 0; },
             [](MapScalingSettings& m) { m.mode = kByMapScale, m.currentScale = -25000; },
             [](MapScalingSettings& m) { m.mode = kByPercentage, m.verticalRatio = 0; },
             [](MapScalingSettings& m) {
                 m.mode = kByPercentage, m.horizontalRatio = std::numeric_limits<double>::infinity();
             },
         }) {
        MapScalingSettings bad = s;
        spoil(bad);
        EXPECT_FALSE(ComputeScalingFactors(bad, &f));
        EXPECT_EQ(f.horizontal, kept.horizontal);
    }
}

TEST(MapScalingFactors, TheOptionsAreOneSeventeenThirteenOrTwentyNine) {
    MapScalingSettings s;
    EXPECT_EQ(TransformOptions(s), 1);
    s.scaleStrokeEffect = 1;
    EXPECT_EQ(TransformOptions(s), 17);
    s.scalePattern = 1;
    EXPECT_EQ(TransformOptions(s), 29);
    s.scaleStrokeEffect = 0;
    EXPECT_EQ(TransformOptions(s), 13);
}

}  // namespace
}  // namespace orbalis::testing
