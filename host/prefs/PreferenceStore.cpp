#include "host/prefs/PreferenceStore.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <limits>
#include <nlohmann/json.hpp>

#include "host/io/ReplaceFile.h"
#include "host/io/SystemFiles.h"
#include "host/text/Encoding.h"
#include "sdk/suites/StringSuites.h"

namespace orbalis::host {
namespace {

using nlohmann::json;

// Indexed like PreferenceStore::Value's alternatives.
constexpr const char* kTypeNames[] = {"boolean", "integer", "real", "text", "filePath"};

constexpr const char* kNaN = "NaN";
constexpr const char* kInfinity = "Infinity";
constexpr const char* kMinusInfinity = "-Infinity";

bool isUtf8(std::string_view text) {
    std::u16string ignored;
    bool replaced = false;
    return decodeText(kHostEncodingUTF8, text, &ignored, &replaced) == 0 && !replaced;
}

std::string inQuotes(const std::string& text) { return "'" + text + "'"; }

std::string systemError(int error) { return std::strerror(error); }

// Keeps a message on one line, whatever a library put into it.
std::string oneLine(std::string message) {
    for (char& c : message) {
        if (c == '\n' || c == '\r') c = ' ';
    }
    return message;
}

// nlohmann's messages start with "[json.exception.parse_error.101] ".
std::string withoutExceptionTag(const char* what) {
    std::string message = what;
    if (!message.empty() && message.front() == '[') {
        std::size_t end = message.find("] ");
        if (end != std::string::npos) message.erase(0, end + 2);
    }
    return message;
}

// Far more than any set of settings needs; a larger file is not one.
constexpr std::size_t kMaximumFileSize = 16u << 20;

enum class ReadResult { kRead, kFailed, kNotRegular, kTooLarge };

// Reads the whole of a regular file; kFailed with errno set when it cannot
// be read. Devices and pipes are refused unread, since they may never end.
ReadResult readFile(const std::string& path, std::string* contents) {
    int fd = OpenForReading(path);
    if (fd < 0) return ReadResult::kFailed;
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        int error = errno;
        ::close(fd);
        errno = error;
        return ReadResult::kFailed;
    }
    if (!S_ISREG(info.st_mode)) {
        ::close(fd);
        errno = EISDIR;
        return S_ISDIR(info.st_mode) ? ReadResult::kFailed : ReadResult::kNotRegular;
    }
    char chunk[65536];
    for (;;) {
        if (contents->size() > kMaximumFileSize) {
            ::close(fd);
            return ReadResult::kTooLarge;
        }
        ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            int error = errno;
            ::close(fd);
            errno = error;
            return ReadResult::kFailed;
        }
        if (got == 0) break;
        contents->append(chunk, static_cast<std::size_t>(got));
    }
    ::close(fd);
    return ReadResult::kRead;
}

json realToJson(double value) {
    if (std::isnan(value)) return kNaN;
    if (std::isinf(value)) return value > 0 ? kInfinity : kMinusInfinity;
    return value;
}

bool realFromJson(const json& value, double* real) {
    if (value.is_number()) {
        *real = value.get<double>();
        return true;
    }
    if (!value.is_string()) return false;
    const std::string& name = value.get_ref<const std::string&>();
    if (name == kNaN)
        *real = std::numeric_limits<double>::quiet_NaN();
    else if (name == kInfinity)
        *real = std::numeric_limits<double>::infinity();
    else if (name == kMinusInfinity)
        *real = -std::numeric_limits<double>::infinity();
    else
        return false;
    return true;
}

bool integerFromJson(const json& value, int32_t* integer) {
    if (value.is_number_unsigned()) {
        auto v = value.get<uint64_t>();
        if (v > static_cast<uint64_t>(std::numeric_limits<int32_t>::max())) return false;
        *integer = static_cast<int32_t>(v);
        return true;
    }
    if (!value.is_number_integer()) return false;
    auto v = value.get<int64_t>();
    if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max()) return false;
    *integer = static_cast<int32_t>(v);
    return true;
}

}  // namespace

PreferenceStore::PreferenceStore(std::string path) : path_(std::move(path)) {}

bool PreferenceStore::failLoad(std::string message, std::string* error) {
    sections_.clear();
    lastError_ = loadFailure_ = oneLine(std::move(message));
    if (error) *error = lastError_;
    return false;
}

bool PreferenceStore::failSave(std::string message, std::string* error) {
    lastError_ = oneLine(std::move(message));
    if (error) *error = lastError_;
    return false;
}

bool PreferenceStore::load(std::string* error) {
    sections_.clear();
    loadFailure_.clear();
    lastError_.clear();
    if (path_.empty()) return true;

    const std::string where = "preferences file " + inQuotes(path_);
    std::string contents;
    switch (readFile(path_, &contents)) {
    case ReadResult::kRead: break;
    case ReadResult::kFailed:
        if (errno == ENOENT) return true;
        return failLoad("cannot read preferences file " + inQuotes(path_) + ": " + systemError(errno), error);
    case ReadResult::kNotRegular: return failLoad(where + " is not a regular file", error);
    case ReadResult::kTooLarge:
        return failLoad(where + " is larger than " + std::to_string(kMaximumFileSize >> 20) + " MiB", error);
    }
    return loadText(contents, error);
}

bool PreferenceStore::loadText(const std::string& contents, std::string* error) {
    sections_.clear();
    loadFailure_.clear();
    lastError_.clear();
    // Nothing to lose: the store itself never writes an empty file.
    if (contents.find_first_not_of(" \t\r\n") == std::string::npos) return true;

    const std::string where = "preferences file " + inQuotes(path_);
    json document;
    try {
        document = json::parse(contents);
    } catch (const json::exception& e) {
        return failLoad(where + " is not valid JSON: " + withoutExceptionTag(e.what()), error);
    }
    if (!document.is_object()) return failLoad(where + " does not hold an object of sections", error);

    Sections sections;
    for (const auto& [sectionName, section] : document.items()) {
        if (!section.is_object()) {
            return failLoad(where + ": section " + inQuotes(sectionName) + " is not an object of keys", error);
        }
        for (const auto& [keyName, entry] : section.items()) {
            const std::string at = where + ": " + inQuotes(sectionName + "/" + keyName);
            if (!entry.is_object() || entry.size() != 2 || !entry.contains("type") || !entry.contains("value") ||
                !entry["type"].is_string()) {
                return failLoad(at + " is not {\"type\": ..., \"value\": ...}", error);
            }
            const std::string& type = entry["type"].get_ref<const std::string&>();
            const json& value = entry["value"];
            Value stored;
            bool valid = false;
            if (type == kTypeNames[0]) {
                valid = value.is_boolean();
                if (valid) stored = value.get<bool>();
            } else if (type == kTypeNames[1]) {
                int32_t integer = 0;
                valid = integerFromJson(value, &integer);
                stored = integer;
            } else if (type == kTypeNames[2]) {
                double real = 0.0;
                valid = realFromJson(value, &real);
                stored = real;
            } else if (type == kTypeNames[3] || type == kTypeNames[4]) {
                valid = value.is_string();
                if (valid && type == kTypeNames[3]) stored = Text{value.get<std::string>()};
                if (valid && type == kTypeNames[4]) stored = FilePath{value.get<std::string>()};
            } else {
                return failLoad(at + " has an unknown type " + inQuotes(type), error);
            }
            if (!valid) return failLoad(at + " does not hold a valid " + type + " value", error);
            sections[sectionName][keyName] = std::move(stored);
        }
    }
    sections_ = std::move(sections);
    return true;
}

void PreferenceStore::reset() {
    sections_.clear();
    loadFailure_.clear();
    lastError_.clear();
}

std::string PreferenceStore::text() const {
    json document = json::object();
    for (const auto& [sectionName, keys] : sections_) {
        json& section = document[sectionName] = json::object();
        for (const auto& [keyName, value] : keys) {
            json stored;
            std::visit(
                [&](const auto& v) {
                    using T = std::decay_t<decltype(v)>;
                    if constexpr (std::is_same_v<T, double>)
                        stored = realToJson(v);
                    else if constexpr (std::is_same_v<T, Text> || std::is_same_v<T, FilePath>)
                        stored = v.utf8;
                    else
                        stored = v;
                },
                value);
            section[keyName] = {{"type", kTypeNames[value.index()]}, {"value", std::move(stored)}};
        }
    }
    // Names and strings are checked to be UTF-8 when put or loaded; should
    // one not be, it is written with replacement characters, never thrown.
    return document.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

bool PreferenceStore::save(std::string* error) {
    if (path_.empty()) return true;
    if (!loadFailure_.empty()) return failSave("nothing saved: " + loadFailure_, error);
    const std::string text = this->text();

    namespace fs = std::filesystem;
    // A symbolic link stays a link: the file it points to is replaced.
    std::string targetPath;
    if (const int failure = FollowLinks(path_, &targetPath); failure != 0) {
        return failSave("cannot follow the preferences link " + inQuotes(path_) + ": " + systemError(failure), error);
    }
    const fs::path target(targetPath);
    struct stat existing {};
    // Renaming over a device or a directory would replace it.
    if (::stat(targetPath.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode)) {
        return failSave("cannot save preferences file " + inQuotes(path_) + ": not a regular file", error);
    }
    const fs::path directory = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::error_code ec;
    fs::create_directories(directory, ec);
    if (ec) {
        return failSave("cannot create the preferences directory " + inQuotes(directory.string()) + ": " + ec.message(),
                        error);
    }
    // A new file is the user's own: settings may name private folders.
    if (const int failure = ReplaceFile(targetPath, text, 0600); failure != 0) {
        return failSave("cannot save preferences file " + inQuotes(path_) + ": " + systemError(failure), error);
    }
    lastError_.clear();
    return true;
}

template <class T>
HostErr PreferenceStore::lookup(const char* section, const char* key, const T** stored) const {
    if (!key) return kHostBadParameterErr;
    auto keys = sections_.find(section ? section : kHostSection);
    if (keys == sections_.end()) return kHostNotFoundErr;
    auto entry = keys->second.find(key);
    if (entry == keys->second.end()) return kHostNotFoundErr;
    *stored = std::get_if<T>(&entry->second);
    return *stored ? 0 : kHostTypeMismatchErr;
}

HostErr PreferenceStore::put(const char* section, const char* key, Value value) {
    if (!key) return kHostBadParameterErr;
    if (!section) section = kHostSection;
    if (!isUtf8(section) || !isUtf8(key)) return kHostBadParameterErr;
    sections_[section][key] = std::move(value);
    // The value stays in memory even when the file cannot take it; the
    // file is write-protected or unwritable, hence "locked".
    return save(nullptr) ? 0 : kHostLockedErr;
}

HostErr PreferenceStore::getBoolean(const char* section, const char* key, int32_t* value) const {
    const bool* stored = nullptr;
    if (!value) return kHostBadParameterErr;
    if (HostErr err = lookup(section, key, &stored)) return err;
    *value = *stored ? 1 : 0;
    return 0;
}

HostErr PreferenceStore::putBoolean(const char* section, const char* key, int32_t value) {
    return put(section, key, value != 0);
}

HostErr PreferenceStore::getInteger(const char* section, const char* key, int32_t* value) const {
    const int32_t* stored = nullptr;
    if (!value) return kHostBadParameterErr;
    if (HostErr err = lookup(section, key, &stored)) return err;
    *value = *stored;
    return 0;
}

HostErr PreferenceStore::putInteger(const char* section, const char* key, int32_t value) {
    return put(section, key, value);
}

HostErr PreferenceStore::getReal(const char* section, const char* key, double* value) const {
    const double* stored = nullptr;
    if (!value) return kHostBadParameterErr;
    if (HostErr err = lookup(section, key, &stored)) return err;
    *value = *stored;
    return 0;
}

HostErr PreferenceStore::putReal(const char* section, const char* key, double value) {
    return put(section, key, value);
}

HostErr PreferenceStore::getText(const char* section, const char* key, std::string* utf8) const {
    const Text* stored = nullptr;
    if (!utf8) return kHostBadParameterErr;
    if (HostErr err = lookup(section, key, &stored)) return err;
    *utf8 = stored->utf8;
    return 0;
}

HostErr PreferenceStore::putText(const char* section, const char* key, const std::string& utf8) {
    if (!isUtf8(utf8)) return kHostBadParameterErr;
    return put(section, key, Text{utf8});
}

HostErr PreferenceStore::getFilePath(const char* section, const char* key, std::string* utf8) const {
    const FilePath* stored = nullptr;
    if (!utf8) return kHostBadParameterErr;
    if (HostErr err = lookup(section, key, &stored)) return err;
    *utf8 = stored->utf8;
    return 0;
}

HostErr PreferenceStore::putFilePath(const char* section, const char* key, const std::string& utf8) {
    if (!isUtf8(utf8)) return kHostBadParameterErr;
    return put(section, key, FilePath{utf8});
}

std::string PreferenceStore::defaultPath() {
    const std::string base = UserConfigFolder();
    if (base.empty()) return {};
    return base + "/orbalis/preferences.json";
}

}  // namespace orbalis::host
