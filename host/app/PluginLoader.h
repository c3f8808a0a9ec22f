// The plug-in libraries the host has loaded, and the messages it sends them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "sdk/HostMessages.h"

namespace orbalis::host {

// A plug-in library as the host loaded it.
class LoadedPlugin {
public:
    HostPluginRef ref() { return reinterpret_cast<HostPluginRef>(this); }
    static LoadedPlugin* FromRef(HostPluginRef ref);

    const std::string& path() const { return path_; }          // the installed file
    const std::string& mappedPath() const { return mapped_; }  // the file now mapped
    const std::string& name() const { return name_; }
    bool started() const { return started_; }
    bool mapped() const { return library_ != nullptr; }
    bool locked() const { return accessCount_ > 0; }
    int32_t accessCount() const { return accessCount_; }
    void* globals() const { return globals_; }
    void* library() const { return library_; }

private:
    friend class PluginLoader;
    friend struct HostSuiteAccess;
    static constexpr uint32_t kLive = 0x504C5547;  // "PLUG"
    uint32_t magic_ = kLive;
    std::string path_;
    std::string mapped_;
    std::string name_;
    void* library_ = nullptr;
    HostPluginMainProc main_ = nullptr;
    void* globals_ = nullptr;
    int32_t accessCount_ = 0;
    bool started_ = false;
    std::vector<void*> retired_;              // earlier mappings kept while locked
    std::vector<std::string> privateCopies_;  // files mapped by reloads
};

class PluginLoader {
public:
    PluginLoader() = default;
    ~PluginLoader();
    PluginLoader(const PluginLoader&) = delete;
    PluginLoader& operator=(const PluginLoader&) = delete;

    // Maps the plug-in library and finds its entry point; nothing is sent yet.
    LoadedPlugin* Load(const std::string& path, std::string* error);
    LoadedPlugin* first() const { return plugins_.empty() ? nullptr : plugins_.front().get(); }
    const std::vector<std::unique_ptr<LoadedPlugin>>& all() const { return plugins_; }
    bool anyStarted() const;

    // Sends a message; the record is filled with the plug-in's reference,
    // globals and the basic suite, and the globals it leaves are kept. A
    // library no longer mapped is reloaded first.
    HostErr Send(LoadedPlugin& plugin, const char* caller, const char* selector, HostMessageData* message);
    HostErr Send(LoadedPlugin& plugin, const char* caller, const char* selector);
    // Sends the start-up message to every plug-in not started yet; returns
    // the first non-zero code.
    HostErr StartAll();
    // Sends the shutdown message to every started plug-in; returns the first
    // non-zero code.
    HostErr ShutdownAll();
    // The library is told it is unloaded, and unmapped unless it is locked.
    HostErr Unload(LoadedPlugin& plugin);
    // Maps a fresh copy of the library (its code at new addresses) and sends
    // the reload message to it; the panels it makes again are laid out as at
    // start-up.
    HostErr Reload(LoadedPlugin& plugin);
    HostErr Purge(LoadedPlugin& plugin);
    // Unmaps every library and removes the copies reloads made.
    void UnmapAll();

private:
    HostErr MapLibrary(LoadedPlugin& plugin, const std::string& file, std::string* error);

    std::vector<std::unique_ptr<LoadedPlugin>> plugins_;
    int reloadCounter_ = 0;
};

}  // namespace orbalis::host
