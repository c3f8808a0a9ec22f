// The host's watch over the plug-in's modal dialogs on Windows: which
// template or file dialog each one is, and the dialog user's turn whenever
// a dialog's loop has nothing left to do.
#pragma once

#include "host/windows/SystemCalls.h"

namespace orbalis::win32 {

// Routes the plug-in module's calls that open modal dialogs (and its shell
// requests) through the host's watch, which notes what each dialog is
// before the system's own call runs. The module's import table is
// rewritten for these few entries only.
void WatchModule(HINSTANCE module);

}  // namespace orbalis::win32
