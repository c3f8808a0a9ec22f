#include "frame/AboutBox.h"

#include "frame/DialogRunner.h"

namespace orbalis {

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: return TRUE;  // the system sets the focus
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
        // Escape and the caption's close button close the box as OK does.
        case IDCANCEL: EndDialog(dialog, 0); return TRUE;
        case kAboutWebButtonId:
            // A page that fails to open is not reported; the box stays open.
            ShellExecuteA(nullptr, "open", kWebAddress, nullptr, nullptr, SW_SHOWNORMAL);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

HostErr ShowAboutBox(HostPluginRef plugin) {
    DialogHost host;
    if (HostErr err = FindDialogHost(plugin, &host)) return err;
    if (host.module) DialogBoxParamW(host.module, MAKEINTRESOURCEW(kAboutDialogId), host.owner, AboutDialogProc, 0);
    return 0;
}

}  // namespace orbalis
