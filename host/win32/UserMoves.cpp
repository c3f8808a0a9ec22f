// What a person does at a dialog, by control id, through the same messages
// a mouse and keyboard would cause.
#include "host/win32/Dialogs.h"
#include "host/win32/Driver.h"
#include "host/win32/UserReach.h"

namespace orbalis::win32 {

// The model's controls take a press and release as messages at once.
void ClickAt(HWND window, POINT at) {
    const LPARAM point = MAKELPARAM(at.x, at.y);
    SendMessageW(window, WM_LBUTTONDOWN, 0, point);
    if (IsWindow(window)) SendMessageW(window, WM_LBUTTONUP, 0, point);
}

// One character message per character, so the field's filters run.
void TypeAt(HWND window, const std::u16string& text) {
    for (char16_t c : text) {
        if (!IsWindow(window)) break;
        SendMessageW(window, WM_CHAR, c, 1);
    }
}

std::string UserSelect(HWND dialog, int id, int row) {
    std::string error;
    HWND control = Reach(dialog, id, &error);
    if (!control) return error;
    if (std::string why = CheckRow(control, id, row); !why.empty()) return why;
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
