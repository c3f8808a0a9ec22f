// On Windows the plug-in's dialogs are the system's own: DialogBoxParamW and
// the common file dialogs run their modal loops in user32 and comdlg32.
// The host learns which dialog is which by standing between the plug-in and
// those calls, and takes the user's turn whenever a loop goes idle: a thread
// timer's message comes only when a loop has nothing else to do, whichever
// loop it is (a message box inside a file dialog included).
#include "host/windows/DialogWatch.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "host/win32/Driver.h"

namespace orbalis::win32 {
namespace {

// A dialog call of the plug-in under way, and the windows it made.
struct Call {
    int templateId;     // the dialog's template, or 0 for a file dialog
    std::string kind;   // "open" or "save", else empty
    int childTemplate;  // a file dialog's own template inside it, or 0
    HWND window = nullptr;
    HWND child = nullptr;
};

std::vector<Call> gCalls;  // innermost last
std::vector<HWND> gModal;  // top-level dialogs of this thread, newest last
DialogUser* gUser = nullptr;
HHOOK gCreateHook = nullptr;
UINT_PTR gTimer = 0;
std::vector<ShellRequest> gShellRequests;
std::function<void(const ShellRequest&)> gShellObserver;

bool IsDialogClass(const CREATESTRUCTW* create) {
    // The dialog class is the atom 32770.
    return IS_INTRESOURCE(create->lpszClass) && reinterpret_cast<uintptr_t>(create->lpszClass) == 32770;
}

LRESULT CALLBACK CreateHook(int code, WPARAM wParam, LPARAM lParam) {
    HWND window = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_CREATEWND) {
        const CREATESTRUCTW* create = reinterpret_cast<CBT_CREATEWNDW*>(lParam)->lpcs;
        if (IsDialogClass(create)) {
            const bool child = (create->style & WS_CHILD) != 0;
            if (!child) gModal.push_back(window);
            if (!gCalls.empty()) {
                Call& call = gCalls.back();
                if (!child && !call.window)
                    call.window = window;
                else if (child && call.window && !call.child && call.childTemplate)
                    call.child = window;
            }
        }
    } else if (code == HCBT_DESTROYWND) {
        std::erase(gModal, window);
    }
    return CallNextHookEx(gCreateHook, code, wParam, lParam);
}

// The dialog a person would be at: the newest shown and enabled one (a
// modal dialog disables the windows under it).
HWND InnermostDialog() {
    for (auto it = gModal.rbegin(); it != gModal.rend(); ++it)
        if (IsWindow(*it) && IsWindowVisible(*it) && IsWindowEnabled(*it)) return *it;
    return nullptr;
}

// Dialogs told to close whose loops have not ended them yet.
std::vector<HWND> gClosing;

void CALLBACK OnIdle(HWND, UINT, UINT_PTR, DWORD) {
    // A step may open a dialog of its own, whose loop then runs inside the
    // step; a dialog whose step is under way is not acted on again.
    static std::vector<HWND> acting;
    std::erase_if(gClosing, [](HWND w) { return !IsWindow(w); });
    HWND dialog = InnermostDialog();
    if (!gUser || !dialog || std::find(acting.begin(), acting.end(), dialog) != acting.end()) return;
    if (std::find(gClosing.begin(), gClosing.end(), dialog) != gClosing.end()) {
        // The close (a posted Cancel) has been handled and the dialog stays.
        std::erase(gClosing, dialog);
        EndDialog(dialog, -1);
        return;
    }
    acting.push_back(dialog);
    const bool acted = gUser->Act(dialog);
    acting.pop_back();
    if (IsWindow(dialog) && !acted) {
        // Nothing more from the user: closed as with the caption's button,
        // and ended outright at the next turn if it stays.
        SendMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        gClosing.push_back(dialog);
    }
}

void InstallHooks() {
    if (!gCreateHook) gCreateHook = SetWindowsHookExW(WH_CBT, CreateHook, nullptr, GetCurrentThreadId());
}

// Keeps a call on the list while the system's dialog runs.
struct CallScope {
    explicit CallScope(Call call) {
        InstallHooks();
        gCalls.push_back(std::move(call));
    }
    ~CallScope() { gCalls.pop_back(); }
};

int TemplateNumber(const void* name) {
    return IS_INTRESOURCE(name) ? static_cast<int>(reinterpret_cast<uintptr_t>(name)) : 0;
}

// The system's entries the watch stands in for, filled in as the module's
// import table is rewritten.
INT_PTR(WINAPI* gDialogBoxParamW)(HINSTANCE, LPCWSTR, HWND, DLGPROC, LPARAM);
INT_PTR(WINAPI* gDialogBoxParamA)(HINSTANCE, LPCSTR, HWND, DLGPROC, LPARAM);
BOOL(WINAPI* gGetOpenFileNameA)(OPENFILENAMEA*);
BOOL(WINAPI* gGetSaveFileNameA)(OPENFILENAMEA*);
BOOL(WINAPI* gGetOpenFileNameW)(OPENFILENAMEW*);
BOOL(WINAPI* gGetSaveFileNameW)(OPENFILENAMEW*);
void* gShellExecuteA;
void* gShellExecuteW;

INT_PTR WINAPI WatchedDialogBoxParamW(HINSTANCE module, LPCWSTR name, HWND owner, DLGPROC procedure, LPARAM param) {
    CallScope scope({TemplateNumber(name), {}, 0});
    return gDialogBoxParamW(module, name, owner, procedure, param);
}
INT_PTR WINAPI WatchedDialogBoxParamA(HINSTANCE module, LPCSTR name, HWND owner, DLGPROC procedure, LPARAM param) {
    CallScope scope({TemplateNumber(name), {}, 0});
    return gDialogBoxParamA(module, name, owner, procedure, param);
}
int ChildTemplate(DWORD flags, const void* name) { return (flags & OFN_ENABLETEMPLATE) ? TemplateNumber(name) : 0; }
BOOL WINAPI WatchedGetOpenFileNameA(OPENFILENAMEA* o) {
    CallScope scope({0, "open", o ? ChildTemplate(o->Flags, o->lpTemplateName) : 0});
    return gGetOpenFileNameA(o);
}
BOOL WINAPI WatchedGetSaveFileNameA(OPENFILENAMEA* o) {
    CallScope scope({0, "save", o ? ChildTemplate(o->Flags, o->lpTemplateName) : 0});
    return gGetSaveFileNameA(o);
}
BOOL WINAPI WatchedGetOpenFileNameW(OPENFILENAMEW* o) {
    CallScope scope({0, "open", o ? ChildTemplate(o->Flags, o->lpTemplateName) : 0});
    return gGetOpenFileNameW(o);
}
BOOL WINAPI WatchedGetSaveFileNameW(OPENFILENAMEW* o) {
    CallScope scope({0, "save", o ? ChildTemplate(o->Flags, o->lpTemplateName) : 0});
    return gGetSaveFileNameW(o);
}

std::string Text(LPCSTR text) { return text ? text : ""; }
std::string Text(LPCWSTR text) { return text ? Narrow(reinterpret_cast<const char16_t*>(text)) : ""; }

// Shell requests are noted and shown, as the stand-in host does, not carried
// out: a command line run never opens a browser behind the user's back.
template <class Char>
HINSTANCE Shell(const Char* operation, const Char* file, const Char* parameters, const Char* folder, INT show) {
    ShellRequest request{Text(operation), Text(file), Text(parameters), Text(folder), show};
    gShellRequests.push_back(request);
    if (gShellObserver) gShellObserver(request);
    return reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(33));  // above 32: done
}
HINSTANCE WINAPI WatchedShellExecuteA(HWND, LPCSTR o, LPCSTR f, LPCSTR p, LPCSTR d, INT s) {
    return Shell(o, f, p, d, s);
}
HINSTANCE WINAPI WatchedShellExecuteW(HWND, LPCWSTR o, LPCWSTR f, LPCWSTR p, LPCWSTR d, INT s) {
    return Shell(o, f, p, d, s);
}

struct Replacement {
    const char* name;
    void* watched;
    void** system;
};

template <class T>
uint32_t Read32(const uint8_t* base, size_t offset) {
    T value;
    std::memcpy(&value, base + offset, sizeof value);
    return static_cast<uint32_t>(value);
}

}  // namespace

void WatchModule(HINSTANCE module) {
    const Replacement replacements[] = {
        {"DialogBoxParamW", reinterpret_cast<void*>(WatchedDialogBoxParamW),
         reinterpret_cast<void**>(&gDialogBoxParamW)},
        {"DialogBoxParamA", reinterpret_cast<void*>(WatchedDialogBoxParamA),
         reinterpret_cast<void**>(&gDialogBoxParamA)},
        {"GetOpenFileNameA", reinterpret_cast<void*>(WatchedGetOpenFileNameA),
         reinterpret_cast<void**>(&gGetOpenFileNameA)},
        {"GetSaveFileNameA", reinterpret_cast<void*>(WatchedGetSaveFileNameA),
         reinterpret_cast<void**>(&gGetSaveFileNameA)},
        {"GetOpenFileNameW", reinterpret_cast<void*>(WatchedGetOpenFileNameW),
         reinterpret_cast<void**>(&gGetOpenFileNameW)},
        {"GetSaveFileNameW", reinterpret_cast<void*>(WatchedGetSaveFileNameW),
         reinterpret_cast<void**>(&gGetSaveFileNameW)},
        {"ShellExecuteA", reinterpret_cast<void*>(WatchedShellExecuteA), reinterpret_cast<void**>(&gShellExecuteA)},
        {"ShellExecuteW", reinterpret_cast<void*>(WatchedShellExecuteW), reinterpret_cast<void**>(&gShellExecuteW)},
    };
    auto* base = reinterpret_cast<uint8_t*>(module);
    if (!base || base[0] != 'M' || base[1] != 'Z') return;
    const uint32_t headers = Read32<int32_t>(base, 0x3C);
    if (std::memcmp(base + headers, "PE\0\0", 4) != 0) return;
    const size_t optional = headers + 24;
    if (Read32<uint16_t>(base, optional) != 0x20B) return;  // a 64-bit image
    const uint32_t imports = Read32<uint32_t>(base, optional + 112 + 8);
    if (!imports) return;
    for (size_t d = imports; Read32<uint32_t>(base, d + 12) != 0; d += 20) {
        const uint32_t names = Read32<uint32_t>(base, d);
        const uint32_t addresses = Read32<uint32_t>(base, d + 16);
        if (!names || !addresses) continue;
        for (size_t i = 0;; ++i) {
            uint64_t entry;
            std::memcpy(&entry, base + names + i * 8, 8);
            if (!entry) break;
            if (entry >> 63) continue;  // by ordinal
            const char* name = reinterpret_cast<const char*>(base + static_cast<uint32_t>(entry) + 2);
            for (const Replacement& r : replacements) {
                if (std::strcmp(name, r.name) != 0) continue;
                void** slot = reinterpret_cast<void**>(base + addresses + i * 8);
                DWORD old = 0;
                if (!VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &old)) break;
                if (*slot != r.watched) {
                    *r.system = *slot;
                    *slot = r.watched;
                }
                VirtualProtect(slot, sizeof *slot, old, &old);
            }
        }
    }
}

// ---- The driver's view of the dialogs.

void SetDialogUser(DialogUser* user) {
    gUser = user;
    InstallHooks();
    if (user && !gTimer) gTimer = SetTimer(nullptr, 0, 10, OnIdle);
    if (!user && gTimer) {
        KillTimer(nullptr, gTimer);
        gTimer = 0;
    }
}
DialogUser* CurrentDialogUser() { return gUser; }

int DialogTemplateId(HWND dialog) {
    for (const Call& call : gCalls) {
        if (call.window == dialog) return call.templateId;
        if (call.child == dialog) return call.childTemplate;
    }
    return 0;
}

std::string DialogKind(HWND dialog) {
    for (const Call& call : gCalls)
        if (call.window == dialog) return call.kind;
    return {};
}

std::vector<HWND> OpenDialogs() {
    std::vector<HWND> open;
    for (const Call& call : gCalls)
        if (call.window && IsWindow(call.window)) open.push_back(call.window);
    return open;
}

bool DialogsShownOnDesktop() { return true; }

const std::vector<ShellRequest>& ShellRequests() { return gShellRequests; }
void ClearShellRequests() { gShellRequests.clear(); }
void OnShellRequest(std::function<void(const ShellRequest&)> observer) { gShellObserver = std::move(observer); }

}  // namespace orbalis::win32
