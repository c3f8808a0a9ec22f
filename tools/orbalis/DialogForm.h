// The user at the dialogs on the command line: the --ui steps first; a dialog
// they do not cover is shown at a terminal as a text form, where the user
// types the same steps, and is cancelled elsewhere.
#pragma once

#include <ostream>

#include "host/win32/ScriptedUser.h"

namespace orbalis::tools {

class ConsoleDialogUser : public win32::DialogUser {
public:
    ConsoleDialogUser(win32::ScriptedUser& script, bool interactive) : script_(script), interactive_(interactive) {}
    bool Act(HWND dialog) override;

private:
    win32::ScriptedUser& script_;
    bool interactive_;
    std::vector<HWND> scripted_;  // dialogs the script took on
};

// The form of a dialog: its caption, then its controls in tab order with
// their ids, kinds, texts and states.
std::string DialogForm(HWND dialog);

// The state of the plug-in's controls in a dialog, one line each: kind,
// text, checks, list rows, enabling, visibility, the field selections and
// the focus. The same on any Win32, for comparing runs.
std::string DialogState(HWND dialog);

// Writes the state of each dialog before every turn of its user, that is
// after each step has taken effect, then lets `inner` act.
class TracingDialogUser : public win32::DialogUser {
public:
    TracingDialogUser(win32::DialogUser& inner, std::ostream& out) : inner_(inner), out_(out) {}
    bool Act(HWND dialog) override;

private:
    win32::DialogUser& inner_;
    std::ostream& out_;
};

}  // namespace orbalis::tools
