// Windows: creation, destruction, the tree of parents and children, text,
// styles and window data. Classes, positions, the cursor and properties
// have files of their own.
#include "host/win32/Windows.h"

#include <algorithm>

#include "host/win32/Dialogs.h"
#include "host/win32/Driver.h"

namespace orbalis::win32 {

WindowTree& Tree() {
    static WindowTree tree;
    return tree;
}

Window* FindWindowObject(HWND window) { return Handles().Get<Window>(window, Kind::Window); }

bool SameNameIgnoringCase(const std::u16string& a, const std::u16string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char16_t x = a[i], y = b[i];
        if (x >= u'a' && x <= u'z') x = char16_t(x - 32);
        if (y >= u'a' && y <= u'z') y = char16_t(y - 32);
        if (x != y) return false;
    }
    return true;
}

size_t WideLength(LPCWSTR text) {
    size_t n = 0;
    if (text)
        while (text[n]) ++n;
    return n;
}

int CopyOut(const std::u16string& text, LPWSTR buffer, int size) {
    if (!buffer || size <= 0) return 0;
    const int n = std::min<int>(static_cast<int>(text.size()), size - 1);
    std::copy_n(text.data(), n, buffer);
    buffer[n] = 0;
    return n;
}

bool EffectivelyEnabled(HWND window) {
    for (Window* w = FindWindowObject(window); w; w = FindWindowObject(w->parent))
        if (w->style & WS_DISABLED) return false;
    return FindWindowObject(window) != nullptr;
}

bool EffectivelyVisible(HWND window) {
    for (Window* w = FindWindowObject(window); w; w = FindWindowObject(w->parent))
        if (!(w->style & WS_VISIBLE)) return false;
    return FindWindowObject(window) != nullptr;
}

void NotifyParent(HWND window, WORD code) {
    Window* w = FindWindowObject(window);
    if (!w || !w->parent) return;
    SendMessageW(w->parent, WM_COMMAND, MAKEWPARAM(w->id, code), reinterpret_cast<LPARAM>(window));
}

namespace {

bool IsDescendant(HWND window, HWND ancestor) {
    for (Window* w = FindWindowObject(window); w; w = FindWindowObject(w->parent))
        if (w->self == ancestor) return true;
    return false;
}

void Unlink(Window* w) {
    auto& siblings = w->parent ? FindWindowObject(w->parent)->children : Tree().topLevel;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), w->self), siblings.end());
}

// WM_DESTROY goes to a window before its children, WM_NCDESTROY after them.
void DestroyTree(HWND window) {
    Window* w = FindWindowObject(window);
    if (!w || w->destroying) return;
    w->destroying = true;
    // Windows it owns go first.
    std::vector<HWND> owned;
    for (HWND top : Tree().topLevel)
        if (Window* t = FindWindowObject(top); t && t->owner == window) owned.push_back(top);
    for (HWND o : owned) DestroyTree(o);
    if (Tree().focus && IsDescendant(Tree().focus, window)) Tree().focus = nullptr;
    SendMessageW(window, WM_DESTROY, 0, 0);
    w = FindWindowObject(window);
    if (!w) return;
    const std::vector<HWND> children = w->children;
    for (HWND child : children) DestroyTree(child);
    SendMessageW(window, WM_NCDESTROY, 0, 0);
    if ((w = FindWindowObject(window))) {
        Unlink(w);
        Handles().Remove(reinterpret_cast<uintptr_t>(window), Kind::Window);
    }
}

}  // namespace

}  // namespace orbalis::win32

using namespace orbalis::win32;

extern "C" {

HWND WINAPI CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y, int width,
                            int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param) {
    if (!className || IS_INTRESOURCE(className)) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    const WindowClass* windowClass = FindClass(className);
    if (!windowClass) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    Window* parentWindow = nullptr;
    if (parent && !(parentWindow = FindWindowObject(parent))) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    const bool child = (style & WS_CHILD) != 0;
    if (child && !parentWindow) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto object = std::make_unique<Window>();
    Window* w = object.get();
    w->windowClass = windowClass;
    w->proc = windowClass->proc;
    w->style = style;
    w->exStyle = exStyle;
    w->instance = instance;
    if (child) {
        w->parent = parent;
        w->id = static_cast<int>(reinterpret_cast<intptr_t>(menu));
    } else {
        w->owner = parent;
    }
    if (x == CW_USEDEFAULT) x = y = 0;
    if (width == CW_USEDEFAULT) width = height = 0;
    w->rect = RECT{x, y, x + width, y + height};
    w->text = windowName && !IS_INTRESOURCE(windowName) ? std::u16string(windowName) : std::u16string();
    HWND self = reinterpret_cast<HWND>(Handles().Add(Kind::Window, std::move(object)));
    w->self = self;
    (child ? parentWindow->children : Tree().topLevel).push_back(self);

    CREATESTRUCTW create{param,      instance,  menu,   parent, height, width, y, x, static_cast<LONG>(style),
                         windowName, className, exStyle};
    if (!SendMessageW(self, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&create)) ||
        SendMessageW(self, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)) == -1) {
        DestroyWindow(self);
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return self;
}

BOOL WINAPI DestroyWindow(HWND window) {
    if (!FindWindowObject(window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    DestroyTree(window);
    return TRUE;
}

BOOL WINAPI IsWindow(HWND window) { return FindWindowObject(window) != nullptr; }

BOOL WINAPI IsWindowEnabled(HWND window) {
    Window* w = FindWindowObject(window);
    return w && !(w->style & WS_DISABLED);
}

BOOL WINAPI IsWindowVisible(HWND window) { return EffectivelyVisible(window); }

BOOL WINAPI EnableWindow(HWND window, BOOL enable) {
    Window* w = FindWindowObject(window);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    const BOOL wasDisabled = (w->style & WS_DISABLED) != 0;
    if (bool(enable) == !wasDisabled) return wasDisabled;
    if (enable) {
        w->style &= ~static_cast<DWORD>(WS_DISABLED);
    } else {
        w->style |= WS_DISABLED;
        // A disabled window gives up the focus.
        if (Tree().focus && IsDescendant(Tree().focus, window)) SetFocus(nullptr);
    }
    SendMessageW(window, WM_ENABLE, enable ? TRUE : FALSE, 0);
    return wasDisabled;
}

BOOL WINAPI ShowWindow(HWND window, int command) {
    Window* w = FindWindowObject(window);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    const BOOL wasVisible = (w->style & WS_VISIBLE) != 0;
    const bool show = command != SW_HIDE;
    if (show == bool(wasVisible)) return wasVisible;
    if (show) {
        w->style |= WS_VISIBLE;
    } else {
        w->style &= ~static_cast<DWORD>(WS_VISIBLE);
        if (Tree().focus && IsDescendant(Tree().focus, window)) SetFocus(nullptr);
    }
    SendMessageW(window, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
    return wasVisible;
}

HWND WINAPI GetParent(HWND window) {
    Window* w = FindWindowObject(window);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    return w->parent ? w->parent : w->owner;
}

HWND WINAPI GetWindow(HWND window, UINT relation) {
    Window* w = FindWindowObject(window);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    if (relation == GW_OWNER) return w->owner;
    if (relation == GW_CHILD) return w->children.empty() ? nullptr : w->children.front();
    const auto& siblings = w->parent ? FindWindowObject(w->parent)->children : Tree().topLevel;
    auto it = std::find(siblings.begin(), siblings.end(), window);
    if (relation == GW_HWNDNEXT) return it + 1 < siblings.end() ? *(it + 1) : nullptr;
    if (relation == GW_HWNDPREV) return it > siblings.begin() ? *(it - 1) : nullptr;
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
}

BOOL WINAPI SetWindowTextW(HWND window, LPCWSTR text) {
    if (!FindWindowObject(window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    static const char16_t empty[] = u"";
    return SendMessageW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : empty)) != 0;
}

int WINAPI GetWindowTextW(HWND window, LPWSTR text, int size) {
    if (!FindWindowObject(window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        if (text && size > 0) text[0] = 0;
        return 0;
    }
    if (!text || size <= 0) return 0;
    return static_cast<int>(
        SendMessageW(window, WM_GETTEXT, static_cast<WPARAM>(size), reinterpret_cast<LPARAM>(text)));
}

int WINAPI GetWindowTextLengthW(HWND window) {
    if (!FindWindowObject(window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    return static_cast<int>(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0));
}

LONG_PTR WINAPI GetWindowLongPtrW(HWND window, int index) {
    Window* w = FindWindowObject(window);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    switch (index) {
    case GWLP_WNDPROC: return reinterpret_cast<LONG_PTR>(w->proc);
    case GWLP_HINSTANCE: return reinterpret_cast<LONG_PTR>(w->instance);
    case GWLP_ID: return w->id;
    case GWL_STYLE: return static_cast<LONG>(w->style);
    case GWL_EXSTYLE: return static_cast<LONG>(w->exStyle);
    case GWLP_USERDATA: return w->userData;
    }
    if (w->dialog) {
        LONG_PTR value = 0;
        if (GetDialogLong(*w, index, &value)) return value;
    }
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
}

LONG_PTR WINAPI SetWindowLongPtrW(HWND window, int index, LONG_PTR value) {
    Window* w = FindWindowObject(window);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    LONG_PTR previous = 0;
    switch (index) {
    case GWLP_WNDPROC:
        // Subclassing: messages go to the new procedure from now on; it
        // passes on what it does not handle with CallWindowProcW.
        if (!value) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return 0;
        }
        previous = reinterpret_cast<LONG_PTR>(w->proc);
        w->proc = reinterpret_cast<WNDPROC>(value);
        return previous;
    case GWLP_HINSTANCE:
        previous = reinterpret_cast<LONG_PTR>(w->instance);
        w->instance = reinterpret_cast<HINSTANCE>(value);
        return previous;
    case GWLP_ID:
        previous = w->id;
        w->id = static_cast<int>(value);
        return previous;
    case GWL_STYLE:
        previous = static_cast<LONG>(w->style);
        w->style = static_cast<DWORD>(value);
        return previous;
    case GWL_EXSTYLE:
        previous = static_cast<LONG>(w->exStyle);
        w->exStyle = static_cast<DWORD>(value);
        return previous;
    case GWLP_USERDATA:
        previous = w->userData;
        w->userData = value;
        return previous;
    }
    if (w->dialog && SetDialogLong(*w, index, value, &previous)) return previous;
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
}

BOOL WINAPI InvalidateRect(HWND window, LPCRECT, BOOL) { return IsWindow(window) || !window; }

}  // extern "C"

namespace orbalis::win32 {

int LiveWindows() { return Handles().Live(Kind::Window); }

}  // namespace orbalis::win32
