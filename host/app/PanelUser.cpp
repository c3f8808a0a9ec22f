#include "host/app/PanelUser.h"

#include <vector>

#include "host/app/Panels.h"
#include "host/win32/UserReach.h"
#include "sdk/win32/CommCtrl.h"

namespace orbalis::host {
namespace {

using win32::ClassOf;
using win32::UiStep;

std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

// The panel's child of `className` whose button style is `buttonStyle`
// (ignored when negative), the `nth` such from 1.
HWND FindChild(HWND panel, const char16_t* className, long buttonStyle, int nth = 1) {
    for (HWND child : Children(panel)) {
        if (ClassOf(child) != className) continue;
        if (buttonStyle >= 0 && (GetWindowLongPtrW(child, GWL_STYLE) & 0x0F) != buttonStyle) continue;
        if (--nth == 0) return child;
    }
    return nullptr;
}

std::string Press(HWND control, const char* role) {
    if (!control) return std::string("the panel has no ") + role;
    if (!IsWindowVisible(control)) return std::string("the ") + role + " is hidden";
    if (!IsWindowEnabled(control)) return std::string("the ") + role + " is disabled";
    SendMessageW(control, WM_LBUTTONDOWN, 0, 0);
    if (IsWindow(control)) SendMessageW(control, WM_LBUTTONUP, 0, 0);
    return {};
}

std::u16string ItemText(HWND tree, HTREEITEM item) {
    std::u16string text(1024, u'\0');
    TVITEMW tv{};
    tv.mask = TVIF_TEXT | TVIF_HANDLE;
    tv.hItem = item;
    tv.pszText = WideText(text.data());
    tv.cchTextMax = static_cast<int>(text.size());
    SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tv));
    text.resize(std::char_traits<char16_t>::length(text.c_str()));
    return text;
}

HTREEITEM Next(HWND tree, HTREEITEM item, UINT relation) {
    return reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
}

// The item under the document's root item reached by the titles.
HTREEITEM FindItem(HWND tree, const std::vector<std::string>& path, std::string* error) {
    HTREEITEM parent = Next(tree, nullptr, TVGN_ROOT);
    if (!parent) {
        *error = "the layer tree is empty";
        return nullptr;
    }
    std::string walked;
    for (const std::string& title : path) {
        const std::u16string wanted = win32::Widen(title);
        HTREEITEM item = Next(tree, parent, TVGN_CHILD);
        while (item && ItemText(tree, item) != wanted) item = Next(tree, item, TVGN_NEXT);
        walked += (walked.empty() ? "" : "/") + title;
        if (!item) {
            *error = "the layer tree has no item " + walked;
            return nullptr;
        }
        parent = item;
    }
    return parent;
}

std::string ClickTree(HWND panel, const UiStep& step) {
    HWND tree = FindChild(panel, u"SYSTREEVIEW32", -1);
    if (!tree) return "the panel has no layer tree";
    if (!IsWindowEnabled(tree)) return "the layer tree is disabled";
    std::string error;
    HTREEITEM item = step.kind == UiStep::TreeRoot ? Next(tree, nullptr, TVGN_ROOT) : FindItem(tree, step.path, &error);
    if (!item) return error.empty() ? "the layer tree is empty" : error;
    // A person opens the parents first, by their expanders.
    if (step.kind == UiStep::Tree || step.kind == UiStep::TreeIndent)
        for (HTREEITEM up = Next(tree, item, TVGN_PARENT); up; up = Next(tree, up, TVGN_PARENT))
            SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(up));
    const UINT part = step.kind == UiStep::TreeExpander ? TVHT_ONITEMBUTTON
                      : step.kind == UiStep::TreeIndent ? TVHT_ONITEMINDENT
                                                        : TVHT_ONITEMLABEL;
    return win32::UserClickTreeItem(tree, item, part);
}

}  // namespace

std::string PerformPanelStep(Host& host, const UiStep& step, HostPanel* current) {
    if (step.kind == UiStep::Document) {
        if (!host.documents().Switch(static_cast<size_t>(step.row) - 1))
            return "there is no document " + std::to_string(step.row) + " (" +
                   std::to_string(host.documents().count()) + " open)";
        return {};
    }
    if (step.kind == UiStep::Panel) {
        const PanelEntry found = FindPanel(step.text);
        if (!found.panel) return "there is no panel \"" + step.text + "\"";
        *current = found.handle;
        return {};
    }
    PanelObject* panel = nullptr;
    for (const PanelEntry& entry : LivePanels())
        if (entry.handle == *current) panel = entry.panel;
    if (!panel) return "no panel is chosen (a `panel TITLE` step comes first)";
    HWND window = panel->window;
    if (step.kind == UiStep::Show) {
        UserShowPanel(*current);
        return {};
    }
    if (step.kind == UiStep::Hide) {
        UserClosePanel(*current);
        return {};
    }
    if (step.kind == UiStep::Resize) {
        if (!panel->resizable) return "the panel cannot be resized";
        UserResizePanel(*current, step.row, step.height);
        return {};
    }
    if (!IsWindow(window) || !IsWindowVisible(window)) return "the panel is not shown";
    switch (step.kind) {
    case UiStep::Button:
        return Press(FindChild(window, u"BUTTON", -1, step.row), ("button " + std::to_string(step.row)).c_str());
    case UiStep::Refresh: return Press(FindChild(window, u"BUTTON", BS_PUSHBUTTON), "refresh button");
    case UiStep::Check: return Press(FindChild(window, u"BUTTON", BS_AUTOCHECKBOX), "check box");
    case UiStep::Label: return Press(FindChild(window, u"STATIC", -1), "label");
    case UiStep::Tree:
    case UiStep::TreeRoot:
    case UiStep::TreeExpander:
    case UiStep::TreeIndent: return ClickTree(window, step);
    default: return "not a step at the panels";
    }
}

bool PlayPanelSteps(Host& host, win32::ScriptedUser& user) {
    HostPanel panel = nullptr;
    while (const UiStep* step = user.NextPanelStep()) {
        const UiStep taken = *step;
        user.TakePanelStep();
        const std::string error = PerformPanelStep(host, taken, &panel);
        if (!error.empty()) {
            user.AddError("\"" + taken.source + "\": " + error);
            while (user.NextPanelStep()) user.TakePanelStep();
            return false;
        }
    }
    return true;
}

}  // namespace orbalis::host
