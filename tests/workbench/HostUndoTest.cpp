// The host's undo of the last menu command, which the workbench offers:
// a command that changes only layers is undone too, one that changes
// nothing leaves nothing to undo.
#include <gtest/gtest.h>

#include "host/app/Host.h"
#include "host/win32/ScriptedUser.h"
#include "tests/support/DocumentBuilder.h"

namespace orbalis::testing {
namespace {

class HostUndoTest : public ::testing::Test {
protected:
    void SetUp() override {
        win32::SetDialogUser(&ui);
        host::HostOptions options;
        options.keepUndo = true;
        host = std::make_unique<host::Host>(options);
        host->OpenDocument(NewDocument(&layer));
        AddRect(*host->document(), layer->group(), 0, 0, 10, 10);
        AddLayer(*host->document(), "roads");
        std::string error;
        ASSERT_NE(host->loader().Load(ORBALIS_PLUGIN_DEFAULT_PATH, &error), nullptr) << error;
        ASSERT_EQ(host->StartPlugins(), 0);
    }
    void TearDown() override {
        host->ShutdownPlugins();
        host.reset();
        win32::SetDialogUser(nullptr);
    }

    HostErr Choose(const std::string& text, const std::string& steps) {
        std::vector<win32::UiStep> parsed;
        std::string error;
        EXPECT_TRUE(win32::ParseUiScript(steps, &parsed, &error)) << error;
        ui.Add(std::move(parsed));
        const auto items = host->menus().FindItems(text);
        EXPECT_EQ(items.size(), 1u);
        return items.empty() ? kHostBadParameterErr : host->ChooseMenuItem(items.front());
    }
    std::vector<std::string> Titles() {
        std::vector<std::string> out;
        for (const host::Layer* l : host->document()->allLayers()) out.push_back(l->title);
        return out;
    }

    win32::ScriptedUser ui;
    std::unique_ptr<host::Host> host;
    host::Layer* layer = nullptr;
};

TEST_F(HostUndoTest, RenamingLayersIsUndoneAndTheDocumentKeepsItsPlace) {
    const auto before = Titles();
    host->document()->filePath = "/maps/town.svg";
    const uint64_t serial = host->document()->openSerial;
    ASSERT_EQ(Choose("レイヤー通し番号作成...", "dialog 125; click 1"), 0);
    ASSERT_NE(Titles(), before) << "the command renamed the layers";
    ASSERT_TRUE(host->undo().canUndo());
    EXPECT_EQ(host->undo().command(), "レイヤー通し番号作成...");
    EXPECT_EQ(host->undo().document(), serial);

    std::string error;
    ASSERT_TRUE(host->undo().Undo(&error)) << error;
    EXPECT_EQ(Titles(), before);
    EXPECT_EQ(host->document()->openSerial, serial);
    EXPECT_EQ(host->document()->filePath, "/maps/town.svg");
    EXPECT_EQ(host->documents().count(), 1u);
    EXPECT_FALSE(host->undo().canUndo()) << "one level";
    EXPECT_FALSE(host->undo().Undo(&error));
    EXPECT_EQ(error, "there is nothing to undo");
}

TEST_F(HostUndoTest, ACancelledCommandLeavesNothingToUndo) {
    const uint64_t none = host->undo().generation();
    ASSERT_EQ(Choose("レイヤー通し番号作成...", "dialog 125; click 1"), 0);
    ASSERT_TRUE(host->undo().canUndo());
    const uint64_t first = host->undo().generation();
    EXPECT_NE(first, none);
    // Cancelled in its dialog: the earlier command's undo stays as it was,
    // and so does its generation (a command of the same name leaves it too).
    Choose("レイヤー通し番号作成...", "dialog 125; click 2");
    EXPECT_EQ(host->undo().command(), "レイヤー通し番号作成...");
    EXPECT_EQ(host->undo().generation(), first);
    std::string error;
    ASSERT_TRUE(host->undo().Undo(&error)) << error;
    Choose("レイヤー通し番号作成...", "dialog 125; click 2");
    EXPECT_FALSE(host->undo().canUndo());
}

TEST_F(HostUndoTest, TheUndoGoesWithItsDocument) {
    ASSERT_EQ(Choose("レイヤー通し番号作成...", "dialog 125; click 1"), 0);
    host->documents().Close();
    EXPECT_FALSE(host->undo().canUndo()) << "its document is closed";
}

}  // namespace
}  // namespace orbalis::testing
