#include "tests/panels/PanelTestSupport.h"

#include "sdk/win32/CommCtrl.h"

namespace orbalis::testing {
namespace {

HTREEITEM Next(HWND tree, HTREEITEM item, UINT relation) {
    return reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
}

void Describe(HWND tree, HTREEITEM item, int depth, std::string* out) {
    for (; item; item = Next(tree, item, TVGN_NEXT)) {
        std::u16string text(2048, u'\0');
        TVITEMW tv{};
        tv.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_HANDLE;
        tv.hItem = item;
        tv.pszText = text.data();
        tv.cchTextMax = static_cast<int>(text.size());
        SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tv));
        text.resize(std::char_traits<char16_t>::length(text.c_str()));
        *out += std::string(static_cast<size_t>(depth) * 2, ' ') + win32::Narrow(text) + " [" +
                std::to_string(tv.iImage) + "]\n";
        Describe(tree, Next(tree, item, TVGN_CHILD), depth + 1, out);
    }
}

}  // namespace

host::PanelEntry PanelTest::Panel(const std::string& title) {
    host::PanelEntry entry = host::FindPanel(title);
    EXPECT_NE(entry.panel, nullptr) << title;
    return entry;
}

std::string PanelTest::Play(const std::string& script) {
    win32::ScriptedUser user;
    std::vector<win32::UiStep> steps;
    std::string error;
    if (!win32::ParseUiScript(script, &steps, &error)) return "bad script: " + error;
    user.Add(std::move(steps));
    host::PlayPanelSteps(*host, user);
    std::string errors;
    for (const std::string& e : user.errors()) errors += (errors.empty() ? "" : "; ") + e;
    return errors;
}

HWND PanelTest::Child(const std::string& panelTitle, const char16_t* className, int nth) {
    host::PanelEntry entry = host::FindPanel(panelTitle);
    if (!entry.panel) return nullptr;
    for (HWND child = GetWindow(entry.panel->window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char16_t name[64] = {};
        GetClassNameW(child, name, 64);
        if (std::u16string(name) == className && --nth == 0) return child;
    }
    return nullptr;
}

std::string PanelTest::TreeText(const std::string& panelTitle) {
    HWND tree = Child(panelTitle, u"SysTreeView32");
    if (!tree) return "(no tree)";
    std::string out = IsWindowEnabled(tree) ? "" : "-";
    Describe(tree, Next(tree, nullptr, TVGN_ROOT), 0, &out);
    return out;
}

}  // namespace orbalis::testing
