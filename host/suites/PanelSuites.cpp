// The Panel, flyout menu and user-interface theme suites.
#include <algorithm>

#include "host/app/Panels.h"
#include "host/win32/Driver.h"
#include "host/suites/SuiteSupport.h"
#include "host/suites/SuiteTables.h"

namespace orbalis::host {

PanelObject::~PanelObject() {
    if (window && IsWindow(window)) DestroyWindow(window);
}

namespace {

const char16_t kPanelClass[] = u"OrbalisHostPanel";

HWND CreatePanelWindow(const std::u16string& title, const HostPanelSize& size) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DefWindowProcW;
    wc.lpszClassName = kPanelClass;
    RegisterClassExW(&wc);  // already there for a second panel
    return CreateWindowExW(0, kPanelClass, title.c_str(), WS_OVERLAPPED | WS_CAPTION, 0, 0,
                           static_cast<int>(size.width), static_cast<int>(size.height), nullptr,
                           nullptr, nullptr, nullptr);
}

inline PanelObject* PanelOf(HostPanel panel) { return HandleObject<PanelObject>(panel); }

#define HOST_PANEL(object, handle)         \
    PanelObject* object = PanelOf(handle); \
    if (!object) return kHostBadParameterErr

HostErr Create(HostPluginRef plugin, HostString id, HostString title, int16_t stateCount,
               const HostPanelSize* minSize, HostBool resizable, HostFlyoutMenu flyout,
               void* userData, HostPanel* out) {
    HOST_OPERATION("Create");
    if (out) *out = nullptr;
    StringObject* idText = StringOf(id);
    StringObject* titleText = StringOf(title);
    LoadedPlugin* owner = LoadedPlugin::FromRef(plugin);
    if (!out || !idText || !titleText || !minSize || !owner) return kHostBadParameterErr;
    if (flyout && !HandleObject<FlyoutMenuObject>(flyout)) return kHostBadParameterErr;
    if (HostErr err = NewHandle<PanelObject>(out)) return err;
    PanelObject* panel = PanelOf(*out);
    static uint64_t panelsMade = 0;
    panel->made = ++panelsMade;
    panel->owner = owner;
    panel->id = idText->units;
    panel->title = titleText->units;
    panel->stateCount = stateCount;
    panel->minSize = *minSize;
    panel->resizable = resizable != 0;
    panel->flyout = flyout;
    panel->userData = userData;
    panel->window = CreatePanelWindow(panel->title, *minSize);
    if (!panel->window) {
        DisposeHandle<PanelObject>(*out);
        *out = nullptr;
        return kHostOutOfMemoryErr;
    }
    return 0;
}

HostErr Destroy(HostPanel panel) {
    HOST_OPERATION("Destroy");
    return DisposeHandle<PanelObject>(panel);
}

HostErr Show(HostPanel handle, HostBool show) {
    HOST_OPERATION("Show");
    HOST_PANEL(panel, handle);
    if (!IsWindow(panel->window)) return kHostBadParameterErr;
    ShowWindow(panel->window, show ? SW_SHOW : SW_HIDE);
    return 0;
}

HostErr IsShown(HostPanel handle, HostBool* shown) {
    HOST_OPERATION("IsShown");
    HOST_PANEL(panel, handle);
    if (!shown) return kHostBadParameterErr;
    *shown = IsWindow(panel->window) && IsWindowVisible(panel->window) ? 1 : 0;
    return 0;
}

HostErr GetUserData(HostPanel handle, void** userData) {
    HOST_OPERATION("GetUserData");
    HOST_PANEL(panel, handle);
    if (!userData) return kHostBadParameterErr;
    *userData = panel->userData;
    return 0;
}

HostErr SetUserData(HostPanel handle, void* userData) {
    HOST_OPERATION("SetUserData");
    HOST_PANEL(panel, handle);
    panel->userData = userData;
    return 0;
}

HostErr GetPlatformWindow(HostPanel handle, HostWindow* window) {
    HOST_OPERATION("GetPlatformWindow");
    HOST_PANEL(panel, handle);
    if (!window) return kHostBadParameterErr;
    *window = reinterpret_cast<HostWindow>(panel->window);
    return 0;
}

HostErr GetSize(HostPanel handle, HostPanelSize* size) {
    HOST_OPERATION("GetSize");
    HOST_PANEL(panel, handle);
    RECT rect{};
    if (!size || !GetWindowRect(panel->window, &rect)) return kHostBadParameterErr;
    size->width = rect.right - rect.left;
    size->height = rect.bottom - rect.top;
    return 0;
}

template <typename Proc, Proc PanelObject::*field>
HostErr SetProc(HostPanel handle, Proc proc) {
    HOST_PANEL(panel, handle);
    panel->*field = proc;
    return 0;
}

HostErr SetFlyoutMenuPreVisibilityProc(HostPanel panel, HostPanelFlyoutOpeningProc proc) {
    HOST_OPERATION("SetFlyoutMenuPreVisibilityProc");
    return SetProc<HostPanelFlyoutOpeningProc, &PanelObject::flyoutOpening>(panel, proc);
}
HostErr SetFlyoutMenuProc(HostPanel panel, HostPanelFlyoutItemProc proc) {
    HOST_OPERATION("SetFlyoutMenuProc");
    return SetProc<HostPanelFlyoutItemProc, &PanelObject::flyoutItem>(panel, proc);
}
HostErr SetVisibilityChangedNotifyProc(HostPanel panel, HostPanelVisibilityProc proc) {
    HOST_OPERATION("SetVisibilityChangedNotifyProc");
    return SetProc<HostPanelVisibilityProc, &PanelObject::visibilityChanged>(panel, proc);
}
HostErr SetSizeChangedNotifyProc(HostPanel panel, HostPanelSizeProc proc) {
    HOST_OPERATION("SetSizeChangedNotifyProc");
    return SetProc<HostPanelSizeProc, &PanelObject::sizeChanged>(panel, proc);
}
HostErr SetStateChangedNotifyProc(HostPanel panel, HostPanelStateProc proc) {
    HOST_OPERATION("SetStateChangedNotifyProc");
    return SetProc<HostPanelStateProc, &PanelObject::stateChanged>(panel, proc);
}
HostErr SetClosedNotifyProc(HostPanel panel, HostPanelClosedProc proc) {
    HOST_OPERATION("SetClosedNotifyProc");
    return SetProc<HostPanelClosedProc, &PanelObject::closed>(panel, proc);
}

HostErr SetIconResourceID(HostPanel handle, const int32_t* normalIds, int32_t normalCount,
                          const int32_t* rolloverIds, int32_t rolloverCount) {
    HOST_OPERATION("SetIconResourceID");
    HOST_PANEL(panel, handle);
    if (normalCount < 0 || rolloverCount < 0 || (normalCount && !normalIds) ||
        (rolloverCount && !rolloverIds))
        return kHostBadParameterErr;
    panel->icons.assign(normalIds, normalIds + normalCount);
    panel->rolloverIcons.assign(rolloverIds, rolloverIds + rolloverCount);
    return 0;
}

HostErr CreateFlyoutMenu(HostFlyoutMenu* menu) {
    HOST_OPERATION("CreateFlyoutMenu");
    return NewHandle<FlyoutMenuObject>(menu);
}

HostErr DestroyFlyoutMenu(HostFlyoutMenu menu) {
    HOST_OPERATION("DestroyFlyoutMenu");
    return DisposeHandle<FlyoutMenuObject>(menu);
}

// Panel colours follow the brightness: a grey background of that lightness,
// with black text on light panels and white text on dark ones.
HostErr GetUIThemeColor(int32_t component, int32_t kind, HostThemeColour* colour) {
    HOST_OPERATION("GetUIThemeColor");
    Host* host = Host::CurrentOrNull();
    if (!host || !colour || component != kThemeComponentPanel) return kHostBadParameterErr;
    const double brightness = host->theme().brightness();
    double grey = 0;
    if (kind == kThemeColourBackground)
        grey = brightness;
    else if (kind == kThemeColourText)
        grey = host->theme().isDark() ? 1.0 : 0.0;
    else
        return kHostBadParameterErr;
    *colour = HostThemeColour{1.0, grey, grey, grey};
    return 0;
}

int32_t IsDarkTheme() {
    static FaultPoint& point = Faults::Point("IsDarkTheme");
    point.hit();
    Host* host = Host::CurrentOrNull();
    return host && host->theme().isDark() ? 1 : 0;
}

// Runs a panel callback for its owner, only while the owner is running.
template <typename... Args, typename Proc>
void Callback(PanelObject* panel, Proc proc, HostPanel handle, Args... args) {
    if (proc && panel->owner && panel->owner->started() && panel->owner->mapped())
        proc(handle, args...);
}

}  // namespace

std::vector<PanelEntry> LivePanels() {
    std::vector<PanelEntry> panels;
    Host* host = Host::CurrentOrNull();
    if (!host) return panels;
    host->handles.ForEach<PanelObject>([&](uintptr_t handle, PanelObject* panel) {
        panels.push_back({reinterpret_cast<HostPanel>(handle), panel});
    });
    // The table reuses freed slots, so its order is not the order of making.
    std::sort(panels.begin(), panels.end(),
              [](const PanelEntry& x, const PanelEntry& y) { return x.panel->made < y.panel->made; });
    return panels;
}

PanelEntry FindPanel(const std::string& title) {
    const std::u16string wanted = win32::Widen(title);
    for (const PanelEntry& entry : LivePanels())
        if (entry.panel->title == wanted) return entry;
    return {nullptr, nullptr};
}

void UserClosePanel(HostPanel handle) {
    PanelObject* panel = PanelOf(handle);
    if (!panel || !IsWindow(panel->window) || !IsWindowVisible(panel->window)) return;
    ShowWindow(panel->window, SW_HIDE);
    Callback(panel, panel->visibilityChanged, handle, HostBool{0});
    if ((panel = PanelOf(handle))) Callback(panel, panel->closed, handle);
}

void UserShowPanel(HostPanel handle) {
    PanelObject* panel = PanelOf(handle);
    if (!panel || !IsWindow(panel->window) || IsWindowVisible(panel->window)) return;
    ShowWindow(panel->window, SW_SHOW);
    Callback(panel, panel->visibilityChanged, handle, HostBool{1});
}

void LayOutNewPanels() {
    for (const PanelEntry& entry : LivePanels()) {
        PanelObject* panel = PanelOf(entry.handle);
        if (!panel || panel->laidOut || !panel->owner || !panel->owner->started() || !panel->owner->mapped())
            continue;
        panel->laidOut = true;
        Callback(panel, panel->sizeChanged, entry.handle);
    }
}

void UserResizePanel(HostPanel handle, double width, double height) {
    PanelObject* panel = PanelOf(handle);
    if (!panel || !IsWindow(panel->window)) return;
    if (!panel->resizable) return;
    // No smaller than the panel's minimum, no larger than a window can be.
    auto fit = [](double size, double least) {
        constexpr double kLargest = 32767;
        least = least >= 0 ? std::min(least, kLargest) : 0;
        return size >= least ? std::min(size, kLargest) : least;
    };
    width = fit(width, panel->minSize.width);
    height = fit(height, panel->minSize.height);
    RECT rect{};
    GetWindowRect(panel->window, &rect);
    MoveWindow(panel->window, rect.left, rect.top, static_cast<int>(width),
               static_cast<int>(height), TRUE);
    Callback(panel, panel->sizeChanged, handle);
}

const HostPanelSuite& PanelSuite() {
    static const HostPanelSuite suite{Create,
                                      Destroy,
                                      Show,
                                      IsShown,
                                      GetUserData,
                                      SetUserData,
                                      GetPlatformWindow,
                                      GetSize,
                                      SetFlyoutMenuPreVisibilityProc,
                                      SetFlyoutMenuProc,
                                      SetVisibilityChangedNotifyProc,
                                      SetSizeChangedNotifyProc,
                                      SetStateChangedNotifyProc,
                                      SetClosedNotifyProc,
                                      SetIconResourceID};
    return suite;
}

const HostPanelFlyoutMenuSuite& PanelFlyoutMenuSuite() {
    static const HostPanelFlyoutMenuSuite suite{CreateFlyoutMenu, DestroyFlyoutMenu};
    return suite;
}

const HostUserInterfaceThemeSuite& UserInterfaceThemeSuite() {
    static const HostUserInterfaceThemeSuite suite{GetUIThemeColor, IsDarkTheme};
    return suite;
}

}  // namespace orbalis::host
