/* The Win32 user-interface subset, as one include. */
#ifndef ORBALIS_SDK_WIN32_WINDOWS_H
#define ORBALIS_SDK_WIN32_WINDOWS_H

#if defined(_WIN32) && !defined(ORBALIS_WIN32_OWN_DECLARATIONS)
#include "RealWindows.h"
#else

#include "WinTypes.h"
#include "WinBase.h"
#include "WinUser.h"
#include "WinGdi.h"
#include "ShellApi.h"
#include "CommCtrl.h"
#include "CommDlg.h"

#endif /* _WIN32 */
#endif
