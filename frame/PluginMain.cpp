// The library's one entry point: every message of the host arrives here.
#include <cstring>
#include <new>

#include "frame/OrbalisPlugin.h"

namespace orbalis {
namespace {

bool Is(const char* a, const char* b) { return std::strcmp(a, b) == 0; }

Plugin* PluginIn(HostMessageData* data) { return std::launder(static_cast<Plugin*>(data->globals)); }

HostErr Entry(const char* caller, const char* selector, HostMessageData* data) {
    Plugin* plugin = PluginIn(data);

    if (Is(caller, kCallerInterface) && Is(selector, kSelectorStartup)) {
        plugin = CreatePlugin(data->self);
        if (!plugin) return kFrameOutOfMemory;
        data->globals = plugin;
        HostErr err;
        try {
            err = plugin->OnStartup(data);
        } catch (const ai::Error& e) {
            err = e.code;
        } catch (...) {
            err = kFrameCantHappen;
        }
        if (err) {
            delete plugin;
            data->globals = nullptr;
            return err;
        }
    } else if (Is(caller, kCallerInterface) && Is(selector, kSelectorShutdown)) {
        if (!plugin) return 0;
        HostErr err;
        try {
            err = plugin->OnShutdown(data);
        } catch (const ai::Error& e) {
            err = e.code;
        } catch (...) {
            err = kFrameCantHappen;
        }
        delete plugin;
        data->globals = nullptr;
        return err;
    }

    if (!plugin) return 0;
    HostErr result;
    try {
        if (Is(caller, kCallerAccess) && Is(selector, kSelectorReload)) {
            RebindPlugin(plugin);
            plugin = PluginIn(data);
            result = plugin->OnReload(data);
        } else {
            if (!plugin->suites) return 0;
            result = plugin->Dispatch(caller, selector, data);
        }
    } catch (const ai::Error& e) {
        result = e.code;
    } catch (...) {
        result = kFrameCantHappen;
    }
    if (result == kMessageNotHandled) result = 0;
    if (result) plugin->ReportFailure(result, caller, selector, data);
    return result;
}

}  // namespace
}  // namespace orbalis

extern "C" __attribute__((visibility("default"))) HostErr PluginMain(const char* caller,
                                                                      const char* selector,
                                                                      void* message) {
    auto* data = static_cast<HostMessageData*>(message);
    if (!caller || !selector || !data) return kHostBadParameterErr;
    orbalis::basicSuite = data->basic;
    return orbalis::Entry(caller, selector, data);
}
