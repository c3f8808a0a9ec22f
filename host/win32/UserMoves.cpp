// What a person does at a dialog, by control id, through the same messages
// a mouse and keyboard would cause.
#include "host/win32/Dialogs.h"
#include "host/win32/Driver.h"

namespace orbalis::win32 {
namespace {

// The control with that id in the dialog, or in a child dialog inside it.
HWND FindControl(HWND dialog, int id) {
    if (HWND control = GetDlgItem(dialog, id)) return control;
    Window* w = FindWindowObject(dialog);
    if (!w) return nullptr;
    for (HWND child : w->children)
        if (Window* c = FindWindowObject(child); c && c->dialog)
            if (HWND control = FindControl(child, id)) return control;
    return nullptr;
}

// The control a move is aimed at, or why a person could not reach it.
HWND Reach(HWND dialog, int id, std::string* error) {
    HWND control = FindControl(dialog, id);
    if (!control) {
        *error = "dialog " + std::to_string(DialogTemplateId(dialog)) + " has no control " + std::to_string(id);
        return nullptr;
    }
    if (!EffectivelyVisible(control)) *error = "control " + std::to_string(id) + " is hidden";
    else if (!EffectivelyEnabled(control)) *error = "control " + std::to_string(id) + " is disabled";
    return error->empty() ? control : nullptr;
}

bool IsClass(HWND window, const char16_t* name) {
    Window* w = FindWindowObject(window);
    return w && SameNameIgnoringCase(w->windowClass->name, name);
}

}  // namespace

std::string UserFocus(HWND dialog, int id) {
    std::string error;
    HWND control = Reach(dialog, id, &error);
    if (!control) return error;
    SetFocus(control);
    return {};
}

// Clicks into a text field and selects what it holds; null, with the reason,
// when the field cannot be reached or does not take the focus.
static HWND EnterField(HWND dialog, int id, std::string* error) {
    HWND control = Reach(dialog, id, error);
    if (!control) return nullptr;
    if (!(SendMessageW(control, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL)) {
        *error = "control " + std::to_string(id) + " is not a text field";
        return nullptr;
    }
    SendMessageW(control, WM_LBUTTONDOWN, 0, 0);
    SendMessageW(control, WM_LBUTTONUP, 0, 0);
    if (GetFocus() != control) {
        *error = "control " + std::to_string(id) + " did not take the focus";
        return nullptr;
    }
    SendMessageW(control, EM_SETSEL, 0, -1);
    return control;
}

std::string UserType(HWND dialog, int id, const std::u16string& text) {
    std::string error;
    HWND control = EnterField(dialog, id, &error);
    if (!control) return error;
    // One character message per character, so the field's filters run.
    for (char16_t c : text) {
        if (!IsWindow(control)) break;
        SendMessageW(control, WM_CHAR, c, 1);
    }
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
    SendMessageW(control, WM_LBUTTONDOWN, 0, 0);
    if (IsWindow(control)) SendMessageW(control, WM_LBUTTONUP, 0, 0);
    return {};
}

std::string UserSelect(HWND dialog, int id, int row) {
    std::string error;
    HWND control = Reach(dialog, id, &error);
    if (!control) return error;
    if (!IsClass(control, u"COMBOBOX")) return "control " + std::to_string(id) + " is not a drop-down list";
    const auto rows = static_cast<int>(SendMessageW(control, CB_GETCOUNT, 0, 0));
    if (row < 0 || row >= rows)
        return "control " + std::to_string(id) + " has no row " + std::to_string(row) + " (it has " +
               std::to_string(rows) + ")";
    SendMessageW(control, WM_LBUTTONDOWN, 0, 0);
    if (!IsWindow(control)) return {};
    NotifyParent(control, CBN_DROPDOWN);
    const bool changed = SendMessageW(control, CB_GETCURSEL, 0, 0) != row;
    SendMessageW(control, CB_SETCURSEL, static_cast<WPARAM>(row), 0);
    if (changed) NotifyParent(control, CBN_SELCHANGE);
    NotifyParent(control, CBN_CLOSEUP);
    NotifyParent(control, CBN_SELENDOK);
    return {};
}

void UserLeave(HWND dialog, bool back) {
    HWND next = GetNextDlgTabItem(dialog, GetFocus(), back ? TRUE : FALSE);
    if (next) SetDialogFocus(next);
}

std::string UserKeys(HWND dialog, const std::u16string& text) {
    HWND focus = GetFocus();
    if (!focus || DialogOf(focus) != dialog || focus == dialog) return "nothing in the dialog has the focus";
    for (char16_t c : text) {
        if (!IsWindow(focus)) break;
        SendMessageW(focus, WM_CHAR, c, 1);
    }
    return {};
}

void UserEnter(HWND dialog) {
    // A default push button with the focus is pressed itself; otherwise the
    // dialog's default button's command. The focus stays where it is.
    HWND focus = GetFocus();
    if (focus && GetParent(focus) == dialog && (SendMessageW(focus, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON)) {
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(focus), BN_CLICKED), reinterpret_cast<LPARAM>(focus));
        return;
    }
    const auto answer = static_cast<DWORD>(SendMessageW(dialog, DM_GETDEFID, 0, 0));
    const int id = HIWORD(answer) == DC_HASDEFID ? LOWORD(answer) : IDOK;
    HWND button = GetDlgItem(dialog, id);
    if (button && !EffectivelyEnabled(button)) return;
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

void UserEscape(HWND dialog) {
    HWND button = GetDlgItem(dialog, IDCANCEL);
    if (button && !EffectivelyEnabled(button)) return;
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

void UserClose(HWND dialog) { SendMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }

}  // namespace orbalis::win32
