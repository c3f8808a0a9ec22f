// Suites of the plug-in's life in the host: access lock, plug-in registry,
// notifiers, application context and message set-up.
#include "host/suites/SuiteSupport.h"
#include "host/suites/SuiteTables.h"

namespace orbalis::host {

// Lets the suites reach the host's private bookkeeping of a plug-in.
struct HostSuiteAccess {
    static int32_t& accessCount(LoadedPlugin& p) { return p.accessCount_; }
    static std::string& name(LoadedPlugin& p) { return p.name_; }
};

namespace {

// An access reference is the plug-in itself.
HostErr AcquirePlugin(HostPluginRef ref, HostAccessRef* access) {
    HOST_OPERATION("AcquirePlugin");
    LoadedPlugin* plugin = LoadedPlugin::FromRef(ref);
    if (!plugin || !access) return kHostBadParameterErr;
    ++HostSuiteAccess::accessCount(*plugin);
    *access = reinterpret_cast<HostAccessRef>(plugin);
    return 0;
}

HostErr ReleasePlugin(HostAccessRef access) {
    HOST_OPERATION("ReleasePlugin");
    LoadedPlugin* plugin = LoadedPlugin::FromRef(reinterpret_cast<HostPluginRef>(access));
    if (!plugin || HostSuiteAccess::accessCount(*plugin) <= 0) return kHostBadParameterErr;
    --HostSuiteAccess::accessCount(*plugin);
    return 0;
}

HostErr SetPluginName(HostPluginRef ref, const char* name) {
    HOST_OPERATION("SetPluginName");
    LoadedPlugin* plugin = LoadedPlugin::FromRef(ref);
    if (!plugin || !name) return kHostBadParameterErr;
    HostSuiteAccess::name(*plugin) = name;
    return 0;
}

HostErr GetPluginName(HostPluginRef ref, const char** name) {
    HOST_OPERATION("GetPluginName");
    LoadedPlugin* plugin = LoadedPlugin::FromRef(ref);
    if (!plugin || !name) return kHostBadParameterErr;
    *name = plugin->name().c_str();
    return 0;
}

HostErr GetPluginFileSpecification(HostPluginRef ref, const char** path) {
    HOST_OPERATION("GetPluginFileSpecification");
    LoadedPlugin* plugin = LoadedPlugin::FromRef(ref);
    if (!plugin || !path) return kHostBadParameterErr;
    *path = plugin->mappedPath().c_str();
    return 0;
}

HostErr AddNotifier(HostPluginRef ref, const char* name, const char* type, HostNotifier* out) {
    HOST_OPERATION("AddNotifier");
    LoadedPlugin* plugin = LoadedPlugin::FromRef(ref);
    if (!plugin || !name || !type) return kHostBadParameterErr;
    Notifier* notifier = nullptr;
    if (HostErr err = Host::Current().notifications().Add(plugin, name, type, &notifier)) return err;
    if (out) *out = reinterpret_cast<HostNotifier>(notifier);
    return 0;
}

HostErr PushAppContext(HostPluginRef ref, HostAppContext* context) {
    HOST_OPERATION("PushAppContext");
    if (!LoadedPlugin::FromRef(ref) || !context) return kHostBadParameterErr;
    Host& host = Host::Current();
    const uint64_t token = host.nextContext++;
    host.contextStack.push_back(token);
    *context = reinterpret_cast<HostAppContext>(static_cast<uintptr_t>(token));
    return 0;
}

// Contexts must be popped in the reverse order of their pushes.
HostErr PopAppContext(HostAppContext context) {
    HOST_OPERATION("PopAppContext");
    Host& host = Host::Current();
    const auto token = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(context));
    if (host.contextStack.empty() || host.contextStack.back() != token) return kHostBadParameterErr;
    host.contextStack.pop_back();
    return 0;
}

HostErr GetPlatformAppWindow(HostWindow* window) {
    HOST_OPERATION("GetPlatformAppWindow");
    if (!window) return kHostBadParameterErr;
    *window = Host::Current().mainWindow();
    return 0;
}

HostErr SetupPluginData(HostPluginRef ref, HostMessageData* data) {
    HOST_OPERATION("SetupPluginData");
    LoadedPlugin* plugin = LoadedPlugin::FromRef(ref);
    if (!plugin || !data) return kHostBadParameterErr;
    data->checkWord = kHostMessageCheckWord;
    data->self = ref;
    data->globals = plugin->globals();
    data->basic = BasicSuite();
    return 0;
}

}  // namespace

const HostSPAccessSuite& SPAccessSuite() {
    static const HostSPAccessSuite suite{AcquirePlugin, ReleasePlugin};
    return suite;
}

const HostSPPluginsSuite& SPPluginsSuite() {
    static const HostSPPluginsSuite suite{SetPluginName, GetPluginName, GetPluginFileSpecification};
    return suite;
}

const HostNotifierSuite& NotifierSuite() {
    static const HostNotifierSuite suite{AddNotifier};
    return suite;
}

const HostContextSuite& ContextSuite() {
    static const HostContextSuite suite{PushAppContext, PopAppContext, GetPlatformAppWindow};
    return suite;
}

const HostPluginSuite& PluginSuite() {
    static const HostPluginSuite suite{SetupPluginData};
    return suite;
}

}  // namespace orbalis::host
