// The host's side of the Win32 stand-in: what the host, its command line and
// the tests see and steer that a plug-in cannot. Plug-ins include only
// sdk/win32/.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "sdk/win32/Windows.h"

namespace orbalis::win32 {

// ---- The message log: every message sent, in order.
struct LoggedMessage {
    HWND window;
    int controlId;  // the window's control id when it is a child, else 0
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    const char* notification;  // for WM_COMMAND from a control: "EN_KILLFOCUS", ...; else null
};
const std::vector<LoggedMessage>& MessageLog();
void ClearMessageLog();
// "WM_KILLFOCUS 1126", "WM_COMMAND 125 EN_KILLFOCUS 1126": the message's
// name, the window's control id (or its dialog's template id), and for
// WM_COMMAND the notification and the control it comes from.
std::string Describe(const LoggedMessage& message);

// ---- Live objects, for leak checks.
int LiveWindows();
int LiveGdiObjects();  // brushes, fonts, bitmaps and device contexts
int LiveIcons();       // icons not loaded as shared
int LiveImageLists();

// ---- The shell: ShellExecute calls are recorded, never carried out.
struct ShellRequest {
    std::string operation;
    std::string file;
    std::string parameters;
    std::string directory;
    int show;
};
const std::vector<ShellRequest>& ShellRequests();
void ClearShellRequests();
// Called at each request, for a command line that shows them as they come.
void OnShellRequest(std::function<void(const ShellRequest&)> observer);

// ---- Modal dialogs and the user at them.
// The resource id a dialog was made from (0 when made from a named or
// in-memory template).
int DialogTemplateId(HWND dialog);
// "open" or "save" for the common file dialogs, else empty.
std::string DialogKind(HWND dialog);
// The modal dialogs now open, innermost last.
std::vector<HWND> OpenDialogs();

// Whoever answers the modal loops: asked for one input at a time while
// `dialog` is open. Acts on the dialog (through the Win32 calls, as a person
// would) and returns true, or returns false when it has nothing for it; the
// loop then closes the dialog as if the caption's close button were pressed,
// and, if the dialog stays, ends it with -1.
class DialogUser {
public:
    virtual ~DialogUser() = default;
    virtual bool Act(HWND dialog) = 0;
};
// The user of every modal loop from now on (not owned); null leaves nobody,
// so each dialog is closed at once.
void SetDialogUser(DialogUser* user);
DialogUser* CurrentDialogUser();
// Whether the dialogs are windows on a desktop that a person can use
// (Windows), rather than a model only a script or a form reaches.
bool DialogsShownOnDesktop();

// ---- What a person does, by control id: the same moves the scripted user
// and the terminal form make. Each returns an empty string, or why the move
// is impossible (no such control, disabled, hidden).
std::string UserFocus(HWND dialog, int id);
std::string UserType(HWND dialog, int id, const std::u16string& text);
std::string UserClear(HWND dialog, int id);
std::string UserClick(HWND dialog, int id);
std::string UserSelect(HWND dialog, int id, int row);
// Moves the mouse onto a part of a tree item (TVHT_ONITEMLABEL, _ICON,
// _BUTTON, _INDENT or _RIGHT) and clicks there.
std::string UserClickTreeItem(HWND tree, HTREEITEM item, UINT part);
// Types the path into a file dialog's name field and confirms it; the reason
// when the dialog does not take it.
std::string UserChooseFile(HWND dialog, const std::u16string& path);
// Tab (or Shift+Tab when `back`): the focus moves to the next tab stop, and
// a text field there has its text selected.
void UserLeave(HWND dialog, bool back = false);
// Keystrokes at whatever has the focus, without clicking anywhere first.
std::string UserKeys(HWND dialog, const std::u16string& text);
void UserEnter(HWND dialog);
void UserEscape(HWND dialog);
void UserClose(HWND dialog);

// UTF-8 <-> UTF-16, as the stand-in's multibyte code page converts.
std::u16string Widen(const std::string& text);
std::string Narrow(const std::u16string& text);

}  // namespace orbalis::win32
