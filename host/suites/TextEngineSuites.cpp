// The text engine's reference counting, shared by all its suites.
#include "host/suites/SuiteSupport.h"
#include "host/suites/SuiteTables.h"

namespace orbalis::host {
namespace {

struct TextEngineObject {
    static constexpr uint32_t kLive = 0x41544545;  // "ATEE"
    uint32_t magic = kLive;
    int references = 1;
};

int gLiveTextEngineObjects = 0;

HostErr AddRef(HostTextRef ref) {
    HOST_OPERATION("TextEngineAddRef");
    auto* object = ObjectOf<TextEngineObject>(ref);
    if (!object) return kHostBadParameterErr;
    ++object->references;
    return 0;
}

HostErr Release(HostTextRef ref) {
    HOST_OPERATION("TextEngineRelease");
    auto* object = ObjectOf<TextEngineObject>(ref);
    if (!object) return kHostBadParameterErr;
    if (--object->references == 0) {
        object->magic = 0;
        delete object;
        --gLiveTextEngineObjects;
    }
    return 0;
}

}  // namespace

HostTextRef NewTextEngineObject() {
    ++gLiveTextEngineObjects;
    return reinterpret_cast<HostTextRef>(new TextEngineObject);
}

int TextEngineReferences(HostTextRef ref) {
    auto* object = ObjectOf<TextEngineObject>(ref);
    return object ? object->references : 0;
}

int LiveTextEngineObjects() { return gLiveTextEngineObjects; }

const HostTextEngineSuite& TextEngineSuite() {
    static const HostTextEngineSuite suite{AddRef, Release};
    return suite;
}

}  // namespace orbalis::host
