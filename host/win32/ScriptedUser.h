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
//
// Steps at the panels, outside dialogs, name controls by role: `panel TITLE`
// (the panel the next steps act on), `button N` (the N-th icon button, from
// 1), `refresh`, `check`, `label`, `tree TITLE/TITLE` (a click on a layer's
// label; `\/` is a slash inside a title), `tree-root`, `tree-expander PATH`,
// `tree-indent PATH`, `resize W H`, `show`, `hide` (the panel's close
// button), and `document N` (switch to the N-th open document, from 1).
#pragma once

#include <string>
#include <vector>

#include "host/win32/Driver.h"

namespace orbalis::win32 {

struct UiStep {
    enum Kind {
        Dialog,
        Type,
        Keys,
        Clear,
        Click,
        Select,
        Leave,
        Back,
        Enter,
        Escape,
        File,
        // At the panels, outside any dialog (played by the host).
        Panel,
        Button,
        Refresh,
        Check,
        Label,
        Tree,
        TreeRoot,
        TreeExpander,
        TreeIndent,
        Resize,
        Show,
        Hide,
        Document
    };
    bool atPanel() const { return kind >= Panel; }
    Kind kind;
    int id = 0;                     // the dialog template or the control
    std::string dialog;             // "open" or "save" for the file dialogs, else empty
    std::string text;               // typed text or file path
    int row = 0;                    // also a button's position, a document's number, a width
    int height = 0;                 // of a resize
    std::vector<std::string> path;  // titles of a tree item, from the top layer down
    std::string source;             // the step as written, for messages
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
    // The next step, when it is a step at the panels; it is used up by
    // TakePanelStep.
    const UiStep* NextPanelStep() const;
    void TakePanelStep() { ++next_; }
    void AddError(std::string message) { errors_.push_back(std::move(message)); }

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
