#include "frame/HostSuites.h"

#include <type_traits>

namespace orbalis {

const HostBasicSuite* basicSuite = nullptr;
uint16_t suitesHeld = 0;

#define ORBALIS_DEFINE_SUITE(Id, name, version) const Host##Id##Suite* s##Id = nullptr;
#define ORBALIS_DEFINE_ATE_SUITE(Id, name, version) const HostTextEngineSuite* sATE##Id = nullptr;
HOST_BASE_SUITES(ORBALIS_DEFINE_SUITE)
HOST_MAIN_SUITES(ORBALIS_DEFINE_SUITE)
HOST_ATE_SUITES(ORBALIS_DEFINE_ATE_SUITE)
#undef ORBALIS_DEFINE_SUITE
#undef ORBALIS_DEFINE_ATE_SUITE

namespace {

// Reads and writes one process-wide suite pointer for its row.
template <auto* Pointer>
struct Slot {
    using Table = std::remove_reference_t<decltype(*Pointer)>;
    static const void* Held() { return *Pointer; }
    static void Hold(const void* table) { *Pointer = static_cast<Table>(table); }
};

}  // namespace

#define ORBALIS_ROW(Id, name, version) {name, version, &Slot<&s##Id>::Held, &Slot<&s##Id>::Hold},
#define ORBALIS_ATE_ROW(Id, name, version) {name, version, &Slot<&sATE##Id>::Held, &Slot<&sATE##Id>::Hold},

const SuiteRow kBaseSuiteRows[7] = {HOST_BASE_SUITES(ORBALIS_ROW)};

const SuiteRow kMainSuiteRows[] = {HOST_MAIN_SUITES(ORBALIS_ROW)
                                       HOST_ATE_SUITES(ORBALIS_ATE_ROW){nullptr, 0, nullptr, nullptr}};

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
        const void* table = nullptr;
        error = basicSuite ? basicSuite->AcquireSuite(row.name, row.version, &table) : kHostBadParameterErr;
        row.hold(error ? nullptr : table);
        return error == 0;
    });
    if (all) ++suitesHeld;
}

HostSuites::~HostSuites() {
    const uint16_t before = suitesHeld;
    if (suitesHeld) --suitesHeld;
    if (before != 1) return;
    ForEachRow([](const SuiteRow& row) {
        if (!row.held()) return true;
        const HostErr err = basicSuite ? basicSuite->ReleaseSuite(row.name, row.version) : 0;
        row.hold(nullptr);
        return err == 0;
    });
}

}  // namespace orbalis
