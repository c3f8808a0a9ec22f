// The user at the host's panels and documents, played from the scripted
// user's panel steps.
#pragma once

#include <string>

#include "host/app/Host.h"
#include "host/win32/ScriptedUser.h"
#include "sdk/suites/PanelSuites.h"

namespace orbalis::host {

// Carries out the panel steps at the front of the script, in order, until a
// dialog step or the end; a step that cannot be carried out is recorded as
// the user's error and ends the run. False when a step failed.
bool PlayPanelSteps(Host& host, win32::ScriptedUser& user);

// Carries out one panel step on `panel` (null before any `panel` step); the
// reason when a person could not.
std::string PerformPanelStep(Host& host, const win32::UiStep& step, HostPanel* panel);

}  // namespace orbalis::host
