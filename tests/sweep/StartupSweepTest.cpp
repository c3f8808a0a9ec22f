// Start-up and shutdown, swept: every host operation and suite acquisition
// of a start-up fails in turn at each of its calls. Start-up may succeed
// with part of the plug-in set up or fail; either way the host then shuts
// the plug-in down and nothing it made stays alive.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>

#include "host/app/Faults.h"
#include "host/app/Host.h"
#include "host/suites/SuiteTables.h"
#include "host/win32/Driver.h"
#include "tests/support/DocumentBuilder.h"
#include "tests/sweep/Sweep.h"

namespace orbalis::testing {
namespace {

struct Started {
    HostErr code = 0;
    std::vector<std::pair<std::string, uint64_t>> calls;
};

// Loads and starts the plug-in with the fault armed (none when `operation`
// is empty), shuts it down and checks what is left.
Started StartAndShutDown(const std::string& operation, uint64_t nth, const std::string& where) {
    Started started;
    const int windows = win32::LiveWindows();
    const int textEngine = host::LiveTextEngineObjects();
    {
        host::Host host;
        host.OpenDocument(NewDocument());
        std::string error;
        host::LoadedPlugin* plugin = host.loader().Load(ORBALIS_PLUGIN_DEFAULT_PATH, &error);
        EXPECT_NE(plugin, nullptr) << error;
        if (!plugin) return started;
        host::Faults::Reset();
        if (!operation.empty()) host::Faults::FailOperation(operation, nth, HOST_FOURCC('S', 'W', 'E', 'P'));
        started.code = host.StartPlugins();
        if (operation.empty()) started.calls = host::Faults::AllCalls();
        host::Faults::Reset();
        host.ShutdownPlugins();
        // A string whose disposal failed stays with the host.
        EXPECT_EQ(host.liveStrings, operation == "DisposeString" ? 1 : 0)
            << where << ": host strings left after shutdown";
        EXPECT_EQ(host.liveFilePaths, 0) << where << ": file paths left after shutdown";
        EXPECT_EQ(host.liveArtSets, 0) << where << ": art sets left after shutdown";
        EXPECT_EQ(host.handles.live(win32::HandleKind::Panel), 0) << where << ": panels left after shutdown";
        EXPECT_EQ(host.handles.live(win32::HandleKind::FlyoutMenu), 0) << where << ": flyout menus left";
        // So does a suite whose release failed.
        int held = 0;
        for (const auto& [name, count] : host.heldSuites) held += count;
        EXPECT_EQ(held, operation == "ReleaseSuite" ? 1 : 0) << where << ": suites still held after shutdown";
        EXPECT_TRUE(host.contextStack.empty()) << where << ": application context left pushed";
    }
    EXPECT_EQ(win32::LiveWindows(), windows) << where << ": windows left after shutdown";
    EXPECT_EQ(win32::LiveGdiObjects(), 0) << where << ": GDI objects left after shutdown";
    EXPECT_EQ(win32::LiveIcons(), 0) << where << ": icons left after shutdown";
    EXPECT_EQ(win32::LiveImageLists(), 0) << where << ": image lists left after shutdown";
    EXPECT_EQ(host::LiveTextEngineObjects(), textEngine) << where << ": text-engine objects left";
    return started;
}

TEST(StartupSweep, EveryFailureOfAStartUpIsShutDownCleanly) {
    const auto began = std::chrono::steady_clock::now();
    const Started clean = StartAndShutDown("", 0, "clean start-up");
    ASSERT_EQ(clean.code, 0);
    ASSERT_FALSE(clean.calls.empty());
    uint64_t points = 0;
    for (const auto& [operation, calls] : clean.calls) {
        // Giving the application context back fails only the host's stack.
        if (operation == "PopAppContext") continue;
        for (uint64_t n = 1; n <= calls; ++n) {
            ++points;
            StartAndShutDown(operation, n,
                             operation + " failing at call " + std::to_string(n) + " of " + std::to_string(calls));
        }
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    sweep::Counts().push_back(
        {"start-up and shutdown", static_cast<int>(clean.calls.size()), points, points + 1, seconds});
    std::printf("sweep: start-up and shutdown %zu operations %llu failure points\n", clean.calls.size(),
                static_cast<unsigned long long>(points));
}

}  // namespace
}  // namespace orbalis::testing
