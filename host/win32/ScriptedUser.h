// The user at the dialogs, played from a script: per dialog, what the user
// types, clicks, selects and where the focus goes.
//
//   dialog 125; type 1126 10; click 1
//
// Steps are separated by ';' or new lines: `dialog ID` (the next modal
// dialog must be this one; `dialog open` / `dialog save` for the file
// dialogs), `type ID TEXT`, `clear ID`, `click ID`, `select ID ROW`, `leave`,
// `enter`, `escape`, `file PATH`. TEXT and PATH may be double-quoted, with
// backslash escapes (\" \\ \n \t), to hold blanks and ';'.
#pragma once

#include <string>
#include <vector>

#include "host/win32/Driver.h"

namespace orbalis::win32 {

struct UiStep {
    enum Kind { Dialog, Type, Clear, Click, Select, Leave, Enter, Escape, File };
    Kind kind;
    int id = 0;           // the dialog template or the control
    std::string dialog;   // "open" or "save" for the file dialogs, else empty
    std::string text;     // typed text or file path
    int row = 0;
    std::string source;   // the step as written, for messages
};

// Parses a script; false, with the reason, at the first bad step.
bool ParseUiScript(const std::string& script, std::vector<UiStep>* steps, std::string* error);

class ScriptedUser : public DialogUser {
public:
    void Add(std::vector<UiStep> steps);
    bool Act(HWND dialog) override;

    // Problems met: dialogs the script did not cover, steps that could not
    // be carried out. The dialog concerned was cancelled.
    const std::vector<std::string>& errors() const { return errors_; }
    size_t pendingSteps() const { return steps_.size() - next_; }
    // The steps not yet used, as written.
    std::vector<std::string> pending() const;

    // Carries out one step (not a `dialog` step) at the dialog; the reason
    // when a person could not.
    static std::string Perform(HWND dialog, const UiStep& step);

private:
    bool Fail(std::string message);

    std::vector<UiStep> steps_;
    size_t next_ = 0;
    std::vector<HWND> matched_;  // dialogs whose `dialog` step has been taken
    std::vector<std::string> errors_;
};

}  // namespace orbalis::win32
