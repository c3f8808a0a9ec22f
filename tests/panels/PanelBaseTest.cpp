// The panels as the plug-in starts them: menu toggles and check marks, theme
// and shutdown notifications, the window take-over and failures in creation.
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
}

TEST_F(PanelBaseTest, TheMenuItemTogglesThePanelAndTheCheckMarkFollows) {
    HWND window = Panel(kTitle).panel->window;
    host->UpdateMenus();
    EXPECT_TRUE(Item(kTitle)->checked);
    ASSERT_EQ(Choose(kTitle), 0);
    EXPECT_FALSE(IsWindowVisible(window));
    host->UpdateMenus();
    EXPECT_FALSE(Item(kTitle)->checked);
    ASSERT_EQ(Choose(kTitle), 0);
    EXPECT_TRUE(IsWindowVisible(window));
    // The host's own close button hides it too; any item's update sees it.
    ASSERT_EQ(Play("panel レイヤー間移動; hide"), "");
    host->UpdateMenus();
    EXPECT_FALSE(Item(kTitle)->checked);
    EXPECT_FALSE(Item("テキスト原点")->checked);
}

TEST_F(PanelBaseTest, ABrightnessChangeSwitchesThePanelIcon) {
    ASSERT_EQ(host->SetUIBrightness(0.2), 0);
    EXPECT_EQ(Panel(kTitle).panel->icons, (std::vector<int32_t>{122}));
    EXPECT_EQ(Panel(kTitle).panel->rolloverIcons, (std::vector<int32_t>{122}));
    ASSERT_EQ(host->SetUIBrightness(0.9), 0);
    EXPECT_EQ(Panel(kTitle).panel->icons, (std::vector<int32_t>{121}));
}

TEST_F(PanelBaseTest, StaticColourMessagesKeepExactlyOneBrushInTheThemeColours) {
    ASSERT_EQ(host->SetUIBrightness(0.2), 0);
    HWND window = Panel(kTitle).panel->window;
    HWND label = Child(kTitle, u"STATIC");
    HDC dc = GetDC(window);
    const int before = win32::LiveGdiObjects();
    LRESULT first = SendMessageW(window, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                 reinterpret_cast<LPARAM>(label));
    EXPECT_NE(first, 0);
    for (int i = 0; i < 5; ++i)
        SendMessageW(window, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(label));
    EXPECT_EQ(win32::LiveGdiObjects(), before + 1);
    // Dark panels draw white text, transparently.
    EXPECT_EQ(GetTextColor(dc), 0xFFFFFFu);
    EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
    ReleaseDC(window, dc);
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
    ASSERT_EQ(host->Notify(kNotifierApplicationShutdown), 0);
    EXPECT_TRUE(host::LivePanels().empty());
    EXPECT_LT(win32::LiveWindows(), windows);
    EXPECT_EQ(host->Notify(kNotifierDocumentChanged), 0);
    EXPECT_EQ(host->SetUIBrightness(0.1), 0);
    host->UpdateMenus();
    EXPECT_FALSE(Item(kTitle)->checked);
    EXPECT_EQ(Choose(kTitle), 0);
}

TEST_F(PanelBaseTest, BetweenUnloadAndReloadThePanelDoesNothingAndAfterReloadItWorks) {
    host::Art* art = AddRect(doc(), layer->group(), 0, 0, 10, 10);
    Select(doc(), art);
    host::Layer* target = AddLayer(doc(), "国道");
    ASSERT_EQ(Play("panel レイヤー間移動; refresh"), "");
    ASSERT_EQ(host->UnloadPlugin(*plugin), 0);
    // Buttons, tree clicks, callbacks and notifications reach no suite.
    EXPECT_EQ(Play("panel レイヤー間移動; refresh; check; label; tree 国道; resize 300 300; hide; show"), "");
    EXPECT_EQ(host->SetUIBrightness(0.1), 0);
    EXPECT_EQ(host->Notify(kNotifierDocumentChanged), 0);
    EXPECT_EQ(art->parent(), layer->group());
    EXPECT_TRUE(user().alerts().empty());

    ASSERT_EQ(host->ReloadPlugin(*plugin), 0);
    ASSERT_EQ(host::LivePanels().size(), 1u);
    ASSERT_EQ(Play("panel レイヤー間移動; resize 300 300; refresh; tree 国道"), "");
    EXPECT_EQ(doc().layerOf(art), target);
    ASSERT_EQ(host->SetUIBrightness(0.9), 0);
    EXPECT_EQ(Panel(kTitle).panel->icons, (std::vector<int32_t>{121}));
    ASSERT_EQ(Choose(kTitle), 0);
    host->UpdateMenus();
    EXPECT_FALSE(Item(kTitle)->checked);
}

class PanelCreationFaultTest : public PanelTest, public ::testing::WithParamInterface<const char*> {
protected:
    bool StartAtSetUp() const override { return false; }
};

// A failure at any host call of the panel's creation leaves a running
// plug-in, and nothing behind once it ends (the harness counts windows,
// panels and strings); a callback arriving without user data does nothing.
TEST_P(PanelCreationFaultTest, LeavesNothingBehind) {
    host::Faults::FailOperation(GetParam(), 1, kHostBadParameterErr);
    ASSERT_EQ(Start(), 0);
    for (const host::PanelEntry& entry : host::LivePanels()) {
        host::UserResizePanel(entry.handle, 400, 400);
        host::UserClosePanel(entry.handle);
        host::UserShowPanel(entry.handle);
        if (IsWindow(entry.panel->window))
            SendMessageW(entry.panel->window, WM_CTLCOLORSTATIC, 0, 0);
    }
    host->UpdateMenus();
    EXPECT_EQ(Choose(kTitle), 0);
    EXPECT_EQ(host->SetUIBrightness(0.1), 0);
}

INSTANTIATE_TEST_SUITE_P(EachCall, PanelCreationFaultTest,
                         ::testing::Values("Create", "GetPlatformWindow", "GetPluginFileSpecification",
                                           "SetFlyoutMenuPreVisibilityProc", "SetFlyoutMenuProc",
                                           "SetVisibilityChangedNotifyProc", "SetSizeChangedNotifyProc",
                                           "SetStateChangedNotifyProc", "SetClosedNotifyProc",
                                           "SetUserData"));

}  // namespace
}  // namespace orbalis::testing
