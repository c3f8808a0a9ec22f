#include "frame/HostSuites.h"

namespace orbalis {

const HostBasicSuite* basicSuite = nullptr;
uint16_t suitesHeld = 0;

const HostSPAccessSuite* sSPAccess = nullptr;
const HostSPPluginsSuite* sSPPlugins = nullptr;
const HostNotifierSuite* sNotifier = nullptr;
const HostContextSuite* sContext = nullptr;
const HostUserSuite* sUser = nullptr;
const HostFilePathSuite* sFilePath = nullptr;
static const void* sFolders = nullptr;

static const void* sSPBlocks = nullptr;
static const void* sSPFiles = nullptr;
const HostUnicodeStringSuite* sUnicodeString = nullptr;
static const void* sActionManager = nullptr;
static const void* sArray = nullptr;
const HostArtSuite* sArt = nullptr;
static const void* sArtboard = nullptr;
const HostArtSetSuite* sArtSet = nullptr;
static const void* sArtStyle = nullptr;
static const void* sATEPaint = nullptr;
static const void* sBlendStyle = nullptr;
static const void* sDictionary = nullptr;
static const void* sDictionaryIterator = nullptr;
const HostDocumentSuite* sDocument = nullptr;
static const void* sDocumentView = nullptr;
static const void* sEntry = nullptr;
static const void* sGroup = nullptr;
static const void* sHardSoft = nullptr;
const HostLayerSuite* sLayer = nullptr;
static const void* sMatchingArt = nullptr;
static const void* sMdMemory = nullptr;
const HostMenuSuite* sMenu = nullptr;
static const void* sModalParent = nullptr;
static const void* sPanel = nullptr;
static const void* sPanelFlyoutMenu = nullptr;
const HostPathSuite* sPath = nullptr;
const HostPathfinderSuite* sPathfinder = nullptr;
const HostPathStyleSuite* sPathStyle = nullptr;
static const void* sPlaced = nullptr;
const HostPluginSuite* sPlugin = nullptr;
static const void* sPluginGroup = nullptr;
const HostPreferenceSuite* sPreference = nullptr;
static const void* sRaster = nullptr;
static const void* sRealBezier = nullptr;
const HostRealMathSuite* sRealMath = nullptr;
static const void* sRuntime = nullptr;
static const void* sShapeConstruction = nullptr;
static const void* sTag = nullptr;
static const void* sTextFrame = nullptr;
const HostTransformArtSuite* sTransformArt = nullptr;
static const void* sUserInterfaceTheme = nullptr;
static const void* sURL = nullptr;

#define ORBALIS_DEFINE_ATE_SUITE(Id, name, version) const HostTextEngineSuite* sATE##Id = nullptr;
HOST_ATE_SUITES(ORBALIS_DEFINE_ATE_SUITE)
#undef ORBALIS_DEFINE_ATE_SUITE

#define ORBALIS_ROW(Id, name, version) {name, version, reinterpret_cast<const void**>(&s##Id)},
#define ORBALIS_ATE_ROW(Id, name, version) \
    {name, version, reinterpret_cast<const void**>(&sATE##Id)},

const SuiteRow kBaseSuiteRows[7] = {HOST_BASE_SUITES(ORBALIS_ROW)};

const SuiteRow kMainSuiteRows[] = {
    HOST_MAIN_SUITES(ORBALIS_ROW) HOST_ATE_SUITES(ORBALIS_ATE_ROW){nullptr, 0, nullptr}};

#undef ORBALIS_ROW
#undef ORBALIS_ATE_ROW

size_t MainSuiteRowCount() { return sizeof(kMainSuiteRows) / sizeof(kMainSuiteRows[0]) - 1; }

namespace {

template <typename Visit>
bool ForEachRow(Visit visit) {
    for (const SuiteRow& row : kBaseSuiteRows)
        if (!visit(row)) return false;
    for (const SuiteRow* row = kMainSuiteRows; row->name; ++row)
        if (!visit(*row)) return false;
    return true;
}

}  // namespace

HostSuites::HostSuites() {
    if (suitesHeld != 0) {
        ++suitesHeld;
        return;
    }
    const bool all = ForEachRow([this](const SuiteRow& row) {
        error = basicSuite ? basicSuite->AcquireSuite(row.name, row.version, row.pointer)
                           : kHostBadParameterErr;
        if (error) *row.pointer = nullptr;
        return error == 0;
    });
    if (all) ++suitesHeld;
}

HostSuites::~HostSuites() {
    const uint16_t before = suitesHeld;
    if (suitesHeld) --suitesHeld;
    if (before != 1) return;
    ForEachRow([](const SuiteRow& row) {
        if (!*row.pointer) return true;
        const HostErr err = basicSuite ? basicSuite->ReleaseSuite(row.name, row.version) : 0;
        *row.pointer = nullptr;
        return err == 0;
    });
}

}  // namespace orbalis
