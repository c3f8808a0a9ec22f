// The function tables of the suites the host publishes.
#pragma once

#include "sdk/suites/ArtSuites.h"
#include "sdk/suites/DocumentSuite.h"
#include "sdk/suites/FrameSuites.h"
#include "sdk/suites/MenuSuite.h"
#include "sdk/suites/PreferenceSuite.h"
#include "sdk/suites/StringSuites.h"
#include "sdk/suites/TextEngineSuites.h"
#include "sdk/suites/UserSuite.h"

namespace orbalis::host {

const HostSPAccessSuite& SPAccessSuite();
const HostSPPluginsSuite& SPPluginsSuite();
const HostNotifierSuite& NotifierSuite();
const HostContextSuite& ContextSuite();
const HostPluginSuite& PluginSuite();
const HostUserSuite& UserSuite();
const HostUnicodeStringSuite& UnicodeStringSuite();
const HostFilePathSuite& FilePathSuite();
const HostMenuSuite& MenuSuite();
const HostPreferenceSuite& PreferenceSuite();
const HostArtSuite& ArtSuite();
const HostArtSetSuite& ArtSetSuite();
const HostLayerSuite& LayerSuite();
const HostPathSuite& PathSuite();
const HostPathStyleSuite& PathStyleSuite();
const HostTransformArtSuite& TransformArtSuite();
const HostRealMathSuite& RealMathSuite();
const HostPathfinderSuite& PathfinderSuite();
const HostTextEngineSuite& TextEngineSuite();
const HostDocumentSuite& DocumentSuite();

// Text-engine objects, for the host's own use and its tests: a new object
// holds one reference, owned by the caller.
HostTextRef NewTextEngineObject();
// The object's reference count; 0 once it has been released for good.
int TextEngineReferences(HostTextRef ref);
int LiveTextEngineObjects();

}  // namespace orbalis::host
