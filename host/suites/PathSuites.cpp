// Path geometry and path style.
#include <cmath>

#include "host/suites/OperationGate.h"
#include "host/suites/SuiteTables.h"

namespace orbalis::host {
namespace {

using PathArt = ArtOf<PathData>;

HostErr GetPathSegmentCount(PathArt path, int32_t& count) {
    count = static_cast<int32_t>(path->segments.size());
    return 0;
}

HostErr SetPathSegmentCount(PathArt path, int32_t count) {
    if (count < 0) return kHostBadParameterErr;
    const HostPathSegment fill = path->segments.empty() ? HostPathSegment{} : path->segments.back();
    path->segments.resize(static_cast<size_t>(count), fill);
    path.touch();
    return 0;
}

bool InRange(const PathData& path, int32_t index, int32_t count) {
    return index >= 0 && count >= 0 && static_cast<size_t>(index) + static_cast<size_t>(count) <= path.segments.size();
}

HostErr GetPathSegments(PathArt path, int32_t index, int32_t count, HostPathSegment* segments) {
    if (!segments && count) return kHostBadParameterErr;
    if (!InRange(*path.data, index, count)) return kHostIndexErr;
    std::copy_n(path->segments.begin() + index, count, segments);
    return 0;
}

bool Finite(const HostPoint& p) { return std::isfinite(p.x) && std::isfinite(p.y); }

HostErr SetPathSegments(PathArt path, int32_t index, int32_t count, const HostPathSegment* segments) {
    if (!segments && count) return kHostBadParameterErr;
    if (!InRange(*path.data, index, count)) return kHostIndexErr;
    // A document holds only finite coordinates; it could not be saved otherwise.
    for (int32_t i = 0; i < count; ++i)
        if (!Finite(segments[i].p) || !Finite(segments[i].in) || !Finite(segments[i].out)) return kHostBadParameterErr;
    std::copy_n(segments, count, path->segments.begin() + index);
    path.touch();
    return 0;
}

template <bool PathData::*flag>
HostErr GetPathFlag(PathArt path, HostBool& value) {
    value = path.data->*flag;
    return 0;
}

template <bool PathData::*flag>
HostErr SetPathFlag(PathArt path, HostBool value) {
    path.data->*flag = value != 0;
    path.touch();
    return 0;
}

// A compound path's style is that of its first member path.
const PathData* StyleSource(const Art& art) {
    if (const PathData* path = art.path()) return path;
    if (art.type() == kHostCompoundPathArt)
        for (const Art* member = art.firstChild(); member; member = member->next())
            if (const PathData* path = member->path()) return path;
    return nullptr;
}

HostErr GetPathStyle(Art& art, HostPathStyle* style, HostBool* advancedFill) {
    if (!style) return kHostBadParameterErr;
    if (art.type() != kHostPathArt && art.type() != kHostCompoundPathArt) return kHostWrongArtTypeErr;
    const PathData* source = StyleSource(art);
    if (!source) return kHostWrongArtTypeErr;  // a compound path without members
    *style = source->style;
    if (advancedFill) *advancedFill = 0;
    return 0;
}

HostErr SetPathStyle(Art& art, const HostPathStyle& style) {
    if (PathData* path = art.path()) {
        path->style = style;
    } else if (art.type() == kHostCompoundPathArt) {
        for (Art* member = art.firstChild(); member; member = member->next())
            if (PathData* path = member->path()) path->style = style;
    } else {
        return kHostWrongArtTypeErr;
    }
    art.document()->touch(&art);
    return 0;
}

}  // namespace

const HostPathSuite& PathSuite() {
    return SuiteTable<
        HostPathSuite, GetPathSegmentCount, SetPathSegmentCount, GetPathSegments, SetPathSegments,
        Named<"GetPathClosed", GetPathFlag<&PathData::closed>>, Named<"SetPathClosed", SetPathFlag<&PathData::closed>>,
        Named<"GetPathIsGuide", GetPathFlag<&PathData::guide>>, Named<"SetPathIsGuide", SetPathFlag<&PathData::guide>>>;
}

const HostPathStyleSuite& PathStyleSuite() { return SuiteTable<HostPathStyleSuite, GetPathStyle, SetPathStyle>; }

}  // namespace orbalis::host
