// What a person does at a dialog, on the system's own windows. The mouse
// is sent to the control it lands on, with the point it lands at; keys are
// posted to the window with the focus, so that the dialog's loop hands Tab,
// Enter and Escape to the dialog manager and typed characters arrive as
// WM_CHAR, as a keyboard's do.
#include <cstring>
#include <string>

#include "host/win32/Driver.h"
#include "host/win32/UserReach.h"
#include "host/windows/SystemCalls.h"

namespace orbalis::win32 {
namespace {

LPARAM Point(int x, int y) { return MAKELPARAM(x, y); }

// The mouse moves to a point of the window: the cursor goes there, as a
// program that asks where the click was (GetCursorPos) finds it.
void MoveMouseTo(HWND window, LPARAM point) {
    POINT screen{static_cast<SHORT>(LOWORD(point)), static_cast<SHORT>(HIWORD(point))};
    ClientToScreen(window, &screen);
    SetCursorPos(screen.x, screen.y);
    SendMessageW(window, WM_MOUSEMOVE, 0, point);
}

// The same, waiting until the display itself has the pointer there. Under
// Wine a move is refused now and then while another window holds the
// pointer, and the cursor the program is told of is the display's again a
// moment later (a tenth of a second), so the move is checked after that.
void MoveMouseAndWait(HWND window, LPARAM point) {
    POINT screen{static_cast<SHORT>(LOWORD(point)), static_cast<SHORT>(HIWORD(point))};
    ClientToScreen(window, &screen);
    for (int attempt = 0; attempt < 20; ++attempt) {
        SetCursorPos(screen.x, screen.y);
        Sleep(120);
        POINT now{};
        if (GetCursorPos(&now) && now.x == screen.x && now.y == screen.y) break;
    }
    SendMessageW(window, WM_MOUSEMOVE, 0, point);
}

}  // namespace

// A press and release of the left button at a point of the window.
void ClickAt(HWND window, POINT at) {
    const LPARAM point = Point(at.x, at.y);
    MoveMouseTo(window, point);
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, point);
    if (IsWindow(window)) SendMessageW(window, WM_LBUTTONUP, 0, point);
}

namespace {

// A key pressed and released at the window with the focus.
void PressKey(HWND dialog, WPARAM key) {
    HWND target = GetFocus();
    if (!target) target = dialog;
    PostMessageW(target, WM_KEYDOWN, key, 1);
    PostMessageW(target, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
}

}  // namespace

void TypeAt(HWND window, const std::u16string& text) {
    for (char16_t c : text) PostMessageW(window, WM_CHAR, c, 1);
}

std::string UserSelect(HWND dialog, int id, int row) {
    std::string error;
    HWND control = Reach(dialog, id, &error);
    if (!control) return error;
    if (std::string why = CheckRow(control, id, row); !why.empty()) return why;
    // A click opens the list; a click on the row chooses it and closes it.
    ClickAt(control, Centre(control));
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    SendMessageW(control, CB_GETCOMBOBOXINFO, 0, reinterpret_cast<LPARAM>(&info));
    if (!info.hwndList || !SendMessageW(control, CB_GETDROPPEDSTATE, 0, 0)) return "the list did not open";
    RECT item{};
    SendMessageW(info.hwndList, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    ClickAt(info.hwndList, POINT{(item.left + item.right) / 2, (item.top + item.bottom) / 2});
    return {};
}

std::string UserClickTreeItem(HWND tree, HTREEITEM item, UINT part) {
    // The rectangle carries the item in, as the message defines.
    RECT r{};
    static_assert(sizeof r >= sizeof item);
    std::memcpy(&r, &item, sizeof item);
    if (!SendMessageW(tree, TVM_GETITEMRECT, FALSE, reinterpret_cast<LPARAM>(&r))) return "the item is not shown";
    // The first point of the row that the tree itself says is on that part.
    const int y = (r.top + r.bottom) / 2;
    for (int x = r.left; x < r.right; ++x) {
        TVHITTESTINFO hit{};
        hit.pt.x = x;
        hit.pt.y = y;
        SendMessageW(tree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
        if (hit.hItem != item || !(hit.flags & part)) continue;
        // The panel asks the cursor where the click was: it must be there.
        // The tree follows the button itself until it is released.
        MoveMouseAndWait(tree, Point(x, y));
        PostMessageW(tree, WM_LBUTTONUP, 0, Point(x, y));
        SendMessageW(tree, WM_LBUTTONDOWN, MK_LBUTTON, Point(x, y));
        return {};
    }
    return "the item has no such part";
}

std::string UserChooseFile(HWND dialog, const std::u16string& path) {
    // The file name field: a drop-down with an edit (cmb13) or an edit (edt1).
    HWND field = GetDlgItem(dialog, 0x47C);
    if (!field || !IsWindowVisible(field)) field = GetDlgItem(dialog, 0x480);
    if (!field) return "the dialog has no file name field";
    // Typed as a person on Windows types a path: with backslashes (Wine's
    // file dialog refuses slashes as invalid characters).
    std::u16string typed = path;
    for (char16_t& c : typed)
        if (c == u'/') c = u'\\';
    SetWindowTextW(field, typed.c_str());
    HWND ok = GetDlgItem(dialog, IDOK);
    if (!ok) return "the dialog has no OK button";
    // Pressed through the dialog's own loop: the dialog checks the name and
    // may ask about it before it closes; if it stays, its user's next turn
    // finds it still open.
    const POINT middle = Centre(ok);
    const LPARAM centre = Point(middle.x, middle.y);
    PostMessageW(ok, WM_LBUTTONDOWN, MK_LBUTTON, centre);
    PostMessageW(ok, WM_LBUTTONUP, 0, centre);
    return {};
}

void UserLeave(HWND dialog, bool back) {
    // Shift+Tab cannot be posted (the dialog manager reads the Shift key's
    // state, which posted keys do not set): the dialog manager's own request
    // for the previous control does the same.
    if (back)
        PostMessageW(dialog, WM_NEXTDLGCTL, 1, FALSE);
    else
        PressKey(dialog, VK_TAB);
}

std::string UserKeys(HWND dialog, const std::u16string& text) {
    HWND focus = GetFocus();
    bool inside = false;
    for (HWND w = focus; w && !inside; w = GetParent(w)) inside = GetParent(w) == dialog || w == dialog;
    if (!focus || focus == dialog || !inside) return "nothing in the dialog has the focus";
    for (char16_t c : text) PostMessageW(focus, WM_CHAR, c, 1);
    return {};
}
void UserEnter(HWND dialog) { PressKey(dialog, VK_RETURN); }
void UserEscape(HWND dialog) { PressKey(dialog, VK_ESCAPE); }
void UserClose(HWND dialog) { SendMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }

// ---- What the model records and Windows does not show.

const std::vector<LoggedMessage>& MessageLog() {
    static const std::vector<LoggedMessage> none;
    return none;
}
void ClearMessageLog() {}
std::string Describe(const LoggedMessage& message) { return std::to_string(message.message); }
int LiveWindows() { return 0; }
int LiveGdiObjects() { return 0; }
int LiveIcons() { return 0; }
int LiveImageLists() { return 0; }

std::u16string Widen(const std::string& text) {
    if (text.empty()) return {};
    const int units =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), static_cast<char16_t*>(nullptr), 0);
    std::u16string wide(static_cast<size_t>(units), u'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), units);
    return wide;
}

std::string Narrow(const std::u16string& text) {
    if (text.empty()) return {};
    const int bytes =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), narrow.data(), bytes, nullptr, nullptr);
    return narrow;
}

}  // namespace orbalis::win32
