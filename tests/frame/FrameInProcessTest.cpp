// The frame's classes used directly: guarded dispatch, the plug-in object's
// defaults, the settings store and the text-engine wrappers.
#include <gtest/gtest.h>

#include <stdexcept>

#include "plugin/OrbalisPlugin.h"
#include "frame/Settings.h"
#include "frame/TextEngine.h"
#include "host/suites/SuiteTables.h"
#include "tests/support/PluginHarness.h"

namespace orbalis::testing {
namespace {

class Throwing : public OrbalisPlugin {
public:
    Throwing() : OrbalisPlugin(nullptr) {}
    std::function<HostErr()> onMenuGo;
    HostErr OnMenuGo(HostMenuMessage*) override { return onMenuGo(); }
    HostErr reported = 0;
    int reports = 0;
    void ReportFailure(HostErr code, const char*, const char*, void*) override {
        reported = code;
        ++reports;
    }
};

HostErr DispatchMenuGo(Throwing& plugin) {
    HostMenuMessage message{};
    return plugin.Dispatch(kCallerMenu, kSelectorGo, &message);
}

TEST(GuardedDispatch, ExceptionsOfBothKindsBecomeCodesAndAreReported) {
    Throwing plugin;
    plugin.onMenuGo = []() -> HostErr { throw ai::Error(HOST_FOURCC('B', 'A', 'D', '!')); };
    EXPECT_EQ(DispatchMenuGo(plugin), HOST_FOURCC('B', 'A', 'D', '!'));
    EXPECT_EQ(plugin.reported, HOST_FOURCC('B', 'A', 'D', '!'));

    plugin.onMenuGo = []() -> HostErr { throw std::runtime_error("boom"); };
    EXPECT_EQ(DispatchMenuGo(plugin), kFrameCantHappen);
    plugin.onMenuGo = []() -> HostErr { throw ATE::Exception(7); };
    EXPECT_EQ(DispatchMenuGo(plugin), kFrameCantHappen);
    EXPECT_EQ(plugin.reports, 3);

    plugin.onMenuGo = [] { return kMessageNotHandled; };
    EXPECT_EQ(DispatchMenuGo(plugin), 0);
    EXPECT_EQ(plugin.reports, 3) << "not handled is not a failure";
}

TEST(PluginObject, NameAndDefaults) {
    OrbalisPlugin plugin(nullptr);
    EXPECT_STREQ(plugin.name, "Nodra-Orbalis1.5");
    char small[6];
    EXPECT_EQ(plugin.CopyName(small, sizeof small), 16u);
    EXPECT_STREQ(small, "Nodra");
    EXPECT_EQ(plugin.lockCount, 0);
    EXPECT_EQ(plugin.suites, nullptr);
    EXPECT_FALSE(plugin.OnPurgeCaches());
    EXPECT_EQ(plugin.OnToolReselect(nullptr), 0);
    EXPECT_EQ(plugin.OnFilterGo(nullptr), kMessageNotHandled);
    // Unlocking below zero is clamped and calls nothing.
    EXPECT_EQ(plugin.SetLocked(false), 0);
    EXPECT_EQ(plugin.lockCount, 0);
}

class SettingsTest : public InProcessTest {};

TEST_F(SettingsTest, ValuesRoundTripUnderThePluginsSection) {
    PutBooleanSetting("NL_VisibleLayersOnly", 0);
    PutIntegerSetting("NL_Step", -5);
    PutRealSetting("SB_Distance", 12.5);
    PutTextSetting("NL_AfterString", ai::UnicodeString("：番"));

    int32_t flag = 1, step = 1;
    double distance = 0;
    ai::UnicodeString after(": ");
    GetBooleanSetting("NL_VisibleLayersOnly", flag);
    GetIntegerSetting("NL_Step", step);
    GetRealSetting("SB_Distance", distance);
    GetTextSetting("NL_AfterString", after);
    EXPECT_EQ(flag, 0);
    EXPECT_EQ(step, -5);
    EXPECT_EQ(distance, 12.5);
    EXPECT_EQ(after.utf8(), "：番");

    int32_t stored = 0;
    EXPECT_EQ(host->preferences().getInteger("Nodra-Orbalis1.5", "NL_Step", &stored), 0);
    EXPECT_EQ(stored, -5);
}

TEST_F(SettingsTest, MissingKeysAndTypeMismatchesKeepTheDefault) {
    int32_t kind = 2;
    GetIntegerSetting("NL_Kind", kind);
    EXPECT_EQ(kind, 2);

    PutRealSetting("MS_TargetScale", 2.5);  // written as a real, read as an integer
    int32_t scale = 25000;
    GetIntegerSetting("MS_TargetScale", scale);
    EXPECT_EQ(scale, 25000);

    PutIntegerSetting("RL_SearchString", 3);
    ai::UnicodeString search("道路");
    GetTextSetting("RL_SearchString", search);
    EXPECT_EQ(search.utf8(), "道路");

    host::Faults::FailOperation("GetBooleanPreference", 1, kHostBadParameterErr);
    PutBooleanSetting("SB_NewLayer", 0);
    int32_t newLayer = 1;
    GetBooleanSetting("SB_NewLayer", newLayer);
    EXPECT_EQ(newLayer, 1) << "a failing read never reaches the default";
}

TEST_F(SettingsTest, OneCommandsKeysAreNotAnothers) {
    PutIntegerSetting("NL_Kind", 1);
    int32_t otherKind = 0;
    GetIntegerSetting("RL_DestLayerKind", otherKind);
    EXPECT_EQ(otherKind, 0);
    int32_t inOtherSection = 9;
    EXPECT_EQ(host->preferences().getInteger(nullptr, "NL_Kind", &inOtherSection), kHostNotFoundErr);
}

class TextEngineTest : public InProcessTest {};

TEST_F(TextEngineTest, WrappersAdoptCopyAndRelease) {
    HostTextRef ref = host::NewTextEngineObject();  // one reference, as a suite call returns it
    {
        ATE::ITextRange adopted(ref);
        EXPECT_EQ(host::TextEngineReferences(ref), 1) << "adopting adds no reference";
        {
            ATE::ITextRange copy(adopted);
            EXPECT_EQ(host::TextEngineReferences(ref), 2);
            ATE::ITextRange assigned;
            assigned = copy;
            EXPECT_EQ(host::TextEngineReferences(ref), 3);
            ATE::ITextRange moved(std::move(assigned));
            EXPECT_EQ(host::TextEngineReferences(ref), 3);
        }
        EXPECT_EQ(host::TextEngineReferences(ref), 1);
    }
    EXPECT_EQ(host::LiveTextEngineObjects(), 0);
}

TEST_F(TextEngineTest, AFailingAddReferenceThrowsTheTextEngineException) {
    ATE::IStory story(host::NewTextEngineObject());
    host::Faults::FailOperation("TextEngineAddRef", 1, HOST_FOURCC('A', 'T', 'E', '!'));
    try {
        ATE::IStory copy(story);
        FAIL() << "no exception";
    } catch (const ATE::Exception& e) {
        EXPECT_EQ(e.code, HOST_FOURCC('A', 'T', 'E', '!'));
    }
}

}  // namespace
}  // namespace orbalis::testing
