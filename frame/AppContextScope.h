// Holds the host's application context for the plug-in while it works on
// the host's behalf outside a command (a notification, a panel's button),
// however that work ends. Nothing is pushed while the Context suite is not
// held.
#pragma once

#include "frame/HostSuites.h"

namespace orbalis {

class AppContextScope {
public:
    explicit AppContextScope(HostPluginRef plugin) {
        if (sContext && sContext->PushAppContext(plugin, &context_) == 0) pushed_ = true;
    }
    ~AppContextScope() {
        if (pushed_ && sContext) sContext->PopAppContext(context_);
    }
    AppContextScope(const AppContextScope&) = delete;
    AppContextScope& operator=(const AppContextScope&) = delete;

private:
    HostAppContext context_ = nullptr;
    bool pushed_ = false;
};

}  // namespace orbalis
