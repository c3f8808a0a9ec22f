// The few file calls that differ between systems.
#pragma once

#include <string>

namespace orbalis::host {

// A descriptor for reading the file, in binary and without blocking on a
// device or pipe; -1 with errno set.
int OpenForReading(const std::string& path);

// The folder the user's settings for programs go in (no trailing
// separator), or empty when there is none.
std::string UserConfigFolder();

// The running program's own file, or empty when the system does not say.
std::string ProgramFile();

}  // namespace orbalis::host
