// The calling thread's last error, as the Win32 calls leave it.
#include "sdk/win32/WinTypes.h"

namespace {
thread_local DWORD gLastError = 0;
}

extern "C" {

DWORD WINAPI GetLastError(void) { return gLastError; }
void WINAPI SetLastError(DWORD error) { gLastError = error; }
}
