// The host's alerts and progress display, with the plug-in's texts in UTF-8.
#pragma once

#include <string_view>

#include "sdk/HostTypes.h"

namespace orbalis {

// Shows a message with one button.
HostErr ShowAlert(std::string_view message);
// Asks a yes/no question; `yes` is set only when the user answered yes.
HostErr AskQuestion(std::string_view message, bool* yes);
HostErr SetProgressText(std::string_view text);
HostErr UpdateProgress(int32_t current, int32_t maximum);
// Returns kCanceled once the user has asked to stop; 0 otherwise, or the
// host's code when the check itself fails.
HostErr CheckCancel();

}  // namespace orbalis
