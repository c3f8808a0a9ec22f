// The host's preference store: typed values under a section and a key, kept
// in a JSON file that every change rewrites atomically.
//
// The file records each value's type next to it, so that a boolean never
// reads as an integer and a real stays a real when it is integral:
//   {"Section": {"Key": {"type": "integer", "value": 3}}}
// Types: "boolean", "integer" (32-bit), "real" (a number, or "NaN",
// "Infinity", "-Infinity"), "text" and "filePath" (UTF-8 strings).
//
// A file that cannot be read or understood is never written over: saving is
// refused until a later load succeeds or reset() is called.
//
// One store is used from one thread at a time.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <variant>

#include "sdk/HostErrors.h"

namespace orbalis::host {

class PreferenceStore {
public:
    // Values put into a store with an empty path live in memory only.
    explicit PreferenceStore(std::string path = {});

    const std::string& path() const { return path_; }

    // Replaces the values with those of the file. A missing or empty file
    // gives an empty store; a device, a pipe or a file of more than 16 MiB
    // is refused unread. On failure the store is empty, `error` gets one
    // line, and the file is protected from saving.
    bool load(std::string* error);
    // The same for the file's contents, read by the caller.
    bool loadText(const std::string& contents, std::string* error);
    // The file's contents for the values held.
    std::string text() const;
    // Forgets every value and lets the next save replace the file.
    void reset();
    // Writes every value to the file through a temporary file in the same
    // directory, creating the directory when needed.
    bool save(std::string* error);
    // The error of the last failed load or save, empty when there was none.
    const std::string& lastError() const { return lastError_; }

    // A null section is the host's own, kHostSection. Getters leave *value
    // alone and return kHostNotFoundErr for a missing key,
    // kHostTypeMismatchErr for a key written with another type.
    // Putters keep the value in memory and save; when saving fails they
    // return kHostLockedErr (see lastError()). Null keys and values, and
    // names or strings that are not UTF-8, give kHostBadParameterErr.
    HostErr getBoolean(const char* section, const char* key, int32_t* value) const;
    HostErr putBoolean(const char* section, const char* key, int32_t value);
    HostErr getInteger(const char* section, const char* key, int32_t* value) const;
    HostErr putInteger(const char* section, const char* key, int32_t value);
    HostErr getReal(const char* section, const char* key, double* value) const;
    HostErr putReal(const char* section, const char* key, double value);
    HostErr getText(const char* section, const char* key, std::string* utf8) const;
    HostErr putText(const char* section, const char* key, const std::string& utf8);
    HostErr getFilePath(const char* section, const char* key, std::string* utf8) const;
    HostErr putFilePath(const char* section, const char* key, const std::string& utf8);

    static constexpr const char* kHostSection = "Host";

    // $XDG_CONFIG_HOME/orbalis/preferences.json, or the same under
    // ~/.config; empty when there is no home directory.
    static std::string defaultPath();

private:
    struct Text {
        std::string utf8;
        bool operator==(const Text&) const = default;
    };
    struct FilePath {
        std::string utf8;
        bool operator==(const FilePath&) const = default;
    };
    // Boolean, integer, real, text, file path: the order of the file's type names.
    using Value = std::variant<bool, int32_t, double, Text, FilePath>;
    using Sections = std::map<std::string, std::map<std::string, Value>>;

    template <class T>
    HostErr lookup(const char* section, const char* key, const T** stored) const;
    HostErr put(const char* section, const char* key, Value value);
    bool failLoad(std::string message, std::string* error);
    bool failSave(std::string message, std::string* error);

    std::string path_;
    Sections sections_;
    // Why the file could not be loaded; while set, the file is not written.
    std::string loadFailure_;
    std::string lastError_;
};

}  // namespace orbalis::host
