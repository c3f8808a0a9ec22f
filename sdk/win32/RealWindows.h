/* On Windows the subset is the system's own: its headers, plus the thin
 * char16_t forms of the wide calls the plug-in makes (WideText.h). */
#ifndef ORBALIS_SDK_WIN32_REALWINDOWS_H
#define ORBALIS_SDK_WIN32_REALWINDOWS_H

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>

#include "WideText.h"

#endif
