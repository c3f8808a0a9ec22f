// Modules and their resources: GetModuleHandle by the path a library was
// loaded from, the FindResource / LoadResource / LockResource family, and
// icons and bitmaps made from resources (LoadImageW, LoadIconW).
#include <dlfcn.h>

#include <filesystem>
#include <map>
#include <memory>

#include "host/win32/Driver.h"
#include "host/win32/Images.h"
#include "host/win32/ResourceFile.h"
#include "host/win32/Windows.h"

namespace orbalis::win32 {
namespace {

struct Module : Object {
    std::string path;
    std::vector<Resource> resources;
    std::map<const Resource*, HRSRC> found;
};

struct ResourceRef : Object {
    Module* module;
    const Resource* resource;
};

std::map<std::string, HMODULE>& ModulesByPath() {
    static std::map<std::string, HMODULE> modules;
    return modules;
}

std::map<std::tuple<HMODULE, std::string, UINT>, HANDLE>& SharedImages() {
    static std::map<std::tuple<HMODULE, std::string, UINT>, HANDLE> shared;
    return shared;
}

int gSharedIcons = 0;

Module* ModuleOf(HMODULE module) { return Handles().Get<Module>(module, Kind::Module); }

ResourceKey KeyOf(LPCWSTR name) {
    ResourceKey key;
    if (IS_INTRESOURCE(name)) {
        key.number = static_cast<int>(reinterpret_cast<uintptr_t>(name));
    } else {
        key.text = name;
        // "#123" names the number 123.
        if (key.text.size() > 1 && key.text[0] == u'#') {
            int n = 0;
            for (size_t i = 1; i < key.text.size() && n >= 0; ++i)
                n = key.text[i] >= u'0' && key.text[i] <= u'9' ? n * 10 + (key.text[i] - u'0') : -1;
            if (n >= 0) key = ResourceKey{n, {}};
        }
    }
    return key;
}

HMODULE AddModule(const std::string& path) {
    auto module = std::make_unique<Module>();
    module->path = path;
    std::string ignored;
    // A library without resources is still a module; it just finds none.
    if (!path.empty()) ReadLibraryResources(path, &module->resources, &ignored);
    return reinterpret_cast<HMODULE>(Handles().Add(Kind::Module, std::move(module)));
}

const Resource* Lookup(HMODULE instance, LPCWSTR name, LPCWSTR type) {
    Module* m = ModuleOf(instance);
    if (!m) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    const Resource* r = FindIn(m->resources, KeyOf(type), KeyOf(name));
    if (!r) SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return r;
}

// The icon of a group closest to `size` pixels wide (its own first size for 0).
const Resource* PickIcon(HMODULE instance, const Resource& group, int size) {
    const auto& d = group.data;
    if (d.size() < 6) return nullptr;
    const int count = d[4] | (d[5] << 8);
    int best = -1, bestDistance = 1 << 30;
    for (int i = 0; i < count && 6 + size_t(i) * 14 + 14 <= d.size(); ++i) {
        const uint8_t* e = d.data() + 6 + i * 14;
        const int width = e[0] ? e[0] : 256;
        const int distance = size ? std::abs(width - size) : i;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = e[12] | (e[13] << 8);
        }
    }
    return best < 0 ? nullptr : Lookup(instance, MAKEINTRESOURCEW(best), RT_ICON);
}

}  // namespace

int LiveIcons() { return Handles().Live(Kind::Icon) - gSharedIcons; }

}  // namespace orbalis::win32

using namespace orbalis::win32;

extern "C" {

HMODULE WINAPI GetModuleHandleW(LPCWSTR path) {
    namespace fs = std::filesystem;
    std::string key;
    if (path) {
        std::error_code ec;
        key = fs::weakly_canonical(fs::path(Narrow(path)), ec).string();
        if (ec || key.empty()) {
            SetLastError(ERROR_MOD_NOT_FOUND);
            return nullptr;
        }
        // Only a library this process has loaded has a module handle.
        void* loaded = dlopen(key.c_str(), RTLD_LAZY | RTLD_NOLOAD);
        if (!loaded) {
            SetLastError(ERROR_MOD_NOT_FOUND);
            return nullptr;
        }
        dlclose(loaded);
    }
    auto& modules = ModulesByPath();
    auto it = modules.find(key);
    if (it != modules.end() && ModuleOf(it->second)) return it->second;
    HMODULE module = AddModule(key);
    modules[key] = module;
    return module;
}

DWORD WINAPI GetModuleFileNameW(HMODULE module, LPWSTR path, DWORD size) {
    Module* m = ModuleOf(module);
    if (!m) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    std::error_code ec;
    const std::string name = m->path.empty() ? std::filesystem::read_symlink("/proc/self/exe", ec).string() : m->path;
    return static_cast<DWORD>(CopyOut(Widen(name), path, static_cast<int>(size)));
}

HRSRC WINAPI FindResourceW(HMODULE module, LPCWSTR name, LPCWSTR type) {
    const Resource* r = Lookup(module, name, type);
    if (!r) return nullptr;
    Module* m = ModuleOf(module);
    auto it = m->found.find(r);
    if (it != m->found.end()) return it->second;
    auto ref = std::make_unique<ResourceRef>();
    ref->module = m;
    ref->resource = r;
    HRSRC handle = reinterpret_cast<HRSRC>(Handles().Add(Kind::Resource, std::move(ref)));
    m->found[r] = handle;
    return handle;
}

HGLOBAL WINAPI LoadResource(HMODULE module, HRSRC resource) {
    auto* ref = Handles().Get<ResourceRef>(resource, Kind::Resource);
    if (!ref || (module && ModuleOf(module) != ref->module)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    // The data stays where the module keeps it; the handle is its address.
    return const_cast<uint8_t*>(ref->resource->data.data());
}

LPVOID WINAPI LockResource(HGLOBAL data) { return data; }

DWORD WINAPI SizeofResource(HMODULE module, HRSRC resource) {
    auto* ref = Handles().Get<ResourceRef>(resource, Kind::Resource);
    if (!ref || (module && ModuleOf(module) != ref->module)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    return static_cast<DWORD>(ref->resource->data.size());
}

HANDLE WINAPI LoadImageW(HINSTANCE instance, LPCWSTR name, UINT type, int cx, int cy, UINT flags) {
    if (type != IMAGE_BITMAP && type != IMAGE_ICON) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const std::string keyName = KeyOf(name).ToString();
    const auto sharedKey = std::make_tuple(instance, keyName, type);
    if (flags & LR_SHARED) {
        auto it = SharedImages().find(sharedKey);
        if (it != SharedImages().end()) return it->second;
    }
    const Resource* r = nullptr;
    if (type == IMAGE_BITMAP) {
        r = Lookup(instance, name, RT_BITMAP);
    } else if (const Resource* group = Lookup(instance, name, RT_GROUP_ICON)) {
        if ((flags & LR_DEFAULTSIZE) && cx == 0) cx = cy = 32;
        r = PickIcon(instance, *group, cx);
    }
    if (!r) return nullptr;
    auto image = std::make_unique<Image>();
    if (!DecodeDib(r->data.data(), r->data.size(), type == IMAGE_ICON, image.get())) {
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return nullptr;
    }
    if (cx > 0 && cy > 0 && (cx != image->width || cy != image->height)) {
        *image = Scaled(*image, cx, cy);
    }
    image->shared = (flags & LR_SHARED) != 0;
    const HandleKind& kind = type == IMAGE_ICON ? Kind::Icon : Kind::Bitmap;
    const bool shared = image->shared;
    HANDLE handle = reinterpret_cast<HANDLE>(Handles().Add(kind, std::move(image)));
    if (shared) {
        SharedImages()[sharedKey] = handle;
        if (&kind == &Kind::Icon) ++gSharedIcons;
    }
    return handle;
}

HICON WINAPI LoadIconW(HINSTANCE instance, LPCWSTR name) {
    return static_cast<HICON>(LoadImageW(instance, name, IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
}

BOOL WINAPI DestroyIcon(HICON icon) {
    auto* image = Handles().Get<Image>(icon, Kind::Icon);
    if (!image) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    // A shared icon belongs to the system and stays.
    if (image->shared) return TRUE;
    return Handles().Remove(reinterpret_cast<uintptr_t>(icon), Kind::Icon);
}

}  // extern "C"
