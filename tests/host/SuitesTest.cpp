// The host's suites as a plug-in meets them: acquisition by name and
// version, fault injection, and the string operations commands build on.
#include <gtest/gtest.h>

#include "host/app/Faults.h"
#include "host/app/Host.h"
#include "host/suites/SuiteTables.h"
#include "sdk/SuiteList.h"

namespace orbalis::host {
namespace {

class SuitesTest : public ::testing::Test {
protected:
    void SetUp() override { Faults::Reset(); }
    void TearDown() override { Faults::Reset(); }
    Host host;
    const HostBasicSuite& basic = *BasicSuite();
};

TEST_F(SuitesTest, EveryPublishedSuiteIsServedAndNothingElse) {
    int served = 0;
    const void* table = nullptr;
#define ORBALIS_ACQUIRE(Id, name, version)                           \
    EXPECT_EQ(basic.AcquireSuite(name, version, &table), 0) << name; \
    EXPECT_NE(table, nullptr) << name;                               \
    ++served;
    HOST_BASE_SUITES(ORBALIS_ACQUIRE)
    HOST_MAIN_SUITES(ORBALIS_ACQUIRE)
    HOST_ATE_SUITES(ORBALIS_ACQUIRE)
#undef ORBALIS_ACQUIRE
    EXPECT_EQ(served, 136);
    EXPECT_EQ(host.heldSuites.size(), 136u);

    table = nullptr;
    EXPECT_EQ(basic.AcquireSuite("AI Nothing Suite", 1, &table), kHostSuiteNotFoundErr);
    EXPECT_EQ(basic.AcquireSuite("AI Art Suite", 19, &table), kHostSuiteVersionErr);
    EXPECT_EQ(basic.AcquireSuite("ATE TextFrame Suite", 1, &table), kHostSuiteVersionErr);
    EXPECT_EQ(table, nullptr);
    EXPECT_EQ(basic.ReleaseSuite("AI Art Suite", 20), 0);
    EXPECT_EQ(basic.ReleaseSuite("AI Art Suite", 20), kHostSuiteNotHeldErr);
}

TEST_F(SuitesTest, FaultsHitTheNthCallOnlyOrEveryCallFromIt) {
    const void* table = nullptr;
    Faults::FailAcquire("AI Layer Suite", 2, kHostOutOfMemoryErr);
    EXPECT_EQ(basic.AcquireSuite("AI Layer Suite", 13, &table), 0);
    EXPECT_EQ(basic.AcquireSuite("AI Layer Suite", 13, &table), kHostOutOfMemoryErr);
    EXPECT_EQ(basic.AcquireSuite("AI Layer Suite", 13, &table), 0);

    const HostRealMathSuite& math = RealMathSuite();
    HostMatrix m{};
    Faults::FailOperation("SetMatrixIdentity", 2, kHostBadParameterErr, true);
    EXPECT_EQ(math.SetMatrixIdentity(&m), 0);
    EXPECT_EQ(math.SetMatrixIdentity(&m), kHostBadParameterErr);
    EXPECT_EQ(math.SetMatrixIdentity(&m), kHostBadParameterErr);
    EXPECT_EQ(Faults::Calls("SetMatrixIdentity"), 3u);
}

TEST_F(SuitesTest, StringsFindEraseInsertAndConvert) {
    const HostUnicodeStringSuite& s = UnicodeStringSuite();
    HostString text = nullptr, what = nullptr, part = nullptr;
    ASSERT_EQ(s.NewString(&text), 0);
    ASSERT_EQ(s.NewString(&what), 0);
    ASSERT_EQ(s.NewString(&part), 0);
    const std::string title = "01_道路_2";
    ASSERT_EQ(s.SetUTF8(text, title.data(), title.size()), 0);
    ASSERT_EQ(s.SetUTF8(what, "_", 1), 0);

    size_t length = 0, at = 0;
    ASSERT_EQ(s.Length(text, &length), 0);
    EXPECT_EQ(length, 7u) << "counted in UTF-16 units";
    ASSERT_EQ(s.Find(text, what, 0, &at), 0);
    EXPECT_EQ(at, 2u);
    ASSERT_EQ(s.Find(text, what, 3, &at), 0);
    EXPECT_EQ(at, 5u);
    ASSERT_EQ(s.Find(text, what, 6, &at), 0);
    EXPECT_EQ(at, kHostStringNoPosition);
    ASSERT_EQ(s.Erase(text, 0, 2), 0);
    ASSERT_EQ(s.Substring(text, 1, 2, part), 0);
    ASSERT_EQ(s.Insert(text, 0, part), 0);
    ASSERT_EQ(s.Append(text, text), 0);
    char buffer[64];
    ASSERT_EQ(s.GetUTF8(text, buffer, sizeof buffer, &length), 0);
    EXPECT_STREQ(buffer, "道路_道路_2道路_道路_2");
    EXPECT_EQ(s.Erase(text, 99, 1), kHostIndexErr);

    // Getters cut at the buffer without splitting a character, and say how
    // much there was.
    char small[5];
    ASSERT_EQ(s.GetUTF8(text, small, sizeof small, &length), 0);
    EXPECT_STREQ(small, "道");
    EXPECT_EQ(length, std::string("道路_道路_2道路_道路_2").size());

    const char shiftJis[] = "\x93\xb9\x98\x48";  // 道路
    ASSERT_EQ(s.SetEncoded(part, shiftJis, 4, kHostEncodingShiftJIS), 0);
    ASSERT_EQ(s.GetUTF8(part, buffer, sizeof buffer, &length), 0);
    EXPECT_STREQ(buffer, "道路");

    for (HostString h : {text, what, part}) EXPECT_EQ(s.DisposeString(h), 0);
    EXPECT_EQ(host.liveStrings, 0);
}

TEST_F(SuitesTest, ContextsPopInReverseOrder) {
    const HostContextSuite& context = ContextSuite();
    std::string error;
    LoadedPlugin* plugin = host.loader().Load(ORBALIS_PLUGIN_DEFAULT_PATH, &error);
    ASSERT_NE(plugin, nullptr) << error;
    HostAppContext outer = nullptr, inner = nullptr;
    ASSERT_EQ(context.PushAppContext(plugin->ref(), &outer), 0);
    ASSERT_EQ(context.PushAppContext(plugin->ref(), &inner), 0);
    EXPECT_EQ(context.PopAppContext(outer), kHostBadParameterErr);
    EXPECT_EQ(context.PopAppContext(inner), 0);
    EXPECT_EQ(context.PopAppContext(outer), 0);
    EXPECT_EQ(context.PushAppContext(nullptr, &outer), kHostBadParameterErr);
}

}  // namespace
}  // namespace orbalis::host
