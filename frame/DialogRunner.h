// The one way every modal dialog of the plug-in is shown: the template from
// the plug-in's own resources, owned by the host's main window, with the
// command's record as its creation parameter.
#pragma once

#include "sdk/HostMessages.h"
#include "sdk/win32/Windows.h"

namespace orbalis {

// Where a dialog of this plug-in is shown from.
struct DialogHost {
    HINSTANCE module = nullptr;  // null when the library is not found loaded
    HWND owner = nullptr;
};

// The host's main window (Context suite) and the module loaded from the
// plug-in's file (SP Plug-ins suite); a failing host call's code.
HostErr FindDialogHost(HostPluginRef plugin, DialogHost* host);

// Shows dialog `templateId` modally with `record` (handed to the procedure
// as the WM_INITDIALOG parameter). Returns the dialog's end code: 0 for OK,
// the cancel code 'STOP' for cancel; a failing host call's code; 'NFND' when
// the plug-in's module is not found; -1 when the system could not show the
// dialog.
HostErr RunDialog(HostPluginRef plugin, int templateId, DLGPROC proc, void* record);

}  // namespace orbalis
