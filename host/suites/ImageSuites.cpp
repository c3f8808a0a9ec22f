// Placed and raster art, art tags, and the Document suite's refresh calls.
#include <algorithm>
#include <cmath>

#include "host/model/Document.h"
#include "host/model/Geometry.h"
#include "host/suites/SuiteSupport.h"
#include "host/suites/SuiteTables.h"

namespace orbalis::host {
namespace {

#define HOST_DATA(name, Type, handle)                     \
    HOST_ART(name##Art, handle);                          \
    Type* name = std::get_if<Type>(&name##Art->data);     \
    if (!name) return kHostWrongArtTypeErr

HostErr GetPlacedMatrix(HostArt handle, HostMatrix* matrix) {
    HOST_OPERATION("GetPlacedMatrix");
    HOST_DATA(placed, PlacedData, handle);
    if (!matrix) return kHostBadParameterErr;
    *matrix = placed->matrix;
    return 0;
}

HostErr SetPlacedMatrix(HostArt handle, const HostMatrix* matrix) {
    HOST_OPERATION("SetPlacedMatrix");
    HOST_DATA(placed, PlacedData, handle);
    if (!matrix || !IsFinite(*matrix)) return kHostBadParameterErr;
    placed->matrix = *matrix;
    placedArt->document()->touch(placedArt);
    return 0;
}

HostErr GetPlacedBoundingBox(HostArt handle, HostRect* box) {
    HOST_OPERATION("GetPlacedBoundingBox");
    HOST_DATA(placed, PlacedData, handle);
    if (!box) return kHostBadParameterErr;
    *box = {0, 0, placed->width, placed->height};
    return 0;
}

HostErr GetRasterMatrix(HostArt handle, HostMatrix* matrix) {
    HOST_OPERATION("GetRasterMatrix");
    HOST_DATA(raster, RasterData, handle);
    if (!matrix) return kHostBadParameterErr;
    *matrix = raster->matrix;
    return 0;
}

HostErr SetRasterMatrix(HostArt handle, const HostMatrix* matrix) {
    HOST_OPERATION("SetRasterMatrix");
    HOST_DATA(raster, RasterData, handle);
    if (!matrix || !IsFinite(*matrix)) return kHostBadParameterErr;
    raster->matrix = *matrix;
    rasterArt->document()->touch(rasterArt);
    return 0;
}

HostErr GetRasterSize(HostArt handle, int32_t* width, int32_t* height) {
    HOST_OPERATION("GetRasterSize");
    HOST_DATA(raster, RasterData, handle);
    if (!width || !height) return kHostBadParameterErr;
    *width = raster->pixelWidth;
    *height = raster->pixelHeight;
    return 0;
}

// ---------------------------------------------------------------- tags

NameValues::iterator FindTag(Art& art, const char* name) {
    return std::find_if(art.tags.begin(), art.tags.end(), [&](const auto& tag) { return tag.first == name; });
}

HostErr SetTag(HostArt handle, const char* name, const char* value) {
    HOST_OPERATION("SetTag");
    HOST_ART(art, handle);
    if (!name || !*name || !value) return kHostBadParameterErr;
    auto it = FindTag(*art, name);
    if (it != art->tags.end())
        it->second = value;
    else
        art->tags.emplace_back(name, value);
    art->document()->touch(art);
    return 0;
}

HostErr GetTag(HostArt handle, const char* name, const char** value) {
    HOST_OPERATION("GetTag");
    HOST_ART(art, handle);
    if (!name || !value) return kHostBadParameterErr;
    auto it = FindTag(*art, name);
    if (it == art->tags.end()) return kHostNotFoundErr;
    *value = it->second.c_str();
    return 0;
}

HostErr CountTags(HostArt handle, int32_t* count) {
    HOST_OPERATION("CountTags");
    HOST_ART(art, handle);
    if (!count) return kHostBadParameterErr;
    *count = static_cast<int32_t>(art->tags.size());
    return 0;
}

HostErr GetNthTag(HostArt handle, int32_t index, const char** name) {
    HOST_OPERATION("GetNthTag");
    HOST_ART(art, handle);
    if (!name) return kHostBadParameterErr;
    if (index < 0 || static_cast<size_t>(index) >= art->tags.size()) return kHostIndexErr;
    *name = art->tags[static_cast<size_t>(index)].first.c_str();
    return 0;
}

HostErr RemoveTag(HostArt handle, const char* name) {
    HOST_OPERATION("RemoveTag");
    HOST_ART(art, handle);
    if (!name) return kHostBadParameterErr;
    auto it = FindTag(*art, name);
    if (it == art->tags.end()) return kHostNotFoundErr;
    art->tags.erase(it);
    art->document()->touch(art);
    return 0;
}

// ---------------------------------------------------------------- document


}  // namespace

const HostPlacedSuite& PlacedSuite() {
    static const HostPlacedSuite suite{GetPlacedMatrix, SetPlacedMatrix, GetPlacedBoundingBox};
    return suite;
}

const HostRasterSuite& RasterSuite() {
    static const HostRasterSuite suite{GetRasterMatrix, SetRasterMatrix, GetRasterSize};
    return suite;
}

const HostTagSuite& TagSuite() {
    static const HostTagSuite suite{SetTag, GetTag, CountTags, GetNthTag, RemoveTag};
    return suite;
}


}  // namespace orbalis::host
