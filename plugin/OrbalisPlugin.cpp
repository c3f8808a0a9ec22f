#include "plugin/OrbalisPlugin.h"

#include <cstdio>
#include <cstring>
#include <new>
#include <utility>

#include "frame/AboutBox.h"
#include "frame/AboutPlugins.h"
#include "frame/TextEngine.h"
#include "frame/UnicodeString.h"
#include "layers/LayerListFile.h"
#include "layers/NumberLayers.h"
#include "layers/ReplaceLayerTitle.h"
#include "mapgeom/FastMove.h"
#include "mapgeom/MapScaling.h"
#include "mapgeom/PolygonColoring.h"
#include "mapgeom/ResetTransform.h"
#include "mapgeom/ScaleBar.h"
#include "panels/MoveLayerPanel.h"
#include "panels/TextAlignPanel.h"

namespace orbalis {
namespace {

constexpr const char* kParentItemText = "Nodra-ORBALIS1.5";
constexpr const char* kWindowsGroup = "Nodra-Orbalis1.5 Windows";
constexpr const char* kObjectsGroup = "Nodra-Orbalis1.5 Objects";

struct ObjectItem {
    const char* text;  // empty for a separator
    HostMenuItem OrbalisPlugin::*field;
    int32_t selectedArtCondition;
    int32_t stateCondition;
};

constexpr ObjectItem kObjectItems[] = {
    {"高速移動", &OrbalisPlugin::fastMoveItem, 0, kIfOpenDocument},
    {"地図拡大縮小...", &OrbalisPlugin::mapScalingItem, 0, kIfOpenDocument},
    {"スケールバー作成...", &OrbalisPlugin::scaleBarItem, 0, kIfOpenDocument},
    {"ポリゴン色分け", &OrbalisPlugin::colourCodingItem, 0, kIfOpenDocument},
    {"", nullptr, 0, 0},
    {"レイヤー通し番号作成...", &OrbalisPlugin::numberLayersItem, 0, kIfOpenDocument},
    {"レイヤー名置換...", &OrbalisPlugin::replaceTitleItem, 0, kIfOpenDocument},
    {"レイヤー名リストをファイルに保存...", &OrbalisPlugin::saveLayerListItem, 0, kIfOpenDocument},
    {"レイヤー名をファイルから設定...", &OrbalisPlugin::loadLayerListItem, 0, kIfOpenDocument},
    {"", nullptr, 0, 0},
    {"配置画像サイズをリセット", &OrbalisPlugin::resetPlacedItem, kIfPlacedArt | kIfRasterArt, 0},
    {"テキストを水平垂直に戻す", &OrbalisPlugin::textUprightItem, kIfTextArt, 0},
    {"テキストのシアー変形除去", &OrbalisPlugin::removeShearItem, kIfTextArt, 0},
};

struct Notification {
    const char* name;
    const char* type;
    HostNotifier OrbalisPlugin::*field;
};

constexpr Notification kNotifications[] = {
    {"NdOrbalis1.5 Application Shutdown Notifier", kNotifierApplicationShutdown, &OrbalisPlugin::shutdownNotifier},
    {"NdOrbalis1.5 Selection Changed Notifier", kNotifierArtSelectionChanged, &OrbalisPlugin::selectionNotifier},
    {"NdOrbalis1.5 Document Changed Notifier", kNotifierDocumentChanged, &OrbalisPlugin::documentNotifier},
    {"NdOrbalis1.5 UIBrightness Changed Notifier", kNotifierUIBrightnessChanged, &OrbalisPlugin::brightnessNotifier},
};

// Finds a menu group by name among the first `count` groups; null when absent.
HostErr FindGroup(int32_t count, const char* name, HostMenuGroup* found) {
    *found = nullptr;
    for (int32_t i = 0; i < count; ++i) {
        HostMenuGroup group = nullptr;
        const char* groupName = nullptr;
        if (HostErr err = sMenu->GetNthMenuGroup(i, &group)) return err;
        if (HostErr err = sMenu->GetMenuGroupName(group, &groupName)) return err;
        if (groupName && std::strcmp(groupName, name) == 0) {
            *found = group;
            return 0;
        }
    }
    return 0;
}

HostErr AddItem(HostPluginRef plugin, const char* key, const char* group, const char* text, int32_t options,
                HostMenuItem* item) {
    const ai::UnicodeString itemText(text);
    const HostMenuItemData data{group, itemText.handle()};
    return sMenu->AddMenuItem(plugin, key, &data, options, item);
}

// Finds the named submenu group, or adds it under a "Nodra-ORBALIS1.5" item
// of `hostGroup`.
HostErr FindOrAddSubmenu(HostPluginRef plugin, int32_t groupCount, const char* hostGroup, const char* name,
                         HostMenuGroup* group) {
    if (HostErr err = FindGroup(groupCount, name, group)) return err;
    if (*group) return 0;
    HostMenuItem parent = nullptr;
    if (HostErr err = AddItem(plugin, kPluginName, hostGroup, kParentItemText, kMenuItemWantsUpdate, &parent))
        return err;
    return sMenu->AddMenuGroupAsSubMenu(name, 0, parent, group);
}

}  // namespace

OrbalisPlugin::OrbalisPlugin(HostPluginRef ref) : Plugin(ref) { std::snprintf(name, sizeof name, "%s", kPluginName); }

OrbalisPlugin::~OrbalisPlugin() = default;

OrbalisPlugin::Survivor OrbalisPlugin::TakeSurvivor() {
    return Survivor{std::move(static_cast<PluginRecord&>(*this)), std::move(static_cast<OrbalisRecord&>(*this))};
}

OrbalisPlugin::OrbalisPlugin(Survivor&& survivor)
    : Plugin(std::move(survivor.frame)), OrbalisRecord(std::move(survivor.own)) {}

Plugin* CreatePlugin(HostPluginRef pluginRef) { return new (std::nothrow) OrbalisPlugin(pluginRef); }

void RebindPlugin(Plugin* plugin) {
    if (!plugin) return;
    // The object was made by the library's previous code; its fields are laid
    // out as this code expects. Move them out, then build this code's object
    // in the same place from them.
    auto* survivor = static_cast<OrbalisPlugin*>(plugin);
    OrbalisPlugin::Survivor fields = survivor->TakeSurvivor();
    auto* rebound = ::new (static_cast<void*>(plugin)) OrbalisPlugin(std::move(fields));
    rebound->recreatePanels = true;
}

HostErr OrbalisPlugin::OnStartup(HostMessageData* message) {
    if (HostErr err = Plugin::OnStartup(message)) return err;
    // A failure here leaves the plug-in running with what was set up before.
    if (AddMenus(message) == 0 && CreatePanels() == 0) AddNotifiers();
    SetLocked(true);
    return 0;
}

HostErr OrbalisPlugin::CreatePanels() {
    textAlignPanel = std::make_unique<CTextAlignPanel>(pluginRef);
    if (HostErr err = textAlignPanel->Create()) return err;
    moveLayerPanel = std::make_unique<CMoveLayerPanel>(pluginRef);
    return moveLayerPanel->Create();
}

HostErr OrbalisPlugin::AddNotifiers() {
    for (const Notification& n : kNotifications)
        if (HostErr err = sNotifier->AddNotifier(pluginRef, n.name, n.type, &(this->*n.field))) return err;
    return 0;
}

HostErr OrbalisPlugin::AddMenus(HostMessageData* message) {
    try {
        int32_t groupCount = 0;
        if (HostErr err = sMenu->CountMenuGroups(&groupCount)) return err;

        HostMenuGroup windows = nullptr;
        if (HostErr err = FindOrAddSubmenu(pluginRef, groupCount, "Tool Palettes", kWindowsGroup, &windows)) return err;
        if (windows) {
            if (HostErr err =
                    AddItem(pluginRef, nullptr, kWindowsGroup, "テキスト原点", kMenuItemWantsUpdate, &textOriginItem))
                return err;
            if (HostErr err =
                    AddItem(pluginRef, nullptr, kWindowsGroup, "レイヤー間移動", kMenuItemWantsUpdate, &moveLayerItem))
                return err;
        }

        HostMenuGroup objects = nullptr;
        if (HostErr err = FindOrAddSubmenu(pluginRef, groupCount, "Object Utilities", kObjectsGroup, &objects))
            return err;
        if (objects) {
            if (HostErr err = AddObjectItems()) return err;
        }

        SDKAboutPluginsHelper about;
        return about.AddAboutItem(message, "AboutNodraName", ai::UnicodeString("Nodraについて..."),
                                  "Nodra-Orbalis1.5...", &aboutItem);
    } catch (const ai::Error& e) {
        return e.code;
    }
}

HostErr OrbalisPlugin::AddObjectItems() {
    for (const ObjectItem& entry : kObjectItems) {
        if (!entry.field) {
            HostMenuItem separator = nullptr;
            if (HostErr err = AddItem(pluginRef, nullptr, kObjectsGroup, "", kMenuItemIsSeparator, &separator))
                return err;
            continue;
        }
        HostMenuItem& item = this->*entry.field;
        if (HostErr err = AddItem(pluginRef, nullptr, kObjectsGroup, entry.text, kMenuItemWantsUpdate, &item))
            return err;
        // The host enables and disables the item by itself; a refusal only
        // leaves the item always enabled.
        sMenu->UpdateMenuItemAutomatically(item, kAutoEnableMenuItemAction, 0, 0, entry.selectedArtCondition, 0,
                                           entry.stateCondition, 0);
    }
    return 0;
}

HostErr OrbalisPlugin::OnReload(HostMessageData* message) {
    if (HostErr err = Plugin::OnReload(message)) return err;
    if (!recreatePanels) return 0;
    recreatePanels = false;
    // The panels' objects were made by the previous code, whose suites are
    // no longer held: they are removed with this code and made again by it.
    // They come back as the user left them: shown or hidden.
    const bool hadPanels = textAlignPanel || moveLayerPanel;
    bool shown[2] = {true, true};
    std::unique_ptr<CNdPanel>* panels[2] = {&textAlignPanel, &moveLayerPanel};
    for (int i = 0; i < 2; ++i) {
        if (!*panels[i]) continue;
        // Asked with this code: the object's own, earlier code holds no suites.
        shown[i] = (*panels[i])->CNdPanel::IsShown();
        (*panels[i])->ReleaseForRebind();
        panels[i]->reset();
    }
    if (!hadPanels) return 0;
    CreatePanels();
    for (int i = 0; i < 2; ++i) {
        CNdPanel* panel = panels[i]->get();
        if (!panel) continue;
        if (!shown[i]) panel->Show(false);
        // The new panels follow the document that is open now.
        panel->OnDocumentChanged();
    }
    return 0;
}

HostErr OrbalisPlugin::OnShutdown(HostMessageData* message) {
    // Panels still here (their start-up stopped before the shutdown notifier
    // was added) go while the suites that remove them are held.
    textAlignPanel.reset();
    moveLayerPanel.reset();
    return Plugin::OnShutdown(message);
}

HostErr OrbalisPlugin::Dispatch(const char* caller, const char* selector, void* message) {
    const HostErr result = CodeOrCant([&] { return Plugin::Dispatch(caller, selector, message); });
    if (result == 0 || result == kMessageNotHandled) return 0;
    ReportFailure(result, caller, selector, message);
    return result;
}

HostErr OrbalisPlugin::SetCurrentPlugin(Plugin*) { return 0; }

HostErr OrbalisPlugin::OnNotify(HostNotifierMessage* message) {
    const char* type = message->type ? message->type : "";
    if (std::strcmp(type, kNotifierUIBrightnessChanged) == 0) {
        if (textAlignPanel) textAlignPanel->OnThemeChanged();
        if (moveLayerPanel) moveLayerPanel->OnThemeChanged();
    } else if (std::strcmp(type, kNotifierDocumentChanged) == 0) {
        if (textAlignPanel) textAlignPanel->OnDocumentChanged();
        if (moveLayerPanel) moveLayerPanel->OnDocumentChanged();
    } else if (std::strcmp(type, kNotifierApplicationShutdown) == 0) {
        textAlignPanel.reset();
        moveLayerPanel.reset();
    }
    return 0;
}

HostErr OrbalisPlugin::OnMenuGo(HostMenuMessage* message) {
    const HostMenuItem item = message->menuItem;
    if (!item) return 0;
    if (item == textOriginItem) {
        if (textAlignPanel) textAlignPanel->Show(!textAlignPanel->IsShown());
        return 0;
    }
    if (item == moveLayerItem) {
        if (moveLayerPanel) moveLayerPanel->Show(!moveLayerPanel->IsShown());
        return 0;
    }
    if (item == fastMoveItem) {
        CFastMove command;
        return command.Run();
    }
    if (item == scaleBarItem) {
        CScaleBar command(pluginRef);
        return command.Run();
    }
    if (item == colourCodingItem) {
        CPolygonColoring command(pluginRef);
        return command.Run();
    }
    if (item == mapScalingItem) {
        CMapScaling command(pluginRef);
        return command.Run();
    }
    if (item == numberLayersItem) {
        CNumberLayers command(pluginRef);
        return command.Run();
    }
    if (item == replaceTitleItem) {
        CReplaceLayerTitle command(pluginRef);
        return command.Run();
    }
    if (item == saveLayerListItem) return CLayerListFile(pluginRef).SaveList();
    if (item == loadLayerListItem) return CLayerListFile(pluginRef).LoadList();
    if (item == aboutItem) return ShowAboutBox(pluginRef);
    if (item == resetPlacedItem) return CResetTransform().ResetPlacedImageSize();
    if (item == textUprightItem) return CResetTransform().RestoreTextUpright();
    if (item == removeShearItem) return CResetTransform().RemoveTextShear();
    return 0;
}

HostErr OrbalisPlugin::OnMenuUpdate(HostMenuMessage*) {
    if (textOriginItem) sMenu->CheckItem(textOriginItem, textAlignPanel && textAlignPanel->IsShown());
    if (moveLayerItem) sMenu->CheckItem(moveLayerItem, moveLayerPanel && moveLayerPanel->IsShown());
    return 0;
}

}  // namespace orbalis
