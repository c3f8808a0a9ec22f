// The host's user-interface theme: the brightness of its panels, from 0
// (black) to 1 (white); below one half the interface counts as dark.
#pragma once

#include "host/app/Notifiers.h"

namespace orbalis::host {

class Theme {
public:
    explicit Theme(Notifiers& notifiers) : notifiers_(notifiers) {}

    double brightness() const { return brightness_; }
    bool isDark() const { return brightness_ < 0.5; }
    // Sets the brightness, held between 0 and 1, and, when it changed, sends
    // the brightness notification.
    HostErr SetBrightness(double brightness);

private:
    Notifiers& notifiers_;
    double brightness_ = 0.75;
};

}  // namespace orbalis::host
