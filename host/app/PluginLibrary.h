// The plug-in's library file, opened the way the system opens libraries:
// dlopen on Linux, LoadLibraryW on Windows.
#pragma once

#include <string>
#include <vector>

#include "host/win32/ResourceFile.h"

namespace orbalis::host {

// Every resource the library file carries, read without running any of its
// code. False, with the reason, when there are none to read.
bool ReadPluginResources(const std::string& path, std::vector<win32::Resource>* out, std::string* error);
// The loaded library, or null with the system's reason.
void* OpenPluginLibrary(const std::string& path, std::string* error);
void* PluginSymbol(void* library, const char* name);
void ClosePluginLibrary(void* library);

}  // namespace orbalis::host
