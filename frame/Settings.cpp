#include "frame/Settings.h"

#include "frame/HostSuites.h"

namespace orbalis {

// Each getter reads into a scratch value and takes it only on success, so a
// failed read can never disturb the default.

void GetBooleanSetting(const char* key, int32_t& value) {
    HostBool stored = 0;
    if (sPreference->GetBooleanPreference(kSettingsSection, key, &stored) == 0) value = stored != 0 ? 1 : 0;
}

void GetIntegerSetting(const char* key, int32_t& value) {
    int32_t stored = 0;
    if (sPreference->GetIntegerPreference(kSettingsSection, key, &stored) == 0) value = stored;
}

void GetRealSetting(const char* key, double& value) {
    double stored = 0;
    if (sPreference->GetRealPreference(kSettingsSection, key, &stored) == 0) value = stored;
}

void GetTextSetting(const char* key, ai::UnicodeString& value) {
    try {
        ai::UnicodeString stored;
        if (sPreference->GetUnicodeStringPreference(kSettingsSection, key, stored.handle()) == 0) value = stored;
    } catch (const ai::Error&) {}
}

void GetFilePathSetting(const char* key, ai::FilePath& value) {
    try {
        ai::FilePath stored;
        if (sPreference->GetFilePathPreference(kSettingsSection, key, stored.handle()) == 0) value = stored;
    } catch (const ai::Error&) {}
}

void PutBooleanSetting(const char* key, int32_t value) {
    sPreference->PutBooleanPreference(kSettingsSection, key, value != 0 ? 1 : 0);
}

void PutIntegerSetting(const char* key, int32_t value) {
    sPreference->PutIntegerPreference(kSettingsSection, key, value);
}

void PutRealSetting(const char* key, double value) { sPreference->PutRealPreference(kSettingsSection, key, value); }

void PutTextSetting(const char* key, const ai::UnicodeString& value) {
    sPreference->PutUnicodeStringPreference(kSettingsSection, key, value.handle());
}

void PutFilePathSetting(const char* key, const ai::FilePath& value) {
    sPreference->PutFilePathPreference(kSettingsSection, key, value.handle());
}

}  // namespace orbalis
