#include "host/win32/UserReach.h"

#include "host/win32/Driver.h"

namespace orbalis::win32 {
namespace {

bool EnabledUpTo(HWND control, HWND dialog) {
    for (HWND w = control; w; w = GetParent(w)) {
        if (!IsWindowEnabled(w)) return false;
        if (w == dialog) break;
    }
    return true;
}

}  // namespace

POINT Centre(HWND window) {
    RECT r{};
    GetClientRect(window, &r);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

std::u16string ClassOf(HWND window) {
    char16_t name[64] = {};
    GetClassNameW(window, WideText(name), 64);
    std::u16string text = name;
    for (char16_t& c : text)
        if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
    return text;
}

HWND FindControl(HWND dialog, int id) {
    if (HWND control = GetDlgItem(dialog, id)) return control;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (ClassOf(child) == u"#32770")
            if (HWND control = FindControl(child, id)) return control;
    return nullptr;
}

HWND Reach(HWND dialog, int id, std::string* error) {
    HWND control = FindControl(dialog, id);
    if (!control) {
        *error = "dialog " + std::to_string(DialogTemplateId(dialog)) + " has no control " + std::to_string(id);
        return nullptr;
    }
    if (!IsWindowVisible(control))
        *error = "control " + std::to_string(id) + " is hidden";
    else if (!EnabledUpTo(control, dialog))
        *error = "control " + std::to_string(id) + " is disabled";
    return error->empty() ? control : nullptr;
}

std::string CheckRow(HWND control, int id, int row) {
    if (ClassOf(control) != u"COMBOBOX") return "control " + std::to_string(id) + " is not a drop-down list";
    const auto rows = static_cast<int>(SendMessageW(control, CB_GETCOUNT, 0, 0));
    if (row < 0 || row >= rows)
        return "control " + std::to_string(id) + " has no row " + std::to_string(row) + " (it has " +
               std::to_string(rows) + ")";
    return {};
}

HWND EnterField(HWND dialog, int id, std::string* error) {
    HWND control = Reach(dialog, id, error);
    if (!control) return nullptr;
    if (!(SendMessageW(control, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL)) {
        *error = "control " + std::to_string(id) + " is not a text field";
        return nullptr;
    }
    ClickAt(control, POINT{2, 2});
    if (GetFocus() != control) {
        *error = "control " + std::to_string(id) + " did not take the focus";
        return nullptr;
    }
    SendMessageW(control, EM_SETSEL, 0, -1);
    return control;
}

// ---- The moves that are the same on both.

std::string UserFocus(HWND dialog, int id) {
    std::string error;
    HWND control = Reach(dialog, id, &error);
    if (!control) return error;
    SetFocus(control);
    return {};
}

std::string UserType(HWND dialog, int id, const std::u16string& text) {
    std::string error;
    HWND control = EnterField(dialog, id, &error);
    if (!control) return error;
    TypeAt(control, text);
    return {};
}

std::string UserClear(HWND dialog, int id) {
    std::string error;
    HWND control = EnterField(dialog, id, &error);
    if (!control) return error;
    SendMessageW(control, WM_CLEAR, 0, 0);
    return {};
}

std::string UserClick(HWND dialog, int id) {
    std::string error;
    HWND control = Reach(dialog, id, &error);
    if (!control) return error;
    // The press takes the focus (running the old field's focus-loss rules),
    // the release is the click.
    ClickAt(control, Centre(control));
    return {};
}

}  // namespace orbalis::win32
