#include "host/app/Menus.h"

#include <algorithm>

#include "host/model/Document.h"
#include "sdk/suites/MenuSuite.h"

namespace orbalis::host {
namespace {

// The menu bar and the host's own groups in it, in order.
struct StandardGroup {
    const char* menu;
    const char* group;
};

constexpr StandardGroup kStandardGroups[] = {
    {"File", "Open Document"},
    {"File", "Save Document"},
    {"File", "Document Utilities"},
    {"Edit", "Edit Text"},
    {"Edit", "Preferences"},
    {"Object", "Object Attributes"},
    {"Object", "Arrange"},
    {"Object", "Object Utilities"},
    {"Type", "Type Attributes"},
    {"Select", "Select"},
    {"Effect", "Effects"},
    {"View", "View Utilities"},
    {"Window", "Window Utilities"},
    {"Window", "Tool Palettes"},
    {"Help", "Help"},
    {"Help", "About"},
};

bool SelectionHolds(const Document& document, int32_t condition) {
    std::vector<Art*> selected;
    document.collectSelected(selected);
    for (const Art* art : selected) {
        if (art->attributes() & kHostArtSelected || !art->isContainer()) {
            const int32_t type = art->type();
            if ((condition & kIfPlacedArt) && type == kHostPlacedArt) return true;
            if ((condition & kIfRasterArt) && type == kHostRasterArt) return true;
            if ((condition & kIfTextArt) && (type == kHostTextFrameArt || type == kHostLegacyTextArt)) return true;
        }
    }
    return false;
}

int32_t StateOf(const Document* document) { return document ? kIfOpenDocument : 0; }

}  // namespace

bool MenuItem::isSeparator() const { return (options & kMenuItemIsSeparator) != 0; }

MenuBar::MenuBar() {
    for (const auto& s : kStandardGroups) {
        auto group = std::make_unique<MenuGroup>();
        group->name = s.group;
        group->menu = s.menu;
        groups_.push_back(std::move(group));
    }
}

MenuBar::~MenuBar() = default;

MenuGroup* MenuBar::FindGroup(const std::string& name) const {
    for (const auto& g : groups_)
        if (g->name == name) return g.get();
    return nullptr;
}

bool MenuBar::IsItem(const MenuItem* item) const {
    return std::any_of(items_.begin(), items_.end(), [&](const auto& i) { return i.get() == item; });
}

bool MenuBar::IsGroup(const MenuGroup* group) const {
    return std::any_of(groups_.begin(), groups_.end(), [&](const auto& g) { return g.get() == group; });
}

HostErr MenuBar::AddItem(LoadedPlugin* owner, const std::string& key, const std::string& groupName,
                         const std::string& text, int32_t options, MenuItem** out) {
    MenuGroup* group = FindGroup(groupName);
    if (!group) return kHostNotFoundErr;
    auto item = std::make_unique<MenuItem>();
    item->owner = owner;
    item->key = key;
    item->text = text;
    item->group = group;
    item->options = options;
    group->items.push_back(item.get());
    if (out) *out = item.get();
    items_.push_back(std::move(item));
    return 0;
}

HostErr MenuBar::AddSubmenu(const std::string& name, int32_t options, MenuItem* parent, MenuGroup** out) {
    if (name.empty() || !IsItem(parent) || parent->submenu) return kHostBadParameterErr;
    if (FindGroup(name)) return kHostBadParameterErr;
    auto group = std::make_unique<MenuGroup>();
    group->name = name;
    group->options = options;
    group->parentItem = parent;
    parent->submenu = group.get();
    if (out) *out = group.get();
    groups_.push_back(std::move(group));
    return 0;
}

void MenuBar::UpdateEnabling(const Document* document) {
    const int32_t state = StateOf(document);
    for (const auto& item : items_) {
        if (!item->automatic) continue;
        bool on = true;
        if (item->ifState) on = on && (state & item->ifState) == item->ifState;
        if (item->ifNotState) on = on && (state & item->ifNotState) == 0;
        if (item->ifSelectedArt) on = on && document && SelectionHolds(*document, item->ifSelectedArt);
        if (item->ifNotSelectedArt) on = on && !(document && SelectionHolds(*document, item->ifNotSelectedArt));
        item->enabled = on;
    }
}

std::vector<MenuItem*> MenuBar::FindItems(const std::string& text) const {
    std::vector<MenuItem*> out;
    for (const auto& item : items_) {
        if (item->isSeparator()) continue;
        const std::string path = PathOf(item.get());
        if (item->text == text ||
            (path.size() > text.size() && path.compare(path.size() - text.size(), text.size(), text) == 0 &&
             path[path.size() - text.size() - 1] == '/'))
            out.push_back(item.get());
    }
    return out;
}

std::string MenuBar::PathOf(const MenuItem* item) const {
    std::string path = item->text;
    for (const MenuGroup* g = item->group; g; g = g->parentItem ? g->parentItem->group : nullptr) {
        if (g->parentItem)
            path = g->parentItem->text + "/" + path;
        else
            path = g->menu + "/" + path;
    }
    return path;
}

std::string MenuBar::Render() const {
    std::string out;
    auto renderGroup = [&](auto& self, const MenuGroup& group, int depth) -> void {
        std::vector<const MenuItem*> items(group.items.begin(), group.items.end());
        if (group.options & kMenuGroupSorted)
            std::stable_sort(items.begin(), items.end(),
                             [](const MenuItem* a, const MenuItem* b) { return a->text < b->text; });
        for (const MenuItem* item : items) {
            const std::string indent(size_t(depth) * 2, ' ');
            if (item->isSeparator()) {
                out += indent + "  ────────\n";
                continue;
            }
            out += indent + (item->checked ? "✓ " : "  ") + item->text;
            if (item->submenu) out += "  ▸";
            if (!item->enabled) out += "  (disabled)";
            out += "\n";
            if (item->submenu) self(self, *item->submenu, depth + 1);
        }
    };
    std::string currentMenu;
    for (const auto& group : groups_) {
        if (group->parentItem || group->items.empty()) continue;
        if (group->menu != currentMenu) {
            currentMenu = group->menu;
            out += currentMenu + "\n";
        }
        out += "  [" + group->name + "]\n";
        renderGroup(renderGroup, *group, 2);
    }
    return out;
}

}  // namespace orbalis::host
