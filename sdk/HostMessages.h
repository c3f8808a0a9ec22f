/* Message records that the host passes to PluginMain, and the basic suite
 * through which a plug-in acquires every other suite. */
#ifndef ORBALIS_SDK_HOST_MESSAGES_H
#define ORBALIS_SDK_HOST_MESSAGES_H

#include "HostTypes.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct HostBasicSuite {
    /* Fills *suite with the function table of the named suite in the given
     * version. The table is the host's; it stays valid until the matching
     * ReleaseSuite, and each acquisition is released once. */
    HostErr (*AcquireSuite)(const char* name, int32_t version, const void** suite);
    HostErr (*ReleaseSuite)(const char* name, int32_t version);
} HostBasicSuite;

/* The part every message record starts with. */
typedef struct HostMessageData {
    int32_t checkWord;
    HostPluginRef self;
    void* globals;
    const HostBasicSuite* basic;
} HostMessageData;

#define kHostMessageCheckWord HOST_FOURCC('M', 'S', 'G', 'D')

/* "AI Notifier" / "AI Notify". */
typedef struct HostNotifierMessage {
    HostMessageData d;
    HostNotifier notifier;
    const char* type;
    void* notifyData;
} HostNotifierMessage;

/* "AI Menu" / "AI Go" and "AI Update". */
typedef struct HostMenuMessage {
    HostMessageData d;
    HostMenuItem menuItem;
} HostMenuMessage;

/* The entry point every plug-in exports. */
typedef HostErr (*HostPluginMainProc)(const char* caller, const char* selector, void* message);

/* Callers and selectors the host sends. */
#define kCallerInterface "SP Interface"
#define kSelectorStartup "Startup"
#define kSelectorShutdown "Shutdown"
#define kSelectorAbout "About"
#define kCallerAccess "SP Access"
#define kSelectorUnload "Unload"
#define kSelectorReload "Reload"
#define kCallerCache "SP Cache"
#define kSelectorPurge "Plug-in Purge"
#define kCallerProperties "SP Properties"
#define kSelectorAcquireProperty "Acquire"
#define kSelectorReleaseProperty "Release"
#define kCallerNotifier "AI Notifier"
#define kSelectorNotify "AI Notify"
#define kCallerMenu "AI Menu"
#define kSelectorGo "AI Go"
#define kSelectorUpdate "AI Update"

/* Notifier types the host sends. */
#define kNotifierApplicationStarted "AI Application Started Notifier"
#define kNotifierApplicationShutdown "AI Application Shutdown Notifier"
#define kNotifierArtSelectionChanged "AI Art Selection Changed Notifier"
#define kNotifierDocumentChanged "AI Document Changed Notifier"
#define kNotifierUIBrightnessChanged "AI UI Brightness Changed Notifier"

#ifdef __cplusplus
}
#endif

#endif
