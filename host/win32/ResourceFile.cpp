#include "host/win32/ResourceFile.h"

#include <cstring>
#include <fstream>
#include <iterator>

namespace orbalis::win32 {
namespace {

bool ReadKey(const uint8_t* data, size_t end, size_t* pos, ResourceKey* key) {
    auto word = [&](size_t at) {
        uint16_t v;
        std::memcpy(&v, data + at, 2);
        return v;
    };
    if (*pos + 2 > end) return false;
    if (word(*pos) == 0xFFFF) {
        if (*pos + 4 > end) return false;
        key->number = word(*pos + 2);
        *pos += 4;
        return true;
    }
    key->number = -1;
    for (;;) {
        if (*pos + 2 > end) return false;
        const uint16_t c = word(*pos);
        *pos += 2;
        if (c == 0) return true;
        key->text.push_back(static_cast<char16_t>(c));
    }
}

}  // namespace

bool ResourceKey::Matches(const ResourceKey& other) const {
    if (number >= 0 || other.number >= 0) return number == other.number;
    if (text.size() != other.text.size()) return false;
    for (size_t i = 0; i < text.size(); ++i) {
        char16_t a = text[i], b = other.text[i];
        if (a >= u'a' && a <= u'z') a = char16_t(a - 32);
        if (b >= u'a' && b <= u'z') b = char16_t(b - 32);
        if (a != b) return false;
    }
    return true;
}

std::string ResourceKey::ToString() const {
    if (number >= 0) return std::to_string(number);
    std::string s;
    for (char16_t c : text) s.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    return s;
}

bool ParseResources(const uint8_t* data, size_t size, std::vector<Resource>* out, std::string* error) {
    std::vector<Resource> resources;
    size_t pos = 0;
    while (pos + 8 <= size) {
        uint32_t dataSize, headerSize;
        std::memcpy(&dataSize, data + pos, 4);
        std::memcpy(&headerSize, data + pos + 4, 4);
        if (headerSize < 32 || headerSize > size - pos || dataSize > size - pos - headerSize) {
            *error = "resource entry at byte " + std::to_string(pos) + " runs past the end";
            return false;
        }
        const size_t headerEnd = pos + headerSize;
        size_t at = pos + 8;
        Resource r;
        if (!ReadKey(data, headerEnd, &at, &r.type) || !ReadKey(data, headerEnd, &at, &r.name)) {
            *error = "resource entry at byte " + std::to_string(pos) + " has a broken name";
            return false;
        }
        at = (at + 3) & ~size_t(3);
        // Data version, memory flags, then the language.
        if (at + 8 <= headerEnd) std::memcpy(&r.language, data + at + 6, 2);
        r.data.assign(data + headerEnd, data + headerEnd + dataSize);
        // The image starts with an empty entry (type 0, name 0).
        if (!(r.type.number == 0 && r.name.number == 0 && dataSize == 0)) resources.push_back(std::move(r));
        pos = (headerEnd + dataSize + 3) & ~size_t(3);
    }
    if (pos < size) {
        *error = "the resource image ends inside an entry";
        return false;
    }
    *out = std::move(resources);
    return true;
}

const Resource* FindIn(const std::vector<Resource>& resources, const ResourceKey& type, const ResourceKey& name) {
    for (const Resource& r : resources)
        if (r.type.Matches(type) && r.name.Matches(name)) return &r;
    return nullptr;
}

}  // namespace orbalis::win32
