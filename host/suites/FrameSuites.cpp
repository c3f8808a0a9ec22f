// Suites of the plug-in's life in the host: access lock, plug-in registry,
// notifiers, application context and message set-up.
#include "host/suites/OperationGate.h"
#include "host/suites/SuiteTables.h"

namespace orbalis::host {

// Lets the suites reach the host's private bookkeeping of a plug-in.
struct HostSuiteAccess {
    static int32_t& accessCount(LoadedPlugin& p) { return p.accessCount_; }
    static std::string& name(LoadedPlugin& p) { return p.name_; }
};

namespace {

// An access reference is the plug-in itself.
HostErr AcquirePlugin(LoadedPlugin& plugin, HostAccessRef& access) {
    ++HostSuiteAccess::accessCount(plugin);
    access = reinterpret_cast<HostAccessRef>(&plugin);
    return 0;
}

HostErr ReleasePlugin(HostAccessRef access) {
    LoadedPlugin* plugin = LoadedPlugin::FromRef(reinterpret_cast<HostPluginRef>(access));
    if (!plugin || HostSuiteAccess::accessCount(*plugin) <= 0) return kHostBadParameterErr;
    --HostSuiteAccess::accessCount(*plugin);
    return 0;
}

HostErr SetPluginName(LoadedPlugin& plugin, const char* name) {
    if (!name) return kHostBadParameterErr;
    HostSuiteAccess::name(plugin) = name;
    return 0;
}

HostErr GetPluginName(LoadedPlugin& plugin, const char*& name) {
    name = plugin.name().c_str();
    return 0;
}

HostErr GetPluginFileSpecification(LoadedPlugin& plugin, const char*& path) {
    path = plugin.mappedPath().c_str();
    return 0;
}

HostErr AddNotifier(LoadedPlugin& plugin, const char* name, const char* type, HostNotifier* out) {
    if (!name || !type) return kHostBadParameterErr;
    Notifier* notifier = nullptr;
    if (HostErr err = Host::Current().notifications().Add(&plugin, name, type, &notifier)) return err;
    if (out) *out = reinterpret_cast<HostNotifier>(notifier);
    return 0;
}

HostErr PushAppContext(LoadedPlugin&, HostAppContext& context) {
    Host& host = Host::Current();
    const uint64_t token = host.nextContext++;
    host.contextStack.push_back(token);
    context = reinterpret_cast<HostAppContext>(static_cast<uintptr_t>(token));
    return 0;
}

// Contexts must be popped in the reverse order of their pushes.
HostErr PopAppContext(HostAppContext context) {
    Host& host = Host::Current();
    const auto token = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(context));
    if (host.contextStack.empty() || host.contextStack.back() != token) return kHostBadParameterErr;
    host.contextStack.pop_back();
    return 0;
}

HostErr GetPlatformAppWindow(HostWindow& window) {
    window = Host::Current().mainWindow();
    return 0;
}

HostErr SetupPluginData(LoadedPlugin& plugin, HostMessageData& data) {
    data.checkWord = kHostMessageCheckWord;
    data.self = reinterpret_cast<HostPluginRef>(&plugin);
    data.globals = plugin.globals();
    data.basic = BasicSuite();
    return 0;
}

}  // namespace

const HostSPAccessSuite& SPAccessSuite() { return SuiteTable<HostSPAccessSuite, AcquirePlugin, ReleasePlugin>; }

const HostSPPluginsSuite& SPPluginsSuite() {
    return SuiteTable<HostSPPluginsSuite, SetPluginName, GetPluginName, GetPluginFileSpecification>;
}

const HostNotifierSuite& NotifierSuite() { return SuiteTable<HostNotifierSuite, AddNotifier>; }

const HostContextSuite& ContextSuite() {
    return SuiteTable<HostContextSuite, PushAppContext, PopAppContext, GetPlatformAppWindow>;
}

const HostPluginSuite& PluginSuite() { return SuiteTable<HostPluginSuite, SetupPluginData>; }

}  // namespace orbalis::host
