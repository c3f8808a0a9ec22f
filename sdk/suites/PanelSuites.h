/* Floating panels: the host's panel, its flyout menu and the user-interface
 * theme the panels follow. */
#ifndef ORBALIS_SDK_PANEL_SUITES_H
#define ORBALIS_SDK_PANEL_SUITES_H

#include "../HostTypes.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct HostPanelOpaque* HostPanel;
typedef struct HostFlyoutMenuOpaque* HostFlyoutMenu;

typedef struct HostPanelSize {
    double width;
    double height;
} HostPanelSize;

/* The host calls these on its user-interface thread, with the panel they
 * were registered on. */
typedef void (*HostPanelFlyoutOpeningProc)(HostPanel panel);
typedef void (*HostPanelFlyoutItemProc)(HostPanel panel, int32_t item);
typedef void (*HostPanelVisibilityProc)(HostPanel panel, HostBool visible);
typedef void (*HostPanelSizeProc)(HostPanel panel);
typedef void (*HostPanelStateProc)(HostPanel panel, int16_t state);
typedef void (*HostPanelClosedProc)(HostPanel panel);

/* "AI Panel Suite" 3. */
typedef struct HostPanelSuite {
    /* Creates a hidden panel with its own top-level platform window. The host
     * copies the identifier and title; `flyout` may be null and stays the
     * caller's. *panel is the caller's until Destroy. */
    HostErr (*Create)(HostPluginRef plugin, HostString id, HostString title, int16_t stateCount,
                      const HostPanelSize* minSize, HostBool resizable, HostFlyoutMenu flyout, void* userData,
                      HostPanel* panel);
    /* Removes the panel, and its window if the caller has not destroyed it. */
    HostErr (*Destroy)(HostPanel panel);
    HostErr (*Show)(HostPanel panel, HostBool show);
    HostErr (*IsShown)(HostPanel panel, HostBool* shown);
    HostErr (*GetUserData)(HostPanel panel, void** userData);
    HostErr (*SetUserData)(HostPanel panel, void* userData);
    /* The panel's window: the host's, valid until Destroy or until the
     * caller destroys it. */
    HostErr (*GetPlatformWindow)(HostPanel panel, HostWindow* window);
    HostErr (*GetSize)(HostPanel panel, HostPanelSize* size);
    HostErr (*SetFlyoutMenuPreVisibilityProc)(HostPanel panel, HostPanelFlyoutOpeningProc proc);
    HostErr (*SetFlyoutMenuProc)(HostPanel panel, HostPanelFlyoutItemProc proc);
    HostErr (*SetVisibilityChangedNotifyProc)(HostPanel panel, HostPanelVisibilityProc proc);
    HostErr (*SetSizeChangedNotifyProc)(HostPanel panel, HostPanelSizeProc proc);
    HostErr (*SetStateChangedNotifyProc)(HostPanel panel, HostPanelStateProc proc);
    HostErr (*SetClosedNotifyProc)(HostPanel panel, HostPanelClosedProc proc);
    /* Icon resources of the plug-in's library (PNG images), for the normal
     * and the rollover look; the host copies both lists. */
    HostErr (*SetIconResourceID)(HostPanel panel, const int32_t* normalIds, int32_t normalCount,
                                 const int32_t* rolloverIds, int32_t rolloverCount);
} HostPanelSuite;

/* "AI Panel Flyout Menu Suite" 2. */
typedef struct HostPanelFlyoutMenuSuite {
    /* *menu is the caller's until Destroy. */
    HostErr (*Create)(HostFlyoutMenu* menu);
    HostErr (*Destroy)(HostFlyoutMenu menu);
} HostPanelFlyoutMenuSuite;

/* Alpha, red, green, blue, each from 0 to 1. */
typedef struct HostThemeColour {
    double alpha;
    double red;
    double green;
    double blue;
} HostThemeColour;

enum { kThemeComponentPanel = 1, kThemeColourBackground = 0, kThemeColourText = 1 };

/* "AI User Interface Theme Suite" 2. */
typedef struct HostUserInterfaceThemeSuite {
    HostErr (*GetUIThemeColor)(int32_t component, int32_t kind, HostThemeColour* colour);
    /* Non-zero while the user interface is dark, so light icons are wanted. */
    int32_t (*IsDarkTheme)(void);
} HostUserInterfaceThemeSuite;

#ifdef __cplusplus
}
#endif

#endif
