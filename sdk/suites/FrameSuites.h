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
    HostErr (*AcquirePlugin)(HostPluginRef plugin, HostAccessRef* access);
    HostErr (*ReleasePlugin)(HostAccessRef access);
} HostSPAccessSuite;

/* "SP Plug-ins Suite" 6. */
typedef struct HostSPPluginsSuite {
    HostErr (*SetPluginName)(HostPluginRef plugin, const char* name);
    HostErr (*GetPluginName)(HostPluginRef plugin, const char** name);
    /* Full path of the library file the plug-in was loaded from. The text is
     * the host's and stays valid while the plug-in is loaded. */
    HostErr (*GetPluginFileSpecification)(HostPluginRef plugin, const char** path);
} HostSPPluginsSuite;

/* "AI Notifier Suite" 4. */
typedef struct HostNotifierSuite {
    /* Registers for notifications of `type`; the host then sends
     * "AI Notifier" / "AI Notify" messages. `notifier` may be null. */
    HostErr (*AddNotifier)(HostPluginRef plugin, const char* name, const char* type,
                           HostNotifier* notifier);
} HostNotifierSuite;

/* "AI Context Suite" 9. */
typedef struct HostContextSuite {
    HostErr (*PushAppContext)(HostPluginRef plugin, HostAppContext* context);
    HostErr (*PopAppContext)(HostAppContext context);
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
