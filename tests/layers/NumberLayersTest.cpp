// "レイヤー通し番号作成..." through the loaded plug-in and dialog 125.
#include <gtest/gtest.h>

#include "tests/layers/LayerCommandTest.h"

namespace orbalis::testing {
namespace {

constexpr const char* kItem = "レイヤー通し番号作成...";
using Titles = std::vector<std::string>;

class NumberLayers : public LayerCommandTest {
protected:
    void SetUp() override {
        LayerCommandTest::SetUp();
        TopLevelTitles({"A", "B", "C"});
    }
};

TEST_F(NumberLayers, TheDefaultsNumberEveryVisibleLayerInFrontOfItsTitle) {
    EXPECT_EQ(Run(kItem, "dialog 125; click 1"), 0);
    EXPECT_EQ(LayerTitles(), (Titles{"1: A", "2: B", "3: C"}));

    const DialogState& open = AtOpen();
    EXPECT_EQ(open.at(1120).selected, 2);
    EXPECT_TRUE(open.at(1125).checked);
    EXPECT_EQ(open.at(1126).text, "1");
    EXPECT_EQ(open.at(1127).text, "1");
    EXPECT_FALSE(open.at(1106).checked);
    EXPECT_FALSE(open.at(1128).enabled);
    EXPECT_TRUE(open.at(1108).checked);
    EXPECT_TRUE(open.at(1109).enabled);
    EXPECT_EQ(open.at(1109).text, ": ");
    EXPECT_TRUE(open.at(1110).checked);
    EXPECT_TRUE(open.at(1129).checked);
    EXPECT_FALSE(open.at(1130).checked);
    EXPECT_TRUE(open.at(1129).enabled);
}

TEST_F(NumberLayers, KeysAreReadBeforeTheDialogAndWrittenAfterOkInTheirOrder) {
    EXPECT_EQ(Run(kItem, "dialog 125; click 1"), 0);
    const Titles order{"NL_Kind",
                       "NL_VisibleLayersOnly",
                       "NL_InitialNum",
                       "NL_Step",
                       "NL_AddStringBeforeNumber",
                       "NL_BeforeString",
                       "NL_AddStringAfterNumber",
                       "NL_AfterString",
                       "NL_AddToCurrentTitle",
                       "NL_AddNumberPos"};
    const Titles types{"Integer",       "Boolean", "Integer",       "Integer", "Boolean",
                       "UnicodeString", "Boolean", "UnicodeString", "Boolean", "Integer"};
    Titles expected;
    for (size_t i = 0; i < order.size(); ++i) expected.push_back("Get" + types[i] + "Preference " + order[i]);
    for (size_t i = 0; i < order.size(); ++i) expected.push_back("Put" + types[i] + "Preference " + order[i]);
    EXPECT_EQ(PreferenceCalls(), expected);

    // The writes come after the dialog and before the first title is set.
    const auto& log = host::Faults::CallLog();
    const auto lastPut = std::find(log.rbegin(), log.rend(), "PutIntegerPreference NL_AddNumberPos");
    const auto firstSet = std::find(log.begin(), log.end(), "SetLayerTitle");
    ASSERT_NE(lastPut, log.rend());
    ASSERT_NE(firstSet, log.end());
    EXPECT_LT(lastPut.base() - log.begin(), firstSet - log.begin());
    EXPECT_EQ(StoredText("NL_AfterString"), ": ");
}

TEST_F(NumberLayers, CancelStoresNothingAndChangesNothing) {
    for (const char* script : {"dialog 125; type 1126 5; click 2", "dialog 125; escape"}) {
        SCOPED_TRACE(script);
        EXPECT_EQ(Run(kItem, script), kStop);
        EXPECT_EQ(LayerTitles(), (Titles{"A", "B", "C"}));
        for (const std::string& call : PreferenceCalls()) EXPECT_EQ(call.rfind("Put", 0), std::string::npos) << call;
        EXPECT_FALSE(StoredInteger("NL_InitialNum"));
    }
}

TEST_F(NumberLayers, StepZeroGivesEveryLayerTheSameNumber) {
    EXPECT_EQ(Run(kItem, "dialog 125; type 1127 0; click 1"), 0);
    EXPECT_EQ(LayerTitles(), (Titles{"1: A", "1: B", "1: C"}));
    EXPECT_EQ(StoredInteger("NL_Step"), 0);
}

TEST_F(NumberLayers, NumbersAloneReplaceTheTitles) {
    EXPECT_EQ(Run(kItem, "dialog 125; type 1126 10; type 1127 5; click 1108; click 1110; click 1"), 0);
    EXPECT_EQ(LayerTitles(), (Titles{"10", "15", "20"}));
    // Clicking the boxes disabled what depends on them.
    const DialogState& last = watcher.seen.back();
    EXPECT_FALSE(last.at(1109).enabled);
    EXPECT_FALSE(last.at(1129).enabled);
    EXPECT_FALSE(last.at(1130).enabled);
    // The after-text keeps its stored value though it was left out.
    EXPECT_EQ(StoredBoolean("NL_AddStringAfterNumber"), 0);
    EXPECT_EQ(StoredText("NL_AfterString"), ": ");
}

TEST_F(NumberLayers, ABeforeTextBehindTheTitle) {
    EXPECT_EQ(Run(kItem, "dialog 125; click 1106; type 1128 -; click 1108; click 1130; click 1"), 0);
    EXPECT_EQ(LayerTitles(), (Titles{"A-1", "B-2", "C-3"}));
    EXPECT_EQ(StoredInteger("NL_AddNumberPos"), 1);
}

TEST_F(NumberLayers, ADisabledFieldCannotBeTypedInButIsStillRead) {
    // The before-text is disabled at open: typing into it is refused.
    EXPECT_EQ(Run(kItem, "dialog 125; type 1128 x; click 1"), kStop);
    ASSERT_EQ(ui.errors().size(), 1u);
    EXPECT_NE(ui.errors()[0].find("1128"), std::string::npos) << ui.errors()[0];
    ui = win32::ScriptedUser();

    // Typed while enabled, then disabled again: still read and stored.
    EXPECT_EQ(Run(kItem, "dialog 125; click 1106; type 1128 No.; click 1106; click 1"), 0);
    EXPECT_EQ(StoredText("NL_BeforeString"), "No.");
    EXPECT_EQ(StoredBoolean("NL_AddStringBeforeNumber"), 0);
    EXPECT_EQ(LayerTitles(), (Titles{"1: A", "2: B", "3: C"}));
}

TEST_F(NumberLayers, RunningTwiceNumbersTheNumberedTitlesAgain) {
    EXPECT_EQ(Run(kItem, "dialog 125; click 1"), 0);
    EXPECT_EQ(Run(kItem, "dialog 125; click 1"), 0);
    EXPECT_EQ(LayerTitles(), (Titles{"1: 1: A", "2: 2: B", "3: 3: C"}));
}

TEST_F(NumberLayers, HiddenLayersKeepTheirTitlesAndUseUpNoNumber) {
    doc().topLayers()[1]->visible = false;
    EXPECT_EQ(Run(kItem, "dialog 125; click 1"), 0);
    EXPECT_EQ(LayerTitles(), (Titles{"1: A", "B", "2: C"}));

    // Without the filter the hidden layer is numbered too.
    EXPECT_EQ(Run(kItem, "dialog 125; click 1125; click 1110; click 1"), 0);
    EXPECT_EQ(LayerTitles(), (Titles{"1: ", "2: ", "3: "}));
    EXPECT_EQ(StoredBoolean("NL_VisibleLayersOnly"), 0);
}

TEST_F(NumberLayers, AStoredNegativeStartIsShownAndUsed) {
    StoreInteger("NL_InitialNum", -3);
    EXPECT_EQ(Run(kItem, "dialog 125; click 1"), 0);
    EXPECT_EQ(AtOpen().at(1126).text, "-3");
    EXPECT_EQ(LayerTitles(), (Titles{"-3: A", "-2: B", "-1: C"}));
}

TEST_F(NumberLayers, NumberFieldsTakeDigitsOnlyAndClampToThe32BitRange) {
    EXPECT_EQ(Run(kItem, "dialog 125; type 1126 1a2b; type 1127 0; click 1110; click 1"), 0);
    EXPECT_EQ(StoredInteger("NL_InitialNum"), 12);
    EXPECT_EQ(LayerTitles(), (Titles{"12: ", "12: ", "12: "}));

    EXPECT_EQ(Run(kItem, "dialog 125; type 1126 99999999999999; click 1"), 0);
    EXPECT_EQ(StoredInteger("NL_InitialNum"), 2147483647);
    EXPECT_EQ(LayerTitles()[0], "2147483647: ");

    // Past the top the numbers wrap round to the bottom of the range.
    EXPECT_EQ(Run(kItem, "dialog 125; type 1127 1; click 1"), 0);
    EXPECT_EQ(LayerTitles(), (Titles{"2147483647: ", "-2147483648: ", "-2147483647: "}));

    // An emptied field reads as 0.
    EXPECT_EQ(Run(kItem, "dialog 125; clear 1126; click 1"), 0);
    EXPECT_EQ(StoredInteger("NL_InitialNum"), 0);
}

TEST_F(NumberLayers, AStoredPositionOutOfRangeChecksNeitherButtonAndOkStoresBehind) {
    StoreInteger("NL_AddNumberPos", 5);
    EXPECT_EQ(Run(kItem, "dialog 125; click 1"), 0);
    EXPECT_FALSE(AtOpen().at(1129).checked);
    EXPECT_FALSE(AtOpen().at(1130).checked);
    EXPECT_EQ(StoredInteger("NL_AddNumberPos"), 1);
    EXPECT_EQ(LayerTitles(), (Titles{"A1: ", "B2: ", "C3: "}));
}

TEST_F(NumberLayers, AStoredKindOutsideTheListSelectsNoRowAndNumbersNothing) {
    StoreInteger("NL_Kind", 7);
    EXPECT_EQ(Run(kItem, "dialog 125; click 1"), 0);
    EXPECT_EQ(AtOpen().at(1120).selected, -1);
    EXPECT_EQ(StoredInteger("NL_Kind"), 7);
    EXPECT_EQ(LayerTitles(), (Titles{"A", "B", "C"}));

    EXPECT_EQ(Run(kItem, "dialog 125; select 1120 0; click 1"), 0);
    EXPECT_EQ(StoredInteger("NL_Kind"), 0);
    EXPECT_EQ(LayerTitles(), (Titles{"1: A", "2: B", "3: C"}));
}

TEST_F(NumberLayers, TextsSurviveTheCodePageAndTheFieldLimitKeepsCharactersWhole) {
    // Neither character is in Shift-JIS; the stand-in's code page keeps them.
    StoreText("NL_AfterString", "한🗾");
    EXPECT_EQ(Run(kItem, "dialog 125; click 1"), 0);
    EXPECT_EQ(AtOpen().at(1109).text, "한🗾");
    EXPECT_EQ(StoredText("NL_AfterString"), "한🗾");
    EXPECT_EQ(LayerTitles(), (Titles{"1한🗾A", "2한🗾B", "3한🗾C"}));

    // 46 units and a surrogate pair: the pair would be cut at 47, so it goes.
    const std::string units46(46, 'x');
    EXPECT_EQ(Run(kItem, "dialog 125; type 1109 " + units46 + "🗾yz; click 1"), 0);
    EXPECT_EQ(StoredText("NL_AfterString"), units46);
    EXPECT_EQ(Run(kItem, "dialog 125; type 1109 " + units46 + "yz; click 1"), 0);
    EXPECT_EQ(StoredText("NL_AfterString"), units46 + "y");
}

TEST_F(NumberLayers, AHostErrorInTheWalkKeepsEarlierTitlesAndTheSettings) {
    host::Faults::FailOperation("SetLayerTitle", 2, kFail);
    EXPECT_EQ(Run(kItem, "dialog 125; type 1126 7; click 1"), kFail);
    EXPECT_EQ(LayerTitles(), (Titles{"7: A", "B", "C"}));
    EXPECT_EQ(StoredInteger("NL_InitialNum"), 7);

    host::Faults::FailOperation("GetLayerTitle", 1, kFail);
    EXPECT_EQ(Run(kItem, "dialog 125; click 1"), kFail);
    EXPECT_EQ(LayerTitles(), (Titles{"7: A", "B", "C"}));
}

TEST_F(NumberLayers, AHostErrorInsideTheDialogClosesItWithTheCode) {
    host::Faults::FailOperation("SetUTF16", 1, kFail);
    EXPECT_EQ(Run(kItem, "dialog 125; click 1"), kFail);
    EXPECT_EQ(LayerTitles(), (Titles{"A", "B", "C"}));
    EXPECT_FALSE(StoredInteger("NL_Kind"));
}

TEST_F(NumberLayers, SublayersOfTheCurrentLayer) {
    host::Layer* a = doc().topLayers()[0];
    AddSublayer(doc(), a, "A1");
    AddSublayer(doc(), AddSublayer(doc(), a, "A2"), "A2a");
    ASSERT_EQ(doc().setCurrentLayer(a), 0);
    EXPECT_EQ(Run(kItem, "dialog 125; select 1120 1; click 1"), 0);
    EXPECT_EQ(LayerTitles(), (Titles{"A", "1: A1", "2: A2", "A2a", "B", "C"}));
}

}  // namespace
}  // namespace orbalis::testing
