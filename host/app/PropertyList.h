// The plug-in property list (resource PIPL 16000) that tells the host what a
// library is before any of its code runs: the kind of plug-in, the interface
// version and the name of its entry point.
//
// Format, little-endian: version (int32, 1), property count (int32), then per
// property: vendor code (4 chars), key (4 chars), id (int32), data length
// (int32), the data padded to a multiple of four bytes. Four-character codes
// are stored in reading order. Keys: "kind" (4 chars), "ivrs" (int32),
// "wx64" (the Windows x64 entry point, NUL-terminated), "pinm" (the name,
// NUL-terminated).
#pragma once

#include <string>
#include <vector>

#include "host/win32/ResourceFile.h"

namespace orbalis::host {

struct PropertyList {
    std::string kind;
    int32_t interfaceVersion = 0;
    std::string entryPoint;
    std::string name;
};

inline constexpr int kPropertyListId = 16000;
inline constexpr int32_t kInterfaceVersion = 2;

// Reads the property list among a library's resources; false, with the
// reason, when there is none or it is malformed.
bool ReadPropertyList(const std::vector<win32::Resource>& resources, PropertyList* out, std::string* error);

// Reads it and checks it describes a plug-in this host can run: kind SPEA,
// interface version 2 and an entry point.
bool CheckPropertyList(const std::vector<win32::Resource>& resources, PropertyList* out, std::string* error);

}  // namespace orbalis::host
