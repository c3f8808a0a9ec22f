#include "host/suites/FilePathQueries.h"

#include <filesystem>
#include <string_view>

#include "host/text/Encoding.h"

namespace orbalis::host {
namespace {

namespace fs = std::filesystem;

// Paths are kept in UTF-8, which is also the system's multibyte code page,
// so the bytes name the file as they stand.
fs::path NativePath(const FilePathObject& p) { return fs::path(p.path); }

}  // namespace

HostErr SetFromPlatformPath(FilePathObject& p, const char* text, size_t length) {
    if (!text && length) return kHostBadParameterErr;
    std::u16string units;
    bool replaced = false;
    if (HostErr err = decodeText(kHostEncodingPlatform, std::string_view(text ? text : "", length), &units, &replaced))
        return err;
    // Bytes that are no text in the code page name no file this host can reach.
    if (replaced) return kHostEncodingErr;
    p.path = utf16ToUtf8(units);
    return 0;
}

HostErr GetFileName(FilePathObject& p, HostBool withExtension, StringObject& name) {
    fs::path path = NativePath(p);
    // "maps/" names the folder "maps".
    if (!path.has_filename() && path.has_parent_path() && path.parent_path() != path.root_path())
        path = path.parent_path();
    SetFromUtf8(name, (withExtension ? path.filename() : path.stem()).string());
    return 0;
}

HostErr GetParent(FilePathObject& p, FilePathObject& parent) {
    fs::path path = NativePath(p);
    if (!path.has_filename() && path.has_parent_path() && path != path.root_path()) path = path.parent_path();
    parent.path = path == path.root_path() ? std::string() : path.parent_path().string();
    return 0;
}

HostErr Exists(FilePathObject& p, HostBool& exists, HostBool* isFolder) {
    std::error_code ec;
    const fs::file_status status = p.path.empty() ? fs::file_status() : fs::status(NativePath(p), ec);
    exists = !ec && fs::exists(status);
    if (isFolder) *isFolder = exists && fs::is_directory(status);
    return 0;
}

}  // namespace orbalis::host
