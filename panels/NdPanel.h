// The base of the plug-in's floating panels: creates the host panel, takes
// over its window so that the derived panel sees its messages, routes the
// host's panel callbacks to virtual operations and follows the theme colours.
#pragma once

#include <optional>

#include "frame/HostSuites.h"
#include "frame/UnicodeString.h"
#include "sdk/win32/Windows.h"

namespace orbalis {

// Alpha, red, green and blue, each from 0 to 1.
using PanelColour = HostThemeColour;

// The colour value of a theme colour: each of red, green and blue scaled to
// 0-255, truncated and kept to 8 bits; alpha is not used.
COLORREF ColourValue(const PanelColour& colour);

class CNdPanel {
public:
    explicit CNdPanel(HostPluginRef pluginRef);
    CNdPanel(const CNdPanel&) = delete;
    CNdPanel& operator=(const CNdPanel&) = delete;

    virtual ~CNdPanel();
    // Creates the host panel and shows it; the first failing step's code.
    // Called once, after construction.
    virtual HostErr Create();
    virtual void Show(bool visible);
    // False also when the host cannot tell.
    virtual bool IsShown();
    virtual void OnThemeChanged();
    virtual HostErr InitParameters();
    virtual HostErr OnWindowCreated();
    virtual void ExtraHook();
    virtual void DestroyPanel();
    virtual void OnFlyoutItem(int32_t item);
    virtual void OnFlyoutOpening();
    virtual void OnVisibilityChanged(bool visible);
    virtual void OnSizeChanged();
    virtual void OnStateChanged(int16_t state);
    virtual void OnClosed();
    // True, with *result, when the panel handled the message itself.
    virtual bool HandleMessage(LRESULT* result, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // The document open in the host changed; the panels follow it.
    virtual void OnDocumentChanged();

    static LRESULT CALLBACK PanelWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    // Removes the host panel, its window and strings with this library's
    // code, for a panel whose object was made by an earlier mapping of the
    // library (whose suite pointers are no longer held).
    void ReleaseForRebind();

    HostPanel panel() const { return panelRef; }
    HWND panelWindow() const { return window; }
    // Gives the keyboard focus back to the host's window.
    static void FocusHostWindow();

protected:
    // Sets the panel's icon to one PNG resource of the library, for both
    // looks.
    void SetPanelIcon(int32_t resourceId);

    HostPluginRef pluginRef;
    HostPanel panelRef = nullptr;
    HWND window = nullptr;
    HostFlyoutMenu flyoutMenu = nullptr;
    std::optional<ai::UnicodeString> panelId;
    std::optional<ai::UnicodeString> panelTitle;
    int32_t resizable = 0;
    HostPanelSize minSize{0, 0};
    int16_t stateCount = 0;
    PanelColour backgroundColour{1, 0, 0, 0};
    PanelColour textColour{1, 0, 0, 0};
    HMODULE moduleHandle = nullptr;
    HBRUSH backgroundBrush = nullptr;
    WNDPROC previousWindowProc = nullptr;

private:
    void TearDown();
    bool subclassed_ = false;
};

}  // namespace orbalis
