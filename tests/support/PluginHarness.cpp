#include "tests/support/PluginHarness.h"

#include "host/suites/SuiteTables.h"

namespace orbalis::testing {

void PluginTest::SetUp() {
    host::Faults::Reset();
    win32::ClearMessageLog();
    win32::ClearShellRequests();
    win32::SetDialogUser(&ui);
    windowsAtStart = win32::LiveWindows();
    host = std::make_unique<host::Host>();
    host->OpenDocument(NewDocument(&layer));
    std::string error;
    plugin = host->loader().Load(ORBALIS_PLUGIN_DEFAULT_PATH, &error);
    ASSERT_NE(plugin, nullptr) << error;
    if (StartAtSetUp()) {
        ASSERT_EQ(Start(), 0);
    }
}

HostErr PluginTest::Start() { return host->StartPlugins(); }

void PluginTest::TearDown() {
    if (!host) return;
    EXPECT_TRUE(host->user().unscriptedQuestions().empty())
        << "unscripted question: " << host->user().unscriptedQuestions().front();
    EXPECT_EQ(host->user().pendingAnswers(), 0u) << "scripted answers left unused";
    EXPECT_EQ(host::LiveTextEngineObjects(), 0) << "text-engine references left behind";
    EXPECT_TRUE(host->contextStack.empty()) << "application context left pushed";
    for (const std::string& e : ui.errors()) ADD_FAILURE() << "ui: " << e;
    EXPECT_EQ(ui.pendingSteps(), 0u) << "ui steps left unused";
    EXPECT_TRUE(win32::OpenDialogs().empty()) << "a dialog left open";
    // The panels hold their identifiers and titles until the host shuts down.
    host->ShutdownPlugins();
    EXPECT_EQ(host->liveStrings, 0) << "host strings left behind";
    EXPECT_EQ(host->liveArtSets, 0) << "art sets left behind";
    EXPECT_EQ(host->handles.live(host::HandleKind::Panel), 0) << "panels left behind";
    host.reset();
    EXPECT_EQ(win32::LiveWindows(), windowsAtStart) << "windows left behind";
    win32::SetDialogUser(nullptr);
    host::Faults::Reset();
}

void PluginTest::Ui(const std::string& script) {
    std::vector<win32::UiStep> steps;
    std::string error;
    ASSERT_TRUE(win32::ParseUiScript(script, &steps, &error)) << error;
    ui.Add(std::move(steps));
}

host::MenuItem* PluginTest::Item(const std::string& text) {
    auto items = host->menus().FindItems(text);
    EXPECT_EQ(items.size(), 1u) << text;
    return items.empty() ? nullptr : items.front();
}

HostErr PluginTest::Choose(const std::string& text) {
    host::MenuItem* item = Item(text);
    if (!item) return kHostNotFoundErr;
    return host->ChooseMenuItem(item);
}

void InProcessTest::SetUp() {
    host::Faults::Reset();
    host = std::make_unique<host::Host>();
    host->OpenDocument(NewDocument(&layer));
    basicSuite = host::BasicSuite();
    suites = std::make_unique<HostSuites>();
    suitesHeld = 1;
    ASSERT_EQ(suites->error, 0);
}

void InProcessTest::TearDown() {
    EXPECT_TRUE(host->user().unscriptedQuestions().empty())
        << "unscripted question: " << host->user().unscriptedQuestions().front();
    EXPECT_EQ(host->user().pendingAnswers(), 0u) << "scripted answers left unused";
    suites.reset();
    EXPECT_EQ(host->liveStrings, 0) << "host strings left behind";
    EXPECT_EQ(host->liveArtSets, 0) << "art sets left behind";
    EXPECT_TRUE(host->heldSuites.empty()) << "suites left held";
    EXPECT_EQ(host::LiveTextEngineObjects(), 0) << "text-engine references left behind";
    host.reset();
    basicSuite = nullptr;
    host::Faults::Reset();
}

}  // namespace orbalis::testing
