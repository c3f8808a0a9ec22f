#include "host/suites/SuiteSupport.h"
#include "host/suites/SuiteTables.h"

namespace orbalis::host {
namespace {

PreferenceStore& Store() { return Host::Current().preferences(); }

HostErr GetBooleanPreference(const char* section, const char* key, HostBool* value) {
    HOST_OPERATION("GetBooleanPreference");
    Faults::DetailLastCall(key);
    if (!key || !value) return kHostBadParameterErr;
    return Store().getBoolean(section, key, value);
}

HostErr PutBooleanPreference(const char* section, const char* key, HostBool value) {
    HOST_OPERATION("PutBooleanPreference");
    Faults::DetailLastCall(key);
    if (!key) return kHostBadParameterErr;
    return Store().putBoolean(section, key, value);
}

HostErr GetIntegerPreference(const char* section, const char* key, int32_t* value) {
    HOST_OPERATION("GetIntegerPreference");
    Faults::DetailLastCall(key);
    if (!key || !value) return kHostBadParameterErr;
    return Store().getInteger(section, key, value);
}

HostErr PutIntegerPreference(const char* section, const char* key, int32_t value) {
    HOST_OPERATION("PutIntegerPreference");
    Faults::DetailLastCall(key);
    if (!key) return kHostBadParameterErr;
    return Store().putInteger(section, key, value);
}

HostErr GetRealPreference(const char* section, const char* key, double* value) {
    HOST_OPERATION("GetRealPreference");
    Faults::DetailLastCall(key);
    if (!key || !value) return kHostBadParameterErr;
    return Store().getReal(section, key, value);
}

HostErr PutRealPreference(const char* section, const char* key, double value) {
    HOST_OPERATION("PutRealPreference");
    Faults::DetailLastCall(key);
    if (!key) return kHostBadParameterErr;
    return Store().putReal(section, key, value);
}

HostErr GetUnicodeStringPreference(const char* section, const char* key, HostString value) {
    HOST_OPERATION("GetUnicodeStringPreference");
    Faults::DetailLastCall(key);
    StringObject* s = StringOf(value);
    if (!key || !s) return kHostBadParameterErr;
    std::string text;
    if (HostErr err = Store().getText(section, key, &text)) return err;
    SetFromUtf8(*s, text);
    return 0;
}

HostErr PutUnicodeStringPreference(const char* section, const char* key, HostString value) {
    HOST_OPERATION("PutUnicodeStringPreference");
    Faults::DetailLastCall(key);
    StringObject* s = StringOf(value);
    if (!key || !s) return kHostBadParameterErr;
    return Store().putText(section, key, ToUtf8(*s));
}

HostErr GetFilePathPreference(const char* section, const char* key, HostFilePath value) {
    HOST_OPERATION("GetFilePathPreference");
    Faults::DetailLastCall(key);
    FilePathObject* p = FilePathOf(value);
    if (!key || !p) return kHostBadParameterErr;
    std::string path;
    if (HostErr err = Store().getFilePath(section, key, &path)) return err;
    p->path = path;
    return 0;
}

HostErr PutFilePathPreference(const char* section, const char* key, HostFilePath value) {
    HOST_OPERATION("PutFilePathPreference");
    Faults::DetailLastCall(key);
    FilePathObject* p = FilePathOf(value);
    if (!key || !p) return kHostBadParameterErr;
    return Store().putFilePath(section, key, p->path);
}

}  // namespace

const HostPreferenceSuite& PreferenceSuite() {
    static const HostPreferenceSuite suite{
        GetBooleanPreference,       PutBooleanPreference,       GetIntegerPreference,
        PutIntegerPreference,       GetRealPreference,          PutRealPreference,
        GetUnicodeStringPreference, PutUnicodeStringPreference, GetFilePathPreference,
        PutFilePathPreference};
    return suite;
}

}  // namespace orbalis::host
