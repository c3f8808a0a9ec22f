/* The Win32 user-interface subset, as one include. */
#ifndef ORBALIS_SDK_WIN32_WINDOWS_H
#define ORBALIS_SDK_WIN32_WINDOWS_H

#include "WinTypes.h"
#include "WinBase.h"
#include "WinUser.h"
#include "WinGdi.h"
#include "ShellApi.h"
#include "CommCtrl.h"
#include "CommDlg.h"

#endif
