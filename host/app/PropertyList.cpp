#include "host/app/PropertyList.h"

#include <cstddef>
#include <cstring>

namespace orbalis::host {
namespace {

std::string CString(const std::vector<uint8_t>& data) {
    if (data.empty()) return {};
    const auto* text = reinterpret_cast<const char*>(data.data());
    return std::string(text, strnlen(text, data.size()));
}

}  // namespace

bool ReadPropertyList(const std::vector<win32::Resource>& resources, PropertyList* out, std::string* error) {
    const win32::ResourceKey type{-1, u"PIPL"}, name{kPropertyListId, {}};
    const win32::Resource* r = win32::FindIn(resources, type, name);
    if (!r) {
        *error = "it has no property list (PIPL 16000)";
        return false;
    }
    const std::vector<uint8_t>& d = r->data;
    auto int32At = [&](size_t at) {
        int32_t v;
        std::memcpy(&v, d.data() + at, 4);
        return v;
    };
    if (d.size() < 8 || int32At(0) != 1) {
        *error = "its property list is not of version 1";
        return false;
    }
    const int32_t count = int32At(4);
    size_t at = 8;
    PropertyList list;
    for (int32_t i = 0; i < count; ++i) {
        if (at + 16 > d.size()) {
            *error = "its property list is cut short";
            return false;
        }
        const std::string key(reinterpret_cast<const char*>(d.data() + at + 4), 4);
        const int32_t length = int32At(at + 12);
        at += 16;
        if (length < 0 || static_cast<size_t>(length) > d.size() - at) {
            *error = "its property list is cut short";
            return false;
        }
        const std::vector<uint8_t> value(d.begin() + static_cast<ptrdiff_t>(at),
                                         d.begin() + static_cast<ptrdiff_t>(at) + length);
        at += (static_cast<size_t>(length) + 3) & ~size_t(3);
        if (key == "kind" && value.size() == 4)
            list.kind.assign(value.begin(), value.end());
        else if (key == "ivrs" && value.size() == 4)
            std::memcpy(&list.interfaceVersion, value.data(), 4);
        else if (key == "wx64")
            list.entryPoint = CString(value);
        else if (key == "pinm")
            list.name = CString(value);
    }
    *out = list;
    return true;
}

bool CheckPropertyList(const std::vector<win32::Resource>& resources, PropertyList* out, std::string* error) {
    if (!ReadPropertyList(resources, out, error)) return false;
    if (out->kind != "SPEA") {
        *error = "its property list gives the kind \"" + out->kind + "\", not a plug-in of this host (SPEA)";
        return false;
    }
    if (out->interfaceVersion != kInterfaceVersion) {
        *error = "its property list asks for interface version " + std::to_string(out->interfaceVersion) + ", not " +
                 std::to_string(kInterfaceVersion);
        return false;
    }
    if (out->entryPoint.empty()) {
        *error = "its property list names no entry point";
        return false;
    }
    return true;
}

}  // namespace orbalis::host
