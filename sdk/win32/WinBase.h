/* Modules and their resources. */
#ifndef ORBALIS_SDK_WIN32_WINBASE_H
#define ORBALIS_SDK_WIN32_WINBASE_H

#if defined(_WIN32) && !defined(ORBALIS_WIN32_OWN_DECLARATIONS)
#include "RealWindows.h"
#else

#include "WinTypes.h"

#ifndef RC_INVOKED

ORBALIS_WIN32_BEGIN_DECLARATIONS

/* The module loaded in this process from `path` (or the program, for null). */
HMODULE WINAPI GetModuleHandleW(LPCWSTR path);
HMODULE WINAPI GetModuleHandleA(LPCSTR path);
DWORD WINAPI GetModuleFileNameW(HMODULE module, LPWSTR path, DWORD size);

HRSRC WINAPI FindResourceW(HMODULE module, LPCWSTR name, LPCWSTR type);
HGLOBAL WINAPI LoadResource(HMODULE module, HRSRC resource);
LPVOID WINAPI LockResource(HGLOBAL data);
DWORD WINAPI SizeofResource(HMODULE module, HRSRC resource);

ORBALIS_WIN32_END_DECLARATIONS

#endif /* RC_INVOKED */

#endif /* _WIN32 */
#endif
