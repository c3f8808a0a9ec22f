// The text origin panel: its six buttons, what a press does to the selected
// text, and the buttons' enabling by the open document.
#include <cmath>

#include "host/model/TextStory.h"
#include "tests/panels/PanelTestSupport.h"
#include "tests/support/TextFixtures.h"

namespace orbalis::testing {
namespace {

constexpr const char* kTitle = "テキスト原点";

using host::Justification;

class TextAlignPanelTest : public PanelTest {
protected:
    // Horizontal, left-justified point text "Tokyo" at (100, 200).
    host::Art* AddText(int32_t orientation = kHostHorizontalText, double x = 100, double y = 200) {
        return AddPointText(doc(), layer->group(), Turned(0, x, y), {Chars("Tokyo")}, orientation);
    }
    std::string Press(int position) { return Play("panel テキスト原点; button " + std::to_string(position)); }
    HWND Button(int position) { return Child(kTitle, u"BUTTON", position); }
    static HostPoint Anchor(host::Art* text) { return {TextOf(text).matrix.tx, TextOf(text).matrix.ty}; }
    static Justification JustificationOfText(host::Art* text) { return host::JustificationOf(TextOf(text), 0); }
};

::testing::AssertionResult SameBounds(const HostRect& a, const HostRect& b) {
    const double d = std::max({std::abs(a.left - b.left), std::abs(a.top - b.top), std::abs(a.right - b.right),
                               std::abs(a.bottom - b.bottom)});
    if (d < 1e-9) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "bounds differ by " << d << ": (" << a.left << ", " << a.top << ", "
                                         << a.right << ", " << a.bottom << ") and (" << b.left << ", " << b.top << ", "
                                         << b.right << ", " << b.bottom << ")";
}

TEST_F(TextAlignPanelTest, StartUpCreatesSixIconButtonsInARow) {
    host::PanelEntry panel = Panel(kTitle);
    ASSERT_NE(panel.panel, nullptr);
    EXPECT_EQ(win32::Narrow(panel.panel->id), "NdOrbalis1.5TextAlignPanelID");
    EXPECT_EQ(panel.panel->minSize.width, 144);
    EXPECT_EQ(panel.panel->minSize.height, 24);
    EXPECT_FALSE(panel.panel->resizable);
    EXPECT_EQ(panel.panel->flyout, nullptr);
    EXPECT_TRUE(IsWindowVisible(panel.panel->window));
    // The text panel is made before the move-between-layers panel.
    ASSERT_EQ(host::LivePanels().size(), 2u);
    EXPECT_EQ(host::LivePanels()[0].panel, panel.panel);
    for (int position = 1; position <= 6; ++position) {
        HWND button = Button(position);
        ASSERT_NE(button, nullptr) << position;
        EXPECT_EQ(GetWindowLongPtrW(button, GWL_STYLE), 0x50000040) << position;
        RECT rect{};
        GetWindowRect(button, &rect);
        RECT panelRect{};
        GetWindowRect(panel.panel->window, &panelRect);
        EXPECT_EQ(rect.left - panelRect.left, 24 * (position - 1)) << position;
        EXPECT_EQ(rect.right - rect.left, 24);
        EXPECT_EQ(rect.bottom - rect.top, 24);
        EXPECT_NE(SendMessageW(button, BM_GETIMAGE, IMAGE_ICON, 0), 0) << position;
        // The host sent the document-changed notification after start-up.
        EXPECT_TRUE(IsWindowEnabled(button)) << position;
    }
    EXPECT_EQ(Button(7), nullptr);
}

TEST_F(TextAlignPanelTest, WithNoDocumentOpenTheButtonsAreDisabled) {
    std::unique_ptr<host::Document> closed = host->documents().Close();
    for (int position = 1; position <= 6; ++position) EXPECT_FALSE(IsWindowEnabled(Button(position)));
    EXPECT_EQ(Press(2), "\"button 2\": the button 2 is disabled");
    host->OpenDocument(std::move(closed));
    for (int position = 1; position <= 6; ++position) EXPECT_TRUE(IsWindowEnabled(Button(position)));
}

TEST_F(TextAlignPanelTest, NoSelectionOrOnlyOtherArtChangesNothing) {
    host::Art* text = AddText();
    const HostRect textBounds = BoundsOf(doc(), text);
    for (int position = 1; position <= 6; ++position) ASSERT_EQ(Press(position), "");
    host::Art* rect = AddRect(doc(), layer->group(), 0, 0, 10, 10);
    Select(doc(), rect);
    for (int position = 1; position <= 6; ++position) ASSERT_EQ(Press(position), "");
    EXPECT_EQ(TextOf(text).orientation, kHostHorizontalText);
    EXPECT_EQ(JustificationOfText(text), Justification::Left);
    EXPECT_TRUE(SameBounds(BoundsOf(doc(), text), textBounds));
    EXPECT_TRUE(SameBounds(BoundsOf(doc(), rect), HostRect{0, 10, 10, 0}));
    EXPECT_EQ(host::Faults::Calls("TransformArt"), 0u);
}

TEST_F(TextAlignPanelTest, CentringHorizontalTextMovesItsOriginAndKeepsTheGlyphsInPlace) {
    host::Art* text = AddText();
    Select(doc(), text);
    const HostRect before = BoundsOf(doc(), text);
    ASSERT_EQ(Press(2), "");
    EXPECT_EQ(JustificationOfText(text), Justification::Center);
    EXPECT_EQ(TextOf(text).orientation, kHostHorizontalText);
    EXPECT_TRUE(SameBounds(BoundsOf(doc(), text), before));
    // The origin is now the middle of the line, on the same baseline.
    EXPECT_TRUE(NearPoint(Anchor(text), {(before.left + before.right) / 2, 200}));
    EXPECT_GT(before.right - before.left, 0);

    // And on to the right end: the origin follows, the glyphs stay.
    ASSERT_EQ(Press(3), "");
    EXPECT_EQ(JustificationOfText(text), Justification::Right);
    EXPECT_TRUE(SameBounds(BoundsOf(doc(), text), before));
    EXPECT_TRUE(NearPoint(Anchor(text), {before.right, 200}));
}

// A halo, tracking, a raised run, a hidden run and shifted, turned
// characters: the origin moves, the glyphs stay, the features too.
TEST_F(TextAlignPanelTest, LabelsWithEveryFeatureKeepTheirGlyphsInPlace) {
    host::TextRun name = Chars("Loire", 12), raised = Chars("2", 7), gone = Chars("xx", 12);
    name.features.strokePaint = true;
    name.features.strokeUnder = true;
    name.features.strokeWidth = 2;
    name.features.tracking = 150;
    raised.features.baselineShift = 5;
    gone.features.hidden = true;
    host::Art* text = AddPointText(doc(), layer->group(), Turned(0, 100, 200), {name, raised, gone});
    TextOf(text).glyphs.dx = {NAN, 1, NAN, -0.5};
    TextOf(text).glyphs.dy = {NAN, NAN, 2};
    TextOf(text).glyphs.rotate = {NAN, NAN, NAN, NAN, 20};
    doc().touch(text);
    Select(doc(), text);
    const HostRect before = BoundsOf(doc(), text);
    for (int position : {2, 3, 1}) {
        ASSERT_EQ(Press(position), "");
        EXPECT_TRUE(SameBounds(BoundsOf(doc(), text), before)) << position;
    }
    EXPECT_TRUE(TextOf(text).runs[0].features.strokeUnder);
    EXPECT_EQ(TextOf(text).runs[0].features.tracking, 150);
    EXPECT_EQ(TextOf(text).runs[1].features.baselineShift, 5);
    EXPECT_TRUE(TextOf(text).runs[2].features.hidden);
    EXPECT_EQ(TextOf(text).glyphs.rotate.size(), 5u);
}

TEST_F(TextAlignPanelTest, VerticalTextKeepsItsGlyphsWhenItsJustificationChanges) {
    host::Art* text = AddText(kHostVerticalText);
    Select(doc(), text);
    const HostRect before = BoundsOf(doc(), text);
    ASSERT_EQ(Press(6), "");
    EXPECT_EQ(JustificationOfText(text), Justification::Right);
    EXPECT_TRUE(SameBounds(BoundsOf(doc(), text), before));
    // The origin is now at the foot of the column.
    EXPECT_NEAR(Anchor(text).y, before.bottom, 1e-9);
}

TEST_F(TextAlignPanelTest, AVerticalButtonTurnsHorizontalTextWithoutMovingItBack) {
    host::Art* text = AddText();
    Select(doc(), text);
    ASSERT_EQ(Press(5), "");
    EXPECT_EQ(TextOf(text).orientation, kHostVerticalText);
    EXPECT_EQ(JustificationOfText(text), Justification::Center);
    EXPECT_TRUE(NearPoint(Anchor(text), {100, 200}));
    EXPECT_EQ(host::Faults::Calls("TransformArt"), 0u);
}

TEST_F(TextAlignPanelTest, ATurnWithTheJustificationAlreadyRightStaysTurned) {
    host::Art* text = AddText();
    Select(doc(), text);
    ASSERT_EQ(Press(4), "");
    EXPECT_EQ(TextOf(text).orientation, kHostVerticalText);
    EXPECT_EQ(JustificationOfText(text), Justification::Left);
    EXPECT_TRUE(NearPoint(Anchor(text), {100, 200}));
}

TEST_F(TextAlignPanelTest, TheButtonOfTheCurrentStateChangesNothing) {
    host::Art* text = AddText();
    host::SetJustification(TextOf(text), 0, Justification::Center);
    Select(doc(), text);
    const HostRect before = BoundsOf(doc(), text);
    ASSERT_EQ(Press(2), "");
    EXPECT_EQ(JustificationOfText(text), Justification::Center);
    EXPECT_TRUE(NearPoint(Anchor(text), {100, 200}));
    EXPECT_TRUE(SameBounds(BoundsOf(doc(), text), before));
    EXPECT_EQ(host::Faults::Calls("SetTextOrientation"), 0u);
    EXPECT_EQ(host::Faults::Calls("ATETextRange.SetLocalParaFeatures"), 0u);
    EXPECT_EQ(host::Faults::Calls("TransformArt"), 0u);
}

TEST_F(TextAlignPanelTest, ParagraphsOfMixedJustificationAllTakeTheButtons) {
    host::Art* text = AddPointText(doc(), layer->group(), Turned(0, 100, 200), {Chars("Tokyo\rOsaka")});
    host::SetJustification(TextOf(text), 1, Justification::Right);
    Select(doc(), text);
    ASSERT_EQ(Press(1), "");
    EXPECT_EQ(host::JustificationOf(TextOf(text), 0), Justification::Left);
    EXPECT_EQ(host::JustificationOf(TextOf(text), 1), Justification::Left);
}

TEST_F(TextAlignPanelTest, EverySelectedTextTakesTheOriginAndOtherArtIsPassedOver) {
    host::Art* first = AddText(kHostHorizontalText, 100, 200);
    host::Art* rect = AddRect(doc(), layer->group(), 0, 0, 10, 10);
    host::Art* group = AddGroup(doc(), layer->group());
    host::Art* second = AddPointText(doc(), group, Turned(30, 300, 100), {Chars("Yokohama")});
    for (host::Art* art : {first, rect, second}) Select(doc(), art);
    const HostRect firstBounds = BoundsOf(doc(), first);
    const HostRect secondBounds = BoundsOf(doc(), second);
    ASSERT_EQ(Press(3), "");
    EXPECT_EQ(JustificationOfText(first), Justification::Right);
    EXPECT_EQ(JustificationOfText(second), Justification::Right);
    EXPECT_TRUE(SameBounds(BoundsOf(doc(), first), firstBounds));
    // A turned text is moved back by its bounds' left and top as well.
    EXPECT_NEAR(BoundsOf(doc(), second).left, secondBounds.left, 1e-9);
    EXPECT_NEAR(BoundsOf(doc(), second).top, secondBounds.top, 1e-9);
    EXPECT_TRUE(SameBounds(BoundsOf(doc(), rect), HostRect{0, 10, 10, 0}));
}

TEST_F(TextAlignPanelTest, APressRunsInThePluginsContextAndGivesTheFocusBackToTheHost) {
    host::Art* text = AddText();
    Select(doc(), text);
    ASSERT_EQ(Press(2), "");
    EXPECT_EQ(host::Faults::Calls("PushAppContext"), host::Faults::Calls("PopAppContext"));
    EXPECT_GE(host::Faults::Calls("PushAppContext"), 1u);
    EXPECT_EQ(GetFocus(), reinterpret_cast<HWND>(host->mainWindow()));
}

TEST_F(TextAlignPanelTest, AFailureToReadAnArtTypeEndsThePress) {
    host::Art* first = AddText(kHostHorizontalText, 100, 200);
    host::Art* second = AddText(kHostHorizontalText, 100, 100);
    Select(doc(), first);
    Select(doc(), second);
    host::Faults::FailOperation("GetArtType", 1, kHostBadParameterErr);
    ASSERT_EQ(Press(2), "");
    EXPECT_EQ(JustificationOfText(first), Justification::Left);
    EXPECT_EQ(JustificationOfText(second), Justification::Left);
    EXPECT_TRUE(user().alerts().empty());
}

class TextAlignFaultTest : public TextAlignPanelTest, public ::testing::WithParamInterface<const char*> {};

// A text whose details cannot be read is left alone, unmoved; the next one
// still takes the origin.
TEST_P(TextAlignFaultTest, TheTextIsSkippedAndTheNextOneDone) {
    host::Art* first = AddText(kHostHorizontalText, 100, 200);
    host::Art* second = AddText(kHostHorizontalText, 100, 100);
    Select(doc(), first);
    Select(doc(), second);
    const HostRect firstBounds = BoundsOf(doc(), first);
    const HostRect secondBounds = BoundsOf(doc(), second);
    host::Faults::FailOperation(GetParam(), 1, kHostBadParameterErr);
    ASSERT_EQ(Press(5), "");
    EXPECT_EQ(JustificationOfText(first), Justification::Left);
    EXPECT_TRUE(NearPoint(Anchor(first), {100, 200}));
    EXPECT_TRUE(SameBounds(BoundsOf(doc(), first), firstBounds) || TextOf(first).orientation == kHostVerticalText);
    EXPECT_EQ(TextOf(second).orientation, kHostVerticalText);
    EXPECT_EQ(JustificationOfText(second), Justification::Center);
    EXPECT_TRUE(NearPoint(Anchor(second), {100, 100}));
    EXPECT_FALSE(SameBounds(BoundsOf(doc(), second), secondBounds));
}

INSTANTIATE_TEST_SUITE_P(EachQuery, TextAlignFaultTest,
                         ::testing::Values("GetTextRange", "GetTextOrientation", "SetTextOrientation", "GetTextKind",
                                           "GetTextMatrix", "GetTextFrame", "ATETextRange.GetUniqueParaFeatures",
                                           "ATEParaFeatures.GetJustification", "SyncDocument", "GetArtBounds"));

TEST_F(TextAlignPanelTest, ABrightnessChangeSwitchesBothPanelIcons) {
    ASSERT_EQ(host->theme().SetBrightness(0.2), 0);
    EXPECT_EQ(Panel(kTitle).panel->icons, (std::vector<int32_t>{120}));
    EXPECT_EQ(Panel(kTitle).panel->rolloverIcons, (std::vector<int32_t>{120}));
    EXPECT_EQ(Panel("レイヤー間移動").panel->icons, (std::vector<int32_t>{122}));
    ASSERT_EQ(host->theme().SetBrightness(0.9), 0);
    EXPECT_EQ(Panel(kTitle).panel->icons, (std::vector<int32_t>{119}));
    EXPECT_EQ(Panel(kTitle).panel->rolloverIcons, (std::vector<int32_t>{119}));
    EXPECT_EQ(Panel("レイヤー間移動").panel->icons, (std::vector<int32_t>{121}));
}

TEST_F(TextAlignPanelTest, BetweenUnloadAndReloadAPressDoesNothingAndAfterReloadItWorks) {
    host::Art* text = AddText();
    Select(doc(), text);
    ASSERT_EQ(Play("panel レイヤー間移動; hide"), "");
    ASSERT_EQ(host->loader().Unload(*plugin), 0);
    EXPECT_EQ(Press(2), "");
    EXPECT_EQ(Play("panel テキスト原点; hide; show"), "");
    // The menu item and the menu update reach no panel either.
    EXPECT_EQ(Choose(kTitle), 0);
    EXPECT_TRUE(IsWindowVisible(Panel(kTitle).panel->window));
    host->UpdateMenus();
    EXPECT_EQ(host->theme().SetBrightness(0.1), 0);
    EXPECT_EQ(host->notifications().Notify(kNotifierDocumentChanged), 0);
    EXPECT_EQ(JustificationOfText(text), Justification::Left);
    EXPECT_TRUE(NearPoint(Anchor(text), {100, 200}));

    const HostRect before = BoundsOf(doc(), text);
    ASSERT_EQ(host->loader().Reload(*plugin), 0);
    ASSERT_EQ(host::LivePanels().size(), 2u);
    // The panels come back as they were left: the text panel shown with its
    // buttons enabled for the open document, the other one hidden.
    EXPECT_TRUE(IsWindowVisible(Panel(kTitle).panel->window));
    EXPECT_FALSE(IsWindowVisible(Panel("レイヤー間移動").panel->window));
    ASSERT_EQ(Press(2), "");
    EXPECT_EQ(JustificationOfText(text), Justification::Center);
    EXPECT_TRUE(SameBounds(BoundsOf(doc(), text), before));
    ASSERT_EQ(host->theme().SetBrightness(0.9), 0);
    EXPECT_EQ(Panel(kTitle).panel->icons, (std::vector<int32_t>{119}));
    ASSERT_EQ(Choose(kTitle), 0);
    host->UpdateMenus();
    EXPECT_FALSE(Item(kTitle)->checked);
    EXPECT_FALSE(Item("レイヤー間移動")->checked);
}

TEST_F(TextAlignPanelTest, AfterTheShutdownNotificationThePanelIsGone) {
    HWND button = Button(2);
    ASSERT_EQ(host->notifications().Notify(kNotifierApplicationShutdown), 0);
    EXPECT_FALSE(IsWindow(button));
    EXPECT_EQ(Press(2), "\"panel テキスト原点\": there is no panel \"テキスト原点\"");
    EXPECT_EQ(host->notifications().Notify(kNotifierDocumentChanged), 0);
    EXPECT_EQ(host->theme().SetBrightness(0.1), 0);
    EXPECT_EQ(Choose(kTitle), 0);
    host->UpdateMenus();
    EXPECT_FALSE(Item(kTitle)->checked);
}

}  // namespace
}  // namespace orbalis::testing
