// The About entry that plug-ins of the Nodra family share in the host's
// About menu.
#pragma once

#include "frame/UnicodeString.h"
#include "sdk/HostMessages.h"
#include "sdk/suites/MenuSuite.h"
#include "sdk/suites/UserSuite.h"

namespace orbalis {

// Lives for one AddAboutItem call; holds its own Menu suite, acquired apart
// from the plug-in's suite table.
class SDKAboutPluginsHelper {
public:
    SDKAboutPluginsHelper() = default;
    ~SDKAboutPluginsHelper();
    SDKAboutPluginsHelper(const SDKAboutPluginsHelper&) = delete;
    SDKAboutPluginsHelper& operator=(const SDKAboutPluginsHelper&) = delete;

    // Adds `pluginItemText` (system code page) to the submenu `groupName` of
    // the host's "About" group, creating the submenu with `itemText` when no
    // plug-in of the family has yet.
    HostErr AddAboutItem(HostMessageData* message, const char* groupName, const ai::UnicodeString& itemText,
                         const char* pluginItemText, HostMenuItem* item);

private:
    void ReleaseMenuSuite();

    const HostMenuSuite* menuSuite_ = nullptr;
    [[maybe_unused]] const HostUserSuite* userSuite_ = nullptr;  // not used
    const HostBasicSuite* basic_ = nullptr;
};

}  // namespace orbalis
