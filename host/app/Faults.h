// Fault injection: any named suite operation, or any suite acquisition, can
// be made to fail with a chosen code on its n-th call. Every operation also
// counts its calls.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "sdk/HostTypes.h"

namespace orbalis::host {

// What an armed fault does when its call comes.
enum class FaultKind : uint8_t {
    Code,         // the operation returns the fault's code
    OutOfMemory,  // the operation throws std::bad_alloc inside the host
    Exception,    // the operation throws another exception inside the host
};

// One named operation: its call count and the fault armed on it, if any.
struct FaultPoint {
    static constexpr uint64_t kNever = UINT64_MAX;

    const char* name;
    uint64_t calls = 0;
    // The call from which a call needs more than counting: the armed call,
    // or every call while calls are logged. Every suite call passes here,
    // so the common case is one comparison.
    uint64_t heedFrom = kNever;
    uint64_t failAt = 0;  // 0: never
    HostErr code = 0;
    bool repeat = false;  // fail on every call from failAt on
    FaultKind kind = FaultKind::Code;

    // Counts a call; the injected code, or 0. A fault of another kind throws.
    HostErr hit() { return ++calls < heedFrom ? 0 : heed(); }

private:
    friend class Faults;
    // Logs the call and fires the armed fault when its call has come.
    HostErr heed();
    // Sets heedFrom from the armed fault and the logging.
    void rearm();
};

class Faults {
public:
    // Whether calls are being logged (KeepCallLog).
    static inline bool logging = false;
    // Appends a call to the call log.
    static void LogCall(const char* name);

    // The process-wide point of an operation, created on first use.
    static FaultPoint& Point(const char* name);

    // The `nth` call of `operation` from now returns `code` (and, with
    // `repeat`, every call after it). Operation names are those of the suite
    // tables ("TransformArt", "GetArtBounds", ...).
    static void FailOperation(const std::string& operation, uint64_t nth, HostErr code, bool repeat = false);
    // The `nth` call of `operation` from now throws inside the host, as a
    // failed allocation or a failure of another kind would; the operation
    // returns kHostOutOfMemoryErr or kHostInternalErr.
    static void ThrowInOperation(const std::string& operation, uint64_t nth, FaultKind kind);
    // The `nth` acquisition of `suite` from now is refused with `code`; a
    // suite name of "*" counts every acquisition.
    static void FailAcquire(const std::string& suite, uint64_t nth, HostErr code);
    static HostErr CheckAcquire(const char* suite);

    // Calls of `operation` since the last Reset.
    static uint64_t Calls(const std::string& operation);
    // Every operation called since the last Reset, with its count.
    static std::vector<std::pair<std::string, uint64_t>> AllCalls();
    // The operations called, in order, since KeepCallLog; a preference
    // operation is followed by its key ("GetIntegerPreference NL_Kind").
    // Reset stops keeping the log and empties it.
    static void KeepCallLog();
    static const std::vector<std::string>& CallLog();
    // Adds a detail to the last logged call.
    static void DetailLastCall(const char* detail);

    // Disarms every fault and zeroes every count.
    static void Reset();

    // A fault written as text, "OPERATION:N" or "OPERATION:N:CODE" (CODE
    // four characters, or a decimal number; 'FAIL' when left out), as the
    // command line takes it from the environment variable ORBALIS_FAULT.
    struct Spec {
        std::string operation;
        uint64_t nth = 0;
        HostErr code = 0;
    };
    static bool ParseSpec(const std::string& text, Spec* spec, std::string* error);
    static void Arm(const Spec& spec) { FailOperation(spec.operation, spec.nth, spec.code); }

private:
    static std::map<std::string, FaultPoint>& Points();
    static void RearmAll();
    static std::vector<std::string>& Log();
};

[[noreturn]] void ThrowFault(FaultKind kind);

}  // namespace orbalis::host
