// Where windows are: their rectangles, moving and sizing them, and points
// between the screen and a window. The model has no non-client area, so a
// window's client area is its whole rectangle.
#include "host/win32/Windows.h"

using namespace orbalis::win32;

extern "C" {

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
    const bool resized =
        (r.right - r.left) != (w->rect.right - w->rect.left) || (r.bottom - r.top) != (w->rect.bottom - w->rect.top);
    w->rect = r;
    if (resized) SendMessageW(window, WM_SIZE, 0, MAKELPARAM(r.right - r.left, r.bottom - r.top));
    if (flags & SWP_SHOWWINDOW) ShowWindow(window, SW_SHOW);
    if (flags & SWP_HIDEWINDOW) ShowWindow(window, SW_HIDE);
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

}  // extern "C"
