// The operations the main plug-in uses on its floating panels.
#pragma once

#include "sdk/HostTypes.h"

namespace orbalis {

class CNdPanel {
public:
    virtual ~CNdPanel() = default;
    virtual HostErr Create() = 0;
    virtual void Show(bool visible) = 0;
    virtual bool IsShown() = 0;
    virtual void OnThemeChanged() = 0;
    virtual void OnDocumentChanged() = 0;
};

}  // namespace orbalis
