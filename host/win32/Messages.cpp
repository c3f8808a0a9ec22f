// Messages: sent synchronously to the window's current procedure, each one
// written to the message log first; the default window procedure.
#include <cstdio>

#include "host/win32/Dialogs.h"
#include "host/win32/Driver.h"
#include "host/win32/Windows.h"

namespace orbalis::win32 {
namespace {

std::vector<LoggedMessage>& Log() {
    static std::vector<LoggedMessage> log;
    return log;
}

const char* MessageName(UINT message) {
    switch (message) {
    case WM_CREATE: return "WM_CREATE";
    case WM_DESTROY: return "WM_DESTROY";
    case WM_SIZE: return "WM_SIZE";
    case WM_SETFOCUS: return "WM_SETFOCUS";
    case WM_KILLFOCUS: return "WM_KILLFOCUS";
    case WM_ENABLE: return "WM_ENABLE";
    case WM_SETTEXT: return "WM_SETTEXT";
    case WM_GETTEXT: return "WM_GETTEXT";
    case WM_GETTEXTLENGTH: return "WM_GETTEXTLENGTH";
    case WM_CLOSE: return "WM_CLOSE";
    case WM_SHOWWINDOW: return "WM_SHOWWINDOW";
    case WM_SETFONT: return "WM_SETFONT";
    case WM_GETFONT: return "WM_GETFONT";
    case WM_NCCREATE: return "WM_NCCREATE";
    case WM_NCDESTROY: return "WM_NCDESTROY";
    case WM_GETDLGCODE: return "WM_GETDLGCODE";
    case WM_KEYDOWN: return "WM_KEYDOWN";
    case WM_CHAR: return "WM_CHAR";
    case WM_INITDIALOG: return "WM_INITDIALOG";
    case WM_COMMAND: return "WM_COMMAND";
    case WM_SYSCOMMAND: return "WM_SYSCOMMAND";
    case WM_LBUTTONDOWN: return "WM_LBUTTONDOWN";
    case WM_LBUTTONUP: return "WM_LBUTTONUP";
    case WM_CLEAR: return "WM_CLEAR";
    case WM_CTLCOLOREDIT: return "WM_CTLCOLOREDIT";
    case WM_CTLCOLORBTN: return "WM_CTLCOLORBTN";
    case WM_CTLCOLORDLG: return "WM_CTLCOLORDLG";
    case WM_CTLCOLORSTATIC: return "WM_CTLCOLORSTATIC";
    case DM_GETDEFID: return "DM_GETDEFID";
    case DM_SETDEFID: return "DM_SETDEFID";
    case BM_GETCHECK: return "BM_GETCHECK";
    case BM_SETCHECK: return "BM_SETCHECK";
    case BM_CLICK: return "BM_CLICK";
    case BM_SETIMAGE: return "BM_SETIMAGE";
    case BM_SETSTYLE: return "BM_SETSTYLE";
    case EM_SETSEL: return "EM_SETSEL";
    case EM_GETSEL: return "EM_GETSEL";
    case EM_LIMITTEXT: return "EM_LIMITTEXT";
    case EM_REPLACESEL: return "EM_REPLACESEL";
    case CB_ADDSTRING: return "CB_ADDSTRING";
    case CB_SETCURSEL: return "CB_SETCURSEL";
    case CB_GETCURSEL: return "CB_GETCURSEL";
    case CB_RESETCONTENT: return "CB_RESETCONTENT";
    }
    return nullptr;
}

const char* NotificationName(const Window* control, WORD code) {
    const std::u16string& cls = control ? control->windowClass->name : std::u16string();
    if (SameNameIgnoringCase(cls, u"EDIT")) {
        switch (code) {
        case EN_SETFOCUS: return "EN_SETFOCUS";
        case EN_KILLFOCUS: return "EN_KILLFOCUS";
        case EN_CHANGE: return "EN_CHANGE";
        case EN_UPDATE: return "EN_UPDATE";
        case EN_MAXTEXT: return "EN_MAXTEXT";
        }
    } else if (SameNameIgnoringCase(cls, u"COMBOBOX")) {
        switch (code) {
        case CBN_SELCHANGE: return "CBN_SELCHANGE";
        case CBN_SETFOCUS: return "CBN_SETFOCUS";
        case CBN_KILLFOCUS: return "CBN_KILLFOCUS";
        case CBN_SELENDOK: return "CBN_SELENDOK";
        }
    } else if (SameNameIgnoringCase(cls, u"BUTTON")) {
        switch (code) {
        case BN_CLICKED: return "BN_CLICKED";
        case BN_SETFOCUS: return "BN_SETFOCUS";
        case BN_KILLFOCUS: return "BN_KILLFOCUS";
        }
    } else if (SameNameIgnoringCase(cls, u"STATIC") && code == STN_CLICKED) {
        return "STN_CLICKED";
    }
    return nullptr;
}

}  // namespace

const std::vector<LoggedMessage>& MessageLog() { return Log(); }
void ClearMessageLog() { Log().clear(); }

std::string Describe(const LoggedMessage& m) {
    char text[160];
    const char* name = MessageName(m.message);
    std::string out = name ? name : (std::snprintf(text, sizeof text, "0x%04X", m.message), text);
    out += " " + std::to_string(m.controlId);
    if (m.message == WM_COMMAND) {
        const char* code = m.notification;
        out += " ";
        out += code ? code : std::to_string(HIWORD(m.wParam));
        out += " " + std::to_string(LOWORD(m.wParam));
    }
    return out;
}

void LogMessage(HWND window, const Window& w, UINT message, WPARAM wParam, LPARAM lParam) {
    // Top-level windows are named by their dialog template, children by id.
    int id = w.parent ? w.id : DialogTemplateId(window);
    // The notification is named now: its control may be gone when the log
    // is read.
    const char* notification = message == WM_COMMAND
                                   ? NotificationName(FindWindowObject(reinterpret_cast<HWND>(lParam)), HIWORD(wParam))
                                   : nullptr;
    Log().push_back(LoggedMessage{window, id, message, wParam, lParam, notification});
}

}  // namespace orbalis::win32

using namespace orbalis::win32;

extern "C" {

LRESULT WINAPI SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = FindWindowObject(window);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    LogMessage(window, *w, message, wParam, lParam);
    return w->proc(window, message, wParam, lParam);
}

LRESULT WINAPI CallWindowProcW(WNDPROC proc, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!proc) return 0;
    return proc(window, message, wParam, lParam);
}

LRESULT WINAPI DefWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = FindWindowObject(window);
    if (!w) return 0;
    switch (message) {
    case WM_NCCREATE: return TRUE;
    case WM_SETTEXT:
        w->text = lParam ? std::u16string(reinterpret_cast<LPCWSTR>(lParam)) : std::u16string();
        return TRUE;
    case WM_GETTEXT: return CopyOut(w->text, reinterpret_cast<LPWSTR>(lParam), static_cast<int>(wParam));
    case WM_GETTEXTLENGTH: return static_cast<LRESULT>(w->text.size());
    case WM_SETFONT: w->font = reinterpret_cast<HFONT>(wParam); return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(w->font);
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE) SendMessageW(window, WM_CLOSE, 0, 0);
        return 0;
    case WM_CLOSE: DestroyWindow(window); return 0;
    }
    return 0;
}

}  // extern "C"
