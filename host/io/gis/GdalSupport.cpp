#include "host/io/gis/GdalSupport.h"

#include "host/io/gis/GisDocument.h"

#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <algorithm>
#include <mutex>
#include <thread>

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

bool TransformAll(const std::vector<OGRGeometry*>& geometries, const OGRSpatialReference& from,
                  const OGRSpatialReference& to, std::vector<size_t>* failed, std::string* error) {
    // Below this many geometries a second thread costs more than it saves.
    constexpr size_t kPerThread = 2000;
    const size_t threads = std::clamp<size_t>(geometries.size() / kPerThread, 1,
                                              std::max(1u, std::min(4u, std::thread::hardware_concurrency())));
    std::vector<std::string> errors(threads);
    std::vector<std::vector<size_t>> failures(threads);
    const auto work = [&](size_t part) {
        GdalMessages messages;
        SrsPtr source(from.Clone()), target(to.Clone());
        source->SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
        target->SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
        TransformPtr transform(OGRCreateCoordinateTransformation(source.get(), target.get()));
        if (!transform) {
            errors[part] = "cannot transform " + CrsName(from) + " to " + CrsName(to) + ": " +
                           messages.last("no transformation known");
            return;
        }
        const size_t begin = geometries.size() * part / threads, end = geometries.size() * (part + 1) / threads;
        for (size_t i = begin; i < end; ++i)
            if (geometries[i] && !geometries[i]->IsEmpty() && geometries[i]->transform(transform.get()) != OGRERR_NONE)
                failures[part].push_back(i);
    };
    std::vector<std::thread> pool;
    for (size_t part = 1; part < threads; ++part) pool.emplace_back(work, part);
    work(0);
    for (std::thread& t : pool) t.join();
    for (size_t part = 0; part < threads; ++part) {
        if (!errors[part].empty()) {
            *error = errors[part];
            return false;
        }
        failed->insert(failed->end(), failures[part].begin(), failures[part].end());
    }
    return true;
}

std::string CrsName(const OGRSpatialReference& srs) {
    const char* authority = srs.GetAuthorityName(nullptr);
    const char* code = srs.GetAuthorityCode(nullptr);
    std::string name = srs.GetName() ? srs.GetName() : "unnamed CRS";
    if (authority && code) name = std::string(authority) + ":" + code + " (" + name + ")";
    return name;
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
