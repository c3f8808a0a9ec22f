// Resources as a module carries them: the standard binary resource format
// (.res), read from the named section of a library file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace orbalis::win32 {

// A resource type or name: a number, or a text (compared without regard to
// the case of ASCII letters, as the resource compiler upper-cases them).
struct ResourceKey {
    int number = -1;  // -1 for a text
    std::u16string text;

    bool Matches(const ResourceKey& other) const;
    std::string ToString() const;
};

struct Resource {
    ResourceKey type;
    ResourceKey name;
    uint16_t language = 0;
    std::vector<uint8_t> data;
};

// The name of the library section that holds a module's resources.
inline constexpr const char* kResourceSection = ".rsrc";

// Reads every resource of a .res image. False, with the reason, when the
// bytes are not one.
bool ParseResources(const uint8_t* data, size_t size, std::vector<Resource>* out, std::string* error);

// Reads the resource section of an ELF library file and parses it. False,
// with the reason (a phrase about "it", the file), when the file cannot be read, has no such section or the
// section is not a resource image.
bool ReadLibraryResources(const std::string& path, std::vector<Resource>* out, std::string* error);

// The same for the bytes of a library file.
bool ParseLibraryResources(const std::vector<uint8_t>& file, std::vector<Resource>* out, std::string* error);

// The first resource of that type and name, or null.
const Resource* FindIn(const std::vector<Resource>& resources, const ResourceKey& type, const ResourceKey& name);

}  // namespace orbalis::win32
