// The plug-in as a Windows DLL: loaded with LoadLibraryW, its resources read
// through the system's resource functions from the file mapped as data.
#include "host/app/PluginLibrary.h"

#include <cstdint>

#include "host/win32/Driver.h"
#include "host/windows/DialogWatch.h"
#include "host/windows/SystemCalls.h"

namespace orbalis::host {
namespace {

std::string SystemMessage(DWORD code) {
    char text[512] = {};
    const DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text,
                                   sizeof text, nullptr);
    std::string message(text, n);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == '.'))
        message.pop_back();
    return message.empty() ? "system error " + std::to_string(code) : message;
}

win32::ResourceKey KeyOf(LPCWSTR name) {
    win32::ResourceKey key;
    if (IS_INTRESOURCE(name))
        key.number = static_cast<int>(reinterpret_cast<uintptr_t>(name));
    else
        key.text = reinterpret_cast<const char16_t*>(name);
    return key;
}

struct Reading {
    std::vector<win32::Resource>* out;
};

BOOL CALLBACK OnLanguage(HINSTANCE module, LPCWSTR type, LPCWSTR name, WORD language, LONG_PTR param) {
    auto* reading = reinterpret_cast<Reading*>(param);
    HRSRC found = FindResourceExW(module, type, name, language);
    if (!found) return TRUE;
    const auto* data = static_cast<const uint8_t*>(LockResource(LoadResource(module, found)));
    const DWORD size = SizeofResource(module, found);
    reading->out->push_back(
        {KeyOf(type), KeyOf(name), language, data ? std::vector<uint8_t>(data, data + size) : std::vector<uint8_t>()});
    return TRUE;
}

BOOL CALLBACK OnName(HINSTANCE module, LPCWSTR type, LPWSTR name, LONG_PTR param) {
    EnumResourceLanguagesW(module, type, name, OnLanguage, param);
    return TRUE;
}

BOOL CALLBACK OnType(HINSTANCE module, LPWSTR type, LONG_PTR param) {
    EnumResourceNamesW(module, type, OnName, param);
    return TRUE;
}

}  // namespace

bool ReadPluginResources(const std::string& path, std::vector<win32::Resource>* out, std::string* error) {
    const std::u16string file = win32::Widen(path);
    HINSTANCE data =
        LoadLibraryExW(WideText(file.c_str()), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!data) {
        *error = "it cannot be read: " + SystemMessage(GetLastError());
        return false;
    }
    Reading reading{out};
    EnumResourceTypesW(data, OnType, reinterpret_cast<LONG_PTR>(&reading));
    FreeLibrary(data);
    if (out->empty()) {
        *error = "it has no resources";
        return false;
    }
    return true;
}

void* OpenPluginLibrary(const std::string& path, std::string* error) {
    const std::u16string file = win32::Widen(path);
    HINSTANCE module = LoadLibraryW(WideText(file.c_str()));
    if (!module) {
        *error = "cannot load plug-in: " + path + ": " + SystemMessage(GetLastError());
        return nullptr;
    }
    win32::WatchModule(module);
    return module;
}

void* PluginSymbol(void* library, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HINSTANCE>(library), name));
}

void ClosePluginLibrary(void* library) { FreeLibrary(static_cast<HINSTANCE>(library)); }

}  // namespace orbalis::host
