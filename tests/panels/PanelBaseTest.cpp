// The panels as the plug-in starts them: menu toggles and check marks, theme
// and shutdown notifications, the window take-over and failures in creation.
#include <tuple>

#include "panels/NdPanel.h"
#include "tests/panels/PanelTestSupport.h"

namespace orbalis::testing {
namespace {

constexpr const char* kTitle = "レイヤー間移動";

class PanelBaseTest : public PanelTest {};

TEST_F(PanelBaseTest, StartUpCreatesTheShownPanelWithItsParameters) {
    host::PanelEntry panel = Panel(kTitle);
    ASSERT_NE(panel.panel, nullptr);
    EXPECT_TRUE(IsWindowVisible(panel.panel->window));
    EXPECT_EQ(win32::Narrow(panel.panel->id), "NdOrbalis1.5MoveLayerPanelID");
    EXPECT_EQ(panel.panel->minSize.width, 160);
    EXPECT_EQ(panel.panel->minSize.height, 144);
    EXPECT_TRUE(panel.panel->resizable);
    EXPECT_EQ(panel.panel->stateCount, 1);
    // The host told the new panel its size, so its controls are laid out.
    RECT tree{};
    GetWindowRect(Child(kTitle, u"SysTreeView32"), &tree);
    EXPECT_EQ(tree.right - tree.left, 160 - 8);
    EXPECT_EQ(tree.bottom - tree.top, 144 - 55);
}

TEST_F(PanelBaseTest, TheMenuItemTogglesThePanelAndTheCheckMarkFollows) {
    constexpr const char* kTitles[] = {"テキスト原点", kTitle};
    for (const char* title : kTitles) {
        const char* other = title == kTitles[0] ? kTitles[1] : kTitles[0];
        HWND window = Panel(title).panel->window;
        host->UpdateMenus();
        EXPECT_TRUE(Item(title)->checked) << title;
        ASSERT_EQ(Choose(title), 0);
        EXPECT_FALSE(IsWindowVisible(window)) << title;
        host->UpdateMenus();
        EXPECT_FALSE(Item(title)->checked) << title;
        EXPECT_TRUE(Item(other)->checked) << title;
        ASSERT_EQ(Choose(title), 0);
        EXPECT_TRUE(IsWindowVisible(window)) << title;
        host->UpdateMenus();
        EXPECT_TRUE(Item(title)->checked) << title;
    }
    // The host's own close button hides them too; any item's update refreshes
    // both marks.
    ASSERT_EQ(Play("panel レイヤー間移動; hide; panel テキスト原点; hide"), "");
    host->UpdateMenus();
    EXPECT_FALSE(Item(kTitle)->checked);
    EXPECT_FALSE(Item("テキスト原点")->checked);
    ASSERT_EQ(Play("panel テキスト原点; show"), "");
    host->UpdateMenus();
    EXPECT_FALSE(Item(kTitle)->checked);
    EXPECT_TRUE(Item("テキスト原点")->checked);
}

TEST_F(PanelBaseTest, ABrightnessChangeSwitchesThePanelIcon) {
    ASSERT_EQ(host->theme().SetBrightness(0.2), 0);
    EXPECT_EQ(Panel(kTitle).panel->icons, (std::vector<int32_t>{122}));
    EXPECT_EQ(Panel(kTitle).panel->rolloverIcons, (std::vector<int32_t>{122}));
    ASSERT_EQ(host->theme().SetBrightness(0.9), 0);
    EXPECT_EQ(Panel(kTitle).panel->icons, (std::vector<int32_t>{121}));
}

TEST_F(PanelBaseTest, StaticColourMessagesKeepExactlyOneBrushInTheThemeColours) {
    ASSERT_EQ(host->theme().SetBrightness(0.2), 0);
    HWND window = Panel(kTitle).panel->window;
    HWND label = Child(kTitle, u"STATIC");
    HDC dc = GetDC(window);
    const int before = win32::LiveGdiObjects();
    LRESULT first =
        SendMessageW(window, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(label));
    EXPECT_NE(first, 0);
    for (int i = 0; i < 5; ++i)
        SendMessageW(window, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(label));
    EXPECT_EQ(win32::LiveGdiObjects(), before + 1);
    // Dark panels draw white text, transparently.
    EXPECT_EQ(GetTextColor(dc), 0xFFFFFFu);
    EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
    ReleaseDC(window, dc);
}

class PanelThemeAtStartTest : public PanelTest {
protected:
    bool StartAtSetUp() const override { return false; }
};

// The theme in force when the plug-in starts is the panels' from their first
// paint on, before any brightness change is told: white text and the dark
// icon on a dark host, not the black of a panel that has read no colour.
TEST_F(PanelThemeAtStartTest, TheFirstPaintHasTheThemesColoursAndIcon) {
    ASSERT_EQ(host->theme().SetBrightness(0.2), 0);
    ASSERT_EQ(Start(), 0);
    HWND window = Panel(kTitle).panel->window;
    HDC dc = GetDC(window);
    SendMessageW(window, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                 reinterpret_cast<LPARAM>(Child(kTitle, u"STATIC")));
    EXPECT_EQ(GetTextColor(dc), 0xFFFFFFu);
    ReleaseDC(window, dc);
    EXPECT_EQ(Panel(kTitle).panel->icons, (std::vector<int32_t>{122}));
}

TEST_F(PanelBaseTest, ColourValuesTruncateEachChannel) {
    EXPECT_EQ(ColourValue(PanelColour{1, 1.0, 0.5, 0.0}), 0x00007FFFu);
    EXPECT_EQ(ColourValue(PanelColour{0, 0.2, 0.2, 0.2}), 0x00333333u);
}

TEST_F(PanelBaseTest, OtherMessagesReachTheWindowsOwnProcedure) {
    HWND window = Panel(kTitle).panel->window;
    EXPECT_TRUE(SetWindowTextW(window, u"changed"));
    char16_t text[32] = {};
    GetWindowTextW(window, text, 32);
    EXPECT_EQ(std::u16string(text), u"changed");
}

TEST_F(PanelBaseTest, AfterTheShutdownNotificationNothingReachesTheGonePanels) {
    const int windows = win32::LiveWindows();
    ASSERT_EQ(host->notifications().Notify(kNotifierApplicationShutdown), 0);
    EXPECT_TRUE(host::LivePanels().empty());
    EXPECT_LT(win32::LiveWindows(), windows);
    EXPECT_EQ(host->notifications().Notify(kNotifierDocumentChanged), 0);
    EXPECT_EQ(host->theme().SetBrightness(0.1), 0);
    host->UpdateMenus();
    EXPECT_FALSE(Item(kTitle)->checked);
    EXPECT_EQ(Choose(kTitle), 0);
}

TEST_F(PanelBaseTest, BetweenUnloadAndReloadThePanelDoesNothingAndAfterReloadItWorks) {
    host::Art* art = AddRect(doc(), layer->group(), 0, 0, 10, 10);
    Select(doc(), art);
    host::Layer* target = AddLayer(doc(), "国道");
    ASSERT_EQ(Play("panel レイヤー間移動; refresh"), "");
    ASSERT_EQ(host->loader().Unload(*plugin), 0);
    // Buttons, tree clicks, callbacks and notifications reach no suite.
    EXPECT_EQ(Play("panel レイヤー間移動; refresh; check; label; tree 国道; resize 300 300; hide; show"), "");
    EXPECT_EQ(host->theme().SetBrightness(0.1), 0);
    EXPECT_EQ(host->notifications().Notify(kNotifierDocumentChanged), 0);
    EXPECT_EQ(art->parent(), layer->group());
    EXPECT_TRUE(user().alerts().empty());

    ASSERT_EQ(host->loader().Reload(*plugin), 0);
    ASSERT_EQ(host::LivePanels().size(), 2u);
    ASSERT_EQ(Play("panel レイヤー間移動; resize 300 300; refresh; tree 国道"), "");
    EXPECT_EQ(doc().layerOf(art), target);
    ASSERT_EQ(host->theme().SetBrightness(0.9), 0);
    EXPECT_EQ(Panel(kTitle).panel->icons, (std::vector<int32_t>{121}));
    ASSERT_EQ(Choose(kTitle), 0);
    host->UpdateMenus();
    EXPECT_FALSE(Item(kTitle)->checked);
}

using FaultAt = std::tuple<const char*, int>;

class PanelCreationFaultTest : public PanelTest, public ::testing::WithParamInterface<FaultAt> {
protected:
    bool StartAtSetUp() const override { return false; }
};

// A failure at any host call of a panel's creation (the text origin panel's
// at the first call, the move-between-layers panel's at the second) leaves a
// running plug-in without the later panel and without notifiers, and nothing
// behind once shutdown has removed the panels: no window, no panel, no GDI
// object. A callback arriving without user data does nothing.
TEST_P(PanelCreationFaultTest, LeavesNothingBehind) {
    const auto [operation, nth] = GetParam();
    const int windows = win32::LiveWindows();
    const int gdiObjects = win32::LiveGdiObjects();
    host::Faults::FailOperation(operation, static_cast<uint64_t>(nth), kHostBadParameterErr);
    ASSERT_EQ(Start(), 0);
    EXPECT_LE(host::LivePanels().size(), static_cast<size_t>(nth));
    if (nth == 1) {
        EXPECT_EQ(host::FindPanel(kTitle).panel, nullptr) << "made after a failed panel";
    }
    for (const host::PanelEntry& entry : host::LivePanels()) {
        host::UserResizePanel(entry.handle, 400, 400);
        host::UserClosePanel(entry.handle);
        host::UserShowPanel(entry.handle);
        if (IsWindow(entry.panel->window)) {
            SendMessageW(entry.panel->window, WM_CTLCOLORSTATIC, 0, 0);
            SendMessageW(entry.panel->window, WM_COMMAND, 0, 0);
        }
    }
    host->UpdateMenus();
    EXPECT_EQ(Choose(kTitle), 0);
    EXPECT_EQ(Choose("テキスト原点"), 0);
    EXPECT_EQ(host->theme().SetBrightness(0.1), 0);
    EXPECT_EQ(host->notifications().Notify(kNotifierDocumentChanged), 0);
    ASSERT_EQ(host->ShutdownPlugins(), 0);
    EXPECT_TRUE(host::LivePanels().empty());
    EXPECT_EQ(win32::LiveWindows(), windows);
    EXPECT_EQ(win32::LiveGdiObjects(), gdiObjects);
}

INSTANTIATE_TEST_SUITE_P(
    EachCall, PanelCreationFaultTest,
    ::testing::Combine(::testing::Values("Create", "GetPlatformWindow", "GetPluginFileSpecification",
                                         "SetFlyoutMenuPreVisibilityProc", "SetFlyoutMenuProc",
                                         "SetVisibilityChangedNotifyProc", "SetSizeChangedNotifyProc",
                                         "SetStateChangedNotifyProc", "SetClosedNotifyProc", "SetUserData"),
                       ::testing::Values(1, 2)));

}  // namespace
}  // namespace orbalis::testing
