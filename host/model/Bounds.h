// Bounds of the art kinds that hold data of their own (everything but
// groups and compound paths, whose bounds are their children's).
#pragma once

#include <vector>

#include "host/model/Art.h"

namespace orbalis::host {

class Document;

// The bounds of the Bézier curves of a path: curve extrema, not control points.
bool PathBounds(const std::vector<HostPathSegment>& segments, bool closed, HostRect* rect);

bool ArtDataBounds(const Document& document, const Art& art, HostRect* rect);

}  // namespace orbalis::host
