// A command's remembered settings as one ordered list of keys bound to the
// fields of its record, so that they are read and written in the same order.
#pragma once

#include <cstdint>
#include <span>

#include "frame/UnicodeString.h"

namespace orbalis {

struct SettingKey {
    enum Type { Integer, Boolean, Text, Real };
    const char* key;
    Type type;
    int32_t* number = nullptr;          // Integer, Boolean
    ai::UnicodeString* text = nullptr;  // Text
    double* real = nullptr;             // Real
};

inline SettingKey IntegerKey(const char* key, int32_t& field) { return {key, SettingKey::Integer, &field}; }
inline SettingKey BooleanKey(const char* key, int32_t& field) { return {key, SettingKey::Boolean, &field}; }
inline SettingKey RealKey(const char* key, double& field) { return {key, SettingKey::Real, nullptr, nullptr, &field}; }
inline SettingKey TextKey(const char* key, ai::UnicodeString& field) {
    return {key, SettingKey::Text, nullptr, &field};
}

// A key the store does not hold leaves its field as it is.
void ReadSettingKeys(std::span<const SettingKey> keys);
void WriteSettingKeys(std::span<const SettingKey> keys);

}  // namespace orbalis
