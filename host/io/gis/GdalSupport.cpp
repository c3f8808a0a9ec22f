#include "host/io/gis/GdalSupport.h"

#include "host/io/gis/GisDocument.h"

#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <mutex>

namespace orbalis::host::gis {
namespace {

namespace fs = std::filesystem;

// Read through GDAL by their extension. `.json` is the host's own format and
// goes to GDAL only when it holds GeoJSON or TopoJSON instead.
constexpr const char* kInputExtensions[] = {".geojson", ".geojsonl", ".geojsons", ".topojson", ".shp", ".zip",
                                            ".gpkg",    ".fgb",      ".kml",      ".kmz",      ".gml", ".gpx",
                                            ".sqlite",  ".tab",      ".mif",      ".dxf",      ".osm", ".pbf"};
constexpr const char* kOutputExtensions[] = {".geojson", ".gpkg", ".shp", ".fgb"};

std::string OneLine(std::string text) {
    for (char& c : text)
        if (c == '\n' || c == '\r') c = ' ';
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

// A Shapefile's companion file, found whether its extension is in lower or
// upper case.
bool HasCompanion(const fs::path& shp, const std::string& extension) {
    std::string upper = extension;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    std::error_code ec;
    return fs::exists(fs::path(shp).replace_extension(extension), ec) ||
           fs::exists(fs::path(shp).replace_extension(upper), ec);
}

}  // namespace

void StartGdal() {
    static std::once_flag once;
    std::call_once(once, [] {
        GDALAllRegister();
        // Shapefiles without their index are refused, not rebuilt behind the
        // user's back.
        CPLSetConfigOption("SHAPE_RESTORE_SHX", "NO");
    });
}

GdalMessages::GdalMessages() { CPLPushErrorHandlerEx(&GdalMessages::Handler, this); }
GdalMessages::~GdalMessages() { CPLPopErrorHandler(); }

void GdalMessages::Handler(CPLErr level, CPLErrorNum, const char* message) {
    if (level == CE_Debug || level == CE_None) return;
    auto* self = static_cast<GdalMessages*>(CPLGetErrorHandlerUserData());
    if (!self) return;
    std::string text = OneLine(message ? message : "");
    if (level >= CE_Failure) self->lastFailure_ = text;
    self->messages_.push_back(std::move(text));
}

std::vector<std::string> GdalMessages::take() {
    std::vector<std::string> out;
    out.swap(messages_);
    return out;
}

std::string GdalMessages::last(const std::string& fallback) const {
    if (!lastFailure_.empty()) return lastFailure_;
    if (!messages_.empty()) return messages_.back();
    return fallback;
}

std::string LowerExtension(const std::string& path) {
    std::string ext = fs::path(path).extension().string();
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext;
}

DatasetPtr OpenGisFile(const std::string& path, std::string* error) {
    StartGdal();
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (ec || !fs::exists(status)) {
        *error = path + ": cannot read: " + std::strerror(ENOENT);
        return nullptr;
    }
    if (!fs::is_regular_file(status)) {
        *error = path + ": cannot read: " + (fs::is_directory(status) ? std::strerror(EISDIR) : "not a regular file");
        return nullptr;
    }
    const std::string ext = LowerExtension(path);
    if (ext == ".shp") {
        for (const char* companion : {".shx", ".dbf"})
            if (!HasCompanion(path, companion)) {
                *error = path + ": the Shapefile's " + companion + " file is missing (" +
                         fs::path(path).replace_extension(companion).filename().string() + ")";
                return nullptr;
            }
    }
    const std::string name = ext == ".zip" ? "/vsizip/" + path : path;
    GdalMessages messages;
    GDALDataset* dataset =
        GDALDataset::Open(name.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY, nullptr, nullptr, nullptr);
    if (!dataset) {
        *error = path + ": cannot read: " + messages.last("not a GIS file GDAL reads");
        return nullptr;
    }
    if (dataset->GetLayerCount() == 0) {
        GDALClose(GDALDataset::ToHandle(dataset));
        *error = path + ": cannot read: no vector layer in it";
        return nullptr;
    }
    return DatasetPtr(dataset);
}

}  // namespace orbalis::host::gis

namespace orbalis::host {

bool IsGisInputPath(const std::string& path) {
    const std::string ext = gis::LowerExtension(path);
    for (const char* e : gis::kInputExtensions)
        if (ext == e) return true;
    return false;
}

bool IsGisOutputPath(const std::string& path) {
    const std::string ext = gis::LowerExtension(path);
    for (const char* e : gis::kOutputExtensions)
        if (ext == e) return true;
    return false;
}

}  // namespace orbalis::host
