// What the host's suite implementations share: the objects the host hands
// out to plug-ins, and access to the current document.
#pragma once

#include <string>
#include <vector>

#include "host/app/Faults.h"
#include "host/app/Host.h"
#include "sdk/HostErrors.h"
#include "sdk/suites/ArtSuites.h"

namespace orbalis::host {

struct StringObject {
    static constexpr uint32_t kLive = 0x53545247;  // "STRG"
    uint32_t magic = kLive;
    std::u16string units;
};

struct FilePathObject {
    static constexpr uint32_t kLive = 0x50415448;  // "PATH"
    uint32_t magic = kLive;
    std::string path;  // UTF-8
};

struct ArtSetObject {
    static constexpr uint32_t kLive = 0x41534554;  // "ASET"
    uint32_t magic = kLive;
    std::vector<Art*> arts;
};

template <typename Object, typename Handle>
Object* ObjectOf(Handle handle) {
    auto* object = reinterpret_cast<Object*>(handle);
    return object && object->magic == Object::kLive ? object : nullptr;
}

// Hands out a new host object of type Object as a handle, counting it in
// `live` so that objects a plug-in never disposes of can be found.
template <typename Object, typename Handle>
HostErr NewObject(Handle* out, int& live) {
    if (!out) return kHostBadParameterErr;
    *out = reinterpret_cast<Handle>(new Object);
    ++live;
    return 0;
}

// Disposes of a host object handed out by NewObject.
template <typename Object, typename Handle>
HostErr DisposeObject(Handle handle, int& live) {
    Object* object = ObjectOf<Object>(handle);
    if (!object) return kHostBadParameterErr;
    object->magic = 0;
    delete object;
    --live;
    return 0;
}

inline StringObject* StringOf(HostString s) { return ObjectOf<StringObject>(s); }
inline FilePathObject* FilePathOf(HostFilePath p) { return ObjectOf<FilePathObject>(p); }
inline ArtSetObject* ArtSetOf(HostArtSet s) { return ObjectOf<ArtSetObject>(s); }

// UTF-8 <-> the UTF-16 code units of a host string.
std::string ToUtf8(const StringObject& s);
void SetFromUtf8(StringObject& s, const std::string& utf8);

inline Document* CurrentDocument() {
    Host* host = Host::CurrentOrNull();
    return host ? host->document() : nullptr;
}

}  // namespace orbalis::host

// Binds `document` to the open document, or returns kHostNoDocumentErr.
#define HOST_DOCUMENT(document)                                        \
    ::orbalis::host::Document* document = ::orbalis::host::CurrentDocument(); \
    if (!document) return kHostNoDocumentErr

// Binds `art` to a live art object, or returns kHostBadParameterErr.
#define HOST_ART(art, handle)                                                 \
    ::orbalis::host::Art* art = ::orbalis::host::Document::fromHandle(handle); \
    if (!art) return kHostBadParameterErr

#define HOST_LAYER(layer, handle)                                                 \
    ::orbalis::host::Layer* layer = ::orbalis::host::Document::fromHandle(handle); \
    if (!layer) return kHostBadParameterErr
