// BUTTON: push and default push buttons, check boxes, radio buttons, group
// boxes and icon buttons.
#include "host/win32/Controls.h"
#include "host/win32/Windows.h"

namespace orbalis::win32 {
namespace {

struct ButtonState : ControlState {
    UINT check = BST_UNCHECKED;
    HANDLE image = nullptr;
    bool pressed = false;
};

DWORD TypeOf(const Window& w) { return w.style & BS_TYPEMASK; }

// An automatic radio button checks itself and clears the other radio buttons
// of its group (hidden and disabled ones too): the controls from the last one
// at or before it that starts a group up to the next that starts one.
void CheckInGroup(HWND window) {
    Window* w = FindWindowObject(window);
    HWND dialog = w->parent;
    SendMessageW(window, BM_SETCHECK, BST_CHECKED, 0);
    if (Window* parent = FindWindowObject(dialog)) {
        const std::vector<HWND> kids = parent->children;
        size_t i = 0;
        while (i < kids.size() && kids[i] != window) ++i;
        size_t first = i;
        while (first > 0 && !(FindWindowObject(kids[first])->style & WS_GROUP)) --first;
        for (size_t k = first; k < kids.size(); ++k) {
            if (k > first && (FindWindowObject(kids[k])->style & WS_GROUP)) break;
            if (kids[k] != window && (SendMessageW(kids[k], WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON))
                SendMessageW(kids[k], BM_SETCHECK, BST_UNCHECKED, 0);
        }
    }
}

void Click(HWND window, Window& w, ButtonState& s) {
    switch (TypeOf(w)) {
    case BS_GROUPBOX: return;
    case BS_AUTOCHECKBOX: s.check = s.check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED; break;
    case BS_AUTO3STATE: s.check = (s.check + 1) % 3; break;
    case BS_AUTORADIOBUTTON: CheckInGroup(window); break;
    }
    NotifyParent(window, BN_CLICKED);
}

}  // namespace

LRESULT CALLBACK ButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = FindWindowObject(window);
    if (!w) return 0;
    if (message == WM_NCCREATE) w->control = std::make_unique<ButtonState>();
    auto* s = dynamic_cast<ButtonState*>(w->control.get());
    if (!s) return DefWindowProcW(window, message, wParam, lParam);
    const DWORD type = TypeOf(*w);
    switch (message) {
    case BM_GETCHECK: return s->check;
    case BM_SETCHECK:
        if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON || type == BS_GROUPBOX) return 0;
        s->check = static_cast<UINT>(wParam) & 3;
        // A radio button is a tab stop while it is checked, and only then:
        // Tab enters a group at its checked button, and passes over a group
        // whose buttons have all been cleared.
        if (type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON)
            w->style = s->check ? w->style | WS_TABSTOP : w->style & ~static_cast<DWORD>(WS_TABSTOP);
        return 0;
    case BM_GETSTATE: return s->check | (s->pressed ? BST_PUSHED : 0) | (GetFocus() == window ? BST_FOCUS : 0);
    case BM_SETSTATE: s->pressed = wParam != 0; return 0;
    case BM_SETSTYLE:
        w->style = (w->style & ~static_cast<DWORD>(0xFFFF)) | (static_cast<DWORD>(wParam) & 0xFFFF);
        return 0;
    case BM_GETIMAGE: return reinterpret_cast<LRESULT>(s->image);
    case BM_SETIMAGE: {
        HANDLE previous = s->image;
        s->image = reinterpret_cast<HANDLE>(lParam);
        return reinterpret_cast<LRESULT>(previous);
    }
    case BM_CLICK:
        SendMessageW(window, WM_LBUTTONDOWN, 0, 0);
        SendMessageW(window, WM_LBUTTONUP, 0, 0);
        return 0;
    case WM_LBUTTONDOWN:
        if (type == BS_GROUPBOX) return 0;
        SetFocus(window);
        s->pressed = true;
        return 0;
    case WM_LBUTTONUP:
        if (!s->pressed) return 0;
        s->pressed = false;
        Click(window, *w, *s);
        return 0;
    case WM_GETDLGCODE:
        switch (type) {
        case BS_DEFPUSHBUTTON: return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
        case BS_PUSHBUTTON: return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON: return DLGC_BUTTON | DLGC_RADIOBUTTON;
        case BS_GROUPBOX: return DLGC_STATIC;
        }
        return DLGC_BUTTON;
    case WM_SETFOCUS:
        if (w->style & BS_NOTIFY) NotifyParent(window, BN_SETFOCUS);
        return 0;
    case WM_KILLFOCUS:
        if (w->style & BS_NOTIFY) NotifyParent(window, BN_KILLFOCUS);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace orbalis::win32
