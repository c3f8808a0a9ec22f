// The window procedures of the standard control classes.
#pragma once

#include "sdk/win32/Windows.h"

namespace orbalis::win32 {

LRESULT CALLBACK ButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK StaticProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ComboBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK TreeViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace orbalis::win32
