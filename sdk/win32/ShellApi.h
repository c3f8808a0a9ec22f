/* Opening documents and web pages with the system's shell. */
#ifndef ORBALIS_SDK_WIN32_SHELLAPI_H
#define ORBALIS_SDK_WIN32_SHELLAPI_H

#if defined(_WIN32) && !defined(ORBALIS_WIN32_OWN_DECLARATIONS)
#include "RealWindows.h"
#else

#include "WinTypes.h"

#ifndef RC_INVOKED

ORBALIS_WIN32_BEGIN_DECLARATIONS

/* Returns a value above 32 on success. */
HINSTANCE WINAPI ShellExecuteW(HWND window, LPCWSTR operation, LPCWSTR file, LPCWSTR parameters, LPCWSTR directory,
                               INT showCommand);
HINSTANCE WINAPI ShellExecuteA(HWND window, LPCSTR operation, LPCSTR file, LPCSTR parameters, LPCSTR directory,
                               INT showCommand);

ORBALIS_WIN32_END_DECLARATIONS

#endif /* RC_INVOKED */

#endif /* _WIN32 */
#endif
