// Window properties: named values a program keeps on a window.
#include "host/win32/Windows.h"

using namespace orbalis::win32;

extern "C" {

BOOL WINAPI SetPropW(HWND window, LPCWSTR name, HANDLE data) {
    Window* w = FindWindowObject(window);
    if (!w || !name || IS_INTRESOURCE(name)) {
        SetLastError(w ? ERROR_INVALID_PARAMETER : ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    w->properties[name] = data;
    return TRUE;
}

HANDLE WINAPI GetPropW(HWND window, LPCWSTR name) {
    Window* w = FindWindowObject(window);
    if (!w || !name || IS_INTRESOURCE(name)) return nullptr;
    auto it = w->properties.find(name);
    return it == w->properties.end() ? nullptr : it->second;
}

HANDLE WINAPI RemovePropW(HWND window, LPCWSTR name) {
    Window* w = FindWindowObject(window);
    if (!w || !name || IS_INTRESOURCE(name)) return nullptr;
    auto it = w->properties.find(name);
    if (it == w->properties.end()) return nullptr;
    HANDLE data = it->second;
    w->properties.erase(it);
    return data;
}

}  // extern "C"
