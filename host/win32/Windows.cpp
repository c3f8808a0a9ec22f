// Window classes and windows: creation, destruction, text, styles, window
// data, properties and rectangles.
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

HWND WINAPI CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style,
                            int x, int y, int width, int height, HWND parent, HMENU menu,
                            HINSTANCE instance, LPVOID param) {
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

    CREATESTRUCTW create{param, instance, menu, parent, height, width, y, x, static_cast<LONG>(style),
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

int WINAPI GetClassNameW(HWND window, LPWSTR name, int size) {
    Window* w = FindWindowObject(window);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    return CopyOut(w->windowClass->name, name, size);
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
    return static_cast<int>(SendMessageW(window, WM_GETTEXT, static_cast<WPARAM>(size),
                                         reinterpret_cast<LPARAM>(text)));
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

BOOL WINAPI GetWindowRect(HWND window, LPRECT rect) {
    Window* w = FindWindowObject(window);
    if (!w || !rect) {
        SetLastError(w ? ERROR_INVALID_PARAMETER : ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    // Screen coordinates: add the parents' origins.
    RECT r = w->rect;
    for (Window* p = FindWindowObject(w->parent); p; p = FindWindowObject(p->parent)) {
        r.left += p->rect.left;
        r.right += p->rect.left;
        r.top += p->rect.top;
        r.bottom += p->rect.top;
    }
    *rect = r;
    return TRUE;
}

BOOL WINAPI GetClientRect(HWND window, LPRECT rect) {
    Window* w = FindWindowObject(window);
    if (!w || !rect) {
        SetLastError(w ? ERROR_INVALID_PARAMETER : ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    *rect = RECT{0, 0, w->rect.right - w->rect.left, w->rect.bottom - w->rect.top};
    return TRUE;
}

BOOL WINAPI MoveWindow(HWND window, int x, int y, int width, int height, BOOL) {
    Window* w = FindWindowObject(window);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    w->rect = RECT{x, y, x + width, y + height};
    SendMessageW(window, WM_SIZE, 0, MAKELPARAM(width, height));
    return TRUE;
}

BOOL WINAPI SetWindowPos(HWND window, HWND, int x, int y, int cx, int cy, UINT flags) {
    Window* w = FindWindowObject(window);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    RECT r = w->rect;
    if (!(flags & SWP_NOMOVE)) {
        r.right += x - r.left;
        r.bottom += y - r.top;
        r.left = x;
        r.top = y;
    }
    if (!(flags & SWP_NOSIZE)) {
        r.right = r.left + cx;
        r.bottom = r.top + cy;
    }
    const bool resized = (r.right - r.left) != (w->rect.right - w->rect.left) ||
                         (r.bottom - r.top) != (w->rect.bottom - w->rect.top);
    w->rect = r;
    if (resized) SendMessageW(window, WM_SIZE, 0, MAKELPARAM(r.right - r.left, r.bottom - r.top));
    if (flags & SWP_SHOWWINDOW) ShowWindow(window, SW_SHOW);
    if (flags & SWP_HIDEWINDOW) ShowWindow(window, SW_HIDE);
    return TRUE;
}

BOOL WINAPI InvalidateRect(HWND window, LPCRECT, BOOL) { return IsWindow(window) || !window; }

// The mouse cursor is where the host's user last put it.
static POINT gCursor{0, 0};

BOOL WINAPI GetCursorPos(LPPOINT point) {
    if (!point) return FALSE;
    *point = gCursor;
    return TRUE;
}

BOOL WINAPI SetCursorPos(int x, int y) {
    gCursor = POINT{x, y};
    return TRUE;
}

BOOL WINAPI ScreenToClient(HWND window, LPPOINT point) {
    RECT r;
    if (!point || !GetWindowRect(window, &r)) return FALSE;
    point->x -= r.left;
    point->y -= r.top;
    return TRUE;
}

BOOL WINAPI ClientToScreen(HWND window, LPPOINT point) {
    RECT r;
    if (!point || !GetWindowRect(window, &r)) return FALSE;
    point->x += r.left;
    point->y += r.top;
    return TRUE;
}

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

namespace orbalis::win32 {

int LiveWindows() { return Handles().Live(Kind::Window); }

}  // namespace orbalis::win32
