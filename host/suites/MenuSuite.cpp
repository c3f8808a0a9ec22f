#include "host/suites/OperationGate.h"
#include "host/suites/SuiteTables.h"

namespace orbalis::host {

MenuItem* MenuItemOf(HostMenuItem handle) {
    auto* item = reinterpret_cast<MenuItem*>(handle);
    return Host::Current().menus().IsItem(item) ? item : nullptr;
}

MenuGroup* MenuGroupOf(HostMenuGroup handle) {
    auto* group = reinterpret_cast<MenuGroup*>(handle);
    return Host::Current().menus().IsGroup(group) ? group : nullptr;
}

namespace {

HostErr AddMenuItem(LoadedPlugin& plugin, const char* key, const HostMenuItemData& data, int32_t options,
                    HostMenuItem* out) {
    if (!data.groupName) return kHostBadParameterErr;
    StringObject* text = StringOf(data.itemText);
    if (!text) return kHostBadParameterErr;
    MenuItem* item = nullptr;
    if (HostErr err =
            Host::Current().menus().AddItem(&plugin, key ? key : "", data.groupName, ToUtf8(*text), options, &item))
        return err;
    if (out) *out = reinterpret_cast<HostMenuItem>(item);
    return 0;
}

HostErr AddMenuGroupAsSubMenu(const char* name, int32_t options, MenuItem& parent, HostMenuGroup* out) {
    if (!name) return kHostBadParameterErr;
    MenuGroup* group = nullptr;
    if (HostErr err = Host::Current().menus().AddSubmenu(name, options, &parent, &group)) return err;
    if (out) *out = reinterpret_cast<HostMenuGroup>(group);
    return 0;
}

HostErr CountMenuGroups(int32_t& count) {
    count = static_cast<int32_t>(Host::Current().menus().groups().size());
    return 0;
}

HostErr GetNthMenuGroup(int32_t index, HostMenuGroup& out) {
    const auto& groups = Host::Current().menus().groups();
    if (index < 0 || static_cast<size_t>(index) >= groups.size()) return kHostIndexErr;
    out = reinterpret_cast<HostMenuGroup>(groups[static_cast<size_t>(index)].get());
    return 0;
}

HostErr GetMenuGroupName(MenuGroup& group, const char*& name) {
    name = group.name.c_str();
    return 0;
}

HostErr UpdateMenuItemAutomatically(MenuItem& item, int32_t action, int32_t ifArt, int32_t ifNotArt,
                                    int32_t ifSelectedArt, int32_t ifNotSelectedArt, int32_t ifState,
                                    int32_t ifNotState) {
    if (action != kAutoEnableMenuItemAction) return kHostBadParameterErr;
    item.automatic = true;
    item.ifArt = ifArt;
    item.ifNotArt = ifNotArt;
    item.ifSelectedArt = ifSelectedArt;
    item.ifNotSelectedArt = ifNotSelectedArt;
    item.ifState = ifState;
    item.ifNotState = ifNotState;
    return 0;
}

template <bool MenuItem::*flag>
HostErr SetItemFlag(MenuItem& item, HostBool value) {
    item.*flag = value != 0;
    return 0;
}

template <bool MenuItem::*flag>
HostErr GetItemFlag(MenuItem& item, HostBool& value) {
    value = item.*flag;
    return 0;
}

HostErr GetItemText(MenuItem& item, StringObject& text) {
    SetFromUtf8(text, item.text);
    return 0;
}

}  // namespace

const HostMenuSuite& MenuSuite() {
    return SuiteTable<
        HostMenuSuite, AddMenuItem, AddMenuGroupAsSubMenu, CountMenuGroups, GetNthMenuGroup, GetMenuGroupName,
        UpdateMenuItemAutomatically, Named<"CheckItem", SetItemFlag<&MenuItem::checked>>,
        Named<"IsItemChecked", GetItemFlag<&MenuItem::checked>>, Named<"EnableItem", SetItemFlag<&MenuItem::enabled>>,
        Named<"IsItemEnabled", GetItemFlag<&MenuItem::enabled>>, GetItemText>;
}

}  // namespace orbalis::host
