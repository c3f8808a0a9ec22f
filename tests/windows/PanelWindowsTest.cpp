// The host's panel windows on Windows, run under Wine (or Windows): the
// system draws a caption and a frame around a panel, and the part inside
// them, where the plug-in lays out its controls, has the panel's size.
#include <gtest/gtest.h>

#include "host/app/Host.h"
#include "host/app/Panels.h"
#include "host/suites/SuiteTables.h"
#include "host/windows/SystemCalls.h"

namespace orbalis::host {
namespace {

TEST(PanelWindows, ThePartInsideTheFrameHasThePanelsSizeBeforeAndAfterAResize) {
    Host host;
    std::string error;
    ASSERT_NE(host.loader().Load(ORBALIS_PLUGIN_DEFAULT_PATH, &error), nullptr) << error;
    ASSERT_EQ(host.StartPlugins(), 0);
    const std::vector<PanelEntry> panels = LivePanels();
    ASSERT_EQ(panels.size(), 2u) << "the text origin panel and the move panel";
    for (const PanelEntry& entry : panels) {
        RECT inner{}, outer{};
        ASSERT_TRUE(GetClientRect(entry.panel->window, &inner));
        ASSERT_TRUE(GetWindowRect(entry.panel->window, &outer));
        EXPECT_EQ(inner.right - inner.left, static_cast<LONG>(entry.panel->minSize.width));
        EXPECT_EQ(inner.bottom - inner.top, static_cast<LONG>(entry.panel->minSize.height));
        EXPECT_GT(outer.bottom - outer.top, inner.bottom - inner.top) << "the caption is outside";
        HostPanelSize told{};
        ASSERT_EQ(PanelSuite().GetSize(entry.handle, &told), 0);
        EXPECT_EQ(told.width, entry.panel->minSize.width);
        EXPECT_EQ(told.height, entry.panel->minSize.height);
        if (!entry.panel->resizable) continue;
        UserResizePanel(entry.handle, told.width + 40, told.height + 30);
        ASSERT_EQ(PanelSuite().GetSize(entry.handle, &told), 0);
        EXPECT_EQ(told.width, entry.panel->minSize.width + 40);
        EXPECT_EQ(told.height, entry.panel->minSize.height + 30);
    }
}

}  // namespace
}  // namespace orbalis::host
