// The ANSI forms: each converts its texts through the system's multibyte
// code page (UTF-8 here) and calls the wide form.
#include <cstring>

#include "host/win32/Driver.h"
#include "host/win32/Windows.h"

namespace orbalis::win32 {
namespace {

// A converted argument; null stays null and resource ids stay ids.
class WideArg {
public:
    explicit WideArg(LPCSTR text) {
        if (!text) return;
        if (IS_INTRESOURCE(text)) {
            id_ = reinterpret_cast<LPCWSTR>(text);
            return;
        }
        text_ = Widen(text);
        has_ = true;
    }
    LPCWSTR get() const { return has_ ? text_.c_str() : id_; }

private:
    std::u16string text_;
    LPCWSTR id_ = nullptr;
    bool has_ = false;
};

// Copies the UTF-8 form of `wide` into a buffer of `size` bytes, never
// cutting a character in two; returns the bytes copied without the NUL.
int CopyNarrow(const std::u16string& wide, LPSTR buffer, int size) {
    if (!buffer || size <= 0) return 0;
    const std::string text = Narrow(wide);
    size_t n = std::min(text.size(), static_cast<size_t>(size - 1));
    while (n > 0 && n < text.size() && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
    std::memcpy(buffer, text.data(), n);
    buffer[n] = 0;
    return static_cast<int>(n);
}

std::u16string WindowText(HWND window) {
    const int n = GetWindowTextLengthW(window);
    std::u16string text(static_cast<size_t>(n) + 1, u'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), n + 1)));
    return text;
}

}  // namespace
}  // namespace orbalis::win32

using namespace orbalis::win32;

extern "C" {

BOOL WINAPI SetWindowTextA(HWND window, LPCSTR text) { return SetWindowTextW(window, WideArg(text).get()); }

int WINAPI GetWindowTextA(HWND window, LPSTR text, int size) {
    if (!IsWindow(window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        if (text && size > 0) text[0] = 0;
        return 0;
    }
    return CopyNarrow(WindowText(window), text, size);
}

BOOL WINAPI SetDlgItemTextA(HWND dialog, int id, LPCSTR text) {
    return SetDlgItemTextW(dialog, id, WideArg(text).get());
}

UINT WINAPI GetDlgItemTextA(HWND dialog, int id, LPSTR text, int size) {
    HWND control = GetDlgItem(dialog, id);
    if (!control) {
        if (text && size > 0) text[0] = 0;
        return 0;
    }
    return static_cast<UINT>(CopyNarrow(WindowText(control), text, size));
}

HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                            int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param) {
    return CreateWindowExW(exStyle, WideArg(className).get(), WideArg(windowName).get(), style, x, y, width, height,
                           parent, menu, instance, param);
}

INT_PTR WINAPI DialogBoxParamA(HINSTANCE instance, LPCSTR templateName, HWND owner, DLGPROC proc, LPARAM param) {
    return DialogBoxParamW(instance, WideArg(templateName).get(), owner, proc, param);
}

HMODULE WINAPI GetModuleHandleA(LPCSTR path) { return GetModuleHandleW(WideArg(path).get()); }

HINSTANCE WINAPI ShellExecuteA(HWND window, LPCSTR operation, LPCSTR file, LPCSTR parameters, LPCSTR directory,
                               INT showCommand) {
    return ShellExecuteW(window, WideArg(operation).get(), WideArg(file).get(), WideArg(parameters).get(),
                         WideArg(directory).get(), showCommand);
}

}  // extern "C"
