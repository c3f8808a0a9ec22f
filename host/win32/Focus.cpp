// The keyboard focus: one window of the process at a time. Changing it tells
// the old window first (WM_KILLFOCUS), then the new one (WM_SETFOCUS).
#include "host/win32/Windows.h"

using namespace orbalis::win32;

extern "C" {

HWND WINAPI SetFocus(HWND window) {
    WindowTree& tree = Tree();
    if (window && !FindWindowObject(window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    // A disabled window cannot take the keyboard.
    if (window && !EffectivelyEnabled(window)) return nullptr;
    const HWND old = FindWindowObject(tree.focus) ? tree.focus : nullptr;
    if (old == window) return old;
    tree.focus = window;
    if (old) SendMessageW(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(window), 0);
    // The old window's handler may have moved the focus elsewhere (a field
    // that refuses to be left); then the new window does not get it.
    if (window && tree.focus == window && FindWindowObject(window))
        SendMessageW(window, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
    return old;
}

HWND WINAPI GetFocus(void) { return FindWindowObject(Tree().focus) ? Tree().focus : nullptr; }

}  // extern "C"
