// What a dialog window keeps, for the parts of the library that reach into
// dialogs.
#pragma once

#include "host/win32/DialogTemplate.h"
#include "host/win32/Windows.h"

namespace orbalis::win32 {

struct DialogState {
    DLGPROC proc = nullptr;
    LONG_PTR msgResult = 0;
    LONG_PTR user = 0;
    int templateId = 0;
    int defaultId = IDOK;
    BaseUnits units{6, 13};
    std::string fileKind;  // "open" or "save" for the file dialogs
    bool modal = false;
    bool ended = false;
    INT_PTR result = 0;
};

// The dialog's DWLP_ values.
bool GetDialogLong(const Window& dialog, int index, LONG_PTR* value);
bool SetDialogLong(Window& dialog, int index, LONG_PTR value, LONG_PTR* previous);

// The window procedure of the dialog class.
LRESULT CALLBACK DialogClassProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Makes a dialog (hidden) from a parsed template and sends it WM_INITDIALOG.
HWND CreateDialogFromTemplate(HINSTANCE instance, const DialogTemplate& t, int templateId, HWND parent, DLGPROC proc,
                              LPARAM param);

// Moves the focus as the dialog manager does (first tab stop, Tab, Shift+Tab):
// a text field that takes it has all its text selected, so that typing
// replaces it. A click or SetFocus alone leaves the selection as it was.
void SetDialogFocus(HWND control);

// The dialog a control belongs to (the window itself for a dialog).
HWND DialogOf(HWND window);

// Runs a dialog made by the caller modally, as DialogBoxParamW runs one made
// from a template.
INT_PTR RunModalDialog(HWND dialog, HWND owner);

}  // namespace orbalis::win32
