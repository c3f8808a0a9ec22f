// Dialogs: windows made from templates, the default dialog procedure, the
// modal loop and the dialog-item helpers.
#include "host/win32/Dialogs.h"

#include <algorithm>
#include <climits>

#include "host/win32/Driver.h"

namespace orbalis::win32 {
namespace {

DialogUser* gUser = nullptr;
std::vector<HWND> gOpenDialogs;

DialogState* StateOf(HWND dialog) {
    Window* w = FindWindowObject(dialog);
    return w ? w->dialog.get() : nullptr;
}

// Messages whose answer is the dialog procedure's own return value rather
// than DWLP_MSGRESULT.
bool ReturnsDirectly(UINT message) {
    switch (message) {
    case WM_INITDIALOG:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC: return true;
    }
    return false;
}

// A tab stop counts by its own styles, so the order is known before the
// dialog is shown.
bool Focusable(HWND control) {
    Window* w = FindWindowObject(control);
    return w && (w->style & WS_TABSTOP) && (w->style & WS_VISIBLE) && !(w->style & WS_DISABLED);
}

const DialogTemplate* LoadTemplate(HINSTANCE instance, LPCWSTR name, DialogTemplate* t) {
    HRSRC resource = FindResourceW(instance, name, RT_DIALOG);
    if (!resource) return nullptr;
    const auto* data = static_cast<const uint8_t*>(LockResource(LoadResource(instance, resource)));
    std::string error;
    if (!data || !ParseDialogTemplate(data, SizeofResource(instance, resource), t, &error)) {
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return nullptr;
    }
    return t;
}

INT_PTR RunModal(HWND dialog, HWND owner) {
    DialogState* d = StateOf(dialog);
    d->modal = true;
    gOpenDialogs.push_back(dialog);
    // The owner takes no input while the dialog is open.
    const bool disableOwner = owner && IsWindowEnabled(owner);
    if (disableOwner) EnableWindow(owner, FALSE);
    if (!d->ended) ShowWindow(dialog, SW_SHOW);
    while ((d = StateOf(dialog)) && !d->ended) {
        if (gUser && gUser->Act(dialog)) continue;
        // Nobody answers: close it as the caption's button would.
        if ((d = StateOf(dialog)) && !d->ended) UserClose(dialog);
        if ((d = StateOf(dialog)) && !d->ended) EndDialog(dialog, -1);
    }
    const INT_PTR result = d ? d->result : -1;
    gOpenDialogs.erase(std::remove(gOpenDialogs.begin(), gOpenDialogs.end(), dialog), gOpenDialogs.end());
    if (disableOwner) EnableWindow(owner, TRUE);
    if (IsWindow(dialog)) DestroyWindow(dialog);
    return result;
}

}  // namespace

bool GetDialogLong(const Window& dialog, int index, LONG_PTR* value) {
    switch (index) {
    case DWLP_MSGRESULT: *value = dialog.dialog->msgResult; return true;
    case DWLP_DLGPROC: *value = reinterpret_cast<LONG_PTR>(dialog.dialog->proc); return true;
    case DWLP_USER: *value = dialog.dialog->user; return true;
    }
    return false;
}

bool SetDialogLong(Window& dialog, int index, LONG_PTR value, LONG_PTR* previous) {
    if (!GetDialogLong(dialog, index, previous)) return false;
    switch (index) {
    case DWLP_MSGRESULT: dialog.dialog->msgResult = value; break;
    case DWLP_DLGPROC: dialog.dialog->proc = reinterpret_cast<DLGPROC>(value); break;
    case DWLP_USER: dialog.dialog->user = value; break;
    }
    return true;
}

namespace {

bool IsPushButton(HWND control) {
    return control && (SendMessageW(control, WM_GETDLGCODE, 0, 0) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON));
}

// The default push button follows the focus the dialog manager moves: a push
// button that takes it is drawn as the default (and Enter presses it), and
// the dialog's own default is again once the focus goes to anything else.
void MoveDefaultButton(HWND dialog, HWND focus) {
    HWND current = nullptr;
    for (HWND c = GetWindow(dialog, GW_CHILD); c && !current; c = GetWindow(c, GW_HWNDNEXT))
        if (SendMessageW(c, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON) current = c;
    HWND wanted = focus;
    if (!IsPushButton(focus)) {
        const auto answer = static_cast<DWORD>(SendMessageW(dialog, DM_GETDEFID, 0, 0));
        wanted = HIWORD(answer) == DC_HASDEFID ? GetDlgItem(dialog, LOWORD(answer)) : nullptr;
        if (!IsPushButton(wanted)) return;
    }
    if (current == wanted) return;
    if (current) SendMessageW(current, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    SendMessageW(wanted, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
}

}  // namespace

void SetDialogFocus(HWND control) {
    SetFocus(control);
    if (GetFocus() != control) return;
    if (SendMessageW(control, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) SendMessageW(control, EM_SETSEL, 0, -1);
    if (HWND dialog = DialogOf(control); dialog && GetParent(control) == dialog) MoveDefaultButton(dialog, control);
}

HWND DialogOf(HWND window) {
    for (Window* w = FindWindowObject(window); w; w = FindWindowObject(w->parent))
        if (w->dialog && !(w->style & DS_CONTROL)) return w->self;
    return nullptr;
}

LRESULT CALLBACK DialogClassProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefDlgProcW(dialog, message, wParam, lParam);
}

HWND CreateDialogFromTemplate(HINSTANCE instance, const DialogTemplate& t, int templateId, HWND parent, DLGPROC proc,
                              LPARAM param) {
    RegisterSystemClasses();
    const BaseUnits units = BaseUnitsOf(t);
    const RECT r = ToPixels(units, t.x, t.y, t.cx, t.cy);
    const DWORD style = t.style & ~static_cast<DWORD>(WS_VISIBLE);
    const std::u16string cls = t.className.empty() ? u"#32770" : t.className;
    HWND dialog = CreateWindowExW(t.exStyle, cls.c_str(), t.caption.c_str(), style, r.left, r.top, r.right - r.left,
                                  r.bottom - r.top, parent, nullptr, instance, nullptr);
    Window* w = FindWindowObject(dialog);
    if (!w) return nullptr;
    w->dialog = std::make_unique<DialogState>();
    w->dialog->proc = proc;
    w->dialog->templateId = templateId;
    w->dialog->units = units;
    for (const DialogItemTemplate& item : t.items) {
        if ((item.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON && SameNameIgnoringCase(item.className, u"BUTTON"))
            w->dialog->defaultId = item.id;
        const RECT ir = ToPixels(units, item.x, item.y, item.cx, item.cy);
        HWND control = CreateWindowExW(
            item.exStyle, item.className.c_str(), item.text.c_str(), item.style | WS_CHILD, ir.left, ir.top,
            ir.right - ir.left, ir.bottom - ir.top, dialog, reinterpret_cast<HMENU>(static_cast<intptr_t>(item.id)),
            instance, item.creationData.empty() ? nullptr : const_cast<uint8_t*>(item.creationData.data()));
        if (!control) {
            DestroyWindow(dialog);
            return nullptr;
        }
        // An icon given by its resource id.
        if (item.textOrdinal >= 0 && SameNameIgnoringCase(item.className, u"STATIC")) {
            HICON icon = LoadIconW(instance, MAKEINTRESOURCEW(item.textOrdinal));
            if (icon) SendMessageW(control, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
        }
    }
    HWND first = GetNextDlgTabItem(dialog, nullptr, FALSE);
    // A procedure that answers true leaves the focus to the system: the first
    // control in the tab order gets it. A dialog made as a control of
    // another one (DS_CONTROL) takes it so only when it is made visible.
    const bool takesFocus = !(t.style & DS_CONTROL) || (t.style & WS_VISIBLE);
    if (SendMessageW(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), param) && takesFocus && IsWindow(dialog)) {
        first = GetNextDlgTabItem(dialog, nullptr, FALSE);
        if (first) SetDialogFocus(first);
    }
    return IsWindow(dialog) ? dialog : nullptr;
}

INT_PTR RunModalDialog(HWND dialog, HWND owner) { return RunModal(dialog, owner); }

std::string DialogKind(HWND dialog) {
    DialogState* d = StateOf(dialog);
    return d ? d->fileKind : std::string();
}

int DialogTemplateId(HWND dialog) {
    DialogState* d = StateOf(dialog);
    return d ? d->templateId : 0;
}

std::vector<HWND> OpenDialogs() { return gOpenDialogs; }
void SetDialogUser(DialogUser* user) { gUser = user; }
DialogUser* CurrentDialogUser() { return gUser; }
bool DialogsShownOnDesktop() { return false; }

}  // namespace orbalis::win32

using namespace orbalis::win32;

extern "C" {

INT_PTR WINAPI DialogBoxParamW(HINSTANCE instance, LPCWSTR templateName, HWND owner, DLGPROC proc, LPARAM param) {
    DialogTemplate t;
    if (!LoadTemplate(instance, templateName, &t)) return -1;
    if (owner && !IsWindow(owner)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return -1;
    }
    const int id = IS_INTRESOURCE(templateName) ? static_cast<int>(reinterpret_cast<uintptr_t>(templateName)) : 0;
    // A modal dialog is never a child: it belongs to its owner.
    t.style &= ~static_cast<DWORD>(WS_CHILD);
    t.style |= WS_POPUP;
    // The focus comes back to where it was when the dialog closes.
    const HWND focusBefore = GetFocus();
    HWND dialog = CreateDialogFromTemplate(instance, t, id, owner, proc, param);
    if (!dialog) return -1;
    const INT_PTR result = RunModal(dialog, owner);
    if (focusBefore && IsWindow(focusBefore) && EffectivelyEnabled(focusBefore)) SetFocus(focusBefore);
    return result;
}

HWND WINAPI CreateDialogParamW(HINSTANCE instance, LPCWSTR templateName, HWND parent, DLGPROC proc, LPARAM param) {
    DialogTemplate t;
    if (!LoadTemplate(instance, templateName, &t)) return nullptr;
    const int id = IS_INTRESOURCE(templateName) ? static_cast<int>(reinterpret_cast<uintptr_t>(templateName)) : 0;
    HWND dialog = CreateDialogFromTemplate(instance, t, id, parent, proc, param);
    if (dialog && (t.style & WS_VISIBLE)) ShowWindow(dialog, SW_SHOW);
    return dialog;
}

BOOL WINAPI EndDialog(HWND dialog, INT_PTR result) {
    DialogState* d = StateOf(dialog);
    if (!d) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    d->ended = true;
    d->result = result;
    return TRUE;
}

LRESULT WINAPI DefDlgProcW(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    DialogState* d = StateOf(dialog);
    if (!d) return DefWindowProcW(dialog, message, wParam, lParam);
    if (d->proc) {
        d->msgResult = 0;
        const INT_PTR handled = d->proc(dialog, message, wParam, lParam);
        if (!(d = StateOf(dialog))) return handled;
        if (handled) return ReturnsDirectly(message) ? handled : d->msgResult;
    }
    switch (message) {
    case WM_INITDIALOG: return FALSE;
    case WM_CLOSE:
        // Closing a dialog is pressing its cancel button.
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
        return 0;
    case DM_GETDEFID: return MAKELONG(d->defaultId, DC_HASDEFID);
    case DM_SETDEFID: d->defaultId = static_cast<int>(wParam); return TRUE;
    case WM_COMMAND: return 0;
    }
    return DefWindowProcW(dialog, message, wParam, lParam);
}

HWND WINAPI GetDlgItem(HWND dialog, int id) {
    Window* w = FindWindowObject(dialog);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    for (HWND child : w->children)
        if (FindWindowObject(child)->id == id) return child;
    return nullptr;
}

int WINAPI GetDlgCtrlID(HWND window) {
    Window* w = FindWindowObject(window);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    return w->parent ? w->id : 0;
}

HWND WINAPI GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous) {
    Window* w = FindWindowObject(dialog);
    if (!w) return nullptr;
    std::vector<HWND> order = w->children;
    if (previous) std::reverse(order.begin(), order.end());
    const auto at = std::find(order.begin(), order.end(), control);
    const size_t n = order.size();
    const size_t start = at == order.end() ? n - 1 : size_t(at - order.begin());
    for (size_t k = 1; k <= n; ++k) {
        HWND candidate = order[(start + k) % n];
        if (Focusable(candidate)) return candidate;
    }
    return control;
}

HWND WINAPI GetNextDlgGroupItem(HWND dialog, HWND control, BOOL previous) {
    Window* w = FindWindowObject(dialog);
    if (!w) return nullptr;
    const auto& kids = w->children;
    auto at = std::find(kids.begin(), kids.end(), control);
    if (at == kids.end()) return nullptr;
    // The group: from the last control at or before this one that starts a
    // group, up to the next that starts one.
    size_t first = size_t(at - kids.begin());
    while (first > 0 && !(FindWindowObject(kids[first])->style & WS_GROUP)) --first;
    size_t end = first + 1;
    while (end < kids.size() && !(FindWindowObject(kids[end])->style & WS_GROUP)) ++end;
    const size_t n = end - first;
    const size_t self = size_t(at - kids.begin()) - first;
    for (size_t k = 1; k < n; ++k) {
        const size_t i = previous ? (self + n - k) % n : (self + k) % n;
        HWND candidate = kids[first + i];
        if (EffectivelyVisible(candidate) && EffectivelyEnabled(candidate)) return candidate;
    }
    return control;
}

LRESULT WINAPI SendDlgItemMessageW(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam) {
    HWND control = GetDlgItem(dialog, id);
    return control ? SendMessageW(control, message, wParam, lParam) : 0;
}

BOOL WINAPI SetDlgItemTextW(HWND dialog, int id, LPCWSTR text) {
    HWND control = GetDlgItem(dialog, id);
    return control ? SetWindowTextW(control, text) : FALSE;
}

UINT WINAPI GetDlgItemTextW(HWND dialog, int id, LPWSTR text, int size) {
    HWND control = GetDlgItem(dialog, id);
    if (!control) {
        if (text && size > 0) text[0] = 0;
        return 0;
    }
    return static_cast<UINT>(GetWindowTextW(control, text, size));
}

BOOL WINAPI SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned) {
    const std::string digits = isSigned ? std::to_string(static_cast<int>(value)) : std::to_string(value);
    const std::u16string text(digits.begin(), digits.end());
    return SetDlgItemTextW(dialog, id, text.c_str());
}

UINT WINAPI GetDlgItemInt(HWND dialog, int id, BOOL* translated, BOOL isSigned) {
    if (translated) *translated = FALSE;
    char16_t buffer[64];
    if (!GetDlgItem(dialog, id)) return 0;
    GetDlgItemTextW(dialog, id, buffer, 64);
    const char16_t* p = buffer;
    while (*p == u' ') ++p;
    bool negative = false;
    if (isSigned && (*p == u'-' || *p == u'+')) negative = *p++ == u'-';
    if (*p < u'0' || *p > u'9') return 0;
    long long value = 0;
    for (; *p >= u'0' && *p <= u'9'; ++p) {
        value = value * 10 + (*p - u'0');
        if (value >
            (isSigned ? static_cast<long long>(INT_MAX) + (negative ? 1 : 0) : static_cast<long long>(UINT_MAX)))
            return 0;
    }
    while (*p == u' ') ++p;
    if (*p) return 0;
    if (translated) *translated = TRUE;
    return static_cast<UINT>(negative ? -value : value);
}

BOOL WINAPI CheckDlgButton(HWND dialog, int id, UINT check) {
    HWND control = GetDlgItem(dialog, id);
    if (!control) return FALSE;
    SendMessageW(control, BM_SETCHECK, check, 0);
    return TRUE;
}

UINT WINAPI IsDlgButtonChecked(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    return control ? static_cast<UINT>(SendMessageW(control, BM_GETCHECK, 0, 0)) : 0;
}

BOOL WINAPI CheckRadioButton(HWND dialog, int first, int last, int check) {
    if (!IsWindow(dialog)) return FALSE;
    for (int id = first; id <= last; ++id)
        if (HWND control = GetDlgItem(dialog, id))
            SendMessageW(control, BM_SETCHECK, id == check ? BST_CHECKED : BST_UNCHECKED, 0);
    return TRUE;
}

BOOL WINAPI MapDialogRect(HWND dialog, LPRECT rect) {
    DialogState* d = StateOf(dialog);
    if (!d || !rect) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    *rect = ToPixels(d->units, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top);
    return TRUE;
}

LONG WINAPI GetDialogBaseUnits(void) { return MAKELONG(6, 13); }

}  // extern "C"
