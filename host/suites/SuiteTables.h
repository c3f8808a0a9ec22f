// The function tables of the suites the host publishes.
#pragma once

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
const HostATETextFrameSuite& ATETextFrameSuite();
const HostATEStorySuite& ATEStorySuite();
const HostATETextRangeSuite& ATETextRangeSuite();
const HostATETextRunsIteratorSuite& ATETextRunsIteratorSuite();
const HostATECharFeaturesSuite& ATECharFeaturesSuite();
const HostATEParaFeaturesSuite& ATEParaFeaturesSuite();
const HostTextFrameSuite& TextFrameSuite();
const HostATEPaintSuite& ATEPaintSuite();
const HostHardSoftSuite& HardSoftSuite();
const HostPlacedSuite& PlacedSuite();
const HostRasterSuite& RasterSuite();
const HostTagSuite& TagSuite();
const HostDocumentSuite& DocumentSuite();
const HostDocumentViewSuite& DocumentViewSuite();
const HostPanelSuite& PanelSuite();
const HostPanelFlyoutMenuSuite& PanelFlyoutMenuSuite();
const HostUserInterfaceThemeSuite& UserInterfaceThemeSuite();

// Text-engine objects, for the host's own use and its tests: a new object
// (of no particular kind) holds one reference, owned by the caller.
HostTextRef NewTextEngineObject();
// The object's reference count; 0 once it has been released for good.
int TextEngineReferences(HostTextRef ref);
int LiveTextEngineObjects();

}  // namespace orbalis::host
