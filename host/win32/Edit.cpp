// EDIT: single-line text fields. Typed characters replace the selection; a
// digits-only field (ES_NUMBER) refuses every other character; the text
// limit (30000 characters until set) refuses what goes beyond it.
#include "host/win32/Controls.h"
#include "host/win32/Windows.h"

#include <algorithm>

namespace orbalis::win32 {
namespace {

constexpr size_t kDefaultLimit = 30000;

struct EditState : ControlState {
    size_t limit = kDefaultLimit;
    size_t selStart = 0;
    size_t selEnd = 0;
};

void Changed(HWND window) {
    NotifyParent(window, EN_UPDATE);
    NotifyParent(window, EN_CHANGE);
}

// Replaces the selection with `text`, cut to what the limit leaves room for.
// Returns false when nothing fitted.
bool ReplaceSelection(HWND window, Window& w, EditState& s, std::u16string text) {
    const size_t a = std::min(s.selStart, w.text.size());
    const size_t b = std::min(std::max(s.selEnd, a), w.text.size());
    const size_t room = s.limit - std::min(s.limit, w.text.size() - (b - a));
    bool fits = true;
    if (text.size() > room) {
        text.resize(room);
        fits = false;
        NotifyParent(window, EN_MAXTEXT);
        // The parent may have destroyed the field when told.
        if (FindWindowObject(window) != &w) return false;
    }
    if (text.empty() && a == b) return fits;
    w.text.replace(a, b - a, text);
    s.selStart = s.selEnd = a + text.size();
    Changed(window);
    return fits;
}

}  // namespace

LRESULT CALLBACK EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = FindWindowObject(window);
    if (!w) return 0;
    if (message == WM_NCCREATE) w->control = std::make_unique<EditState>();
    auto* s = dynamic_cast<EditState*>(w->control.get());
    if (!s) return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
    case WM_SETTEXT:
        w->text = lParam ? std::u16string(reinterpret_cast<LPCWSTR>(lParam)) : std::u16string();
        s->selStart = s->selEnd = 0;
        Changed(window);
        return TRUE;
    case WM_CHAR: {
        if (w->style & ES_READONLY) return 0;
        const auto c = static_cast<char16_t>(wParam);
        if (c == VK_BACK) {
            if (s->selStart == s->selEnd && s->selStart > 0) --s->selStart;
            ReplaceSelection(window, *w, *s, u"");
            return 0;
        }
        if (c < 0x20) return 0;
        if ((w->style & ES_NUMBER) && (c < u'0' || c > u'9')) return 0;  // the system beeps
        ReplaceSelection(window, *w, *s, std::u16string(1, c));
        return 0;
    }
    case WM_CLEAR:
        if (!(w->style & ES_READONLY)) ReplaceSelection(window, *w, *s, u"");
        return 0;
    case EM_REPLACESEL:
        ReplaceSelection(window, *w, *s, lParam ? std::u16string(reinterpret_cast<LPCWSTR>(lParam)) : u"");
        return 0;
    case EM_SETSEL: {
        // (0, -1) selects everything; a start of -1 removes the selection.
        const auto start = static_cast<intptr_t>(wParam), end = static_cast<intptr_t>(lParam);
        const size_t n = w->text.size();
        if (start < 0) {
            s->selStart = s->selEnd;
            return 0;
        }
        s->selStart = std::min<size_t>(static_cast<size_t>(start), n);
        s->selEnd = end < 0 ? n : std::min<size_t>(static_cast<size_t>(end), n);
        if (s->selStart > s->selEnd) std::swap(s->selStart, s->selEnd);
        return 0;
    }
    case EM_GETSEL:
        if (wParam) *reinterpret_cast<DWORD*>(wParam) = static_cast<DWORD>(s->selStart);
        if (lParam) *reinterpret_cast<DWORD*>(lParam) = static_cast<DWORD>(s->selEnd);
        return MAKELONG(s->selStart, s->selEnd);
    case EM_LIMITTEXT:
        // 0 is the largest limit there is.
        s->limit = wParam ? static_cast<size_t>(wParam) : 0x7FFFFFFE;
        return 0;
    case EM_GETLIMITTEXT: return static_cast<LRESULT>(s->limit);
    case WM_LBUTTONDOWN: SetFocus(window); return 0;
    case WM_SETFOCUS: NotifyParent(window, EN_SETFOCUS); return 0;
    case WM_KILLFOCUS: NotifyParent(window, EN_KILLFOCUS); return 0;
    case WM_GETDLGCODE: return DLGC_WANTCHARS | DLGC_HASSETSEL;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace orbalis::win32
