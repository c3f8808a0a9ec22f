#include "panels/NdPanel.h"

namespace orbalis {
namespace {

constexpr char16_t kPanelProperty[] = u"TPNL";

// The panel a host callback is about; null when the host has none for it
// (the panel's creation stopped before its user data was set, or the
// plug-in's suites are not held between an unload and a reload).
CNdPanel* PanelOf(HostPanel panel) {
    if (!sPanel) return nullptr;
    void* data = nullptr;
    if (sPanel->GetUserData(panel, &data)) return nullptr;
    return static_cast<CNdPanel*>(data);
}

void FlyoutOpening(HostPanel panel) {
    if (CNdPanel* p = PanelOf(panel)) p->OnFlyoutOpening();
}
void FlyoutItem(HostPanel panel, int32_t item) {
    if (CNdPanel* p = PanelOf(panel)) p->OnFlyoutItem(item);
}
void VisibilityChanged(HostPanel panel, HostBool visible) {
    if (CNdPanel* p = PanelOf(panel)) p->OnVisibilityChanged(visible != 0);
}
void SizeChanged(HostPanel panel) {
    if (CNdPanel* p = PanelOf(panel)) p->OnSizeChanged();
}
void StateChanged(HostPanel panel, int16_t state) {
    if (CNdPanel* p = PanelOf(panel)) p->OnStateChanged(state);
}
void Closed(HostPanel panel) {
    if (CNdPanel* p = PanelOf(panel)) p->OnClosed();
}

uint32_t Channel(double value) { return static_cast<uint32_t>(static_cast<int64_t>(value * 255.0)) & 0xFF; }

}  // namespace

COLORREF ColourValue(const PanelColour& colour) {
    return Channel(colour.red) + Channel(colour.green) * 256 + Channel(colour.blue) * 65536;
}

CNdPanel::CNdPanel(HostPluginRef ref) : pluginRef(ref) {}

CNdPanel::~CNdPanel() { TearDown(); }

HostErr CNdPanel::Create() {
    try {
        if (HostErr err = InitParameters()) return err;
        if (!panelId) panelId.emplace();
        if (!panelTitle) panelTitle.emplace();
        if (HostErr err = sPanel->Create(pluginRef, panelId->handle(), panelTitle->handle(), stateCount, &minSize,
                                         resizable, flyoutMenu, this, &panelRef))
            return err;
        HostWindow platformWindow = nullptr;
        if (HostErr err = sPanel->GetPlatformWindow(panelRef, &platformWindow)) return err;
        window = reinterpret_cast<HWND>(platformWindow);
        const char* path = nullptr;
        if (HostErr err = sSPPlugins->GetPluginFileSpecification(pluginRef, &path)) return err;
        moduleHandle = path ? GetModuleHandleA(path) : nullptr;
        if (HostErr err = sPanel->SetFlyoutMenuPreVisibilityProc(panelRef, FlyoutOpening)) return err;
        if (HostErr err = sPanel->SetFlyoutMenuProc(panelRef, FlyoutItem)) return err;
        OnWindowCreated();
        SetPropW(window, kPanelProperty, this);
        previousWindowProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PanelWindowProc)));
        subclassed_ = true;
        if (HostErr err = sPanel->SetVisibilityChangedNotifyProc(panelRef, VisibilityChanged)) return err;
        if (HostErr err = sPanel->SetSizeChangedNotifyProc(panelRef, SizeChanged)) return err;
        if (HostErr err = sPanel->SetStateChangedNotifyProc(panelRef, StateChanged)) return err;
        if (HostErr err = sPanel->SetClosedNotifyProc(panelRef, Closed)) return err;
        if (HostErr err = sPanel->SetUserData(panelRef, this)) return err;
        // The host tells of a brightness change only: the theme as it is now
        // is read before the first paint, or the labels would be drawn black.
        OnThemeChanged();
        Show(true);
        return 0;
    } catch (const ai::Error& e) {
        return e.code;
    }
}

void CNdPanel::TearDown() {
    if (!panelRef) return;
    if (window) {
        RemovePropW(window, kPanelProperty);
        // Only a window this panel took over gets its own procedure back; a
        // creation that stopped earlier never replaced it.
        if (subclassed_) SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previousWindowProc));
        DestroyWindow(window);
        window = nullptr;
        if (backgroundBrush) DeleteObject(backgroundBrush);
        backgroundBrush = nullptr;
    }
    subclassed_ = false;
    if (sPanel) sPanel->Destroy(panelRef);
    if (flyoutMenu && sPanelFlyoutMenu) sPanelFlyoutMenu->Destroy(flyoutMenu);
    flyoutMenu = nullptr;
    panelRef = nullptr;
}

void CNdPanel::ReleaseForRebind() {
    TearDown();
    panelId.reset();
    panelTitle.reset();
}

void CNdPanel::Show(bool visible) {
    if (sPanel && panelRef) sPanel->Show(panelRef, visible ? 1 : 0);
}

bool CNdPanel::IsShown() {
    HostBool shown = 0;
    if (!sPanel || !panelRef || sPanel->IsShown(panelRef, &shown)) return false;
    return shown != 0;
}

void CNdPanel::OnThemeChanged() {
    if (!sUserInterfaceTheme) return;
    if (sUserInterfaceTheme->GetUIThemeColor(kThemeComponentPanel, kThemeColourBackground, &backgroundColour)) return;
    sUserInterfaceTheme->GetUIThemeColor(kThemeComponentPanel, kThemeColourText, &textColour);
}

HostErr CNdPanel::InitParameters() {
    minSize = HostPanelSize{240, 320};
    resizable = 1;
    panelId.emplace("NdPanelID");
    panelTitle.emplace("NdPanel");
    stateCount = 1;
    return sPanelFlyoutMenu->Create(&flyoutMenu);
}

HostErr CNdPanel::OnWindowCreated() { return 0; }
void CNdPanel::ExtraHook() {}
void CNdPanel::DestroyPanel() { TearDown(); }
void CNdPanel::OnFlyoutItem(int32_t) {}
void CNdPanel::OnFlyoutOpening() {}
void CNdPanel::OnVisibilityChanged(bool) {}
void CNdPanel::OnSizeChanged() {}
void CNdPanel::OnStateChanged(int16_t) {}
void CNdPanel::OnClosed() {}
void CNdPanel::OnDocumentChanged() {}

bool CNdPanel::HandleMessage(LRESULT* result, HWND, UINT message, WPARAM wParam, LPARAM) {
    if (message != WM_CTLCOLORSTATIC) return false;
    HDC dc = reinterpret_cast<HDC>(wParam);
    SetTextColor(dc, ColourValue(textColour));
    SetBkMode(dc, TRANSPARENT);
    if (backgroundBrush) DeleteObject(backgroundBrush);
    backgroundBrush = CreateSolidBrush(ColourValue(backgroundColour));
    *result = reinterpret_cast<LRESULT>(backgroundBrush);
    return true;
}

LRESULT CALLBACK CNdPanel::PanelWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* panel = static_cast<CNdPanel*>(GetPropW(window, kPanelProperty));
    if (!panel) return DefWindowProcW(window, message, wParam, lParam);
    LRESULT result = 0;
    if (panel->HandleMessage(&result, window, message, wParam, lParam)) return result;
    if (panel->previousWindowProc) return CallWindowProcW(panel->previousWindowProc, window, message, wParam, lParam);
    return 0;
}

void CNdPanel::SetPanelIcon(int32_t resourceId) {
    if (sPanel && panelRef) sPanel->SetIconResourceID(panelRef, &resourceId, 1, &resourceId, 1);
}

void CNdPanel::FocusHostWindow() {
    HostWindow app = nullptr;
    if (sContext && sContext->GetPlatformAppWindow(&app) == 0 && app) SetFocus(reinterpret_cast<HWND>(app));
}

}  // namespace orbalis
