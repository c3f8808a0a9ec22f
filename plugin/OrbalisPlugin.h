// The plug-in: its menus, notifiers and the routing of menu choices to the
// commands.
#pragma once

#include <memory>

#include "frame/Plugin.h"
#include "panels/NdPanel.h"

namespace orbalis {

inline constexpr const char* kPluginName = "Nodra-Orbalis1.5";

// The plug-in's own fields: its menu items, notifiers and panels, all of
// which survive an unload and reload of the library. A field added here moves
// with the rest; nothing lists them one by one.
struct OrbalisRecord {
    HostMenuItem textOriginItem = nullptr;
    HostMenuItem moveLayerItem = nullptr;
    HostMenuItem fastMoveItem = nullptr;
    HostMenuItem mapScalingItem = nullptr;
    HostMenuItem scaleBarItem = nullptr;
    HostMenuItem numberLayersItem = nullptr;
    HostMenuItem replaceTitleItem = nullptr;
    HostMenuItem saveLayerListItem = nullptr;
    HostMenuItem colourCodingItem = nullptr;
    HostMenuItem loadLayerListItem = nullptr;
    HostMenuItem resetPlacedItem = nullptr;
    HostMenuItem textUprightItem = nullptr;
    HostMenuItem removeShearItem = nullptr;
    HostMenuItem aboutItem = nullptr;
    HostNotifier shutdownNotifier = nullptr;
    HostNotifier selectionNotifier = nullptr;
    HostNotifier documentNotifier = nullptr;
    HostNotifier brightnessNotifier = nullptr;
    std::unique_ptr<CNdPanel> textAlignPanel;
    std::unique_ptr<CNdPanel> moveLayerPanel;
};

class OrbalisPlugin : public Plugin, public OrbalisRecord {
public:
    explicit OrbalisPlugin(HostPluginRef pluginRef);
    ~OrbalisPlugin() override;

    HostErr OnStartup(HostMessageData* message) override;
    HostErr OnShutdown(HostMessageData* message) override;
    HostErr OnReload(HostMessageData* message) override;
    HostErr Dispatch(const char* caller, const char* selector, void* message) override;
    HostErr SetCurrentPlugin(Plugin* plugin) override;
    HostErr OnNotify(HostNotifierMessage* message) override;
    HostErr OnMenuGo(HostMenuMessage* message) override;
    HostErr OnMenuUpdate(HostMenuMessage* message) override;

    HostErr AddMenus(HostMessageData* message);

    // Set on the object rebound to a newly mapped library, until its panels
    // are made again by that library's code.
    bool recreatePanels = false;

private:
    friend void RebindPlugin(Plugin* plugin);
    // Everything that survives a reload, taken out of the object whole.
    struct Survivor {
        PluginRecord frame;
        OrbalisRecord own;
    };
    Survivor TakeSurvivor();
    explicit OrbalisPlugin(Survivor&& survivor);

    HostErr AddObjectItems();
    HostErr AddNotifiers();
    HostErr CreatePanels();
};

}  // namespace orbalis
