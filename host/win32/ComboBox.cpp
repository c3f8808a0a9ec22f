// COMBOBOX: the drop-down list (CBS_DROPDOWNLIST), rows of text with an item
// value each and one selected row.
#include "host/win32/Controls.h"
#include "host/win32/Windows.h"

namespace orbalis::win32 {
namespace {

struct Row {
    std::u16string text;
    LPARAM data = 0;
};

struct ComboState : ControlState {
    std::vector<Row> rows;
    int selected = -1;
};

bool InRange(const ComboState& s, WPARAM index) { return index < s.rows.size(); }

}  // namespace

LRESULT CALLBACK ComboBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = FindWindowObject(window);
    if (!w) return 0;
    if (message == WM_NCCREATE) w->control = std::make_unique<ComboState>();
    auto* s = dynamic_cast<ComboState*>(w->control.get());
    if (!s) return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
    case CB_ADDSTRING:
        s->rows.push_back(Row{lParam ? reinterpret_cast<LPCWSTR>(lParam) : u"", 0});
        return static_cast<LRESULT>(s->rows.size() - 1);
    case CB_INSERTSTRING: {
        const auto index = static_cast<intptr_t>(wParam);
        if (index > static_cast<intptr_t>(s->rows.size())) return CB_ERR;
        const size_t at = index < 0 ? s->rows.size() : static_cast<size_t>(index);
        s->rows.insert(s->rows.begin() + static_cast<ptrdiff_t>(at),
                       Row{lParam ? reinterpret_cast<LPCWSTR>(lParam) : u"", 0});
        if (s->selected >= static_cast<int>(at)) ++s->selected;
        return static_cast<LRESULT>(at);
    }
    case CB_DELETESTRING:
        if (!InRange(*s, wParam)) return CB_ERR;
        s->rows.erase(s->rows.begin() + static_cast<ptrdiff_t>(wParam));
        if (s->selected == static_cast<int>(wParam))
            s->selected = -1;
        else if (s->selected > static_cast<int>(wParam))
            --s->selected;
        return static_cast<LRESULT>(s->rows.size());
    case CB_RESETCONTENT:
        s->rows.clear();
        s->selected = -1;
        return 0;
    case CB_GETCOUNT: return static_cast<LRESULT>(s->rows.size());
    case CB_GETCURSEL: return s->selected;
    case CB_SETCURSEL:
        // An index out of range clears the selection and reports an error.
        if (!InRange(*s, wParam)) {
            s->selected = -1;
            return CB_ERR;
        }
        s->selected = static_cast<int>(wParam);
        return s->selected;
    case CB_GETLBTEXT:
        if (!InRange(*s, wParam) || !lParam) return CB_ERR;
        return CopyOut(s->rows[wParam].text, reinterpret_cast<LPWSTR>(lParam), 0x7FFFFFFF);
    case CB_GETLBTEXTLEN: return InRange(*s, wParam) ? static_cast<LRESULT>(s->rows[wParam].text.size()) : CB_ERR;
    case CB_GETITEMDATA: return InRange(*s, wParam) ? s->rows[wParam].data : CB_ERR;
    case CB_SETITEMDATA:
        if (!InRange(*s, wParam)) return CB_ERR;
        s->rows[wParam].data = lParam;
        return 0;
    case WM_GETTEXT:
        return CopyOut(s->selected >= 0 ? s->rows[static_cast<size_t>(s->selected)].text : u"",
                       reinterpret_cast<LPWSTR>(lParam), static_cast<int>(wParam));
    case WM_GETTEXTLENGTH:
        return s->selected >= 0 ? static_cast<LRESULT>(s->rows[static_cast<size_t>(s->selected)].text.size()) : 0;
    case WM_SETTEXT:
        // A drop-down list shows only its rows.
        return CB_ERR;
    case WM_LBUTTONDOWN: SetFocus(window); return 0;
    case WM_SETFOCUS: NotifyParent(window, CBN_SETFOCUS); return 0;
    case WM_KILLFOCUS: NotifyParent(window, CBN_KILLFOCUS); return 0;
    case WM_GETDLGCODE: return DLGC_WANTCHARS;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace orbalis::win32
