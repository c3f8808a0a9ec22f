// The basic suite: every suite the host publishes, served by name and version.
#include <cstring>
#include <string_view>
#include <unordered_map>

#include "host/suites/OperationGate.h"
#include "host/suites/SuiteTables.h"
#include "sdk/SuiteList.h"

namespace orbalis::host {
namespace {

// Suites whose operations no plug-in of this host calls are served as an
// empty table.
struct EmptySuite {
    void* reserved;
};
const EmptySuite kEmptySuite{nullptr};

struct Entry {
    int32_t version;
    const void* table;
};

const void* TableFor(std::string_view name) {
    static const std::unordered_map<std::string_view, const void*> tables = {
        {"SP Access Suite", &SPAccessSuite()},
        {"SP Plug-ins Suite", &SPPluginsSuite()},
        {"AI Notifier Suite", &NotifierSuite()},
        {"AI Context Suite", &ContextSuite()},
        {"AI User Suite", &UserSuite()},
        {"AI File Path Suite", &FilePathSuite()},
        {"AI Unicode String Suite", &UnicodeStringSuite()},
        {"AI Art Suite", &ArtSuite()},
        {"AI Art Set Suite", &ArtSetSuite()},
        {"AI Layer Suite", &LayerSuite()},
        {"AI Menu Suite", &MenuSuite()},
        {"AI Path Suite", &PathSuite()},
        {"AI Pathfinder Suite", &PathfinderSuite()},
        {"AI Path Style Suite", &PathStyleSuite()},
        {"AI Plugin Suite", &PluginSuite()},
        {"AI Preference Suite", &PreferenceSuite()},
        {"AI Real Math Suite", &RealMathSuite()},
        {"AI Transform Art Suite", &TransformArtSuite()},
        {"AI Text Frame Suite", &TextFrameSuite()},
        {"AIATE Paint Suite", &ATEPaintSuite()},
        {"AI Hard Soft Suite", &HardSoftSuite()},
        {"AI Placed Suite", &PlacedSuite()},
        {"AI Raster Suite", &RasterSuite()},
        {"AI Tag Suite", &TagSuite()},
        {"AI Document Suite", &DocumentSuite()},
        {"AI Document View Suite", &DocumentViewSuite()},
        {"AI Panel Suite", &PanelSuite()},
        {"AI Panel Flyout Menu Suite", &PanelFlyoutMenuSuite()},
        {"AI User Interface Theme Suite", &UserInterfaceThemeSuite()},
        {"ATE TextFrame Suite", &ATETextFrameSuite()},
        {"ATE Story Suite", &ATEStorySuite()},
        {"ATE TextRange Suite", &ATETextRangeSuite()},
        {"ATE TextRunsIterator Suite", &ATETextRunsIteratorSuite()},
        {"ATE CharFeatures Suite", &ATECharFeaturesSuite()},
        {"ATE ParaFeatures Suite", &ATEParaFeaturesSuite()},
    };
    auto it = tables.find(name);
    if (it != tables.end()) return it->second;
    if (name.starts_with("ATE ")) return &TextEngineSuite();
    return &kEmptySuite;
}

const std::unordered_map<std::string_view, Entry>& Published() {
    static const std::unordered_map<std::string_view, Entry> published = [] {
        std::unordered_map<std::string_view, Entry> map;
#define ORBALIS_PUBLISH(Id, name, version) map.emplace(name, Entry{version, TableFor(name)});
        HOST_BASE_SUITES(ORBALIS_PUBLISH)
        HOST_MAIN_SUITES(ORBALIS_PUBLISH)
        HOST_ATE_SUITES(ORBALIS_PUBLISH)
#undef ORBALIS_PUBLISH
        return map;
    }();
    return published;
}

// Acquiring and releasing are not suite operations: they count under
// "Acquire:NAME" and "ReleaseSuite", checking the name first; but they pass
// the same gate for exceptions.
HostErr AcquireSuite(const char* name, int32_t version, const void** suite) noexcept {
    return Guarded([&]() -> HostErr {
        if (!name || !suite) return kHostBadParameterErr;
        if (HostErr err = Faults::CheckAcquire(name)) return err;
        auto it = Published().find(name);
        if (it == Published().end()) return kHostSuiteNotFoundErr;
        if (it->second.version != version) return kHostSuiteVersionErr;
        *suite = it->second.table;
        if (Host* host = Host::CurrentOrNull()) ++host->heldSuites[name];
        return 0;
    });
}

HostErr ReleaseSuite(const char* name, int32_t version) noexcept {
    return Guarded([&]() -> HostErr {
        static FaultPoint& point = Faults::Point("ReleaseSuite");
        if (!name) return kHostBadParameterErr;
        if (HostErr err = point.hit()) return err;
        auto it = Published().find(name);
        if (it == Published().end()) return kHostSuiteNotFoundErr;
        if (it->second.version != version) return kHostSuiteVersionErr;
        Host* host = Host::CurrentOrNull();
        if (host) {
            auto held = host->heldSuites.find(name);
            if (held == host->heldSuites.end() || held->second <= 0) return kHostSuiteNotHeldErr;
            if (--held->second == 0) host->heldSuites.erase(held);
        }
        return 0;
    });
}

const HostBasicSuite kBasicSuite{AcquireSuite, ReleaseSuite};

}  // namespace

const HostBasicSuite* BasicSuite() { return &kBasicSuite; }

}  // namespace orbalis::host
