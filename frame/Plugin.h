// The frame's plug-in object: a table of virtual message handlers with their
// defaults, and the dispatcher that maps the host's caller and selector
// strings to them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "frame/HostError.h"
#include "frame/HostSuites.h"

namespace orbalis {

// The frame's fields: everything of the plug-in object that survives an
// unload and reload of the library, moved as a whole by the rebind.
struct PluginRecord {
    HostPluginRef pluginRef = nullptr;
    char name[256] = {};
    std::unique_ptr<HostSuites> suites;
    int32_t lockCount = 0;
    HostAccessRef accessRef = nullptr;
};

class Plugin : public PluginRecord {
public:
    explicit Plugin(HostPluginRef pluginRef);
    Plugin(const Plugin&) = delete;
    Plugin& operator=(const Plugin&) = delete;

    virtual ~Plugin();  // 0
    virtual void ReportFailure(HostErr code, const char* caller, const char* selector,
                               void* message);                    // 1
    virtual HostErr SetLocked(bool lock);                         // 2
    virtual HostErr OnStartup(HostMessageData* message);          // 3
    virtual HostErr OnApplicationStarted();                       // 4
    virtual HostErr OnShutdown(HostMessageData* message);         // 5
    virtual HostErr OnUnload(HostMessageData* message);           // 6
    virtual HostErr OnReload(HostMessageData* message);           // 7
    virtual HostErr OnAcquireProperty(HostMessageData* message);  // 8
    virtual HostErr OnReleaseProperty(HostMessageData* message);  // 9
    // Copies `name` into the buffer, truncated to fit and always terminated;
    // returns the full length of `name`.
    virtual size_t CopyName(char* buffer, size_t size) const;                           // 10
    virtual bool OnPurgeCaches();                                                       // 11
    virtual HostErr Dispatch(const char* caller, const char* selector, void* message);  // 12
    virtual HostErr SetCurrentPlugin(Plugin* plugin);                                   // 13
    virtual HostErr OnStartupExtras();                                                  // 14
    virtual HostErr OnSuitesReady();                                                    // 15
    virtual HostErr OnBeforeUnload(HostMessageData* message);                           // 16
    virtual HostErr OnBeforeMessage(const char* caller, const char* selector,
                                    void* message);                    // 17
    virtual HostErr OnNotify(HostNotifierMessage* message);            // 18
    virtual HostErr OnDoAction(void* message);                         // 19
    virtual HostErr OnMenuGo(HostMenuMessage* message);                // 20
    virtual HostErr OnMenuUpdate(HostMenuMessage* message);            // 21
    virtual HostErr OnFilterGetParameters(void* message);              // 22
    virtual HostErr OnFilterGo(void* message);                         // 23
    virtual HostErr OnPluginGroupNotifyEdits(void* message);           // 24
    virtual HostErr OnPluginGroupUpdate(void* message);                // 25
    virtual HostErr OnFileFormatGetParameters(void* message);          // 26
    virtual HostErr OnFileFormatGo(void* message);                     // 27
    virtual HostErr OnFileFormatCheck(void* message);                  // 28
    virtual HostErr OnFileFormatUpdate(void* message);                 // 29
    virtual HostErr OnFileFormatDoAction(void* message);               // 30
    virtual HostErr OnToolEditOptions(void* message);                  // 31
    virtual HostErr OnToolTrackCursor(void* message);                  // 32
    virtual HostErr OnToolMouseDown(void* message);                    // 33
    virtual HostErr OnToolMouseDrag(void* message);                    // 34
    virtual HostErr OnToolMouseUp(void* message);                      // 35
    virtual HostErr OnToolSelect(void* message);                       // 36
    virtual HostErr OnToolDeselect(void* message);                     // 37
    virtual HostErr OnToolReselect(void* message);                     // 38
    virtual HostErr OnToolDecreaseDiameter(void* message);             // 39
    virtual HostErr OnToolIncreaseDiameter(void* message);             // 40
    virtual HostErr OnLiveEffectEditParameters(void* message);         // 41
    virtual HostErr OnLiveEffectGoLive(void* message);                 // 42
    virtual HostErr OnLiveEffectInterpolateParameters(void* message);  // 43
    virtual HostErr OnLiveEffectInputType(void* message);              // 44
    virtual HostErr OnLiveEffectConvertColorSpace(void* message);      // 45
    virtual HostErr OnLiveEffectScaleParameters(void* message);        // 46
    virtual HostErr OnLiveEffectAdjustColors(void* message);           // 47
    virtual HostErr OnLiveEffectHandleMerge(void* message);            // 48
    virtual HostErr OnTimerGo(void* message);                          // 49
    virtual HostErr OnClipboardGo(void* message);                      // 50
    virtual HostErr OnClipboardCanCopy(void* message);                 // 51
    virtual HostErr OnClipboardClone(void* message);                   // 52
    virtual HostErr OnClipboardDispose(void* message);                 // 53
    virtual HostErr OnWriteWorkspace(void* message);                   // 54
    virtual HostErr OnRestoreWorkspace(void* message);                 // 55
    virtual HostErr OnDefaultWorkspace(void* message);                 // 56

protected:
    // The object a reload rebuilds from the record of its earlier self.
    explicit Plugin(PluginRecord&& record);

    // Creates the suite holder (null when memory is exhausted) and marks the
    // suites held; returns its acquisition code, or !MEM.
    HostErr AcquireSuites();
    void ReleaseSuites();
};

// Runs `body`, which returns a host code, so that nothing it throws goes
// further: an ai::Error gives the code it carries, anything else CANT. Every
// message the entry handles passes through here.
template <typename Body>
HostErr CodeOrCant(Body&& body) noexcept {
    try {
        return body();
    } catch (const ai::Error& e) {
        return e.code;
    } catch (...) {
        return kFrameCantHappen;
    }
}

// Allocates the one plug-in object; null when memory is exhausted.
Plugin* CreatePlugin(HostPluginRef pluginRef);
// Makes a plug-in object that survived an unload and reload of the library
// run this library's code. Null is ignored.
void RebindPlugin(Plugin* plugin);

}  // namespace orbalis
