// Window classes: the ones every process has (the standard controls and the
// dialog class), and those a program registers.
#include "host/win32/Controls.h"
#include "host/win32/Dialogs.h"
#include "host/win32/Windows.h"

namespace orbalis::win32 {

const WindowClass* FindClass(const std::u16string& name) {
    RegisterSystemClasses();
    for (const auto& c : Tree().classes)
        if (SameNameIgnoringCase(c->name, name)) return c.get();
    return nullptr;
}

void AddSystemClass(const char16_t* name, WNDPROC proc) {
    auto c = std::make_unique<WindowClass>();
    c->name = name;
    c->proc = proc;
    c->system = true;
    Tree().classes.push_back(std::move(c));
}

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

using namespace orbalis::win32;

extern "C" {

ATOM WINAPI RegisterClassExW(const WNDCLASSEXW* wc) {
    if (!wc || !wc->lpszClassName || !wc->lpfnWndProc || IS_INTRESOURCE(wc->lpszClassName)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const std::u16string name(wc->lpszClassName);
    if (FindClass(name)) {
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    auto c = std::make_unique<WindowClass>();
    c->name = name;
    c->proc = wc->lpfnWndProc;
    c->instance = wc->hInstance;
    c->background = wc->hbrBackground;
    Tree().classes.push_back(std::move(c));
    return static_cast<ATOM>(0xC000 + Tree().classes.size());
}

BOOL WINAPI UnregisterClassW(LPCWSTR className, HINSTANCE) {
    if (!className || IS_INTRESOURCE(className)) return FALSE;
    auto& classes = Tree().classes;
    for (auto it = classes.begin(); it != classes.end(); ++it)
        if (!(*it)->system && SameNameIgnoringCase((*it)->name, className)) {
            // A class whose windows still live stays.
            for (HWND top : Tree().topLevel)
                if (FindWindowObject(top)->windowClass == it->get()) return FALSE;
            classes.erase(it);
            return TRUE;
        }
    SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
    return FALSE;
}

int WINAPI GetClassNameW(HWND window, LPWSTR name, int size) {
    Window* w = FindWindowObject(window);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    return CopyOut(w->windowClass->name, name, size);
}

// The common control classes exist once the program asks for them.
BOOL WINAPI InitCommonControlsEx(const INITCOMMONCONTROLSEX* controls) {
    if (!controls || controls->dwSize != sizeof(INITCOMMONCONTROLSEX)) return FALSE;
    RegisterSystemClasses();
    if ((controls->dwICC & ICC_TREEVIEW_CLASSES) && !FindClass(WC_TREEVIEWW))
        AddSystemClass(WC_TREEVIEWW, TreeViewProc);
    return TRUE;
}

}  // extern "C"
