// The About box through the plug-in's menu item, with a scripted user.
#include <gtest/gtest.h>

#include <algorithm>

#include "host/win32/Driver.h"
#include "tests/support/PluginHarness.h"

namespace orbalis::testing {
namespace {

constexpr const char* kAboutItem = "Nodra-Orbalis1.5...";

int Count(UINT message) {
    const auto& log = win32::MessageLog();
    return static_cast<int>(std::count_if(log.begin(), log.end(), [&](const win32::LoggedMessage& m) {
        return m.message == message && m.controlId == 107;
    }));
}

class AboutBox : public PluginTest {};

TEST_F(AboutBox, TheWebButtonOpensThePageEachTimeAndLeavesTheBoxOpen) {
    Ui("dialog 107; click 1063; click 1063; click 1063; click 1");
    EXPECT_EQ(Choose(kAboutItem), 0);
    const auto& opened = win32::ShellRequests();
    ASSERT_EQ(opened.size(), 3u);
    for (const auto& r : opened) {
        EXPECT_EQ(r.operation, "open");
        EXPECT_EQ(r.file, "https://orbalis.example.org/docs/");
        EXPECT_EQ(r.parameters, "");
        EXPECT_EQ(r.directory, "");
        EXPECT_EQ(r.show, SW_SHOWNORMAL);
    }
    EXPECT_EQ(Count(WM_INITDIALOG), 1);
}

TEST_F(AboutBox, EscapeEnterAndTheCloseButtonCloseItToo) {
    Ui("dialog 107; escape");
    EXPECT_EQ(Choose(kAboutItem), 0);
    Ui("dialog 107; enter");
    EXPECT_EQ(Choose(kAboutItem), 0);
    // Nothing left in the script: the host closes it with the caption's button.
    EXPECT_EQ(Choose(kAboutItem), 0);
    ASSERT_EQ(ui.errors().size(), 1u);
    EXPECT_NE(ui.errors()[0].find("dialog 107 opened"), std::string::npos);
    ui = win32::ScriptedUser();
    EXPECT_EQ(Count(WM_INITDIALOG), 3);
    EXPECT_TRUE(win32::ShellRequests().empty());
}

TEST_F(AboutBox, TheHostWindowIsDisabledOnlyWhileTheBoxIsOpen) {
    Ui("dialog 107; click 1");
    const HWND mainWindow = reinterpret_cast<HWND>(host->mainWindow());
    ASSERT_TRUE(IsWindow(mainWindow));
    EXPECT_EQ(Choose(kAboutItem), 0);
    EXPECT_TRUE(IsWindowEnabled(mainWindow));
    std::vector<std::string> enabling;
    for (const auto& m : win32::MessageLog())
        if (m.window == mainWindow && m.message == WM_ENABLE) enabling.push_back(m.wParam ? "on" : "off");
    EXPECT_EQ(enabling, (std::vector<std::string>{"off", "on"}));
}

TEST_F(AboutBox, AFailingHostCallReturnsItsCodeAndShowsNothing) {
    for (const char* operation : {"GetPlatformAppWindow", "GetPluginFileSpecification"}) {
        SCOPED_TRACE(operation);
        win32::ClearMessageLog();
        host::Faults::FailOperation(operation, 1, HOST_FOURCC('F', 'A', 'I', 'L'));
        EXPECT_EQ(Choose(kAboutItem), HOST_FOURCC('F', 'A', 'I', 'L'));
        EXPECT_EQ(Count(WM_INITDIALOG), 0);
    }
}

}  // namespace
}  // namespace orbalis::testing
