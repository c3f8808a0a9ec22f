// Bounds of the art kinds that hold data of their own (everything but
// groups and compound paths, whose bounds are their children's).
#pragma once

#include <vector>

#include "host/model/Art.h"

namespace orbalis::host {

class Document;

// The bounds of the Bézier curves of a path: curve extrema, not control points.
// `fromAnchors`, when given, is set to whether no segment is a curve, so that
// the bounds are those of the anchor points alone.
bool PathBounds(const std::vector<HostPathSegment>& segments, bool closed, HostRect* rect, bool* fromAnchors = nullptr);

// `fromAnchors` as for PathBounds for a path; false for every other kind.
bool ArtDataBounds(const Document& document, const Art& art, HostRect* rect, bool* fromAnchors = nullptr);

}  // namespace orbalis::host
