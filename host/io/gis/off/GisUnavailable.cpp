// The GIS entry points of a host built without GDAL: no extension names a
// GIS format, and a document is never GIS data.
#include "host/io/gis/GisDocument.h"

namespace orbalis::host {
namespace {

constexpr const char* kUnavailable = ": GIS formats are not available in this build of the host";

}  // namespace

bool IsGisInputPath(const std::string&) { return false; }
bool IsGisOutputPath(const std::string&) { return false; }
bool HoldsGisData(const Document&) { return false; }

std::unique_ptr<Document> ReadGisDocument(const std::string& path, const GisReadOptions&, std::vector<std::string>*,
                                          std::vector<std::string>*, std::string* error) {
    *error = path + kUnavailable;
    return nullptr;
}

std::unique_ptr<Document> ReadGisBytes(const std::string& name, const std::string&, const GisReadOptions&,
                                       std::string* error) {
    *error = name + kUnavailable;
    return nullptr;
}

bool WriteGisDocument(const Document&, const std::string& path, std::vector<std::string>*, std::string* error) {
    *error = path + kUnavailable;
    return false;
}

bool DescribeGisFile(const std::string& path, std::string*, std::string* error) {
    *error = path + kUnavailable;
    return false;
}

}  // namespace orbalis::host
