// The user at the dialogs on the command line: the --ui steps first; a dialog
// they do not cover is shown at a terminal as a text form, where the user
// types the same steps, and is cancelled elsewhere.
#pragma once

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

}  // namespace orbalis::tools
