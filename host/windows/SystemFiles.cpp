#include "host/io/SystemFiles.h"

#include <fcntl.h>
#include <io.h>

#include <cstdlib>

#include "host/win32/Driver.h"
#include "host/windows/SystemCalls.h"

namespace orbalis::host {

int OpenForReading(const std::string& path) { return ::_open(path.c_str(), _O_RDONLY | _O_BINARY); }

std::string UserConfigFolder() {
    const char* appData = std::getenv("APPDATA");
    return appData && *appData ? appData : "";
}

std::string ProgramFile() {
    char16_t name[32768];
    const DWORD n = GetModuleFileNameW(nullptr, WideText(name), 32768);
    return n ? win32::Narrow(std::u16string(name, n)) : std::string();
}

}  // namespace orbalis::host
