// The host's menus: the standard menu groups, and the items and submenus
// that plug-ins add to them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "sdk/HostErrors.h"

namespace orbalis::host {

class Document;
class LoadedPlugin;
struct MenuGroup;

struct MenuItem {
    LoadedPlugin* owner = nullptr;
    std::string key;
    std::string text;  // UTF-8
    MenuGroup* group = nullptr;
    int32_t options = 0;
    bool checked = false;
    bool enabled = true;
    MenuGroup* submenu = nullptr;
    // Automatic enabling, when requested.
    bool automatic = false;
    int32_t ifArt = 0, ifNotArt = 0, ifSelectedArt = 0, ifNotSelectedArt = 0;
    int32_t ifState = 0, ifNotState = 0;

    bool isSeparator() const;
};

struct MenuGroup {
    std::string name;
    int32_t options = 0;
    std::string menu;                // the menu bar entry of a host group ("Object", ...)
    MenuItem* parentItem = nullptr;  // set for a submenu
    std::vector<MenuItem*> items;
};

class MenuBar {
public:
    MenuBar();
    ~MenuBar();

    const std::vector<std::unique_ptr<MenuGroup>>& groups() const { return groups_; }
    MenuGroup* FindGroup(const std::string& name) const;
    bool IsItem(const MenuItem* item) const;
    bool IsGroup(const MenuGroup* group) const;

    // Adds an item at the end of the named group.
    HostErr AddItem(LoadedPlugin* owner, const std::string& key, const std::string& group, const std::string& text,
                    int32_t options, MenuItem** item);
    // Makes a new group that `parent` opens as a submenu.
    HostErr AddSubmenu(const std::string& name, int32_t options, MenuItem* parent, MenuGroup** group);

    // Applies the automatic enabling conditions to the document's state.
    void UpdateEnabling(const Document* document);

    // The items whose text is `text` (the submenu path "A/B" narrows it down).
    std::vector<MenuItem*> FindItems(const std::string& text) const;
    // The path of an item as a user finds it: menu, then each submenu item.
    std::string PathOf(const MenuItem* item) const;

    // The menus as a user sees them: every menu bar entry with the groups
    // that hold items, submenus indented, check marks and disabled state shown.
    std::string Render() const;

private:
    std::vector<std::unique_ptr<MenuGroup>> groups_;
    std::vector<std::unique_ptr<MenuItem>> items_;
};

}  // namespace orbalis::host
