// Curve flattening: the outline of a path as a polyline of straight pieces.
#pragma once

#include <vector>

#include "sdk/suites/ArtSuites.h"

namespace orbalis::host {

// Largest distance, in points, between a curve and the chords replacing it.
inline constexpr double kFlattenTolerance = 0.01;

// Appends the points of the cubic Bézier p0 p1 p2 p3 that follow p0, ending
// with p3 itself. A straight segment (handles on their anchors) adds p3 only.
// The same curve traversed backwards (p3 p2 p1 p0) gives exactly the same
// points in reverse order, so an edge shared by two neighbouring shapes,
// each walking it in its own direction, is flattened identically for both.
void FlattenCubic(HostPoint p0, HostPoint p1, HostPoint p2, HostPoint p3, double tolerance,
                  std::vector<HostPoint>& out);

// The outline of a path as points, starting at the first anchor and without
// repeating it at the end. A closed path's closing segment is flattened like
// any other; an open path is closed by a straight line from its last anchor
// to its first, which the caller draws implicitly (no point is added).
std::vector<HostPoint> FlattenPath(const std::vector<HostPathSegment>& segments, bool closed,
                                   double tolerance = kFlattenTolerance);

}  // namespace orbalis::host
