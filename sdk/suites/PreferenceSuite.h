/* "AI Preference Suite" 7: typed values under a section and a key. */
#ifndef ORBALIS_SDK_PREFERENCE_SUITE_H
#define ORBALIS_SDK_PREFERENCE_SUITE_H

#include "../HostTypes.h"

#ifdef __cplusplus
extern "C" {
#endif

/* A getter leaves *value alone when the key does not exist
 * (kHostNotFoundErr) or was written with another type
 * (kHostTypeMismatchErr). `section` may be null for the host's own section.
 * String and file-path values travel in objects the caller holds: a getter
 * overwrites the caller's string or path, a putter copies from it; the
 * caller keeps and disposes of both. */
typedef struct HostPreferenceSuite {
    HostErr (*GetBooleanPreference)(const char* section, const char* key, HostBool* value);
    HostErr (*PutBooleanPreference)(const char* section, const char* key, HostBool value);
    HostErr (*GetIntegerPreference)(const char* section, const char* key, int32_t* value);
    HostErr (*PutIntegerPreference)(const char* section, const char* key, int32_t value);
    HostErr (*GetRealPreference)(const char* section, const char* key, double* value);
    HostErr (*PutRealPreference)(const char* section, const char* key, double value);
    HostErr (*GetUnicodeStringPreference)(const char* section, const char* key, HostString value);
    HostErr (*PutUnicodeStringPreference)(const char* section, const char* key, HostString value);
    HostErr (*GetFilePathPreference)(const char* section, const char* key, HostFilePath value);
    HostErr (*PutFilePathPreference)(const char* section, const char* key, HostFilePath value);
} HostPreferenceSuite;

#ifdef __cplusplus
}
#endif

#endif
