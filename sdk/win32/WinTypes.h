/* Basic Windows types of the user-interface subset the plug-in calls.
 *
 * Sizes follow 64-bit Windows: LONG and DWORD are 32 bits, the message
 * parameters pointer-sized. WCHAR is a 16-bit UTF-16 code unit (char16_t):
 * wchar_t is 4 bytes on this platform, so wide literals are written u"".
 * On Windows the system's own headers take the place of every header here
 * (RealWindows.h); the Windows build checks that the two agree. */
#ifndef ORBALIS_SDK_WIN32_WINTYPES_H
#define ORBALIS_SDK_WIN32_WINTYPES_H

#if defined(_WIN32) && !defined(ORBALIS_WIN32_OWN_DECLARATIONS)
#include "RealWindows.h"
#else

#define WINAPI
#define CALLBACK
#define APIENTRY

#define MAKEINTRESOURCEW(i) ((LPWSTR)(ULONG_PTR)(WORD)(i))
#define MAKEINTRESOURCEA(i) ((LPSTR)(ULONG_PTR)(WORD)(i))
#define IS_INTRESOURCE(p) ((((ULONG_PTR)(p)) >> 16) == 0)

#define TRUE 1
#define FALSE 0

#define MAKEWORD(lo, hi) ((WORD)(((BYTE)(lo)) | ((WORD)((BYTE)(hi))) << 8))
#define MAKELONG(lo, hi) ((LONG)(((WORD)(lo)) | ((DWORD)((WORD)(hi))) << 16))
#define LOWORD(l) ((WORD)(((DWORD_PTR)(l)) & 0xffff))
#define HIWORD(l) ((WORD)((((DWORD_PTR)(l)) >> 16) & 0xffff))
#define MAKEWPARAM(lo, hi) ((WPARAM)(DWORD)MAKELONG(lo, hi))
#define MAKELPARAM(lo, hi) ((LPARAM)(DWORD)MAKELONG(lo, hi))
#define RGB(r, g, b) ((COLORREF)(((BYTE)(r) | ((WORD)((BYTE)(g)) << 8)) | (((DWORD)(BYTE)(b)) << 16)))
#define GetRValue(c) ((BYTE)(c))
#define GetGValue(c) ((BYTE)(((WORD)(c)) >> 8))
#define GetBValue(c) ((BYTE)((c) >> 16))

#define ERROR_SUCCESS 0L
#define ERROR_INVALID_PARAMETER 87L
#define ERROR_INVALID_WINDOW_HANDLE 1400L
#define ERROR_INVALID_HANDLE 6L
#define ERROR_RESOURCE_DATA_NOT_FOUND 1812L
#define ERROR_RESOURCE_TYPE_NOT_FOUND 1813L
#define ERROR_RESOURCE_NAME_NOT_FOUND 1814L
#define ERROR_MOD_NOT_FOUND 126L
#define ERROR_CLASS_ALREADY_EXISTS 1410L
#define ERROR_CANNOT_FIND_WND_CLASS 1407L
#define ERROR_NOT_ENOUGH_MEMORY 8L

#define CP_ACP 0
#define CP_UTF8 65001

#ifndef RC_INVOKED

#include <stddef.h>
#include <stdint.h>

/* C declarations, as the system's are; the layout check gathers them in a
 * namespace of their own instead, beside the system's. */
#ifndef ORBALIS_WIN32_BEGIN_DECLARATIONS
#ifdef __cplusplus
#define ORBALIS_WIN32_BEGIN_DECLARATIONS extern "C" {
#define ORBALIS_WIN32_END_DECLARATIONS }
#else
#define ORBALIS_WIN32_BEGIN_DECLARATIONS
#define ORBALIS_WIN32_END_DECLARATIONS
#endif
#endif

ORBALIS_WIN32_BEGIN_DECLARATIONS

typedef int BOOL;
typedef unsigned char BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef uint32_t ULONG;
typedef uint32_t UINT;
typedef int INT;
typedef int16_t SHORT;
typedef char CHAR;
typedef char16_t WCHAR;
typedef intptr_t INT_PTR;
typedef uintptr_t UINT_PTR;
typedef intptr_t LONG_PTR;
typedef uintptr_t ULONG_PTR;
typedef uintptr_t DWORD_PTR;
typedef UINT_PTR WPARAM;
typedef LONG_PTR LPARAM;
typedef LONG_PTR LRESULT;
typedef DWORD COLORREF;
typedef WORD ATOM;
typedef void* LPVOID;
typedef const void* LPCVOID;
typedef CHAR* LPSTR;
typedef const CHAR* LPCSTR;
typedef WCHAR* LPWSTR;
typedef const WCHAR* LPCWSTR;
typedef BYTE* LPBYTE;
typedef DWORD* LPDWORD;
typedef void* HANDLE;

/* Handles are opaque: each kind its own pointer type, as with STRICT. */
#define ORBALIS_DECLARE_HANDLE(name) typedef struct name##__* name
ORBALIS_DECLARE_HANDLE(HWND);
ORBALIS_DECLARE_HANDLE(HINSTANCE);
ORBALIS_DECLARE_HANDLE(HICON);
ORBALIS_DECLARE_HANDLE(HBRUSH);
ORBALIS_DECLARE_HANDLE(HFONT);
ORBALIS_DECLARE_HANDLE(HBITMAP);
ORBALIS_DECLARE_HANDLE(HDC);
ORBALIS_DECLARE_HANDLE(HRSRC);
ORBALIS_DECLARE_HANDLE(HMENU);
#undef ORBALIS_DECLARE_HANDLE
typedef HINSTANCE HMODULE;
typedef HICON HCURSOR;
typedef void* HGDIOBJ;
typedef HANDLE HGLOBAL;

typedef struct tagPOINT {
    LONG x;
    LONG y;
} POINT, *LPPOINT;

typedef struct tagSIZE {
    LONG cx;
    LONG cy;
} SIZE;

typedef struct tagRECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
} RECT, *LPRECT;
typedef const RECT* LPCRECT;

DWORD WINAPI GetLastError(void);
void WINAPI SetLastError(DWORD error);

/* Conversions between the multibyte code pages and UTF-16. CP_ACP is the
 * system's multibyte code page. */
int WINAPI MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR text, int bytes, LPWSTR wide, int wideChars);
int WINAPI WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wide, int wideChars, LPSTR text, int bytes,
                               LPCSTR defaultChar, BOOL* usedDefault);
UINT WINAPI GetACP(void);

ORBALIS_WIN32_END_DECLARATIONS

#endif /* RC_INVOKED */

#include "WideText.h"

#endif /* _WIN32 */
#endif
