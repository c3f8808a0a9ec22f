#include "host/app/PluginLoader.h"

#include <unistd.h>

#include <filesystem>

#include "host/app/Host.h"
#include "host/app/Panels.h"
#include "host/app/PluginLibrary.h"
#include "host/app/PropertyList.h"
#include "sdk/HostErrors.h"

namespace orbalis::host {
namespace {

// A private copy of the library, so that a reload maps the code afresh even
// while the earlier mapping stays in place.
std::string CopyForReload(const std::string& path, int counter, std::string* error) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path dir = fs::temp_directory_path(ec) / ("orbalis-plugins-" + std::to_string(getpid()));
    fs::create_directories(dir, ec);
    const fs::path copy =
        dir / (fs::path(path).stem().string() + "-" + std::to_string(counter) + fs::path(path).extension().string());
    fs::copy_file(path, copy, fs::copy_options::overwrite_existing, ec);
    if (ec) {
        *error = "cannot copy " + path + ": " + ec.message();
        return {};
    }
    return copy.string();
}

}  // namespace

LoadedPlugin* LoadedPlugin::FromRef(HostPluginRef ref) {
    auto* plugin = reinterpret_cast<LoadedPlugin*>(ref);
    return plugin && plugin->magic_ == kLive ? plugin : nullptr;
}

PluginLoader::~PluginLoader() { UnmapAll(); }

void PluginLoader::UnmapAll() {
    for (auto& plugin : plugins_) {
        for (void* library : plugin->retired_) ClosePluginLibrary(library);
        plugin->retired_.clear();
        if (plugin->library_) ClosePluginLibrary(plugin->library_);
        plugin->library_ = nullptr;
        plugin->main_ = nullptr;
        for (const auto& copy : plugin->privateCopies_) {
            std::error_code ignored;
            std::filesystem::remove(copy, ignored);
            // The folder of the copies goes once it is empty.
            std::filesystem::remove(std::filesystem::path(copy).parent_path(), ignored);
        }
        plugin->privateCopies_.clear();
        plugin->magic_ = 0;
    }
}

bool PluginLoader::anyStarted() const {
    for (const auto& plugin : plugins_)
        if (plugin->started_) return true;
    return false;
}

HostErr PluginLoader::MapLibrary(LoadedPlugin& plugin, const std::string& file, std::string* error) {
    // The property list says what the library is before any of its code runs.
    std::vector<win32::Resource> resources;
    PropertyList properties;
    std::string why;
    if (!ReadPluginResources(file, &resources, &why)) {
        *error = "plug-in " + file + " refused: " + why;
        return kHostBadParameterErr;
    }
    if (!CheckPropertyList(resources, &properties, &why)) {
        *error = "plug-in " + file + " refused: " + why;
        return kHostBadParameterErr;
    }
    void* library = OpenPluginLibrary(file, error);
    if (!library) return kHostBadParameterErr;
    void* entry = PluginSymbol(library, properties.entryPoint.c_str());
    if (!entry) {
        *error = "plug-in " + file + " has no " + properties.entryPoint + ", the entry point its property list names";
        ClosePluginLibrary(library);
        return kHostBadParameterErr;
    }
    plugin.library_ = library;
    plugin.main_ = reinterpret_cast<HostPluginMainProc>(entry);
    plugin.mapped_ = file;
    return 0;
}

LoadedPlugin* PluginLoader::Load(const std::string& path, std::string* error) {
    std::string ignored;
    if (!error) error = &ignored;
    auto plugin = std::make_unique<LoadedPlugin>();
    plugin->path_ = path;
    if (MapLibrary(*plugin, path, error)) return nullptr;
    plugins_.push_back(std::move(plugin));
    return plugins_.back().get();
}

HostErr PluginLoader::Send(LoadedPlugin& plugin, const char* caller, const char* selector, HostMessageData* message) {
    if (!plugin.library_) {
        if (HostErr err = Reload(plugin)) return err;
    }
    message->checkWord = kHostMessageCheckWord;
    message->self = plugin.ref();
    message->globals = plugin.globals_;
    message->basic = BasicSuite();
    const HostErr result = plugin.main_(caller, selector, message);
    plugin.globals_ = message->globals;
    return result;
}

HostErr PluginLoader::Send(LoadedPlugin& plugin, const char* caller, const char* selector) {
    HostMessageData message{};
    return Send(plugin, caller, selector, &message);
}

HostErr PluginLoader::StartAll() {
    HostErr first = 0;
    for (auto& plugin : plugins_) {
        if (plugin->started_) continue;
        const HostErr err = Send(*plugin, kCallerInterface, kSelectorStartup);
        plugin->started_ = err == 0;
        if (err && !first) first = err;
    }
    return first;
}

HostErr PluginLoader::ShutdownAll() {
    HostErr first = 0;
    for (auto& plugin : plugins_) {
        if (!plugin->started_) continue;
        const HostErr err = Send(*plugin, kCallerInterface, kSelectorShutdown);
        plugin->started_ = false;
        if (err && !first) first = err;
    }
    return first;
}

HostErr PluginLoader::Unload(LoadedPlugin& plugin) {
    if (!plugin.library_) return 0;
    const HostErr err = Send(plugin, kCallerAccess, kSelectorUnload);
    if (!plugin.locked()) {
        ClosePluginLibrary(plugin.library_);
        plugin.library_ = nullptr;
        plugin.main_ = nullptr;
    }
    return err;
}

HostErr PluginLoader::Reload(LoadedPlugin& plugin) {
    std::string error;
    const std::string copy = CopyForReload(plugin.path_, ++reloadCounter_, &error);
    if (copy.empty()) return kHostBadParameterErr;
    plugin.privateCopies_.push_back(copy);
    void* previous = plugin.library_;
    if (MapLibrary(plugin, copy, &error)) {
        plugin.library_ = previous;
        return kHostBadParameterErr;
    }
    if (previous) plugin.retired_.push_back(previous);
    const HostErr err = Send(plugin, kCallerAccess, kSelectorReload);
    LayOutNewPanels();
    return err;
}

HostErr PluginLoader::Purge(LoadedPlugin& plugin) { return Send(plugin, kCallerCache, kSelectorPurge); }

}  // namespace orbalis::host
