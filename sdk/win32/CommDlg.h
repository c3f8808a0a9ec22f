/* The common open and save file dialogs. */
#ifndef ORBALIS_SDK_WIN32_COMMDLG_H
#define ORBALIS_SDK_WIN32_COMMDLG_H

#if defined(_WIN32) && !defined(ORBALIS_WIN32_OWN_DECLARATIONS)
#include "RealWindows.h"
#else

#include "WinTypes.h"
#include "WinUser.h"
#include "CommCtrl.h"

#define OFN_READONLY 0x00000001
#define OFN_OVERWRITEPROMPT 0x00000002
#define OFN_HIDEREADONLY 0x00000004
#define OFN_NOCHANGEDIR 0x00000008
#define OFN_ENABLEHOOK 0x00000020
#define OFN_ENABLETEMPLATE 0x00000040
#define OFN_PATHMUSTEXIST 0x00000800
#define OFN_FILEMUSTEXIST 0x00001000
#define OFN_EXPLORER 0x00080000
#define OFN_ENABLESIZING 0x00800000

#define CDN_FIRST (0U - 601U)
#define CDN_INITDONE (CDN_FIRST - 0U)
#define CDN_FILEOK (CDN_FIRST - 5U)

#define FNERR_BUFFERTOOSMALL 0x3003
#define CDERR_DIALOGFAILURE 0xFFFF
#define CDERR_FINDRESFAILURE 0x0006

/* The file name field of the standard dialog. */
#define cmb13 0x047c

#ifndef RC_INVOKED

ORBALIS_WIN32_BEGIN_DECLARATIONS

typedef UINT_PTR(CALLBACK* LPOFNHOOKPROC)(HWND, UINT, WPARAM, LPARAM);

typedef struct tagOFNW {
    DWORD lStructSize;
    HWND hwndOwner;
    HINSTANCE hInstance;
    LPCWSTR lpstrFilter;
    LPWSTR lpstrCustomFilter;
    DWORD nMaxCustFilter;
    DWORD nFilterIndex;
    LPWSTR lpstrFile;
    DWORD nMaxFile;
    LPWSTR lpstrFileTitle;
    DWORD nMaxFileTitle;
    LPCWSTR lpstrInitialDir;
    LPCWSTR lpstrTitle;
    DWORD Flags;
    WORD nFileOffset;
    WORD nFileExtension;
    LPCWSTR lpstrDefExt;
    LPARAM lCustData;
    LPOFNHOOKPROC lpfnHook;
    LPCWSTR lpTemplateName;
    void* pvReserved;
    DWORD dwReserved;
    DWORD FlagsEx;
} OPENFILENAMEW;

typedef struct tagOFNA {
    DWORD lStructSize;
    HWND hwndOwner;
    HINSTANCE hInstance;
    LPCSTR lpstrFilter;
    LPSTR lpstrCustomFilter;
    DWORD nMaxCustFilter;
    DWORD nFilterIndex;
    LPSTR lpstrFile;
    DWORD nMaxFile;
    LPSTR lpstrFileTitle;
    DWORD nMaxFileTitle;
    LPCSTR lpstrInitialDir;
    LPCSTR lpstrTitle;
    DWORD Flags;
    WORD nFileOffset;
    WORD nFileExtension;
    LPCSTR lpstrDefExt;
    LPARAM lCustData;
    LPOFNHOOKPROC lpfnHook;
    LPCSTR lpTemplateName;
    void* pvReserved;
    DWORD dwReserved;
    DWORD FlagsEx;
} OPENFILENAMEA;

/* What the hook's WM_NOTIFY carries. */
typedef struct _OFNOTIFYW {
    NMHDR hdr;
    OPENFILENAMEW* lpOFN;
    LPWSTR pszFile;
} OFNOTIFYW;

typedef struct _OFNOTIFYA {
    NMHDR hdr;
    OPENFILENAMEA* lpOFN;
    LPSTR pszFile;
} OFNOTIFYA;

/* TRUE when the user chose a file; FALSE when cancelled or failed
 * (CommDlgExtendedError tells which, 0 for cancel). */
BOOL WINAPI GetOpenFileNameW(OPENFILENAMEW* ofn);
BOOL WINAPI GetSaveFileNameW(OPENFILENAMEW* ofn);
BOOL WINAPI GetOpenFileNameA(OPENFILENAMEA* ofn);
BOOL WINAPI GetSaveFileNameA(OPENFILENAMEA* ofn);
DWORD WINAPI CommDlgExtendedError(void);

ORBALIS_WIN32_END_DECLARATIONS

#endif /* RC_INVOKED */

#endif /* _WIN32 */
#endif
