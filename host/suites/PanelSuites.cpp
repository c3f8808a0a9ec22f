// The Panel, flyout menu and user-interface theme suites.
#include <algorithm>

#include "host/app/Panels.h"
#include "host/win32/Driver.h"
#include "host/suites/OperationGate.h"
#include "host/suites/SuiteTables.h"

namespace orbalis::host {

PanelObject::~PanelObject() {
    if (window && IsWindow(window)) DestroyWindow(window);
}

namespace {

const char16_t kPanelClass[] = u"OrbalisHostPanel";

// Sizes the panel's window so that the part the plug-in draws in, inside
// the caption and frame a system draws around it, has the panel's size.
void SizeInside(HWND window, int width, int height) {
    RECT outer{}, inner{};
    GetWindowRect(window, &outer);
    GetClientRect(window, &inner);
    const int frameWidth = (outer.right - outer.left) - (inner.right - inner.left);
    const int frameHeight = (outer.bottom - outer.top) - (inner.bottom - inner.top);
    MoveWindow(window, outer.left, outer.top, width + frameWidth, height + frameHeight, TRUE);
}

HWND CreatePanelWindow(const std::u16string& title, const HostPanelSize& size) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DefWindowProcW;
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = WideText(kPanelClass);
    RegisterClassExW(&wc);  // already there for a second panel
    HWND window =
        CreateWindowExW(0, kPanelClass, title.c_str(), WS_OVERLAPPED | WS_CAPTION, 0, 0, static_cast<int>(size.width),
                        static_cast<int>(size.height), nullptr, nullptr, nullptr, nullptr);
    if (window) SizeInside(window, static_cast<int>(size.width), static_cast<int>(size.height));
    return window;
}

HostErr Create(HostPluginRef plugin, HostString id, HostString title, int16_t stateCount, const HostPanelSize* minSize,
               HostBool resizable, HostFlyoutMenu flyout, void* userData, HostPanel* out) {
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

HostErr Destroy(HostPanel panel) { return DisposeHandle<PanelObject>(panel); }

HostErr Show(PanelObject& panel, HostBool show) {
    if (!IsWindow(panel.window)) return kHostBadParameterErr;
    ShowWindow(panel.window, show ? SW_SHOW : SW_HIDE);
    return 0;
}

HostErr IsShown(PanelObject& panel, HostBool& shown) {
    shown = IsWindow(panel.window) && IsWindowVisible(panel.window) ? 1 : 0;
    return 0;
}

HostErr GetUserData(PanelObject& panel, void*& userData) {
    userData = panel.userData;
    return 0;
}

HostErr SetUserData(PanelObject& panel, void* userData) {
    panel.userData = userData;
    return 0;
}

HostErr GetPlatformWindow(PanelObject& panel, HostWindow& window) {
    window = reinterpret_cast<HostWindow>(panel.window);
    return 0;
}

HostErr GetSize(PanelObject& panel, HostPanelSize* size) {
    RECT rect{};
    if (!size || !GetClientRect(panel.window, &rect)) return kHostBadParameterErr;
    size->width = rect.right - rect.left;
    size->height = rect.bottom - rect.top;
    return 0;
}

template <auto field>
HostErr SetProc(PanelObject& panel, std::remove_reference_t<decltype(panel.*field)> proc) {
    panel.*field = proc;
    return 0;
}

HostErr SetIconResourceID(PanelObject& panel, const int32_t* normalIds, int32_t normalCount, const int32_t* rolloverIds,
                          int32_t rolloverCount) {
    if (normalCount < 0 || rolloverCount < 0 || (normalCount && !normalIds) || (rolloverCount && !rolloverIds))
        return kHostBadParameterErr;
    panel.icons.assign(normalIds, normalIds + normalCount);
    panel.rolloverIcons.assign(rolloverIds, rolloverIds + rolloverCount);
    return 0;
}

HostErr CreateFlyoutMenu(HostFlyoutMenu* menu) { return NewHandle<FlyoutMenuObject>(menu); }

HostErr DestroyFlyoutMenu(HostFlyoutMenu menu) { return DisposeHandle<FlyoutMenuObject>(menu); }

// Panel colours follow the brightness: a grey background of that lightness,
// with black text on light panels and white text on dark ones.
HostErr GetUIThemeColor(int32_t component, int32_t kind, HostThemeColour* colour) {
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
    Host* host = Host::CurrentOrNull();
    return host && host->theme().isDark() ? 1 : 0;
}

// Runs a panel callback for its owner, only while the owner is running.
template <typename... Args, typename Proc>
void Callback(PanelObject* panel, Proc proc, HostPanel handle, Args... args) {
    if (proc && panel->owner && panel->owner->started() && panel->owner->mapped()) proc(handle, args...);
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
        if (!panel || panel->laidOut || !panel->owner || !panel->owner->started() || !panel->owner->mapped()) continue;
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
    SizeInside(panel->window, static_cast<int>(width), static_cast<int>(height));
    Callback(panel, panel->sizeChanged, handle);
}

const HostPanelSuite& PanelSuite() {
    return SuiteTable<HostPanelSuite, Create, Destroy, Show, IsShown, GetUserData, SetUserData, GetPlatformWindow,
                      GetSize, Named<"SetFlyoutMenuPreVisibilityProc", SetProc<&PanelObject::flyoutOpening>>,
                      Named<"SetFlyoutMenuProc", SetProc<&PanelObject::flyoutItem>>,
                      Named<"SetVisibilityChangedNotifyProc", SetProc<&PanelObject::visibilityChanged>>,
                      Named<"SetSizeChangedNotifyProc", SetProc<&PanelObject::sizeChanged>>,
                      Named<"SetStateChangedNotifyProc", SetProc<&PanelObject::stateChanged>>,
                      Named<"SetClosedNotifyProc", SetProc<&PanelObject::closed>>, SetIconResourceID>;
}

const HostPanelFlyoutMenuSuite& PanelFlyoutMenuSuite() {
    return SuiteTable<HostPanelFlyoutMenuSuite, CreateFlyoutMenu, DestroyFlyoutMenu>;
}

const HostUserInterfaceThemeSuite& UserInterfaceThemeSuite() {
    return SuiteTable<HostUserInterfaceThemeSuite, GetUIThemeColor, Query<IsDarkTheme>>;
}

}  // namespace orbalis::host
