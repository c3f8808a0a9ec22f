// File path operations beyond creating and converting paths: the path from
// the system's multibyte form, its name, its folder and whether it exists.
#pragma once

#include "sdk/suites/StringSuites.h"

namespace orbalis::host {

HostErr SetFromPlatformPath(HostFilePath path, const char* text, size_t length);
HostErr GetFileName(HostFilePath path, HostBool withExtension, HostString name);
HostErr GetParent(HostFilePath path, HostFilePath parent);
HostErr Exists(HostFilePath path, HostBool* exists, HostBool* isFolder);

}  // namespace orbalis::host
