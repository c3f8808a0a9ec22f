#include "frame/AboutPlugins.h"

#include <cstring>

#include "frame/HostSuites.h"

namespace orbalis {

SDKAboutPluginsHelper::~SDKAboutPluginsHelper() { ReleaseMenuSuite(); }

void SDKAboutPluginsHelper::ReleaseMenuSuite() {
    if (menuSuite_ && basic_) basic_->ReleaseSuite("AI Menu Suite", 11);
    menuSuite_ = nullptr;
}

HostErr SDKAboutPluginsHelper::AddAboutItem(HostMessageData* message, const char* groupName,
                                            const ai::UnicodeString& itemText, const char* pluginItemText,
                                            HostMenuItem* item) {
    basic_ = message->basic;
    HostErr err = 0;
    if (!menuSuite_) {
        err = basic_->AcquireSuite("AI Menu Suite", 11, reinterpret_cast<const void**>(&menuSuite_));
        if (err) {
            menuSuite_ = nullptr;
            return err;
        }
    }

    [&] {
        int32_t count = 0;
        if ((err = menuSuite_->CountMenuGroups(&count))) return;
        HostMenuGroup group = nullptr;
        for (int32_t i = 0; i < count; ++i) {
            HostMenuGroup candidate = nullptr;
            const char* name = nullptr;
            if ((err = menuSuite_->GetNthMenuGroup(i, &candidate))) return;
            if ((err = menuSuite_->GetMenuGroupName(candidate, &name))) return;
            if (name && std::strcmp(name, groupName) == 0) {
                group = candidate;
                break;
            }
        }
        if (!group) {
            HostMenuItem parent = nullptr;
            const HostMenuItemData about{"About", itemText.handle()};
            if ((err = menuSuite_->AddMenuItem(message->self, nullptr, &about, 0, &parent))) return;
            if ((err = menuSuite_->AddMenuGroupAsSubMenu(groupName, kMenuGroupSorted, parent, &group))) return;
        }
        const ai::UnicodeString text(pluginItemText, kHostEncodingPlatform);
        const HostMenuItemData own{groupName, text.handle()};
        err = menuSuite_->AddMenuItem(message->self, nullptr, &own, 0, item);
    }();

    ReleaseMenuSuite();
    return err;
}

}  // namespace orbalis
