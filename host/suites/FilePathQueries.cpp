#include "host/suites/FilePathQueries.h"

#include <filesystem>
#include <string_view>

#include "host/suites/SuiteSupport.h"
#include "host/text/Encoding.h"

namespace orbalis::host {
namespace {

namespace fs = std::filesystem;

// Paths are kept in UTF-8, which is also the system's multibyte code page,
// so the bytes name the file as they stand.
fs::path NativePath(const FilePathObject& p) { return fs::path(p.path); }

}  // namespace

HostErr SetFromPlatformPath(HostFilePath handle, const char* text, size_t length) {
    HOST_OPERATION("SetFromPlatformPath");
    FilePathObject* p = FilePathOf(handle);
    if (!p || (!text && length)) return kHostBadParameterErr;
    std::u16string units;
    bool replaced = false;
    if (HostErr err = decodeText(kHostEncodingPlatform, std::string_view(text ? text : "", length),
                                 &units, &replaced))
        return err;
    // Bytes that are no text in the code page name no file this host can reach.
    if (replaced) return kHostEncodingErr;
    p->path = utf16ToUtf8(units);
    return 0;
}

HostErr GetFileName(HostFilePath handle, HostBool withExtension, HostString name) {
    HOST_OPERATION("GetFileName");
    FilePathObject* p = FilePathOf(handle);
    StringObject* s = StringOf(name);
    if (!p || !s) return kHostBadParameterErr;
    fs::path path = NativePath(*p);
    // "maps/" names the folder "maps".
    if (!path.has_filename() && path.has_parent_path() && path.parent_path() != path.root_path())
        path = path.parent_path();
    SetFromUtf8(*s, (withExtension ? path.filename() : path.stem()).string());
    return 0;
}

HostErr GetParent(HostFilePath handle, HostFilePath parent) {
    HOST_OPERATION("GetParent");
    FilePathObject *p = FilePathOf(handle), *result = FilePathOf(parent);
    if (!p || !result) return kHostBadParameterErr;
    fs::path path = NativePath(*p);
    if (!path.has_filename() && path.has_parent_path() && path != path.root_path()) path = path.parent_path();
    result->path = path == path.root_path() ? std::string() : path.parent_path().string();
    return 0;
}

HostErr Exists(HostFilePath handle, HostBool* exists, HostBool* isFolder) {
    HOST_OPERATION("Exists");
    FilePathObject* p = FilePathOf(handle);
    if (!p || !exists) return kHostBadParameterErr;
    std::error_code ec;
    const fs::file_status status = p->path.empty() ? fs::file_status() : fs::status(NativePath(*p), ec);
    *exists = !ec && fs::exists(status);
    if (isFolder) *isFolder = *exists && fs::is_directory(status);
    return 0;
}

}  // namespace orbalis::host
