// File path operations beyond creating and converting paths: the path from
// the system's multibyte form, its name, its folder and whether it exists.
#pragma once

#include "host/suites/SuiteSupport.h"
#include "sdk/suites/StringSuites.h"

namespace orbalis::host {

// Bodies of the File Path suite's operations (host/suites/OperationGate.h).
HostErr SetFromPlatformPath(FilePathObject& path, const char* text, size_t length);
HostErr GetFileName(FilePathObject& path, HostBool withExtension, StringObject& name);
HostErr GetParent(FilePathObject& path, FilePathObject& parent);
HostErr Exists(FilePathObject& path, HostBool& exists, HostBool* isFolder);

}  // namespace orbalis::host
