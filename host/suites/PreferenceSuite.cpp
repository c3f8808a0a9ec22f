#include "host/suites/OperationGate.h"
#include "host/suites/SuiteTables.h"

namespace orbalis::host {
namespace {

PreferenceStore& Store() { return Host::Current().preferences(); }

// A preference key: the call log names it beside the operation
// ("GetIntegerPreference NL_Kind"), also when the call then fails.
struct Key {
    using From = const char*;
    const char* text = nullptr;

    static HostErr Bind(const char* key, Key& held) {
        Faults::DetailLastCall(key);
        held.text = key;
        return key ? 0 : kHostBadParameterErr;
    }
};

template <typename Value, HostErr (PreferenceStore::*get)(const char*, const char*, Value*) const>
HostErr GetPreference(const char* section, Key key, Value& value) {
    return (Store().*get)(section, key.text, &value);
}

template <typename Value, HostErr (PreferenceStore::*put)(const char*, const char*, Value)>
HostErr PutPreference(const char* section, Key key, Value value) {
    return (Store().*put)(section, key.text, value);
}

HostErr GetUnicodeStringPreference(const char* section, Key key, StringObject& value) {
    std::string text;
    if (HostErr err = Store().getText(section, key.text, &text)) return err;
    SetFromUtf8(value, text);
    return 0;
}

HostErr PutUnicodeStringPreference(const char* section, Key key, StringObject& value) {
    return Store().putText(section, key.text, ToUtf8(value));
}

HostErr GetFilePathPreference(const char* section, Key key, FilePathObject& value) {
    std::string path;
    if (HostErr err = Store().getFilePath(section, key.text, &path)) return err;
    value.path = path;
    return 0;
}

HostErr PutFilePathPreference(const char* section, Key key, FilePathObject& value) {
    return Store().putFilePath(section, key.text, value.path);
}

}  // namespace

const HostPreferenceSuite& PreferenceSuite() {
    return SuiteTable<
        HostPreferenceSuite, Named<"GetBooleanPreference", GetPreference<HostBool, &PreferenceStore::getBoolean>>,
        Named<"PutBooleanPreference", PutPreference<HostBool, &PreferenceStore::putBoolean>>,
        Named<"GetIntegerPreference", GetPreference<int32_t, &PreferenceStore::getInteger>>,
        Named<"PutIntegerPreference", PutPreference<int32_t, &PreferenceStore::putInteger>>,
        Named<"GetRealPreference", GetPreference<double, &PreferenceStore::getReal>>,
        Named<"PutRealPreference", PutPreference<double, &PreferenceStore::putReal>>, GetUnicodeStringPreference,
        PutUnicodeStringPreference, GetFilePathPreference, PutFilePathPreference>;
}

}  // namespace orbalis::host
