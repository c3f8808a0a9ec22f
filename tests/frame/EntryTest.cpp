// The plug-in library as the host sees it: messages through PluginMain
// across start-up, unload, reload and shutdown.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstring>

#include "plugin/OrbalisPlugin.h"

#include "tests/support/PluginHarness.h"

namespace orbalis::testing {
namespace {

constexpr HostErr kRefused = HOST_FOURCC('N', 'O', 'P', 'E');

class EntryTest : public PluginTest {
protected:
    bool StartAtSetUp() const override { return false; }
    HostErr Send(const char* caller, const char* selector) { return host->loader().Send(*plugin, caller, selector); }
    size_t Held() const {
        size_t n = 0;
        for (const auto& [name, count] : host->heldSuites) n += static_cast<size_t>(count);
        return n;
    }
};

TEST_F(EntryTest, MessagesWithoutAPluginObjectAreAnsweredWithZeroAndTouchNothing) {
    EXPECT_EQ(Send(kCallerMenu, kSelectorGo), 0);
    EXPECT_EQ(Send(kCallerInterface, kSelectorShutdown), 0);
    EXPECT_EQ(Send(kCallerAccess, kSelectorReload), 0);
    // Selectors are matched whole: neither is start-up.
    EXPECT_EQ(Send(kCallerInterface, "Startu"), 0);
    EXPECT_EQ(Send(kCallerInterface, "Startup2"), 0);
    EXPECT_EQ(plugin->globals(), nullptr);
    EXPECT_EQ(Held(), 0u);
    EXPECT_TRUE(host->menus().FindItems("高速移動").empty());

    ASSERT_EQ(Start(), 0);
    ASSERT_EQ(host->ShutdownPlugins(), 0);
    EXPECT_EQ(plugin->globals(), nullptr);
    EXPECT_EQ(Held(), 0u);
    EXPECT_EQ(Send(kCallerMenu, kSelectorGo), 0);
    EXPECT_EQ(Send(kCallerCache, kSelectorPurge), 0);
    EXPECT_EQ(Held(), 0u);
}

TEST_F(EntryTest, StartUpAcquiresEverySuiteNamesThePluginAndLocksItOnce) {
    ASSERT_EQ(Start(), 0);
    EXPECT_NE(plugin->globals(), nullptr);
    EXPECT_EQ(Held(), 7u + 42u + 87u);
    EXPECT_EQ(plugin->name(), "Nodra-Orbalis1.5");
    EXPECT_EQ(plugin->accessCount(), 1) << "two locks, one host access";
    ASSERT_FALSE(host->notifications().all().empty());
    EXPECT_EQ(host->notifications().all().front()->name, "Nodra-Orbalis1.5 App Started Notifier");
    std::vector<std::string> types;
    for (const auto& n : host->notifications().all()) types.push_back(n->type);
    EXPECT_EQ(types, (std::vector<std::string>{kNotifierApplicationStarted, kNotifierApplicationShutdown,
                                               kNotifierArtSelectionChanged, kNotifierDocumentChanged,
                                               kNotifierUIBrightnessChanged}));
    EXPECT_EQ(host->notifications().all()[2]->name, "NdOrbalis1.5 Selection Changed Notifier");

    ASSERT_EQ(host->ShutdownPlugins(), 0);
    EXPECT_EQ(Held(), 0u);
    EXPECT_EQ(plugin->accessCount(), 1) << "the frame never unlocks";
}

TEST_F(EntryTest, UnknownCallersAndSelectorsAreAnsweredWithZero) {
    ASSERT_EQ(Start(), 0);
    EXPECT_EQ(Send("No Such Caller", "Anything"), 0);
    EXPECT_EQ(Send(kCallerMenu, "AI Go Away"), 0);
    EXPECT_EQ(Send("AI Tool", "AI Mouse Down"), 0);
    EXPECT_EQ(Send("AI Live Effect", "AI Live Effect Scale Parameters"), 0);
    EXPECT_EQ(Send(kCallerInterface, kSelectorAbout), 0);
    EXPECT_EQ(Send(kCallerCache, kSelectorPurge), 0);
    EXPECT_EQ(Send(kCallerProperties, kSelectorAcquireProperty), 0);
}

TEST_F(EntryTest, TheTenthSuiteRefusedReleasesExactlyTheNineBeforeIt) {
    host::Faults::FailAcquire("*", 10, kRefused);
    EXPECT_EQ(Start(), kRefused);
    EXPECT_EQ(plugin->globals(), nullptr);
    EXPECT_EQ(Held(), 0u);
    EXPECT_EQ(host::Faults::Calls("ReleaseSuite"), 9u);
    EXPECT_EQ(plugin->accessCount(), 0);
}

TEST_F(EntryTest, AStartUpFailingAfterTheSuitesWereAcquiredReleasesThem) {
    host::Faults::FailOperation("SetPluginName", 1, kRefused);
    EXPECT_EQ(Start(), kRefused);
    EXPECT_EQ(plugin->globals(), nullptr);
    EXPECT_EQ(Held(), 0u);
}

TEST_F(EntryTest, AFailingMenuSetUpStillStartsThePlugin) {
    host::Faults::FailOperation("AddMenuGroupAsSubMenu", 2, kRefused);
    ASSERT_EQ(Start(), 0);
    EXPECT_EQ(host->menus().FindItems("テキスト原点").size(), 1u);
    EXPECT_TRUE(host->menus().FindItems("高速移動").empty());
    EXPECT_EQ(host->notifications().all().size(), 1u) << "notifiers come after the menus";
    EXPECT_EQ(plugin->accessCount(), 1);
}

TEST_F(EntryTest, AfterUnloadAMenuChoiceRunsNothingAndAfterReloadItRunsAgain) {
    ASSERT_EQ(Start(), 0);
    host::MenuItem* fastMove = Item("高速移動");
    ASSERT_EQ(host->loader().Unload(*plugin), 0);
    EXPECT_EQ(Held(), 0u);
    EXPECT_TRUE(plugin->mapped()) << "a locked plug-in stays in memory";
    EXPECT_EQ(host->ChooseMenuItem(fastMove), 0);
    EXPECT_TRUE(user().alerts().empty());

    const std::string before = plugin->mappedPath();
    ASSERT_EQ(host->loader().Reload(*plugin), 0);
    EXPECT_NE(plugin->mappedPath(), before);
    EXPECT_EQ(Held(), 7u + 42u + 87u);
    // The surviving object now runs the code of the newly mapped library.
    Dl_info info{};
    void* vtable = *static_cast<void**>(plugin->globals());
    ASSERT_NE(dladdr(vtable, &info), 0);
    EXPECT_EQ(std::string(info.dli_fname), plugin->mappedPath());

    EXPECT_EQ(host->ChooseMenuItem(fastMove), 0);
    EXPECT_EQ(user().alerts(), (std::vector<std::string>{"移動先を示すパスを1つだけ選択して実行してください"}));
    EXPECT_EQ(plugin->name(), "Nodra-Orbalis1.5");
}

TEST_F(EntryTest, TheWholeRecordOfThePluginSurvivesAReload) {
    ASSERT_EQ(Start(), 0);
    auto* object = static_cast<OrbalisPlugin*>(static_cast<Plugin*>(plugin->globals()));
    const PluginRecord& frame = *object;
    const OrbalisRecord& own = *object;
    const HostPluginRef ref = frame.pluginRef;
    const HostAccessRef access = frame.accessRef;
    // Every menu item and notifier handle, in their order; the panels are
    // made again by the new code and compared by what they show.
    const auto handleBytes =
        static_cast<size_t>(reinterpret_cast<const char*>(&own.textAlignPanel) - reinterpret_cast<const char*>(&own));
    std::vector<unsigned char> handles(handleBytes);
    std::memcpy(handles.data(), &own, handleBytes);
    ASSERT_EQ(Choose("レイヤー間移動"), 0);

    ASSERT_EQ(host->loader().Unload(*plugin), 0);
    ASSERT_EQ(host->loader().Reload(*plugin), 0);
    ASSERT_EQ(static_cast<Plugin*>(plugin->globals()), static_cast<Plugin*>(object));
    EXPECT_EQ(frame.pluginRef, ref);
    EXPECT_STREQ(frame.name, "Nodra-Orbalis1.5");
    EXPECT_EQ(frame.lockCount, 2);
    EXPECT_EQ(frame.accessRef, access);
    EXPECT_NE(frame.suites, nullptr);
    EXPECT_EQ(std::memcmp(handles.data(), &own, handleBytes), 0);
    ASSERT_NE(own.textAlignPanel, nullptr);
    ASSERT_NE(own.moveLayerPanel, nullptr);
    EXPECT_TRUE(own.textAlignPanel->IsShown());
    EXPECT_FALSE(own.moveLayerPanel->IsShown());
    host->UpdateMenus();
    EXPECT_TRUE(Item("テキスト原点")->checked);
    EXPECT_FALSE(Item("レイヤー間移動")->checked);
}

TEST_F(EntryTest, ACommandsHostErrorReachesTheHost) {
    ASSERT_EQ(Start(), 0);
    // The alert's text cannot even be made: the frame turns the exception
    // into the host's code.
    host::Faults::FailOperation("NewString", 1, kRefused);
    EXPECT_EQ(Choose("高速移動"), kRefused);
}

TEST_F(EntryTest, NotificationsPushAndPopTheApplicationContext) {
    ASSERT_EQ(Start(), 0);
    const uint64_t pushes = host::Faults::Calls("PushAppContext");
    EXPECT_EQ(host->notifications().Notify(kNotifierArtSelectionChanged), 0);
    EXPECT_EQ(host->notifications().Notify(kNotifierUIBrightnessChanged), 0);
    EXPECT_EQ(host::Faults::Calls("PushAppContext"), pushes + 2);
    EXPECT_EQ(host::Faults::Calls("PopAppContext"), host::Faults::Calls("PushAppContext"));
    // A notifier message of another selector does nothing and answers 0.
    HostNotifierMessage message{};
    message.type = kNotifierDocumentChanged;
    EXPECT_EQ(host->loader().Send(*plugin, kCallerNotifier, "AI Something Else", &message.d), 0);
}

TEST_F(EntryTest, AfterTheShutdownNotificationMessagesStillWork) {
    ASSERT_EQ(Start(), 0);
    EXPECT_EQ(host->notifications().Notify(kNotifierApplicationShutdown), 0);
    EXPECT_EQ(host->notifications().Notify(kNotifierDocumentChanged), 0);
    host->UpdateMenus();
    EXPECT_FALSE(Item("テキスト原点")->checked);
    EXPECT_EQ(Choose("テキスト原点"), 0);
}

}  // namespace
}  // namespace orbalis::testing
