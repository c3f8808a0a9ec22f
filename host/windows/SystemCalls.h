// The Windows calls the host makes: the system's own headers, as the
// plug-in's subset brings them in on Windows.
#pragma once

#include "sdk/win32/Windows.h"

// The host's own ReplaceFile (host/io/ReplaceFile.h), not the system's
// ReplaceFileA/W that <windows.h> names so.
#undef ReplaceFile
