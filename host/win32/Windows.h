// Windows and window classes inside the stand-in: what each window keeps,
// and the helpers the other parts of the library share.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/win32/Handles.h"
#include "sdk/win32/Windows.h"

namespace orbalis::win32 {

// What a control class keeps beyond the window itself.
struct ControlState {
    virtual ~ControlState() = default;
};

struct DialogState;

struct WindowClass {
    std::u16string name;
    WNDPROC proc = nullptr;
    HINSTANCE instance = nullptr;
    HBRUSH background = nullptr;
    bool system = false;
};

struct Window : Object {
    HWND self = nullptr;
    const WindowClass* windowClass = nullptr;
    WNDPROC proc = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    int id = 0;
    std::u16string text;
    HWND parent = nullptr;
    HWND owner = nullptr;
    std::vector<HWND> children;  // in z-order, which is also the tab order
    RECT rect{};                 // in the parent's client coordinates, pixels
    HINSTANCE instance = nullptr;
    LONG_PTR userData = 0;
    HFONT font = nullptr;
    std::map<std::u16string, HANDLE> properties;
    std::unique_ptr<ControlState> control;
    std::unique_ptr<DialogState> dialog;
    bool destroying = false;
};

Window* FindWindowObject(HWND window);
template <class T>
T* ControlOf(HWND window) {
    Window* w = FindWindowObject(window);
    return w ? dynamic_cast<T*>(w->control.get()) : nullptr;
}

// Registers the system classes (BUTTON, STATIC, EDIT, COMBOBOX, the dialog
// class) once.
void RegisterSystemClasses();
const WindowClass* FindClass(const std::u16string& name);
void AddSystemClass(const char16_t* name, WNDPROC proc);

// Sends WM_COMMAND with `code` from control `window` to its parent.
void NotifyParent(HWND window, WORD code);

// Case-insensitive comparison of ASCII letters, as class and resource names
// compare.
bool SameNameIgnoringCase(const std::u16string& a, const std::u16string& b);

// The length of a NUL-terminated wide string.
size_t WideLength(LPCWSTR text);

// Copies `text` into a caller's buffer of `size` code units, truncating and
// always terminating; returns the units copied, without the NUL.
int CopyOut(const std::u16string& text, LPWSTR buffer, int size);

// True when the window and all its ancestors are enabled / visible.
bool EffectivelyEnabled(HWND window);
bool EffectivelyVisible(HWND window);

// The process's window-tree bookkeeping.
struct WindowTree {
    std::vector<std::unique_ptr<WindowClass>> classes;
    HWND focus = nullptr;
    std::vector<HWND> topLevel;
};
WindowTree& Tree();

}  // namespace orbalis::win32
