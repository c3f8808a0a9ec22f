// Pictures of dialogs in the classic Windows look, drawn from the live window
// tree: every control with its current text, check state, selection and
// enabling. Coordinates are the pixels the dialog units map to.
#pragma once

#include <string>

#include "sdk/win32/Windows.h"

namespace orbalis::win32 {

// An SVG document of the dialog with its caption bar and frame.
std::string DrawDialogSvg(HWND dialog);

// The picture of dialog template `id` of the module as it opens before its
// procedure fills it; empty, with the reason, when there is no such dialog.
std::string DrawTemplateSvg(HINSTANCE module, int id, std::string* error);

}  // namespace orbalis::win32
