// Path geometry and path style.
#include <cmath>

#include "host/suites/SuiteSupport.h"
#include "host/suites/SuiteTables.h"

namespace orbalis::host {
namespace {

// Binds `data` to the path data of a path object, or returns the code.
#define HOST_PATH(data, handle)                       \
    HOST_ART(data##Art, handle);                      \
    PathData* data = data##Art->path();               \
    if (!data) return kHostWrongArtTypeErr

HostErr GetPathSegmentCount(HostArt handle, int32_t* count) {
    HOST_OPERATION("GetPathSegmentCount");
    HOST_PATH(path, handle);
    if (!count) return kHostBadParameterErr;
    *count = static_cast<int32_t>(path->segments.size());
    return 0;
}

HostErr SetPathSegmentCount(HostArt handle, int32_t count) {
    HOST_OPERATION("SetPathSegmentCount");
    HOST_PATH(path, handle);
    if (count < 0) return kHostBadParameterErr;
    const HostPathSegment fill = path->segments.empty() ? HostPathSegment{} : path->segments.back();
    path->segments.resize(static_cast<size_t>(count), fill);
    pathArt->document()->touch(pathArt);
    return 0;
}

bool InRange(const PathData& path, int32_t index, int32_t count) {
    return index >= 0 && count >= 0 &&
           static_cast<size_t>(index) + static_cast<size_t>(count) <= path.segments.size();
}

HostErr GetPathSegments(HostArt handle, int32_t index, int32_t count, HostPathSegment* segments) {
    HOST_OPERATION("GetPathSegments");
    HOST_PATH(path, handle);
    if (!segments && count) return kHostBadParameterErr;
    if (!InRange(*path, index, count)) return kHostIndexErr;
    std::copy_n(path->segments.begin() + index, count, segments);
    return 0;
}

bool Finite(const HostPoint& p) { return std::isfinite(p.x) && std::isfinite(p.y); }

HostErr SetPathSegments(HostArt handle, int32_t index, int32_t count,
                        const HostPathSegment* segments) {
    HOST_OPERATION("SetPathSegments");
    HOST_PATH(path, handle);
    if (!segments && count) return kHostBadParameterErr;
    if (!InRange(*path, index, count)) return kHostIndexErr;
    // A document holds only finite coordinates; it could not be saved otherwise.
    for (int32_t i = 0; i < count; ++i)
        if (!Finite(segments[i].p) || !Finite(segments[i].in) || !Finite(segments[i].out))
            return kHostBadParameterErr;
    std::copy_n(segments, count, path->segments.begin() + index);
    pathArt->document()->touch(pathArt);
    return 0;
}

HostErr GetPathClosed(HostArt handle, HostBool* closed) {
    HOST_OPERATION("GetPathClosed");
    HOST_PATH(path, handle);
    if (!closed) return kHostBadParameterErr;
    *closed = path->closed;
    return 0;
}

HostErr SetPathClosed(HostArt handle, HostBool closed) {
    HOST_OPERATION("SetPathClosed");
    HOST_PATH(path, handle);
    path->closed = closed != 0;
    pathArt->document()->touch(pathArt);
    return 0;
}

HostErr GetPathIsGuide(HostArt handle, HostBool* guide) {
    HOST_OPERATION("GetPathIsGuide");
    HOST_PATH(path, handle);
    if (!guide) return kHostBadParameterErr;
    *guide = path->guide;
    return 0;
}

HostErr SetPathIsGuide(HostArt handle, HostBool guide) {
    HOST_OPERATION("SetPathIsGuide");
    HOST_PATH(path, handle);
    path->guide = guide != 0;
    pathArt->document()->touch(pathArt);
    return 0;
}

// A compound path's style is that of its first member path.
const PathData* StyleSource(const Art* art) {
    if (const PathData* path = art->path()) return path;
    if (art->type() == kHostCompoundPathArt)
        for (const Art* member = art->firstChild(); member; member = member->next())
            if (const PathData* path = member->path()) return path;
    return nullptr;
}

HostErr GetPathStyle(HostArt handle, HostPathStyle* style, HostBool* advancedFill) {
    HOST_OPERATION("GetPathStyle");
    HOST_ART(art, handle);
    if (!style) return kHostBadParameterErr;
    if (art->type() != kHostPathArt && art->type() != kHostCompoundPathArt)
        return kHostWrongArtTypeErr;
    const PathData* source = StyleSource(art);
    if (!source) return kHostWrongArtTypeErr;  // a compound path without members
    *style = source->style;
    if (advancedFill) *advancedFill = 0;
    return 0;
}

HostErr SetPathStyle(HostArt handle, const HostPathStyle* style) {
    HOST_OPERATION("SetPathStyle");
    HOST_ART(art, handle);
    if (!style) return kHostBadParameterErr;
    if (PathData* path = art->path()) {
        path->style = *style;
    } else if (art->type() == kHostCompoundPathArt) {
        for (Art* member = art->firstChild(); member; member = member->next())
            if (PathData* path = member->path()) path->style = *style;
    } else {
        return kHostWrongArtTypeErr;
    }
    art->document()->touch(art);
    return 0;
}

}  // namespace

const HostPathSuite& PathSuite() {
    static const HostPathSuite suite{GetPathSegmentCount, SetPathSegmentCount, GetPathSegments,
                                     SetPathSegments,     GetPathClosed,       SetPathClosed,
                                     GetPathIsGuide,      SetPathIsGuide};
    return suite;
}

const HostPathStyleSuite& PathStyleSuite() {
    static const HostPathStyleSuite suite{GetPathStyle, SetPathStyle};
    return suite;
}

}  // namespace orbalis::host
