// What the GIS reader, writer and listing share: GDAL started once, its
// messages caught instead of printed, and GIS files opened with one-line
// errors.
#pragma once

#include <gdal_priv.h>
#include <ogr_spatialref.h>

#include <memory>
#include <string>
#include <vector>

namespace orbalis::host::gis {

// Registers GDAL's drivers, once per process.
void StartGdal();

// While it lives, GDAL's warnings and errors on this thread are collected
// here rather than printed.
class GdalMessages {
public:
    GdalMessages();
    ~GdalMessages();
    GdalMessages(const GdalMessages&) = delete;
    GdalMessages& operator=(const GdalMessages&) = delete;

    // The messages since the last take, each one line; then forgets them.
    std::vector<std::string> take();
    // The last failure's message, or the last warning's, or `fallback`.
    std::string last(const std::string& fallback) const;
    bool any() const { return !messages_.empty(); }
    bool failed() const { return !lastFailure_.empty(); }

private:
    static void Handler(CPLErr level, CPLErrorNum number, const char* message);
    std::vector<std::string> messages_;
    std::string lastFailure_;
};

struct DatasetCloser {
    void operator()(GDALDataset* dataset) const { GDALClose(GDALDataset::ToHandle(dataset)); }
};
using DatasetPtr = std::unique_ptr<GDALDataset, DatasetCloser>;

// The lower-case extension with its dot.
std::string LowerExtension(const std::string& path);

struct SrsReleaser {
    void operator()(OGRSpatialReference* srs) const { srs->Release(); }
};
using SrsPtr = std::unique_ptr<OGRSpatialReference, SrsReleaser>;
struct TransformDestroyer {
    void operator()(OGRCoordinateTransformation* t) const { OGRCoordinateTransformation::DestroyCT(t); }
};
using TransformPtr = std::unique_ptr<OGRCoordinateTransformation, TransformDestroyer>;

// Transforms the geometries (null ones are passed over) from one CRS to
// another, spread over the machine's cores for large data; each thread has
// its own copies of the CRSs and its own transformation, as PROJ requires.
// False and a one-line `error` when no transformation is known; `failed`
// gets the index of each geometry that could not be transformed.
bool TransformAll(const std::vector<OGRGeometry*>& geometries, const OGRSpatialReference& from,
                  const OGRSpatialReference& to, std::vector<size_t>* failed, std::string* error);

// "EPSG:4326 (WGS 84)", or the CRS's name when it has no authority code.
std::string CrsName(const OGRSpatialReference& srs);

// Opens a GIS file for reading; null and a one-line `error` naming the file
// when it is missing, incomplete (a Shapefile without its .shx or .dbf) or
// not readable by GDAL.
DatasetPtr OpenGisFile(const std::string& path, std::string* error);

}  // namespace orbalis::host::gis
