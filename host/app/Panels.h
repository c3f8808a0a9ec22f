// The host's floating panels: what a plug-in created through the Panel
// suite, and what the host and its user do to them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/app/HostKinds.h"
#include "sdk/suites/PanelSuites.h"
#include "sdk/win32/Windows.h"

namespace orbalis::host {

class LoadedPlugin;

struct PanelObject {
    static constexpr const HandleKind& kKind = HostKind::Panel;
    ~PanelObject();

    LoadedPlugin* owner = nullptr;
    std::u16string id;
    std::u16string title;
    int16_t stateCount = 0;
    HostPanelSize minSize{};
    bool resizable = false;
    HostFlyoutMenu flyout = nullptr;
    void* userData = nullptr;
    HWND window = nullptr;
    std::vector<int32_t> icons;
    std::vector<int32_t> rolloverIcons;
    HostPanelFlyoutOpeningProc flyoutOpening = nullptr;
    HostPanelFlyoutItemProc flyoutItem = nullptr;
    HostPanelVisibilityProc visibilityChanged = nullptr;
    HostPanelSizeProc sizeChanged = nullptr;
    HostPanelStateProc stateChanged = nullptr;
    HostPanelClosedProc closed = nullptr;
    bool laidOut = false;  // told its size once since it was made
    uint64_t made = 0;     // when it was made, counted in panels made
};

struct FlyoutMenuObject {
    static constexpr const HandleKind& kKind = HostKind::FlyoutMenu;
};

// The live panels of the current host, oldest first, with their handles.
struct PanelEntry {
    HostPanel handle;
    PanelObject* panel;
};
std::vector<PanelEntry> LivePanels();
// The live panel with this title (UTF-8); null when there is none.
PanelEntry FindPanel(const std::string& title);

// What the user does to a panel through the host's own frame: the close
// button hides it and tells the owner (visibility, then closed); showing it
// from the host's window list tells the visibility; a resize sets the
// window's size, no smaller than the minimum, and tells the size change.
// The callbacks run only while the owner's library is loaded and started.
void UserClosePanel(HostPanel panel);
// The host lays out the panels a plug-in made while starting or reloading:
// each one not yet laid out is told its size, as a resize would.
void LayOutNewPanels();
void UserShowPanel(HostPanel panel);
void UserResizePanel(HostPanel panel, double width, double height);

}  // namespace orbalis::host
