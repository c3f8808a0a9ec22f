// STATIC: text labels (left, centred, right-aligned, bordered), icons and
// bitmaps; with SS_NOTIFY a click tells the parent.
#include "host/win32/Controls.h"
#include "host/win32/Windows.h"

namespace orbalis::win32 {
namespace {

struct StaticState : ControlState {
    HANDLE image = nullptr;
    bool pressed = false;
};

}  // namespace

LRESULT CALLBACK StaticProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = FindWindowObject(window);
    if (!w) return 0;
    if (message == WM_NCCREATE) w->control = std::make_unique<StaticState>();
    auto* s = dynamic_cast<StaticState*>(w->control.get());
    if (!s) return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
    case STM_SETICON:
    case STM_SETIMAGE: {
        HANDLE previous = s->image;
        s->image = reinterpret_cast<HANDLE>(message == STM_SETICON ? wParam : static_cast<WPARAM>(lParam));
        return reinterpret_cast<LRESULT>(previous);
    }
    case STM_GETICON:
    case STM_GETIMAGE: return reinterpret_cast<LRESULT>(s->image);
    case WM_LBUTTONDOWN: s->pressed = true; return 0;
    case WM_LBUTTONUP: {
        const bool clicked = s->pressed && (w->style & SS_NOTIFY);
        s->pressed = false;
        // The parent may destroy the label when told: nothing of it is used after.
        if (clicked) NotifyParent(window, STN_CLICKED);
        return 0;
    }
    case WM_GETDLGCODE: return DLGC_STATIC;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace orbalis::win32
