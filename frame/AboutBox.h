// The About box: the version and a button that opens the plug-in's web page.
#pragma once

#include "resources/ResourceIds.h"
#include "sdk/HostMessages.h"
#include "sdk/win32/Windows.h"

namespace orbalis {

// The page the About box's web button opens: the plug-in's documentation.
inline constexpr const char* kWebAddress = "https://orbalis.example.org/docs/";

inline constexpr int kAboutDialogId = IDD_ABOUT;
inline constexpr int kAboutWebButtonId = IDC_ABOUT_WEBSITE;

// Shows the About box over the host's main window. Returns the code of a
// failing host call, else 0 (also when the box could not be shown).
HostErr ShowAboutBox(HostPluginRef plugin);

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace orbalis
