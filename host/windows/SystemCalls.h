// Windows calls the host makes besides the plug-in's subset in sdk/win32/,
// declared with that subset's types. Only the Windows build of the host
// includes this header; it links the system's own libraries.
#pragma once

#include "sdk/win32/Windows.h"

#define WM_MOUSEMOVE 0x0200
#define WM_NEXTDLGCTL 0x0028
#define MK_LBUTTON 0x0001
#define WH_CBT 5
#define HCBT_CREATEWND 3
#define HCBT_DESTROYWND 4
#define CB_SHOWDROPDOWN 0x014F
#define CB_GETDROPPEDSTATE 0x0157
#define CB_GETCOMBOBOXINFO 0x0164
#define LB_GETITEMRECT 0x0198
#define PW_CLIENTONLY 1
#define SRCCOPY 0x00CC0020
#define RDW_INVALIDATE 0x0001
#define RDW_ERASE 0x0004
#define RDW_ALLCHILDREN 0x0080
#define RDW_UPDATENOW 0x0100
#define RDW_FRAME 0x0400
#define CF_UNICODETEXT 13
#define MB_ERR_INVALID_CHARS 0x00000008
#define WC_NO_BEST_FIT_CHARS 0x00000400
#define GENERIC_WRITE 0x40000000UL
#define CREATE_NEW 1
#define FILE_ATTRIBUTE_NORMAL 0x80
#define MOVEFILE_REPLACE_EXISTING 0x1
#define MOVEFILE_WRITE_THROUGH 0x8
#define LOAD_LIBRARY_AS_DATAFILE 0x00000002
#define LOAD_LIBRARY_AS_IMAGE_RESOURCE 0x00000020
#define PAGE_READWRITE 0x04
#define ERROR_FILE_EXISTS 80L
#define ERROR_ALREADY_EXISTS 183L
#define FORMAT_MESSAGE_FROM_SYSTEM 0x00001000
#define FORMAT_MESSAGE_IGNORE_INSERTS 0x00000200
#define DIB_RGB_COLORS 0
#define BI_RGB 0

#ifdef __cplusplus
extern "C" {
#endif

typedef struct HHOOK__* HHOOK;
typedef LRESULT(CALLBACK* HOOKPROC)(int code, WPARAM wParam, LPARAM lParam);
typedef INT_PTR(WINAPI* FARPROC)(void);
typedef void(CALLBACK* TIMERPROC)(HWND window, UINT message, UINT_PTR id, DWORD time);

typedef struct tagCWPSTRUCT {
    LPARAM lParam;
    WPARAM wParam;
    UINT message;
    HWND hwnd;
} CWPSTRUCT;

typedef struct tagCBT_CREATEWNDW {
    CREATESTRUCTW* lpcs;
    HWND hwndInsertAfter;
} CBT_CREATEWNDW;

typedef struct tagCOMBOBOXINFO {
    DWORD cbSize;
    RECT rcItem;
    RECT rcButton;
    DWORD stateButton;
    HWND hwndCombo;
    HWND hwndItem;
    HWND hwndList;
} COMBOBOXINFO;

typedef struct tagBITMAPINFOHEADER {
    DWORD biSize;
    LONG biWidth;
    LONG biHeight;
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
} BITMAPINFOHEADER;

typedef BOOL(CALLBACK* ENUMRESTYPEPROCW)(HINSTANCE module, LPWSTR type, LONG_PTR param);
typedef BOOL(CALLBACK* ENUMRESNAMEPROCW)(HINSTANCE module, LPCWSTR type, LPWSTR name, LONG_PTR param);
typedef BOOL(CALLBACK* ENUMRESLANGPROCW)(HINSTANCE module, LPCWSTR type, LPCWSTR name, WORD language,
                                          LONG_PTR param);

BOOL WINAPI PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
UINT_PTR WINAPI SetTimer(HWND window, UINT_PTR id, UINT milliseconds, TIMERPROC procedure);
BOOL WINAPI KillTimer(HWND window, UINT_PTR id);
HHOOK WINAPI SetWindowsHookExW(int kind, HOOKPROC procedure, HINSTANCE module, DWORD thread);
BOOL WINAPI UnhookWindowsHookEx(HHOOK hook);
LRESULT WINAPI CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam);
DWORD WINAPI GetCurrentThreadId(void);
BOOL WINAPI PrintWindow(HWND window, HDC dc, UINT flags);
HDC WINAPI CreateCompatibleDC(HDC dc);
HBITMAP WINAPI CreateCompatibleBitmap(HDC dc, int width, int height);
BOOL WINAPI DeleteDC(HDC dc);
int WINAPI GetDIBits(HDC dc, HBITMAP bitmap, UINT start, UINT lines, LPVOID bits, BITMAPINFOHEADER* info,
                     UINT usage);
BOOL WINAPI UpdateWindow(HWND window);
BOOL WINAPI BitBlt(HDC target, int x, int y, int width, int height, HDC source, int sourceX, int sourceY, DWORD operation);
BOOL WINAPI RedrawWindow(HWND window, const RECT* area, void* region, UINT flags);
BOOL WINAPI SetForegroundWindow(HWND window);

HINSTANCE WINAPI LoadLibraryW(LPCWSTR file);
HINSTANCE WINAPI LoadLibraryExW(LPCWSTR file, HANDLE reserved, DWORD flags);
BOOL WINAPI FreeLibrary(HINSTANCE module);
FARPROC WINAPI GetProcAddress(HINSTANCE module, LPCSTR name);
DWORD WINAPI FormatMessageA(DWORD flags, LPCVOID source, DWORD id, DWORD language, LPSTR buffer, DWORD size,
                            void* arguments);
BOOL WINAPI EnumResourceTypesW(HINSTANCE module, ENUMRESTYPEPROCW procedure, LONG_PTR param);
BOOL WINAPI EnumResourceNamesW(HINSTANCE module, LPCWSTR type, ENUMRESNAMEPROCW procedure, LONG_PTR param);
BOOL WINAPI EnumResourceLanguagesW(HINSTANCE module, LPCWSTR type, LPCWSTR name, ENUMRESLANGPROCW procedure,
                                   LONG_PTR param);
HRSRC WINAPI FindResourceExW(HINSTANCE module, LPCWSTR type, LPCWSTR name, WORD language);
BOOL WINAPI VirtualProtect(LPVOID address, size_t size, DWORD protection, DWORD* old);

int WINAPI MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR text, int bytes, LPWSTR wide, int units);
BOOL WINAPI IsDBCSLeadByteEx(UINT codePage, BYTE byte);

HANDLE WINAPI CreateFileW(LPCWSTR name, DWORD access, DWORD share, void* security, DWORD disposition,
                          DWORD attributes, HANDLE templateFile);
BOOL WINAPI WriteFile(HANDLE file, LPCVOID data, DWORD size, DWORD* written, void* overlapped);
BOOL WINAPI FlushFileBuffers(HANDLE file);
BOOL WINAPI CloseHandle(HANDLE object);
BOOL WINAPI MoveFileExW(LPCWSTR from, LPCWSTR to, DWORD flags);
BOOL WINAPI DeleteFileW(LPCWSTR name);
DWORD WINAPI GetFileAttributesW(LPCWSTR name);
BOOL WINAPI SetFileAttributesW(LPCWSTR name, DWORD attributes);

#ifdef __cplusplus
}
#endif
