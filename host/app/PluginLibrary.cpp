#include "host/app/PluginLibrary.h"

#include <dlfcn.h>

namespace orbalis::host {

bool ReadPluginResources(const std::string& path, std::vector<win32::Resource>* out, std::string* error) {
    return win32::ReadLibraryResources(path, out, error);
}

void* OpenPluginLibrary(const std::string& path, std::string* error) {
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) *error = std::string("cannot load plug-in: ") + dlerror();
    return library;
}

void* PluginSymbol(void* library, const char* name) { return dlsym(library, name); }

void ClosePluginLibrary(void* library) { dlclose(library); }

}  // namespace orbalis::host
