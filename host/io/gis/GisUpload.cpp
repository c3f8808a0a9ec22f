#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "host/io/gis/GisDocument.h"

namespace orbalis::host {

std::unique_ptr<Document> ReadGisBytes(const std::string& name, const std::string& bytes, const GisReadOptions& options,
                                       std::string* error) {
    namespace fs = std::filesystem;
    const std::string file = fs::path(name).filename().string();
    std::string folder = (fs::temp_directory_path() / "orbalis-upload-XXXXXX").string();
    if (file.empty() || !::mkdtemp(folder.data())) {
        *error = name + ": cannot read: " + (file.empty() ? "no file name" : std::strerror(errno));
        return nullptr;
    }
    struct Remove {
        fs::path folder;
        ~Remove() {
            std::error_code ec;
            fs::remove_all(folder, ec);
        }
    } remove{folder};
    const fs::path path = fs::path(folder) / file;
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    std::string detail;
    auto document = ReadGisDocument(path.string(), options, nullptr, nullptr, &detail);
    // The scratch folder is no business of the user's.
    if (!document) *error = file + detail.substr(std::min(detail.size(), path.string().size()));
    return document;
}

}  // namespace orbalis::host
