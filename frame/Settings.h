// The commands' remembered settings, kept in the host's preference store
// under the plug-in's own section. Reads keep the caller's default when the
// key is missing or unreadable; writes are best effort. Neither reports a
// failure: a setting that cannot be stored never stops a command.
#pragma once

#include <cstdint>

#include "frame/FilePath.h"
#include "frame/UnicodeString.h"

namespace orbalis {

inline constexpr const char* kSettingsSection = "Nodra-Orbalis1.5";

void GetBooleanSetting(const char* key, int32_t& value);
void GetIntegerSetting(const char* key, int32_t& value);
void GetRealSetting(const char* key, double& value);
void GetTextSetting(const char* key, ai::UnicodeString& value);
void GetFilePathSetting(const char* key, ai::FilePath& value);

void PutBooleanSetting(const char* key, int32_t value);
void PutIntegerSetting(const char* key, int32_t value);
void PutRealSetting(const char* key, double value);
void PutTextSetting(const char* key, const ai::UnicodeString& value);
void PutFilePathSetting(const char* key, const ai::FilePath& value);

}  // namespace orbalis
