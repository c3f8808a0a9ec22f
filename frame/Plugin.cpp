#include "frame/Plugin.h"

#include <cstdio>
#include <cstring>
#include <new>
#include <utility>

#include "frame/AppContextScope.h"

namespace orbalis {
namespace {

bool Is(const char* a, const char* b) { return std::strcmp(a, b) == 0; }

}  // namespace

Plugin::Plugin(HostPluginRef ref) {
    pluginRef = ref;
    std::snprintf(name, sizeof name, "%s", "Plugin");
}

Plugin::Plugin(PluginRecord&& record) : PluginRecord(std::move(record)) {}

Plugin::~Plugin() = default;

void Plugin::ReportFailure(HostErr, const char*, const char*, void*) {}

HostErr Plugin::SetLocked(bool lock) {
    if (lock) {
        if (++lockCount == 1 && sSPAccess) sSPAccess->AcquirePlugin(pluginRef, &accessRef);
    } else {
        --lockCount;
        if (lockCount == 0) {
            if (sSPAccess) sSPAccess->ReleasePlugin(accessRef);
            accessRef = nullptr;
        } else if (lockCount < 0) {
            lockCount = 0;
        }
    }
    return 0;
}

HostErr Plugin::AcquireSuites() {
    if (!suites) suites.reset(new (std::nothrow) HostSuites);
    suitesHeld = 1;
    const HostErr err = suites ? suites->error : kFrameOutOfMemory;
    if (err) suites.reset();
    return err;
}

void Plugin::ReleaseSuites() { suites.reset(); }

HostErr Plugin::OnStartup(HostMessageData*) {
    SetCurrentPlugin(this);
    if (HostErr err = AcquireSuites()) return err;
    if (HostErr err = sSPPlugins->SetPluginName(pluginRef, name)) return err;
    char notifierName[256];
    // A name too long for the buffer is cut, as the host's names are.
    if (std::snprintf(notifierName, sizeof notifierName, "%s App Started Notifier", name) < 0) notifierName[0] = '\0';
    if (HostErr err = sNotifier->AddNotifier(pluginRef, notifierName, kNotifierApplicationStarted, nullptr)) return err;
    if (HostErr err = OnStartupExtras()) return err;
    OnSuitesReady();
    SetLocked(true);
    return 0;
}

HostErr Plugin::OnApplicationStarted() { return 0; }

HostErr Plugin::OnShutdown(HostMessageData*) {
    ReleaseSuites();
    SetCurrentPlugin(nullptr);
    return 0;
}

HostErr Plugin::OnUnload(HostMessageData* message) {
    OnBeforeUnload(message);
    SetCurrentPlugin(nullptr);
    ReleaseSuites();
    return 0;
}

HostErr Plugin::OnReload(HostMessageData*) {
    SetCurrentPlugin(this);
    if (HostErr err = AcquireSuites()) return err;
    OnSuitesReady();
    return 0;
}

HostErr Plugin::OnAcquireProperty(HostMessageData*) { return kMessageNotHandled; }
HostErr Plugin::OnReleaseProperty(HostMessageData*) { return kMessageNotHandled; }

size_t Plugin::CopyName(char* buffer, size_t size) const {
    const size_t length = std::strlen(name);
    if (buffer && size) {
        const size_t n = length < size ? length : size - 1;
        std::memcpy(buffer, name, n);
        buffer[n] = '\0';
    }
    return length;
}

bool Plugin::OnPurgeCaches() { return false; }
HostErr Plugin::SetCurrentPlugin(Plugin*) { return 0; }
HostErr Plugin::OnStartupExtras() { return 0; }
HostErr Plugin::OnSuitesReady() { return 0; }
HostErr Plugin::OnBeforeUnload(HostMessageData*) { return 0; }
HostErr Plugin::OnBeforeMessage(const char*, const char*, void*) { return 0; }
HostErr Plugin::OnNotify(HostNotifierMessage*) { return 0; }
HostErr Plugin::OnDoAction(void*) { return 0; }
HostErr Plugin::OnMenuGo(HostMenuMessage*) { return kMessageNotHandled; }
HostErr Plugin::OnMenuUpdate(HostMenuMessage*) { return kMessageNotHandled; }
HostErr Plugin::OnFilterGetParameters(void*) { return kMessageNotHandled; }
HostErr Plugin::OnFilterGo(void*) { return kMessageNotHandled; }
HostErr Plugin::OnPluginGroupNotifyEdits(void*) { return kMessageNotHandled; }
HostErr Plugin::OnPluginGroupUpdate(void*) { return kMessageNotHandled; }
HostErr Plugin::OnFileFormatGetParameters(void*) { return kMessageNotHandled; }
HostErr Plugin::OnFileFormatGo(void*) { return kMessageNotHandled; }
HostErr Plugin::OnFileFormatCheck(void*) { return kMessageNotHandled; }
HostErr Plugin::OnFileFormatUpdate(void*) { return kMessageNotHandled; }
HostErr Plugin::OnFileFormatDoAction(void*) { return kMessageNotHandled; }
HostErr Plugin::OnToolEditOptions(void*) { return kMessageNotHandled; }
HostErr Plugin::OnToolTrackCursor(void*) { return kMessageNotHandled; }
HostErr Plugin::OnToolMouseDown(void*) { return kMessageNotHandled; }
HostErr Plugin::OnToolMouseDrag(void*) { return kMessageNotHandled; }
HostErr Plugin::OnToolMouseUp(void*) { return kMessageNotHandled; }
HostErr Plugin::OnToolSelect(void*) { return kMessageNotHandled; }
HostErr Plugin::OnToolDeselect(void*) { return kMessageNotHandled; }
HostErr Plugin::OnToolReselect(void*) { return 0; }
HostErr Plugin::OnToolDecreaseDiameter(void*) { return 0; }
HostErr Plugin::OnToolIncreaseDiameter(void*) { return 0; }
HostErr Plugin::OnLiveEffectEditParameters(void*) { return kMessageNotHandled; }
HostErr Plugin::OnLiveEffectGoLive(void*) { return kMessageNotHandled; }
HostErr Plugin::OnLiveEffectInterpolateParameters(void*) { return kMessageNotHandled; }
HostErr Plugin::OnLiveEffectInputType(void*) { return kMessageNotHandled; }
HostErr Plugin::OnLiveEffectConvertColorSpace(void*) { return kMessageNotHandled; }
HostErr Plugin::OnLiveEffectScaleParameters(void*) { return kMessageNotHandled; }
HostErr Plugin::OnLiveEffectAdjustColors(void*) { return kMessageNotHandled; }
HostErr Plugin::OnLiveEffectHandleMerge(void*) { return kMessageNotHandled; }
HostErr Plugin::OnTimerGo(void*) { return kMessageNotHandled; }
HostErr Plugin::OnClipboardGo(void*) { return kMessageNotHandled; }
HostErr Plugin::OnClipboardCanCopy(void*) { return kMessageNotHandled; }
HostErr Plugin::OnClipboardClone(void*) { return kMessageNotHandled; }
HostErr Plugin::OnClipboardDispose(void*) { return kMessageNotHandled; }
HostErr Plugin::OnWriteWorkspace(void*) { return kMessageNotHandled; }
HostErr Plugin::OnRestoreWorkspace(void*) { return kMessageNotHandled; }
HostErr Plugin::OnDefaultWorkspace(void*) { return kMessageNotHandled; }

HostErr Plugin::Dispatch(const char* caller, const char* selector, void* message) {
    OnBeforeMessage(caller, selector, message);
    auto* data = static_cast<HostMessageData*>(message);

    if (Is(caller, kCallerAccess)) {
        if (Is(selector, kSelectorUnload)) return OnUnload(data);
        if (Is(selector, kSelectorReload)) return OnReload(data);
        return kMessageNotHandled;
    }
    if (Is(caller, kCallerInterface)) {
        if (Is(selector, kSelectorAbout) || Is(selector, kSelectorStartup)) return 0;
        return kMessageNotHandled;
    }
    if (Is(caller, kCallerCache)) {
        if (Is(selector, kSelectorPurge)) return OnPurgeCaches() ? kPurgeAgreed : 0;
        return kMessageNotHandled;
    }
    if (Is(caller, kCallerProperties)) {
        if (Is(selector, kSelectorAcquireProperty)) return OnAcquireProperty(data);
        if (Is(selector, kSelectorReleaseProperty)) return OnReleaseProperty(data);
        return kMessageNotHandled;
    }
    if (Is(caller, kCallerNotifier)) {
        auto* notification = static_cast<HostNotifierMessage*>(message);
        AppContextScope context(pluginRef);
        HostErr result = kMessageNotHandled;
        if (notification->type && Is(notification->type, kNotifierApplicationStarted)) {
            const HostErr err = OnApplicationStarted();
            if (err != 0 && err != kMessageNotHandled) return err;
        }
        if (Is(selector, kSelectorNotify)) result = OnNotify(notification);
        return result;
    }
    if (Is(caller, "Action Manager")) {
        if (Is(selector, "Do Action")) return OnDoAction(message);
        return kMessageNotHandled;
    }
    if (Is(caller, kCallerMenu)) {
        if (Is(selector, kSelectorGo)) return OnMenuGo(static_cast<HostMenuMessage*>(message));
        if (Is(selector, kSelectorUpdate)) return OnMenuUpdate(static_cast<HostMenuMessage*>(message));
        return kMessageNotHandled;
    }
    if (Is(caller, "AI Filter")) {
        if (Is(selector, "AI Get Parameters")) return OnFilterGetParameters(message);
        if (Is(selector, "AI Go")) return OnFilterGo(message);
        return kMessageNotHandled;
    }
    if (Is(caller, "AI Plugin Group")) {
        if (Is(selector, "AI Notify Edits")) return OnPluginGroupNotifyEdits(message);
        if (Is(selector, "AI Update")) return OnPluginGroupUpdate(message);
        return kMessageNotHandled;
    }
    if (Is(caller, "AI File Format")) {
        if (Is(selector, "AI Get Parameters")) return OnFileFormatGetParameters(message);
        if (Is(selector, "AI Go")) return OnFileFormatGo(message);
        if (Is(selector, "AI Check")) return OnFileFormatCheck(message);
        if (Is(selector, "AI Update AI140")) return OnFileFormatUpdate(message);
        if (Is(selector, "Do Action")) return OnFileFormatDoAction(message);
        return kMessageNotHandled;
    }
    if (Is(caller, "AI Tool")) {
        if (Is(selector, "AI Edit Options")) return OnToolEditOptions(message);
        if (Is(selector, "AI Track Cursor")) return OnToolTrackCursor(message);
        if (Is(selector, "AI Mouse Down")) return OnToolMouseDown(message);
        if (Is(selector, "AI Mouse Drag")) return OnToolMouseDrag(message);
        if (Is(selector, "AI Mouse Up")) return OnToolMouseUp(message);
        if (Is(selector, "AI Select")) return OnToolSelect(message);
        if (Is(selector, "AI Deselect")) return OnToolDeselect(message);
        if (Is(selector, "AI Reselect")) return OnToolReselect(message);
        if (Is(selector, "AI Decrease Diameter")) return OnToolDecreaseDiameter(message);
        if (Is(selector, "AI Increase Diameter")) return OnToolIncreaseDiameter(message);
        return kMessageNotHandled;
    }
    if (Is(caller, "AI Live Effect")) {
        if (Is(selector, "AI Live Effect Edit Parameters")) return OnLiveEffectEditParameters(message);
        if (Is(selector, "AI Live Effect Go Live")) return OnLiveEffectGoLive(message);
        if (Is(selector, "AI Live Effect Interpolate Parameters")) return OnLiveEffectInterpolateParameters(message);
        if (Is(selector, "AI Live Effect Input Type")) return OnLiveEffectInputType(message);
        if (Is(selector, "AI Live Effect Scale Parameters")) return OnLiveEffectScaleParameters(message);
        if (Is(selector, "AI Live Effect Convert Color Space")) return OnLiveEffectConvertColorSpace(message);
        if (Is(selector, "AI Live Effect Adjust Colors")) return OnLiveEffectAdjustColors(message);
        if (Is(selector, "AI Live Effect Handle Merge")) return OnLiveEffectHandleMerge(message);
        return kMessageNotHandled;
    }
    if (Is(caller, "AI Timer")) {
        if (Is(selector, "AI Go")) return OnTimerGo(message);
        return kMessageNotHandled;
    }
    if (Is(caller, "AI Clipboard")) {
        if (Is(selector, "AI Go")) return OnClipboardGo(message);
        if (Is(selector, "AI Can Copy")) return OnClipboardCanCopy(message);
        if (Is(selector, "AI Clone")) return OnClipboardClone(message);
        if (Is(selector, "AI Dispose")) return OnClipboardDispose(message);
        return kMessageNotHandled;
    }
    if (Is(caller, "Workspace Manager")) {
        if (Is(selector, "Write Workspace")) return OnWriteWorkspace(message);
        if (Is(selector, "Restore Workspace")) return OnRestoreWorkspace(message);
        if (Is(selector, "Default Workspace")) return OnDefaultWorkspace(message);
        return kMessageNotHandled;
    }
    return kMessageNotHandled;
}

}  // namespace orbalis
