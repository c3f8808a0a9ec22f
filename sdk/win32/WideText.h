/* The plug-in's text is UTF-16 in char16_t (u"" literals, std::u16string).
 * Windows' WCHAR is wchar_t, of the same size and encoding; the subset
 * declared here elsewhere makes WCHAR char16_t itself. WideText hands such
 * text to a field of a Win32 structure on both, and on Windows each wide
 * call the plug-in makes with char16_t text gets a thin overload that does
 * the same for its arguments. */
#ifndef ORBALIS_SDK_WIN32_WIDETEXT_H
#define ORBALIS_SDK_WIN32_WIDETEXT_H

#if defined(__cplusplus) && !defined(RC_INVOKED) && !defined(ORBALIS_WIN32_OWN_DECLARATIONS)

static_assert(sizeof(WCHAR) == sizeof(char16_t), "WCHAR holds UTF-16 code units");

inline LPWSTR WideText(char16_t* text) { return reinterpret_cast<LPWSTR>(text); }
inline LPCWSTR WideText(const char16_t* text) { return reinterpret_cast<LPCWSTR>(text); }

#ifdef _WIN32

inline HWND CreateWindowExW(DWORD exStyle, const char16_t* className, const char16_t* windowName, DWORD style, int x,
                            int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param) {
    return CreateWindowExW(exStyle, WideText(className), WideText(windowName), style, x, y, width, height, parent, menu,
                           instance, param);
}
inline BOOL SetWindowTextW(HWND window, const char16_t* text) { return SetWindowTextW(window, WideText(text)); }
inline int GetWindowTextW(HWND window, char16_t* text, int size) {
    return GetWindowTextW(window, WideText(text), size);
}
inline BOOL SetDlgItemTextW(HWND dialog, int id, const char16_t* text) {
    return SetDlgItemTextW(dialog, id, WideText(text));
}
inline UINT GetDlgItemTextW(HWND dialog, int id, char16_t* text, int size) {
    return GetDlgItemTextW(dialog, id, WideText(text), size);
}
inline BOOL SetPropW(HWND window, const char16_t* name, HANDLE data) { return SetPropW(window, WideText(name), data); }
inline HANDLE GetPropW(HWND window, const char16_t* name) { return GetPropW(window, WideText(name)); }
inline HANDLE RemovePropW(HWND window, const char16_t* name) { return RemovePropW(window, WideText(name)); }
inline int WideCharToMultiByte(UINT codePage, DWORD flags, const char16_t* wide, int wideChars, LPSTR text, int bytes,
                               LPCSTR defaultChar, BOOL* usedDefault) {
    return WideCharToMultiByte(codePage, flags, WideText(wide), wideChars, text, bytes, defaultChar, usedDefault);
}
inline int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR text, int bytes, char16_t* wide, int wideChars) {
    return MultiByteToWideChar(codePage, flags, text, bytes, WideText(wide), wideChars);
}

#endif /* _WIN32 */
#endif /* __cplusplus */
#endif
