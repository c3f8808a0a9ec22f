#include "host/suites/SuiteSupport.h"
#include "host/suites/SuiteTables.h"

namespace orbalis::host {
namespace {

MenuItem* ItemOf(HostMenuItem handle) {
    auto* item = reinterpret_cast<MenuItem*>(handle);
    return Host::Current().menus().IsItem(item) ? item : nullptr;
}

MenuGroup* GroupOf(HostMenuGroup handle) {
    auto* group = reinterpret_cast<MenuGroup*>(handle);
    return Host::Current().menus().IsGroup(group) ? group : nullptr;
}

HostErr AddMenuItem(HostPluginRef ref, const char* key, const HostMenuItemData* data,
                    int32_t options, HostMenuItem* out) {
    HOST_OPERATION("AddMenuItem");
    LoadedPlugin* plugin = LoadedPlugin::FromRef(ref);
    if (!plugin || !data || !data->groupName) return kHostBadParameterErr;
    StringObject* text = StringOf(data->itemText);
    if (!text) return kHostBadParameterErr;
    MenuItem* item = nullptr;
    if (HostErr err = Host::Current().menus().AddItem(plugin, key ? key : "", data->groupName,
                                                      ToUtf8(*text), options, &item))
        return err;
    if (out) *out = reinterpret_cast<HostMenuItem>(item);
    return 0;
}

HostErr AddMenuGroupAsSubMenu(const char* name, int32_t options, HostMenuItem parent,
                              HostMenuGroup* out) {
    HOST_OPERATION("AddMenuGroupAsSubMenu");
    MenuItem* item = ItemOf(parent);
    if (!name || !item) return kHostBadParameterErr;
    MenuGroup* group = nullptr;
    if (HostErr err = Host::Current().menus().AddSubmenu(name, options, item, &group)) return err;
    if (out) *out = reinterpret_cast<HostMenuGroup>(group);
    return 0;
}

HostErr CountMenuGroups(int32_t* count) {
    HOST_OPERATION("CountMenuGroups");
    if (!count) return kHostBadParameterErr;
    *count = static_cast<int32_t>(Host::Current().menus().groups().size());
    return 0;
}

HostErr GetNthMenuGroup(int32_t index, HostMenuGroup* out) {
    HOST_OPERATION("GetNthMenuGroup");
    const auto& groups = Host::Current().menus().groups();
    if (!out) return kHostBadParameterErr;
    if (index < 0 || static_cast<size_t>(index) >= groups.size()) return kHostIndexErr;
    *out = reinterpret_cast<HostMenuGroup>(groups[static_cast<size_t>(index)].get());
    return 0;
}

HostErr GetMenuGroupName(HostMenuGroup handle, const char** name) {
    HOST_OPERATION("GetMenuGroupName");
    MenuGroup* group = GroupOf(handle);
    if (!group || !name) return kHostBadParameterErr;
    *name = group->name.c_str();
    return 0;
}

HostErr UpdateMenuItemAutomatically(HostMenuItem handle, int32_t action, int32_t ifArt,
                                    int32_t ifNotArt, int32_t ifSelectedArt,
                                    int32_t ifNotSelectedArt, int32_t ifState, int32_t ifNotState) {
    HOST_OPERATION("UpdateMenuItemAutomatically");
    MenuItem* item = ItemOf(handle);
    if (!item || action != kAutoEnableMenuItemAction) return kHostBadParameterErr;
    item->automatic = true;
    item->ifArt = ifArt;
    item->ifNotArt = ifNotArt;
    item->ifSelectedArt = ifSelectedArt;
    item->ifNotSelectedArt = ifNotSelectedArt;
    item->ifState = ifState;
    item->ifNotState = ifNotState;
    return 0;
}

HostErr CheckItem(HostMenuItem handle, HostBool checked) {
    HOST_OPERATION("CheckItem");
    MenuItem* item = ItemOf(handle);
    if (!item) return kHostBadParameterErr;
    item->checked = checked != 0;
    return 0;
}

HostErr IsItemChecked(HostMenuItem handle, HostBool* checked) {
    HOST_OPERATION("IsItemChecked");
    MenuItem* item = ItemOf(handle);
    if (!item || !checked) return kHostBadParameterErr;
    *checked = item->checked;
    return 0;
}

HostErr EnableItem(HostMenuItem handle, HostBool enabled) {
    HOST_OPERATION("EnableItem");
    MenuItem* item = ItemOf(handle);
    if (!item) return kHostBadParameterErr;
    item->enabled = enabled != 0;
    return 0;
}

HostErr IsItemEnabled(HostMenuItem handle, HostBool* enabled) {
    HOST_OPERATION("IsItemEnabled");
    MenuItem* item = ItemOf(handle);
    if (!item || !enabled) return kHostBadParameterErr;
    *enabled = item->enabled;
    return 0;
}

HostErr GetItemText(HostMenuItem handle, HostString text) {
    HOST_OPERATION("GetItemText");
    MenuItem* item = ItemOf(handle);
    StringObject* s = StringOf(text);
    if (!item || !s) return kHostBadParameterErr;
    SetFromUtf8(*s, item->text);
    return 0;
}

}  // namespace

const HostMenuSuite& MenuSuite() {
    static const HostMenuSuite suite{AddMenuItem,     AddMenuGroupAsSubMenu,
                                     CountMenuGroups, GetNthMenuGroup,
                                     GetMenuGroupName, UpdateMenuItemAutomatically,
                                     CheckItem,       IsItemChecked,
                                     EnableItem,      IsItemEnabled,
                                     GetItemText};
    return suite;
}

}  // namespace orbalis::host
