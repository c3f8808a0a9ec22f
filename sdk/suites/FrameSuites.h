/* Suites the plug-in frame uses to live in the host: access lock, plug-in
 * registry, notifiers, application context and message set-up. */
#ifndef ORBALIS_SDK_FRAME_SUITES_H
#define ORBALIS_SDK_FRAME_SUITES_H

#include "../HostMessages.h"

#ifdef __cplusplus
extern "C" {
#endif

/* "SP Access Suite" 3: keeps a plug-in's library in memory while acquired. */
typedef struct HostSPAccessSuite {
    /* *access is the host's and stays valid until it is passed to
     * ReleasePlugin, once. */
    HostErr (*AcquirePlugin)(HostPluginRef plugin, HostAccessRef* access);
    HostErr (*ReleasePlugin)(HostAccessRef access);
} HostSPAccessSuite;

/* "SP Plug-ins Suite" 6. */
typedef struct HostSPPluginsSuite {
    /* The host copies the name. */
    HostErr (*SetPluginName)(HostPluginRef plugin, const char* name);
    /* *name is the host's text, valid until the name is set again or the
     * plug-in is unloaded; the caller must not free it. */
    HostErr (*GetPluginName)(HostPluginRef plugin, const char** name);
    /* Full path of the library file the plug-in was loaded from. The text is
     * the host's and stays valid while the plug-in is loaded. */
    HostErr (*GetPluginFileSpecification)(HostPluginRef plugin, const char** path);
} HostSPPluginsSuite;

/* "AI Notifier Suite" 4. */
typedef struct HostNotifierSuite {
    /* Registers for notifications of `type`; the host then sends
     * "AI Notifier" / "AI Notify" messages. `notifier` may be null. The
     * host copies both texts; the notifier handle is the host's and lives
     * until the host ends (a plug-in never removes one). */
    HostErr (*AddNotifier)(HostPluginRef plugin, const char* name, const char* type, HostNotifier* notifier);
} HostNotifierSuite;

/* "AI Context Suite" 9. */
typedef struct HostContextSuite {
    /* *context is the host's; the caller hands it back to PopAppContext,
     * once, which ends it. */
    HostErr (*PushAppContext)(HostPluginRef plugin, HostAppContext* context);
    HostErr (*PopAppContext)(HostAppContext context);
    /* The host's main window, owned by the host and valid while it runs. */
    HostErr (*GetPlatformAppWindow)(HostWindow* window);
} HostContextSuite;

/* "AI Plugin Suite" 5. */
typedef struct HostPluginSuite {
    /* Fills a message record with the standard data for `plugin`, for calls
     * that want one (the Pathfinder effects, for example). */
    HostErr (*SetupPluginData)(HostPluginRef plugin, HostMessageData* data);
} HostPluginSuite;

#ifdef __cplusplus
}
#endif

#endif
