// The fault sweep: a command or panel action is run once cleanly on a small
// document to learn which host operations it calls and how often; then, for
// every operation and every call index, the document is built again and the
// action run with that one call failing. Every run must end as the action's
// rules say, and leave no host object, suite, window or GDI object behind.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/app/Host.h"
#include "host/win32/ScriptedUser.h"
#include "sdk/HostTypes.h"

namespace orbalis::testing::sweep {

// The code a swept host operation fails with, and the one a text-engine
// operation fails with on its second pass.
inline constexpr HostErr kInjected = HOST_FOURCC('S', 'W', 'E', 'P');
inline constexpr HostErr kTextEngineFailure = HOST_FOURCC('A', 'T', 'E', '!');
inline constexpr HostErr kCant = HOST_FOURCC('C', 'A', 'N', 'T');
inline constexpr HostErr kStop = HOST_FOURCC('S', 'T', 'O', 'P');

// How a run with one failing operation must end. A panel action gives no
// code: there Code means the user is told of the failure, Same and Clean
// that the user sees what the clean run showed, and the others only that
// nothing is left behind.
enum class Outcome {
    Code,    // with the injected code
    Cant,    // with 'CANT': a text-engine exception through the guarded dispatch
    Same,    // as the clean run did, with the same document: nothing depends on it
    Clean,   // with the clean run's code: the failure is ignored or skipped
    Either,  // with the injected code or as the clean run did (see the action's rule)
    Failed,  // with some non-zero code: the failure is reported, in the action's own terms
    Quiet,   // as the clean run did, or cancelled ('STOP'): the documented silent ends
    Any,     // with the injected code, as the clean run did, or with one of the
             // action's own failure codes: the operation is called from steps that
             // report a failure and from steps that ignore one
};

// One action of the plug-in the sweep runs: a menu item, or panel steps.
struct Scenario {
    std::string name;
    // The menu item chosen; empty for a panel action.
    std::string item;
    // Panel steps played before the swept part, outside the sweep (a refresh
    // that fills the tree, for example), and the swept panel steps.
    std::string panelSetup;
    std::string panelSteps;
    // What the host does instead, for an action it starts itself (a
    // notification to the panels).
    std::function<void(host::Host&)> hostAction;
    // The document the action runs on, built afresh for every run into the
    // document's one layer "Layer 1".
    std::function<void(host::Document&, host::Layer*)> build;
    // What the user does in the dialogs.
    std::string ui;
    // Answers by question text; a question not listed is answered yes.
    std::map<std::string, bool> answers;
    // Extra preparation before every run (files the action reads, ...).
    std::function<void()> prepare;
    // Preparation at the host after the panel set-up (the state of a
    // panel's check box, ...).
    std::function<void(host::Host&)> arrange;
    // Rules that differ from the defaults for one operation: the operation's
    // name, or its name and a call index ("ReorderArt#2"), mapped to how a
    // run failing it ends.
    std::map<std::string, Outcome> rules;
    // The action's own failure codes, which an Any outcome also allows.
    std::vector<HostErr> ownCodes;
    // How runs end where no rule is given and the default would be the
    // injected code or 'CANT': for an action that drops every code.
    std::optional<Outcome> otherwise;
    // For panel actions, whose codes do not reach the host: what the user
    // sees after a run (compared between the clean run and one ending as
    // Clean), and whether it tells that the action failed (a run ending as
    // Code must).
    std::function<std::string(host::Host&)> seen;
    std::function<bool(host::Host&)> toldFailure;
};

// The counts of one scenario's sweep.
struct SweepCount {
    std::string scenario;
    int operations = 0;          // distinct host operations called
    uint64_t failurePoints = 0;  // operation calls failed, one at a time
    uint64_t runs = 0;           // runs made, the clean one included
    double seconds = 0;
};

// Runs the sweep of one scenario on a fresh host with the plug-in loaded
// once; failures are reported through GoogleTest.
SweepCount RunSweep(const Scenario& scenario);

// Every scenario's count, in the order swept; printed and, when the
// environment variable ORBALIS_SWEEP_REPORT names a file, written there as a
// Markdown table at the end of the program.
std::vector<SweepCount>& Counts();

}  // namespace orbalis::testing::sweep
