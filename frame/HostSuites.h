// The host suites the plug-in works with, and the holder that acquires and
// releases them.
#pragma once

#include <cstdint>

#include "sdk/HostErrors.h"
#include "sdk/HostMessages.h"
#include "sdk/SuiteList.h"
#include "sdk/suites/ArtSuites.h"
#include "sdk/suites/DocumentSuite.h"
#include "sdk/suites/DocumentViewSuite.h"
#include "sdk/suites/FrameSuites.h"
#include "sdk/suites/ImageSuites.h"
#include "sdk/suites/MenuSuite.h"
#include "sdk/suites/PanelSuites.h"
#include "sdk/suites/PreferenceSuite.h"
#include "sdk/suites/StringSuites.h"
#include "sdk/suites/TextEngineSuites.h"
#include "sdk/suites/TextSuites.h"
#include "sdk/suites/UndescribedSuites.h"
#include "sdk/suites/UserSuite.h"

namespace orbalis {

// The basic suite of the latest message; every acquisition and release goes
// through it.
extern const HostBasicSuite* basicSuite;

// One pointer per suite of sdk/SuiteList.h, null while the suite is not
// held: s<Id> of type Host<Id>Suite for the base and main lists, and
// sATE<Id> for the text engine's, typed by the head every text-engine table
// starts with.
#define ORBALIS_DECLARE_SUITE(Id, name, version) extern const Host##Id##Suite* s##Id;
#define ORBALIS_DECLARE_ATE_SUITE(Id, name, version) extern const HostTextEngineSuite* sATE##Id;
HOST_BASE_SUITES(ORBALIS_DECLARE_SUITE)
HOST_MAIN_SUITES(ORBALIS_DECLARE_SUITE)
HOST_ATE_SUITES(ORBALIS_DECLARE_ATE_SUITE)
#undef ORBALIS_DECLARE_SUITE
#undef ORBALIS_DECLARE_ATE_SUITE

// Number of live HostSuites holders.
extern uint16_t suitesHeld;

// One row of the acquisition table: a suite's name and version, and the
// reading and writing of its process-wide pointer.
struct SuiteRow {
    const char* name;
    int32_t version;
    const void* (*held)();
    void (*hold)(const void* table);  // null to clear
};

// The acquisition table: the base rows, then the main list ended by a row
// with a null name.
extern const SuiteRow kBaseSuiteRows[7];
extern const SuiteRow kMainSuiteRows[];
size_t MainSuiteRowCount();  // without the terminating row

// Acquires every suite of the table on construction (unless another holder
// already holds them) and releases them on destruction.
class HostSuites {
public:
    HostSuites();
    ~HostSuites();
    HostSuites(const HostSuites&) = delete;
    HostSuites& operator=(const HostSuites&) = delete;

    // The code of the first failed acquisition; 0 when every suite is held.
    HostErr error = 0;
};

}  // namespace orbalis
