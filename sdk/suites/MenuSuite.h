/* "AI Menu Suite" 11. */
#ifndef ORBALIS_SDK_MENU_SUITE_H
#define ORBALIS_SDK_MENU_SUITE_H

#include "../HostTypes.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Item options. */
#define kMenuItemWantsUpdate 1 /* the host sends "AI Update" for the item */
#define kMenuItemIsSeparator 4
/* Group options. */
#define kMenuGroupSorted 1 /* items are listed in alphabetical order */

/* Automatic enabling. */
#define kAutoEnableMenuItemAction 1
/* Selected-art conditions: the selection holds art of one of these kinds. */
#define kIfPlacedArt 0x00000008
#define kIfTextArt 0x00000010
#define kIfRasterArt 0x00100000
/* State conditions. */
#define kIfOpenDocument 0x00000040

typedef struct HostMenuItemData {
    const char* groupName;
    HostString itemText;
} HostMenuItemData;

/* Menu groups and items are the host's: their handles stay valid until the
 * host ends, and a plug-in never removes them. Texts passed in (names, keys,
 * the item text string) are copied; the caller keeps what it passed. */
typedef struct HostMenuSuite {
    /* Adds an item at the end of the named group. `key` may be null. */
    HostErr (*AddMenuItem)(HostPluginRef plugin, const char* key, const HostMenuItemData* data, int32_t options,
                           HostMenuItem* item);
    /* Creates a group that `parent` opens as a submenu. */
    HostErr (*AddMenuGroupAsSubMenu)(const char* name, int32_t options, HostMenuItem parent, HostMenuGroup* group);
    HostErr (*CountMenuGroups)(int32_t* count);
    HostErr (*GetNthMenuGroup)(int32_t index, HostMenuGroup* group);
    /* *name is the host's text, valid as long as the group. */
    HostErr (*GetMenuGroupName)(HostMenuGroup group, const char** name);
    HostErr (*UpdateMenuItemAutomatically)(HostMenuItem item, int32_t action, int32_t ifArt, int32_t ifNotArt,
                                           int32_t ifSelectedArt, int32_t ifNotSelectedArt, int32_t ifState,
                                           int32_t ifNotState);
    HostErr (*CheckItem)(HostMenuItem item, HostBool checked);
    HostErr (*IsItemChecked)(HostMenuItem item, HostBool* checked);
    HostErr (*EnableItem)(HostMenuItem item, HostBool enabled);
    HostErr (*IsItemEnabled)(HostMenuItem item, HostBool* enabled);
    /* Overwrites `text`, a string the caller holds. */
    HostErr (*GetItemText)(HostMenuItem item, HostString text);
} HostMenuSuite;

#ifdef __cplusplus
}
#endif

#endif
