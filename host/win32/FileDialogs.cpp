// The common open and save file dialogs: a modal dialog with a file name
// field, and below it the caller's own child template run by the caller's
// hook. The hook gets WM_INITDIALOG with the caller's OPENFILENAME and, when
// the user confirms a name, WM_NOTIFY CDN_FILEOK; a hook that answers it with
// a non-zero DWLP_MSGRESULT keeps the dialog open. The folder of the file
// taken becomes the current folder unless OFN_NOCHANGEDIR is given.
#include <filesystem>
#include <functional>
#include <map>
#include <type_traits>

#include "host/win32/Dialogs.h"
#include "host/win32/Driver.h"

namespace orbalis::win32 {
namespace {

namespace fs = std::filesystem;

thread_local DWORD gExtendedError = 0;

struct FileRequest {
    bool save = false;
    HWND owner = nullptr;
    HINSTANCE instance = nullptr;
    std::u16string title, name, folder, defaultExtension;
    DWORD flags = 0;
    LPOFNHOOKPROC hook = nullptr;
    LPCWSTR templateName = nullptr;
    LPARAM hookParam = 0;  // the caller's own OPENFILENAME, A or W
    // Sends CDN_FILEOK for `path` to the hook's dialog; false when refused.
    std::function<bool(HWND child, const std::u16string& path)> fileOk;

    // Filled in by the dialog.
    HWND child = nullptr;
    std::u16string chosen;
    std::string refusal;
};

// The hook's window procedure; the hook is bound to its window at its first
// message, which comes while the child dialog is being made.
LPOFNHOOKPROC gPendingHook = nullptr;
std::map<HWND, LPOFNHOOKPROC>& Hooks() {
    static std::map<HWND, LPOFNHOOKPROC> hooks;
    return hooks;
}

INT_PTR CALLBACK HookTrampoline(HWND child, UINT message, WPARAM wParam, LPARAM lParam) {
    auto it = Hooks().find(child);
    if (it == Hooks().end()) {
        if (!gPendingHook) return FALSE;
        it = Hooks().emplace(child, gPendingHook).first;
    }
    const LPOFNHOOKPROC hook = it->second;
    if (message == WM_NCDESTROY) Hooks().erase(it);
    return static_cast<INT_PTR>(hook(child, message, wParam, lParam));
}

FileRequest* RequestOf(HWND dialog) { return reinterpret_cast<FileRequest*>(GetWindowLongPtrW(dialog, DWLP_USER)); }

std::u16string FieldText(HWND dialog) {
    char16_t buffer[1024];
    GetDlgItemTextW(dialog, cmb13, buffer, 1024);
    return buffer;
}

// The full path a typed name stands for, or why there is none.
bool Resolve(const FileRequest& r, const std::u16string& typed, std::u16string* path, std::string* why) {
    fs::path p(Narrow(typed));
    if (p.is_relative()) p = (r.folder.empty() ? fs::current_path() : fs::path(Narrow(r.folder))) / p;
    if (!p.has_extension() && !r.defaultExtension.empty()) p += "." + Narrow(r.defaultExtension);
    std::error_code ec;
    if ((r.flags & OFN_PATHMUSTEXIST) && !fs::is_directory(p.parent_path(), ec)) {
        *why = "the folder " + p.parent_path().string() + " does not exist";
        return false;
    }
    if ((r.flags & OFN_FILEMUSTEXIST) && !fs::is_regular_file(p, ec)) {
        *why = "the file " + p.string() + " does not exist";
        return false;
    }
    if (fs::is_directory(p, ec)) {
        *why = p.string() + " is a folder";
        return false;
    }
    *path = Widen(p.lexically_normal().string());
    return true;
}

INT_PTR CALLBACK FileDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        FileRequest* r = reinterpret_cast<FileRequest*>(lParam);
        SetDlgItemTextW(dialog, cmb13, r->name.c_str());
        // The name field has the focus before the caller's template is made,
        // so a hook that asks the dialog manager for the focus takes it.
        SetDialogFocus(GetDlgItem(dialog, cmb13));
        return FALSE;
    }
    if (message != WM_COMMAND) return FALSE;
    FileRequest* r = RequestOf(dialog);
    if (LOWORD(wParam) == IDCANCEL) return EndDialog(dialog, IDCANCEL);
    if (LOWORD(wParam) != IDOK || !r) return FALSE;
    r->refusal.clear();
    std::u16string path;
    const std::u16string typed = FieldText(dialog);
    if (typed.empty()) {
        r->refusal = "no file name";
        return TRUE;
    }
    if (!Resolve(*r, typed, &path, &r->refusal)) return TRUE;
    if (r->child && r->fileOk && !r->fileOk(r->child, path)) {
        r->refusal = "the dialog's own check refused it";
        return TRUE;
    }
    r->chosen = path;
    // The chosen file's folder becomes the process's current folder, as on
    // Windows, unless the caller asked to keep its own.
    if (!(r->flags & OFN_NOCHANGEDIR)) {
        std::error_code ec;
        fs::current_path(fs::path(Narrow(path)).parent_path(), ec);
    }
    return EndDialog(dialog, IDOK);
}

HWND AddControl(HWND dialog, const char16_t* cls, const std::u16string& text, DWORD style, RECT r, int id) {
    return CreateWindowExW(0, cls, text.c_str(), WS_CHILD | WS_VISIBLE | style, r.left, r.top, r.right - r.left,
                           r.bottom - r.top, dialog, reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), nullptr,
                           nullptr);
}

// Makes and runs the dialog; TRUE with `r.chosen` set when a file was chosen.
BOOL Run(FileRequest& r) {
    gExtendedError = 0;
    RegisterSystemClasses();
    const std::u16string title = !r.title.empty() ? r.title : r.save ? u"名前を付けて保存" : u"開く";
    HWND dialog = CreateWindowExW(0, u"#32770", title.c_str(), WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 0, 0,
                                  560, 110, r.owner, nullptr, nullptr, nullptr);
    Window* w = FindWindowObject(dialog);
    if (!w) {
        gExtendedError = CDERR_DIALOGFAILURE;
        return FALSE;
    }
    w->dialog = std::make_unique<DialogState>();
    w->dialog->fileKind = r.save ? "save" : "open";
    AddControl(dialog, u"STATIC", u"ファイル名(&N):", SS_RIGHT, RECT{8, 12, 100, 26}, -1);
    AddControl(dialog, u"EDIT", u"", WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, RECT{108, 8, 440, 30}, cmb13);
    AddControl(dialog, u"BUTTON", r.save ? u"保存(&S)" : u"開く(&O)", BS_DEFPUSHBUTTON | WS_TABSTOP,
               RECT{448, 8, 548, 34}, IDOK);
    AddControl(dialog, u"BUTTON", u"キャンセル", BS_PUSHBUTTON | WS_TABSTOP, RECT{448, 40, 548, 66}, IDCANCEL);
    // The file dialog's own procedure runs through the default dialog
    // procedure, as any dialog's does.
    FindWindowObject(dialog)->dialog->proc = FileDialogProc;
    SendMessageW(dialog, WM_INITDIALOG, 0, reinterpret_cast<LPARAM>(&r));
    if ((r.flags & OFN_ENABLETEMPLATE) && r.templateName) {
        // The caller's chooser sits below the standard controls.
        gPendingHook = (r.flags & OFN_ENABLEHOOK) ? r.hook : nullptr;
        r.child = CreateDialogParamW(r.instance, r.templateName, dialog, gPendingHook ? HookTrampoline : nullptr,
                                     r.hookParam);
        gPendingHook = nullptr;
        if (!r.child) {
            DestroyWindow(dialog);
            gExtendedError = CDERR_FINDRESFAILURE;
            return FALSE;
        }
        RECT c;
        GetClientRect(r.child, &c);
        SetWindowPos(r.child, nullptr, 0, 74, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        SetWindowPos(dialog, nullptr, 0, 0, 560, 74 + c.bottom + 8, SWP_NOMOVE | SWP_NOZORDER);
        ShowWindow(r.child, SW_SHOW);
    }
    return RunModalDialog(dialog, r.owner) == IDOK;
}

// Copies the chosen path into the caller's buffer of `size` units; false,
// with the extended error set, when it does not fit.
template <class Char>
bool Deliver(const std::basic_string<Char>& path, Char* buffer, DWORD size, WORD* offset, WORD* extension) {
    if (!buffer || path.size() + 1 > size) {
        gExtendedError = FNERR_BUFFERTOOSMALL;
        return false;
    }
    std::copy(path.begin(), path.end(), buffer);
    buffer[path.size()] = 0;
    const size_t slash = path.find_last_of(static_cast<Char>('/'));
    const size_t start = slash == std::basic_string<Char>::npos ? 0 : slash + 1;
    const size_t dot = path.find_last_of(static_cast<Char>('.'));
    *offset = static_cast<WORD>(start);
    *extension = static_cast<WORD>(dot == std::basic_string<Char>::npos || dot < start ? path.size() : dot + 1);
    return true;
}

std::u16string Wide(LPCWSTR text) { return text ? std::u16string(text) : std::u16string(); }
std::u16string Wide(LPCSTR text) { return text ? Widen(text) : std::u16string(); }

template <class Ofn, class Notify>
BOOL Choose(Ofn* ofn, bool save) {
    if (!ofn || ofn->lStructSize != sizeof(Ofn)) {
        gExtendedError = 1;  // CDERR_STRUCTSIZE
        return FALSE;
    }
    FileRequest r;
    r.save = save;
    r.owner = ofn->hwndOwner;
    r.instance = ofn->hInstance;
    r.title = Wide(ofn->lpstrTitle);
    r.name = ofn->lpstrFile ? Wide(ofn->lpstrFile) : std::u16string();
    r.folder = Wide(ofn->lpstrInitialDir);
    r.defaultExtension = Wide(ofn->lpstrDefExt);
    r.flags = ofn->Flags;
    r.hook = ofn->lpfnHook;
    std::u16string templateText;
    if (ofn->lpTemplateName && !IS_INTRESOURCE(ofn->lpTemplateName)) {
        templateText = Wide(ofn->lpTemplateName);
        r.templateName = templateText.c_str();
    } else {
        r.templateName = reinterpret_cast<LPCWSTR>(ofn->lpTemplateName);
    }
    r.hookParam = reinterpret_cast<LPARAM>(ofn);
    r.fileOk = [ofn](HWND child, const std::u16string& path) {
        using Text = std::remove_pointer_t<decltype(ofn->lpstrFile)>;
        std::basic_string<Text> file;
        if constexpr (sizeof(Text) == 1)
            file = Narrow(path);
        else
            file = path;
        Notify note{};
        note.hdr.hwndFrom = GetParent(child);
        note.hdr.code = CDN_FILEOK;
        note.lpOFN = ofn;
        note.pszFile = file.data();
        SetWindowLongPtrW(child, DWLP_MSGRESULT, 0);
        const LRESULT handled = SendMessageW(child, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&note));
        return !(handled && IsWindow(child) && GetWindowLongPtrW(child, DWLP_MSGRESULT));
    };
    if (!Run(r)) return FALSE;
    if constexpr (std::is_same_v<Ofn, OPENFILENAMEA>)
        return Deliver(Narrow(r.chosen), ofn->lpstrFile, ofn->nMaxFile, &ofn->nFileOffset, &ofn->nFileExtension);
    else
        return Deliver(r.chosen, ofn->lpstrFile, ofn->nMaxFile, &ofn->nFileOffset, &ofn->nFileExtension);
}

}  // namespace

std::string UserChooseFile(HWND dialog, const std::u16string& path) {
    if (DialogKind(dialog).empty()) return "this is not a file dialog";
    if (std::string error = UserType(dialog, cmb13, path); !error.empty()) return error;
    if (std::string error = UserClick(dialog, IDOK); !error.empty()) return error;
    FileRequest* r = IsWindow(dialog) ? RequestOf(dialog) : nullptr;
    if (r && !r->refusal.empty()) return "the dialog did not take it: " + r->refusal;
    return {};
}

}  // namespace orbalis::win32

using namespace orbalis::win32;

extern "C" {

BOOL WINAPI GetOpenFileNameW(OPENFILENAMEW* ofn) { return Choose<OPENFILENAMEW, OFNOTIFYW>(ofn, false); }
BOOL WINAPI GetSaveFileNameW(OPENFILENAMEW* ofn) { return Choose<OPENFILENAMEW, OFNOTIFYW>(ofn, true); }
BOOL WINAPI GetOpenFileNameA(OPENFILENAMEA* ofn) { return Choose<OPENFILENAMEA, OFNOTIFYA>(ofn, false); }
BOOL WINAPI GetSaveFileNameA(OPENFILENAMEA* ofn) { return Choose<OPENFILENAMEA, OFNOTIFYA>(ofn, true); }
DWORD WINAPI CommDlgExtendedError(void) { return gExtendedError; }

}  // extern "C"
