// What the host's suite implementations share: the objects the host hands
// out to plug-ins, and access to the current document.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/app/Faults.h"
#include "host/app/Host.h"
#include "sdk/HostErrors.h"
#include "sdk/suites/ArtSuites.h"

namespace orbalis::host {

// The objects the host hands out through its handle table.
struct StringObject {
    static constexpr const HandleKind& kKind = HostKind::String;
    std::u16string units;
};

struct FilePathObject {
    static constexpr const HandleKind& kKind = HostKind::FilePath;
    std::string path;  // UTF-8
};

struct ArtSetObject {
    static constexpr const HandleKind& kKind = HostKind::ArtSet;
    std::vector<HostArt> arts;  // handles, so that art disposed of since reads as stale
};

// The object of a live handle of Object's kind in the current host's table;
// null for a null, stale, disposed or made-up handle or one of another kind.
template <typename Object, typename Handle>
[[gnu::always_inline]] inline Object* HandleObject(Handle handle) {
    Host* host = Host::CurrentOrNull();
    return host ? host->handles.Find<Object>(reinterpret_cast<uintptr_t>(handle)) : nullptr;
}

// Hands out a new, empty Object through the current host's table.
template <typename Object, typename Handle>
HostErr NewHandle(Handle* out) {
    Host* host = Host::CurrentOrNull();
    if (!out || !host) return kHostBadParameterErr;
    *out = nullptr;
    const uintptr_t handle = host->handles.Add(std::make_unique<Object>());
    if (!handle) return kHostOutOfMemoryErr;
    *out = reinterpret_cast<Handle>(handle);
    return 0;
}

// Disposes of an object handed out by NewHandle; the handle is stale after.
template <typename Object, typename Handle>
HostErr DisposeHandle(Handle handle) {
    Host* host = Host::CurrentOrNull();
    if (!host || !host->handles.Dispose<Object>(reinterpret_cast<uintptr_t>(handle))) return kHostBadParameterErr;
    return 0;
}

inline StringObject* StringOf(HostString s) { return HandleObject<StringObject>(s); }
inline FilePathObject* FilePathOf(HostFilePath p) { return HandleObject<FilePathObject>(p); }
inline ArtSetObject* ArtSetOf(HostArtSet s) { return HandleObject<ArtSetObject>(s); }

// UTF-8 <-> the UTF-16 code units of a host string.
std::string ToUtf8(const StringObject& s);
void SetFromUtf8(StringObject& s, const std::string& utf8);

inline Document* CurrentDocument() {
    Host* host = Host::CurrentOrNull();
    return host ? host->document() : nullptr;
}

}  // namespace orbalis::host
