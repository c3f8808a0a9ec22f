#include "frame/DialogRunner.h"

#include "frame/HostSuites.h"

namespace orbalis {

HostErr FindDialogHost(HostPluginRef plugin, DialogHost* host) {
    *host = DialogHost{};
    HostWindow window = nullptr;
    if (HostErr err = sContext->GetPlatformAppWindow(&window)) return err;
    const char* path = nullptr;
    if (HostErr err = sSPPlugins->GetPluginFileSpecification(plugin, &path)) return err;
    host->owner = reinterpret_cast<HWND>(window);
    host->module = path ? GetModuleHandleA(path) : nullptr;
    return 0;
}

HostErr RunDialog(HostPluginRef plugin, int templateId, DLGPROC proc, void* record) {
    DialogHost host;
    if (HostErr err = FindDialogHost(plugin, &host)) return err;
    if (!host.module) return kHostNotFoundErr;
    const INT_PTR result =
        DialogBoxParamW(host.module, MAKEINTRESOURCEW(templateId), host.owner, proc, reinterpret_cast<LPARAM>(record));
    return static_cast<HostErr>(result);
}

}  // namespace orbalis
