// The plug-in's menus, their automatic enabling and check marks.
#include <gtest/gtest.h>

#include "host/app/Panels.h"
#include "tests/support/PluginHarness.h"

namespace orbalis::testing {
namespace {

std::vector<std::string> Texts(const host::MenuGroup* group) {
    std::vector<std::string> out;
    for (const host::MenuItem* item : group->items) out.push_back(item->isSeparator() ? "--" : item->text);
    return out;
}

class MenusTest : public PluginTest {};

TEST_F(MenusTest, BothSubmenusAndTheAboutEntryHoldEveryItemInOrder) {
    const host::MenuBar& menus = host->menus();
    const host::MenuGroup* palettes = menus.FindGroup("Tool Palettes");
    ASSERT_EQ(palettes->items.size(), 1u);
    EXPECT_EQ(palettes->items[0]->text, "Nodra-ORBALIS1.5");
    EXPECT_EQ(palettes->items[0]->key, "Nodra-Orbalis1.5");
    ASSERT_EQ(palettes->items[0]->submenu, menus.FindGroup("Nodra-Orbalis1.5 Windows"));
    EXPECT_EQ(Texts(palettes->items[0]->submenu), (std::vector<std::string>{"テキスト原点", "レイヤー間移動"}));

    const host::MenuGroup* utilities = menus.FindGroup("Object Utilities");
    ASSERT_EQ(utilities->items.size(), 1u);
    EXPECT_EQ(utilities->items[0]->text, "Nodra-ORBALIS1.5");
    ASSERT_NE(utilities->items[0]->submenu, nullptr);
    EXPECT_EQ(utilities->items[0]->submenu->name, "Nodra-Orbalis1.5 Objects");
    EXPECT_EQ(
        Texts(utilities->items[0]->submenu),
        (std::vector<std::string>{"高速移動", "地図拡大縮小...", "スケールバー作成...", "ポリゴン色分け", "--",
                                  "レイヤー通し番号作成...", "レイヤー名置換...", "レイヤー名リストをファイルに保存...",
                                  "レイヤー名をファイルから設定...", "--", "配置画像サイズをリセット",
                                  "テキストを水平垂直に戻す", "テキストのシアー変形除去"}));

    const host::MenuGroup* about = menus.FindGroup("About");
    ASSERT_EQ(about->items.size(), 1u);
    EXPECT_EQ(about->items[0]->text, "Nodraについて...");
    ASSERT_NE(about->items[0]->submenu, nullptr);
    EXPECT_EQ(about->items[0]->submenu->name, "AboutNodraName");
    EXPECT_EQ(Texts(about->items[0]->submenu), (std::vector<std::string>{"Nodra-Orbalis1.5..."}));
}

TEST_F(MenusTest, ItemsEnableThemselvesFromTheDocumentAndTheSelection) {
    host->UpdateMenus();
    EXPECT_TRUE(Item("高速移動")->enabled);
    EXPECT_FALSE(Item("配置画像サイズをリセット")->enabled);
    EXPECT_FALSE(Item("テキストのシアー変形除去")->enabled);

    host::Art* image = AddArt(doc(), layer->group(), kHostRasterArt);
    Select(doc(), image);
    host->UpdateMenus();
    EXPECT_TRUE(Item("配置画像サイズをリセット")->enabled);
    EXPECT_FALSE(Item("テキストを水平垂直に戻す")->enabled);

    host::Art* text = AddArt(doc(), layer->group(), kHostTextFrameArt);
    Select(doc(), text);
    host->UpdateMenus();
    EXPECT_TRUE(Item("テキストを水平垂直に戻す")->enabled);

    auto closed = host->documents().Close();
    host->UpdateMenus();
    EXPECT_FALSE(Item("高速移動")->enabled);
    EXPECT_FALSE(Item("ポリゴン色分け")->enabled);
    EXPECT_EQ(host->ChooseMenuItem(Item("高速移動")), kHostBadParameterErr) << "a disabled item cannot be chosen";
    host->OpenDocument(std::move(closed));
}

TEST_F(MenusTest, MenuUpdatesSetBothPanelCheckMarksFromThePanels) {
    // Both panels are shown after start-up; the text origin panel is then
    // closed with the host's own button.
    host->menus().FindItems("テキスト原点")[0]->checked = false;
    host->menus().FindItems("レイヤー間移動")[0]->checked = false;
    host->UpdateMenus();
    EXPECT_TRUE(Item("テキスト原点")->checked);
    EXPECT_TRUE(Item("レイヤー間移動")->checked);
    host::UserClosePanel(host::FindPanel("テキスト原点").handle);
    host->UpdateMenus();
    EXPECT_FALSE(Item("テキスト原点")->checked);
    EXPECT_TRUE(Item("レイヤー間移動")->checked);
}

TEST_F(MenusTest, RenderingShowsTheTreeAsAUserSeesIt) {
    auto closed = host->documents().Close();
    host->UpdateMenus();
    const std::string text = host->menus().Render();
    EXPECT_NE(text.find("Object\n  [Object Utilities]\n      Nodra-ORBALIS1.5  ▸\n        高速移動  (disabled)\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("Help\n  [About]\n      Nodraについて...  ▸\n        Nodra-Orbalis1.5...\n"), std::string::npos)
        << text;
    EXPECT_NE(text.find("        ────────\n"), std::string::npos);
    host->OpenDocument(std::move(closed));
}

// Another plug-in of the family already made the submenus.
class ExistingGroupsTest : public PluginTest {
protected:
    bool StartAtSetUp() const override { return false; }
};

TEST_F(ExistingGroupsTest, ExistingSubmenusAreReusedWithoutASecondParentItem) {
    host::MenuBar& menus = host->menus();
    host::MenuItem* parent = nullptr;
    ASSERT_EQ(menus.AddItem(nullptr, "Other", "Object Utilities", "Nodra-ORBALIS1.5", 1, &parent), 0);
    ASSERT_EQ(menus.AddSubmenu("Nodra-Orbalis1.5 Objects", 0, parent, nullptr), 0);
    host::MenuItem* aboutParent = nullptr;
    ASSERT_EQ(menus.AddItem(nullptr, "", "About", "Nodraについて...", 0, &aboutParent), 0);
    ASSERT_EQ(menus.AddSubmenu("AboutNodraName", 1, aboutParent, nullptr), 0);
    host::MenuItem* sibling = nullptr;
    ASSERT_EQ(menus.AddItem(nullptr, "", "AboutNodraName", "Nodra-Other...", 0, &sibling), 0);

    ASSERT_EQ(Start(), 0);
    EXPECT_EQ(menus.FindGroup("Object Utilities")->items.size(), 1u);
    EXPECT_EQ(menus.FindGroup("Nodra-Orbalis1.5 Objects")->items.size(), 13u);
    EXPECT_EQ(menus.FindGroup("Tool Palettes")->items.size(), 1u);
    EXPECT_EQ(menus.FindGroup("About")->items.size(), 1u);
    EXPECT_EQ(Texts(menus.FindGroup("AboutNodraName")),
              (std::vector<std::string>{"Nodra-Other...", "Nodra-Orbalis1.5..."}));
}

}  // namespace
}  // namespace orbalis::testing
