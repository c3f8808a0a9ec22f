/* GDI: brushes, fonts, bitmaps and device contexts. */
#ifndef ORBALIS_SDK_WIN32_WINGDI_H
#define ORBALIS_SDK_WIN32_WINGDI_H

#if defined(_WIN32) && !defined(ORBALIS_WIN32_OWN_DECLARATIONS)
#include "RealWindows.h"
#else

#include "WinTypes.h"

#define TRANSPARENT 1
#define OPAQUE 2
#define FW_NORMAL 400
#define FW_BOLD 700
#define LF_FACESIZE 32
#define SPI_GETICONTITLELOGFONT 0x001F
#define CLR_INVALID 0xFFFFFFFF

#ifndef RC_INVOKED

ORBALIS_WIN32_BEGIN_DECLARATIONS

typedef struct tagLOGFONTW {
    LONG lfHeight;
    LONG lfWidth;
    LONG lfEscapement;
    LONG lfOrientation;
    LONG lfWeight;
    BYTE lfItalic;
    BYTE lfUnderline;
    BYTE lfStrikeOut;
    BYTE lfCharSet;
    BYTE lfOutPrecision;
    BYTE lfClipPrecision;
    BYTE lfQuality;
    BYTE lfPitchAndFamily;
    WCHAR lfFaceName[LF_FACESIZE];
} LOGFONTW;

HBRUSH WINAPI CreateSolidBrush(COLORREF colour);
HBRUSH WINAPI GetSysColorBrush(int index);
DWORD WINAPI GetSysColor(int index);
HFONT WINAPI CreateFontIndirectW(const LOGFONTW* font);
BOOL WINAPI DeleteObject(HGDIOBJ object);
HGDIOBJ WINAPI SelectObject(HDC dc, HGDIOBJ object);
HDC WINAPI GetDC(HWND window);
int WINAPI ReleaseDC(HWND window, HDC dc);
COLORREF WINAPI SetTextColor(HDC dc, COLORREF colour);
COLORREF WINAPI GetTextColor(HDC dc);
COLORREF WINAPI SetBkColor(HDC dc, COLORREF colour);
int WINAPI SetBkMode(HDC dc, int mode);
int WINAPI GetBkMode(HDC dc);
BOOL WINAPI SystemParametersInfoW(UINT action, UINT param, LPVOID value, UINT winIni);

ORBALIS_WIN32_END_DECLARATIONS

#endif /* RC_INVOKED */

#endif /* _WIN32 */
#endif
