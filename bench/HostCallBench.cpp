// What one host call costs: a trivial suite operation called through the
// table the plug-in acquires by name, against a plain call through a
// function pointer into a function that does the same work. Each host call
// passes the operation gate (counting, fault check, binding, exception
// guard); the figures show what that adds, with no fault armed, with a
// fault armed on another operation, with one armed on this operation for a
// call that never comes, and with the call log kept.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "host/app/Faults.h"
#include "host/app/Host.h"
#include "host/model/Document.h"
#include "sdk/SuiteList.h"
#include "sdk/suites/ArtSuites.h"

namespace {

using orbalis::host::Faults;

// The same work as the gated operations below, behind a function pointer
// the compiler cannot see through.
HostErr PlainIdentity(HostMatrix* m) {
    if (!m) return kHostBadParameterErr;
    *m = HostMatrix{1, 0, 0, 1, 0, 0};
    return 0;
}

struct Stage {
    orbalis::host::Host host;
    const HostRealMathSuite* math = nullptr;
    const HostArtSuite* art = nullptr;
    HostArt path = nullptr;

    Stage() {
        auto document = std::make_unique<orbalis::host::Document>();
        orbalis::host::Layer* layer = nullptr;
        document->insertLayer(nullptr, kHostPlaceAboveAll, &layer);
        orbalis::host::Art* made = nullptr;
        document->newArt(kHostPathArt, kHostPlaceInsideOnTop, layer->group(), &made);
        path = orbalis::host::Document::toHandle(made);
        host.OpenDocument(std::move(document));
        const HostBasicSuite* basic = orbalis::host::BasicSuite();
        const void* table = nullptr;
        basic->AcquireSuite("AI Real Math Suite", 4, &table);
        math = static_cast<const HostRealMathSuite*>(table);
        basic->AcquireSuite("AI Art Suite", 20, &table);
        art = static_cast<const HostArtSuite*>(table);
    }
};

enum Armed : int64_t { kNothing, kOtherOperation, kThisOperationLater, kCallLog };

void Arm(int64_t armed, const char* operation) {
    Faults::Reset();
    if (armed == kOtherOperation) Faults::FailOperation("TransformArt", 1, HOST_FOURCC('F', 'A', 'I', 'L'));
    if (armed == kThisOperationLater)
        Faults::FailOperation(operation, uint64_t{1} << 62, HOST_FOURCC('F', 'A', 'I', 'L'));
    if (armed == kCallLog) Faults::KeepCallLog();
}

const char* Label(int64_t armed) {
    switch (armed) {
    case kOtherOperation: return "fault armed on another operation";
    case kThisOperationLater: return "fault armed on this operation, not yet due";
    case kCallLog: return "call log kept";
    default: return "nothing armed";
    }
}

void PlainFunctionPointer(benchmark::State& state) {
    HostErr (*volatile identity)(HostMatrix*) = PlainIdentity;
    HostMatrix m{};
    for (auto _ : state) {
        benchmark::DoNotOptimize(identity(&m));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(PlainFunctionPointer);

// SetMatrixIdentity: no handle to bind.
void HostCallNoHandle(benchmark::State& state) {
    Stage stage;
    Arm(state.range(0), "SetMatrixIdentity");
    HostErr (*volatile identity)(HostMatrix*) = stage.math->SetMatrixIdentity;
    HostMatrix m{};
    for (auto _ : state) {
        if (state.range(0) == kCallLog && Faults::CallLog().size() > 1'000'000) Faults::KeepCallLog();
        benchmark::DoNotOptimize(identity(&m));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
    state.SetLabel(Label(state.range(0)));
    Faults::Reset();
}
BENCHMARK(HostCallNoHandle)->Arg(kNothing)->Arg(kOtherOperation)->Arg(kThisOperationLater)->Arg(kCallLog);

// GetArtType: one art handle bound and one out pointer checked.
void HostCallArtHandle(benchmark::State& state) {
    Stage stage;
    Arm(state.range(0), "GetArtType");
    HostErr (*volatile getType)(HostArt, int32_t*) = stage.art->GetArtType;
    int32_t type = 0;
    for (auto _ : state) {
        if (state.range(0) == kCallLog && Faults::CallLog().size() > 1'000'000) Faults::KeepCallLog();
        benchmark::DoNotOptimize(getType(stage.path, &type));
        benchmark::ClobberMemory();
    }
    if (type != kHostPathArt) state.SkipWithError("GetArtType did not answer a path");
    state.SetItemsProcessed(state.iterations());
    state.SetLabel(Label(state.range(0)));
    Faults::Reset();
}
BENCHMARK(HostCallArtHandle)->Arg(kNothing)->Arg(kOtherOperation)->Arg(kThisOperationLater)->Arg(kCallLog);

}  // namespace

BENCHMARK_MAIN();
