// Reaching the plug-in's panels from tests: the host's panel objects, the
// scripted user's panel steps and the tree's items.
#pragma once

#include <string>
#include <vector>

#include "host/app/PanelUser.h"
#include "host/app/Panels.h"
#include "tests/support/PluginHarness.h"

namespace orbalis::testing {

class PanelTest : public PluginTest {
protected:
    host::PanelEntry Panel(const std::string& title);
    // Plays the panel steps; the user's errors, joined.
    std::string Play(const std::string& script);
    // The tree's items, one per line, indented by depth; a "-" before an
    // item's text while the tree is disabled.
    std::string TreeText(const std::string& panelTitle);
    HWND Child(const std::string& panelTitle, const char16_t* className, int nth = 1);
};

}  // namespace orbalis::testing
