// The panels' actions, swept. Their codes do not reach the host, so a run
// is judged by what the user sees: a failed move must say so, a failed
// refresh leaves the tree empty, and an ignored failure changes nothing.
#include <gtest/gtest.h>

#include <algorithm>

#include "host/app/PanelUser.h"
#include "host/app/Panels.h"
#include "sdk/HostMessages.h"
#include "sdk/suites/TextSuites.h"
#include "sdk/win32/CommCtrl.h"
#include "sdk/win32/WinUser.h"
#include "host/io/JsonDocument.h"
#include "host/model/TextStory.h"
#include "tests/support/DocumentBuilder.h"
#include "tests/support/TextFixtures.h"
#include "tests/sweep/Sweep.h"

namespace orbalis::testing::sweep {
namespace {

using host::Art;
using host::Document;
using host::Layer;

constexpr const char* kMovePanel = "レイヤー間移動";

HWND Child(const char* panelTitle, const std::u16string& className, LONG_PTR kind = -1) {
    host::PanelEntry entry = host::FindPanel(panelTitle);
    if (!entry.panel) return nullptr;
    for (HWND child = GetWindow(entry.panel->window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char16_t name[64] = {};
        GetClassNameW(child, name, 64);
        if (name != className) continue;
        if (kind < 0 || (GetWindowLongPtrW(child, GWL_STYLE) & 0xF) == kind) return child;
    }
    return nullptr;
}

int TreeItems() {
    HWND tree = Child(kMovePanel, WC_TREEVIEWW);
    return tree ? static_cast<int>(SendMessageW(tree, TVM_GETCOUNT, 0, 0)) : -1;
}

// Where every object of the document is: its layer's title and its
// container's type, in document order, then the alerts shown.
std::string Placement(host::Host& host) {
    std::string out;
    Document& doc = *host.document();
    for (Layer* layer : doc.allLayers()) {
        out += layer->title + (layer->visible ? "" : " hidden") + (layer->editable ? "" : " locked") + ":";
        for (Art* art = layer->group()->firstChild(); art; art = art->next())
            out += " " + std::to_string(art->type()) + (art->firstChild() ? "+" : "");
        out += "\n";
    }
    for (const std::string& alert : host.user().alerts()) out += "alert " + alert + "\n";
    return out;
}

// A failed move says so: with its own message, or as a missing layer or an
// empty selection when those could not be read.
bool MoveFailureShown(host::Host& host) { return !host.user().alerts().empty(); }

// Sets the group option to `on` through its check box.
std::function<void(host::Host&)> GroupOption(bool on) {
    return [on](host::Host& host) {
        HWND box = Child(kMovePanel, u"BUTTON", BS_AUTOCHECKBOX);
        ASSERT_NE(box, nullptr);
        if ((SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED) != on) {
            win32::ScriptedUser user;
            std::vector<win32::UiStep> steps;
            std::string error;
            ASSERT_TRUE(win32::ParseUiScript(std::string("panel ") + kMovePanel + "; check", &steps, &error));
            user.Add(std::move(steps));
            host::PlayPanelSteps(host, user);
        }
        EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED, on);
    };
}

// Layers 国道, 道路 with the sublayers 道路/国道 and 道路/県道, and Layer 1.
struct Roads {
    Layer* national;
    Layer* roads;
    Layer* prefectural;
};

Roads RoadLayers(Document& doc, Layer*) {
    Roads r{};
    r.roads = AddLayer(doc, "道路");
    r.national = AddLayer(doc, "国道");
    Layer* inner = nullptr;
    EXPECT_EQ(doc.insertLayer(r.roads, kHostPlaceInsideOnTop, &inner), 0);
    inner->title = "国道";
    EXPECT_EQ(doc.insertLayer(inner, kHostPlaceBelow, &r.prefectural), 0);
    r.prefectural->title = "県道";
    return r;
}

const std::string kPanel = std::string("panel ") + kMovePanel + "; ";

// Giving the keyboard focus back to the host's window after a click.
const std::map<std::string, Outcome> kClickRules = {{"GetPlatformAppWindow", Outcome::Clean}};

TEST(PanelSweep, MoveLayerPanelRefresh) {
    RunSweep(
        {.name = "move-between-layers panel: refresh",
         .panelSteps = kPanel + "refresh",
         .build = [](Document& doc, Layer* layer) { RoadLayers(doc, layer); },
         // The focus goes back to the host's window when it can. The tree is filled only when the whole list was read; the
         // document's name at the root is optional.
         .rules = {{"GetPlatformAppWindow", Outcome::Clean},
                   {"GetDocumentFileSpecification", Outcome::Either},
                   {"GetFilePathName", Outcome::Either},
                   {"NewFilePath", Outcome::Either}},
         .seen = [](host::Host&) { return std::to_string(TreeItems()) + " tree items"; },
         .toldFailure = [](host::Host&) { return TreeItems() == 0; }});
}

// Two objects from two layers, a partly selected group and an object
// already on the target.
void TwoLayersSelection(Document& doc, Layer* layer) {
    Roads r = RoadLayers(doc, layer);
    Select(doc, AddRect(doc, layer->group(), 0, 0, 10, 10));
    Select(doc, AddRect(doc, r.national->group(), 20, 0, 10, 10));
    Art* group = AddGroup(doc, layer->group());
    AddRect(doc, group, 40, 0, 10, 10);
    Select(doc, AddRect(doc, group, 60, 0, 10, 10));
    Select(doc, AddRect(doc, r.prefectural->group(), 80, 0, 10, 10));
}

TEST(PanelSweep, MoveLayerPanelClickWithGrouping) {
    RunSweep({.name = "move-between-layers panel: click, grouped",
              .panelSetup = kPanel + "refresh",
              .panelSteps = kPanel + "tree 道路/県道",
              .build = TwoLayersSelection,
              .arrange = GroupOption(true),
              .rules = kClickRules,
              .seen = Placement,
              .toldFailure = MoveFailureShown});
}

TEST(PanelSweep, MoveLayerPanelClickWithoutGrouping) {
    RunSweep({.name = "move-between-layers panel: click, not grouped",
              .panelSetup = kPanel + "refresh",
              .panelSteps = kPanel + "tree 国道",
              .build = TwoLayersSelection,
              .arrange = GroupOption(false),
              .rules = kClickRules,
              .seen = Placement,
              .toldFailure = MoveFailureShown});
}

TEST(PanelSweep, MoveLayerPanelOneObjectIntoAHiddenLockedLayer) {
    RunSweep({.name = "move-between-layers panel: one object",
              .panelSetup = kPanel + "refresh",
              .panelSteps = kPanel + "tree 道路/県道",
              .build =
                  [](Document& doc, Layer* layer) {
                      Roads r = RoadLayers(doc, layer);
                      Select(doc, AddRect(doc, layer->group(), 0, 0, 10, 10));
                      r.prefectural->visible = false;
                      r.prefectural->editable = false;
                  },
              .arrange = GroupOption(true),
              // Opening the layer for the one object, moving it out of the
              // new group, deleting the group and closing the layer again
              // report no failure.
              .rules = {{"GetPlatformAppWindow", Outcome::Clean},
                        {"GetLayerVisible", Outcome::Any},
                        {"GetLayerEditable", Outcome::Any},
                        {"SetLayerVisible", Outcome::Any},
                        {"SetLayerEditable", Outcome::Any},
                        {"ReorderArt#1", Outcome::Code},
                        {"ReorderArt", Outcome::Any},
                        {"DisposeArt", Outcome::Any}},
              .seen = Placement,
              .toldFailure = MoveFailureShown});
}

// ---------------------------------------------------------------- notifications

// The panels' controls as the user sees them: enabled or not.
std::string ControlStates(host::Host&) {
    std::string out;
    for (const host::PanelEntry& entry : host::LivePanels())
        for (HWND child = GetWindow(entry.panel->window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            out += IsWindowEnabled(child) ? "1" : "0";
    return out;
}

TEST(PanelSweep, ThemeChange) {
    RunSweep({.name = "panels: the interface turns dark",
              .hostAction = [](host::Host& host) { host.theme().SetBrightness(0.2); },
              .build = [](Document& doc, Layer* layer) { RoadLayers(doc, layer); },
              .arrange = [](host::Host& host) { host.theme().SetBrightness(0.75); },
              // The panels take what colours and icons they can; only what
              // is left behind counts.
              .otherwise = Outcome::Any,
              .seen = ControlStates});
}

TEST(PanelSweep, DocumentChange) {
    RunSweep({.name = "panels: the document changes",
              .panelSetup = kPanel + "refresh",
              .hostAction = [](host::Host& host) { host.notifications().Notify(kNotifierDocumentChanged); },
              .build = [](Document& doc, Layer* layer) { RoadLayers(doc, layer); },
              // A panel that cannot read the document keeps its state.
              .otherwise = Outcome::Any,
              .seen = ControlStates});
}

// ---------------------------------------------------------------- text origin panel

// Selected: horizontal left-justified point text, vertical text, area text
// already centred, and a square; one more text is not selected.
void Labels(Document& doc, Layer* layer) {
    Art* top = layer->group();
    Select(doc, AddPointText(doc, top, Turned(0, 100, 200), {Chars("Tokyo")}));
    Select(doc, AddPointText(doc, top, Turned(0, 300, 200), {Chars("大阪")}, kHostVerticalText));
    Art* area =
        AddFramedText(doc, top, kHostAreaText, Turned(0, 0, 0), {{0, 0}, {80, 0}, {80, 40}, {0, 40}}, {Chars("札幌")});
    host::SetJustification(TextOf(area), 0, host::Justification::Center);
    Select(doc, area);
    Select(doc, AddRect(doc, top, 0, 0, 10, 10));
    AddPointText(doc, top, Turned(30, 50, 50), {Chars("京都")});
}

// The buttons' orientation and justification, left to right.
struct TextOriginButton {
    int position;
    const char* name;
};

class TextOriginPanelSweep : public ::testing::TestWithParam<TextOriginButton> {};

TEST_P(TextOriginPanelSweep, Button) {
    const TextOriginButton& button = GetParam();
    RunSweep({.name = std::string("text origin panel: ") + button.name,
              .panelSteps = "panel テキスト原点; button " + std::to_string(button.position),
              .build = Labels,
              // Giving the focus back fails alone.
              .rules = {{"GetPlatformAppWindow", Outcome::Same}},
              // The panel drops every code and shows nothing: an object
              // whose text cannot be read or changed is left, and a failure
              // to read a type ends the press. Only what is left behind counts.
              .otherwise = Outcome::Any,
              .seen = [](host::Host& host) { return host::WriteJsonDocument(*host.document()); }});
}

INSTANTIATE_TEST_SUITE_P(
    SixButtons, TextOriginPanelSweep,
    ::testing::Values(TextOriginButton{1, "horizontal, start"}, TextOriginButton{2, "horizontal, centre"},
                      TextOriginButton{3, "horizontal, end"}, TextOriginButton{4, "vertical, start"},
                      TextOriginButton{5, "vertical, centre"}, TextOriginButton{6, "vertical, end"}),
    [](const ::testing::TestParamInfo<TextOriginButton>& info) {
        return "Position" + std::to_string(info.param.position);
    });

}  // namespace
}  // namespace orbalis::testing::sweep
