// What the host's scripted users ask of a window's class.
#pragma once

#include <string>

#include "sdk/win32/Windows.h"

namespace orbalis::host {

// The class name in capitals: Windows compares class names without regard
// to case, and its own controls' classes are written "Button", "Static".
std::u16string ClassOf(HWND window);

}  // namespace orbalis::host
