// "レイヤー名置換..." through the loaded plug-in and dialog 126.
#include <gtest/gtest.h>

#include "tests/layers/LayerCommandTest.h"

namespace orbalis::testing {
namespace {

constexpr const char* kItem = "レイヤー名置換...";
using Titles = std::vector<std::string>;

class ReplaceLayerTitle : public LayerCommandTest {
protected:
    // Retitles the top-level layers and runs the dialog's steps between its
    // opening and OK.
    Titles Replace(const Titles& titles, const std::string& steps) {
        while (doc().topLayers().size() < titles.size()) AddLayer(doc(), "");
        for (size_t i = 0; i < titles.size(); ++i) doc().topLayers()[i]->title = titles[i];
        EXPECT_EQ(Run(kItem, "dialog 126; " + steps + "; click 1"), 0);
        Titles out;
        for (size_t i = 0; i < titles.size(); ++i) out.push_back(doc().topLayers()[i]->title);
        return out;
    }
};

TEST_F(ReplaceLayerTitle, ReplacingOccurrences) {
    EXPECT_EQ(Replace({"Layer Layer"}, "type 1105 Layer; type 1106 L"), (Titles{"L L"}));
    // The search goes on behind each replacement, and occurrences do not overlap.
    EXPECT_EQ(Replace({"aa", "aaa"}, "type 1105 a; type 1106 aa"), (Titles{"aaaa", "aaaaaa"}));
    EXPECT_EQ(Replace({"aaa", "xaaaax"}, "type 1105 aa; type 1106 b"), (Titles{"ba", "xbbx"}));
    // Case-sensitive; an empty replacement deletes.
    EXPECT_EQ(Replace({"Road", "road map road"}, "type 1105 road; clear 1106"), (Titles{"Road", " map "}));
    // Characters outside the basic plane count as one and are matched whole.
    EXPECT_EQ(Replace({"🗾A🗾", "道路🗾"}, "type 1105 🗾; type 1106 日本"), (Titles{"日本A日本", "道路日本"}));
}

TEST_F(ReplaceLayerTitle, EqualSearchAndReplacementLeaveTitlesAsTheyAreButStillWriteThem) {
    EXPECT_EQ(Replace({"ab", "b", "c"}, "type 1105 b; type 1106 b"), (Titles{"ab", "b", "c"}));
    EXPECT_EQ(host::Faults::Calls("SetLayerTitle"), 3u);
}

TEST_F(ReplaceLayerTitle, DeletingTheLeadingNumber) {
    EXPECT_EQ(Replace({"０３道路", "12-3", "A12", "123", "1: Roads", "٣4x", "12３ 4"}, "click 1112"),
              (Titles{"道路", "-3", "A12", "", ": Roads", "٣4x", " 4"}));
}

TEST_F(ReplaceLayerTitle, DeletingUpToAString) {
    EXPECT_EQ(Replace({"01_道路_2", "道路", "🗾_x"}, "click 1114; type 1104 _"), (Titles{"_道路_2", "道路", "_x"}));
    EXPECT_EQ(Replace({"01_道路_2", "道路", "🗾_x"}, "click 1114; type 1104 _; click 1070"),
              (Titles{"道路_2", "道路", "x"}));
}

TEST_F(ReplaceLayerTitle, InsertingAtTheHeadOrTheTail) {
    EXPECT_EQ(Replace({"道路", ""}, "click 1111; type 1107 新"), (Titles{"新道路", "新"}));
    EXPECT_EQ(Replace({"道路", ""}, "click 1111; type 1107 🗾; click 1124"), (Titles{"道路🗾", "🗾"}));
}

TEST_F(ReplaceLayerTitle, AllLayersWithTheHiddenFilterChangesEachVisibleLayerOnce) {
    LayerTree tree(doc(), layer);
    EXPECT_EQ(Run(kItem, "dialog 126; select 1120 2; click 1125; click 1111; type 1107 +; click 1"), 0);
    EXPECT_EQ(LayerTitles(), (Titles{"+A", "+A1", "+A1a", "+A2", "B", "+B1", "B2", "+C"}));
    EXPECT_EQ(StoredInteger("RL_DestLayerKind"), 2);

    // The exclude-hidden box opens as it was left.
    EXPECT_EQ(Run(kItem, "dialog 126; click 1"), 0);
    EXPECT_TRUE(AtOpen().at(1125).checked);
    EXPECT_EQ(AtOpen().at(1120).selected, 2);
    EXPECT_EQ(LayerTitles(), (Titles{"++A", "++A1", "++A1a", "++A2", "B", "++B1", "B2", "++C"}));
}

TEST_F(ReplaceLayerTitle, TheDefaultsAndTheEnablingRule) {
    EXPECT_EQ(Run(kItem, "dialog 126; click 1111; click 1112; click 1114; click 1115; escape"), kStop);
    ASSERT_EQ(watcher.seen.size(), 6u);
    const DialogState& open = watcher.seen[0];
    EXPECT_EQ(open.at(1120).selected, 0);
    EXPECT_FALSE(open.at(1125).checked);
    EXPECT_TRUE(open.at(1115).checked);
    EXPECT_TRUE(open.at(1123).checked);
    // Which fields each operation enables: 1115, 1111, 1112, 1114, then 1115 again.
    const int fields[] = {1105, 1106, 1107, 1123, 1124, 1104, 1070};
    const std::vector<std::vector<bool>> enabled = {{true, true, false, false, false, false, false},
                                                    {false, false, true, true, true, false, false},
                                                    {false, false, false, false, false, false, false},
                                                    {false, false, false, false, false, true, true},
                                                    {true, true, false, false, false, false, false}};
    const int radios[] = {1115, 1111, 1112, 1114, 1115};
    for (size_t step = 0; step < enabled.size(); ++step) {
        const DialogState& state = watcher.seen[step == 0 ? 0 : step + 1];
        for (int radio : {1115, 1111, 1112, 1114})
            EXPECT_EQ(state.at(radio).checked, radio == radios[step]) << step << " " << radio;
        for (size_t f = 0; f < 7; ++f)
            EXPECT_EQ(state.at(fields[f]).enabled, enabled[step][f]) << step << " " << fields[f];
    }
}

TEST_F(ReplaceLayerTitle, DisabledFieldsAreStillReadAndStored) {
    EXPECT_EQ(Replace({"a"},
                      "type 1105 abc; type 1106 x; click 1111; type 1107 +; click 1124; click 1114; "
                      "type 1104 _; click 1112"),
              (Titles{"a"}));
    EXPECT_EQ(StoredInteger("RL_ReplaceType"), 2);
    EXPECT_EQ(StoredText("RL_SearchString"), "abc");
    EXPECT_EQ(StoredText("RL_ReplaceString"), "x");
    EXPECT_EQ(StoredText("RL_InsertString"), "+");
    EXPECT_EQ(StoredInteger("RL_InsertPos"), 1);
    EXPECT_EQ(StoredText("RL_Delimiter"), "_");

    // ... and come back at the next opening.
    EXPECT_EQ(Run(kItem, "dialog 126; escape"), kStop);
    EXPECT_EQ(AtOpen().at(1105).text, "abc");
    EXPECT_EQ(AtOpen().at(1107).text, "+");
    EXPECT_TRUE(AtOpen().at(1124).checked);
    EXPECT_TRUE(AtOpen().at(1112).checked);
    EXPECT_FALSE(AtOpen().at(1104).enabled);
}

TEST_F(ReplaceLayerTitle, EachEmptyFieldIsReportedAndTheDialogStaysOpenWithWhatWasTyped) {
    layer->title = "a-b";
    struct Case {
        std::string steps;
        std::string message;
        std::string fix;
        std::string title;
    };
    for (const Case& c : {Case{"type 1106 X", "検索文字列を入力してください", "type 1105 -", "aXb"},
                          Case{"click 1111; click 1124", "挿入文字列を入力してください", "type 1107 !", "aXb!"},
                          Case{"click 1114; click 1070", "指定文字列を入力してください", "type 1104 X", "b!"}}) {
        SCOPED_TRACE(c.message);
        user().ClearTranscript();
        EXPECT_EQ(Run(kItem, "dialog 126; " + c.steps + "; click 1; " + c.fix + "; click 1"), 0);
        EXPECT_EQ(user().alerts(), (Titles{c.message}));
        EXPECT_EQ(layer->title, c.title);
    }
}

TEST_F(ReplaceLayerTitle, OnlyTheChosenOperationsFieldIsChecked) {
    EXPECT_EQ(Replace({"12a"}, "clear 1105; click 1112"), (Titles{"a"}));
    EXPECT_TRUE(user().alerts().empty());
}

TEST_F(ReplaceLayerTitle, CancelAfterAFailedCheckStoresNothing) {
    layer->title = "a";
    EXPECT_EQ(Run(kItem, "dialog 126; select 1120 2; click 1; click 2"), kStop);
    EXPECT_EQ(user().alerts().size(), 1u);
    EXPECT_EQ(layer->title, "a");
    for (const std::string& call : PreferenceCalls()) EXPECT_EQ(call.rfind("Put", 0), std::string::npos) << call;
    EXPECT_FALSE(StoredInteger("RL_DestLayerKind"));
}

TEST_F(ReplaceLayerTitle, KeysAreReadAndWrittenInTheirOrder) {
    layer->title = "a";
    EXPECT_EQ(Run(kItem, "dialog 126; type 1105 a; click 1"), 0);
    const Titles order{
        "Integer RL_DestLayerKind",      "Boolean RL_VisibleLayersOnly",   "Integer RL_ReplaceType",
        "UnicodeString RL_SearchString", "UnicodeString RL_ReplaceString", "UnicodeString RL_InsertString",
        "Integer RL_InsertPos",          "UnicodeString RL_Delimiter",     "Boolean RL_DeleteWithDelimiter"};
    Titles expected;
    for (const std::string& key : order) {
        const size_t blank = key.find(' ');
        expected.push_back("Get" + key.substr(0, blank) + "Preference" + key.substr(blank));
    }
    for (const std::string& key : order) {
        const size_t blank = key.find(' ');
        expected.push_back("Put" + key.substr(0, blank) + "Preference" + key.substr(blank));
    }
    EXPECT_EQ(PreferenceCalls(), expected);
    EXPECT_EQ(layer->title, "");
}

TEST_F(ReplaceLayerTitle, StoredValuesOutOfRange) {
    StoreInteger("RL_ReplaceType", 9);
    StoreInteger("RL_InsertPos", 4);
    EXPECT_EQ(Replace({"12a"}, "leave"), (Titles{"12a"}));
    for (int radio : {1115, 1111, 1112, 1114, 1123, 1124}) EXPECT_FALSE(AtOpen().at(radio).checked) << radio;
    EXPECT_EQ(StoredInteger("RL_ReplaceType"), 9);
    EXPECT_EQ(StoredInteger("RL_InsertPos"), 1);
    EXPECT_EQ(host::Faults::Calls("SetLayerTitle"), 1u);
}

TEST_F(ReplaceLayerTitle, TextFieldsTakeAtMost47UnitsAndNeverHalfACharacter) {
    const std::string units46(46, 'x');
    Replace({"a"}, "click 1111; type 1107 " + units46 + "🗾; click 1124");
    EXPECT_EQ(StoredText("RL_InsertString"), units46);
    Replace({"a"}, "click 1111; type 1107 " + units46 + "yz; click 1124");
    EXPECT_EQ(StoredText("RL_InsertString"), units46 + "y");
    EXPECT_EQ(layer->title, "a" + units46 + "y");
}

TEST_F(ReplaceLayerTitle, AHostErrorInTheWalkKeepsEarlierTitlesAndTheSettings) {
    TopLevelTitles({"1a", "2b", "3c"});
    host::Faults::FailOperation("GetLayerTitle", 2, kFail);
    EXPECT_EQ(Run(kItem, "dialog 126; click 1112; click 1"), kFail);
    EXPECT_EQ(LayerTitles(), (Titles{"a", "2b", "3c"}));
    EXPECT_EQ(StoredInteger("RL_ReplaceType"), 2);
}

}  // namespace
}  // namespace orbalis::testing
