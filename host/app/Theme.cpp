#include "host/app/Theme.h"

namespace orbalis::host {

HostErr Theme::SetBrightness(double brightness) {
    brightness = brightness < 0 ? 0 : brightness > 1 ? 1 : brightness;
    if (brightness == brightness_) return 0;
    brightness_ = brightness;
    return notifiers_.Notify(kNotifierUIBrightnessChanged);
}

}  // namespace orbalis::host
