// Placed and raster art, and art tags.
#include <algorithm>
#include <cmath>

#include "host/model/Document.h"
#include "host/model/Geometry.h"
#include "host/suites/OperationGate.h"
#include "host/suites/SuiteTables.h"

namespace orbalis::host {
namespace {

template <typename Data>
HostErr GetImageMatrix(ArtOf<Data> image, HostMatrix& matrix) {
    matrix = image->matrix;
    return 0;
}

template <typename Data>
HostErr SetImageMatrix(ArtOf<Data> image, const HostMatrix& matrix) {
    if (!IsFinite(matrix)) return kHostBadParameterErr;
    image->matrix = matrix;
    image.touch();
    return 0;
}

HostErr GetPlacedBoundingBox(ArtOf<PlacedData> placed, HostRect& box) {
    box = {0, 0, placed->width, placed->height};
    return 0;
}

HostErr GetRasterSize(ArtOf<RasterData> raster, int32_t* width, int32_t* height) {
    if (!width || !height) return kHostBadParameterErr;
    *width = raster->pixelWidth;
    *height = raster->pixelHeight;
    return 0;
}

// ---------------------------------------------------------------- tags

NameValues::iterator FindTag(Art& art, const char* name) {
    return std::find_if(art.tags.begin(), art.tags.end(), [&](const auto& tag) { return tag.first == name; });
}

HostErr SetTag(Art& art, const char* name, const char* value) {
    if (!name || !*name || !value) return kHostBadParameterErr;
    auto it = FindTag(art, name);
    if (it != art.tags.end())
        it->second = value;
    else
        art.tags.emplace_back(name, value);
    art.document()->touch(&art);
    return 0;
}

HostErr GetTag(Art& art, const char* name, const char** value) {
    if (!name || !value) return kHostBadParameterErr;
    auto it = FindTag(art, name);
    if (it == art.tags.end()) return kHostNotFoundErr;
    *value = it->second.c_str();
    return 0;
}

HostErr CountTags(Art& art, int32_t& count) {
    count = static_cast<int32_t>(art.tags.size());
    return 0;
}

HostErr GetNthTag(Art& art, int32_t index, const char*& name) {
    if (index < 0 || static_cast<size_t>(index) >= art.tags.size()) return kHostIndexErr;
    name = art.tags[static_cast<size_t>(index)].first.c_str();
    return 0;
}

HostErr RemoveTag(Art& art, const char* name) {
    if (!name) return kHostBadParameterErr;
    auto it = FindTag(art, name);
    if (it == art.tags.end()) return kHostNotFoundErr;
    art.tags.erase(it);
    art.document()->touch(&art);
    return 0;
}

}  // namespace

const HostPlacedSuite& PlacedSuite() {
    return SuiteTable<HostPlacedSuite, Named<"GetPlacedMatrix", GetImageMatrix<PlacedData>>,
                      Named<"SetPlacedMatrix", SetImageMatrix<PlacedData>>, GetPlacedBoundingBox>;
}

const HostRasterSuite& RasterSuite() {
    return SuiteTable<HostRasterSuite, Named<"GetRasterMatrix", GetImageMatrix<RasterData>>,
                      Named<"SetRasterMatrix", SetImageMatrix<RasterData>>, GetRasterSize>;
}

const HostTagSuite& TagSuite() { return SuiteTable<HostTagSuite, SetTag, GetTag, CountTags, GetNthTag, RemoveTag>; }

}  // namespace orbalis::host
