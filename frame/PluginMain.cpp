// The library's one entry point: every message of the host arrives here.
#include <cstring>
#include <new>

#include "frame/Plugin.h"

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
        if (HostErr err = CodeOrCant([&] { return plugin->OnStartup(data); })) {
            delete plugin;
            data->globals = nullptr;
            return err;
        }
    } else if (Is(caller, kCallerInterface) && Is(selector, kSelectorShutdown)) {
        if (!plugin) return 0;
        const HostErr err = CodeOrCant([&] { return plugin->OnShutdown(data); });
        delete plugin;
        data->globals = nullptr;
        return err;
    }

    if (!plugin) return 0;
    HostErr result = CodeOrCant([&]() -> HostErr {
        if (Is(caller, kCallerAccess) && Is(selector, kSelectorReload)) {
            RebindPlugin(plugin);
            plugin = PluginIn(data);
            return plugin->OnReload(data);
        }
        if (!plugin->suites) return 0;
        return plugin->Dispatch(caller, selector, data);
    });
    if (result == kMessageNotHandled) result = 0;
    if (result) plugin->ReportFailure(result, caller, selector, data);
    return result;
}

}  // namespace
}  // namespace orbalis

extern "C" __attribute__((visibility("default"))) HostErr PluginMain(const char* caller, const char* selector,
                                                                     void* message) {
    auto* data = static_cast<HostMessageData*>(message);
    if (!caller || !selector || !data) return kHostBadParameterErr;
    orbalis::basicSuite = data->basic;
    return orbalis::Entry(caller, selector, data);
}
