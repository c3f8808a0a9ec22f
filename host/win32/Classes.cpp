// The classes every process has: the standard controls and the dialog class.
#include "host/win32/Controls.h"
#include "host/win32/Dialogs.h"
#include "host/win32/Windows.h"

namespace orbalis::win32 {

void RegisterSystemClasses() {
    static bool done = false;
    if (done) return;
    done = true;
    AddSystemClass(u"BUTTON", ButtonProc);
    AddSystemClass(u"STATIC", StaticProc);
    AddSystemClass(u"EDIT", EditProc);
    AddSystemClass(u"COMBOBOX", ComboBoxProc);
    AddSystemClass(u"#32770", DialogClassProc);
}

}  // namespace orbalis::win32

extern "C" {

// The common control classes exist once the program asks for them.
BOOL WINAPI InitCommonControlsEx(const INITCOMMONCONTROLSEX* controls) {
    using namespace orbalis::win32;
    if (!controls || controls->dwSize != sizeof(INITCOMMONCONTROLSEX)) return FALSE;
    RegisterSystemClasses();
    if ((controls->dwICC & ICC_TREEVIEW_CLASSES) && !FindClass(WC_TREEVIEWW))
        AddSystemClass(WC_TREEVIEWW, TreeViewProc);
    return TRUE;
}

}  // extern "C"
