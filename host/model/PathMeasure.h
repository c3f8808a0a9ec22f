// Distances along a path: its length, and the point and direction at a
// given distance from its start, over its Bézier segments flattened finely.
#pragma once

#include <vector>

#include "host/model/Art.h"

namespace orbalis::host {

class PathMeasure {
public:
    PathMeasure(const std::vector<HostPathSegment>& segments, bool closed);

    double length() const { return distances_.empty() ? 0 : distances_.back(); }
    // False for a path without length (no segment, or all in one point).
    bool measurable() const { return length() > 0; }

    // The point `distance` from the start and the unit direction of travel
    // there. Before the start and past the end the path goes straight on
    // in the direction it has there.
    void at(double distance, HostPoint* point, HostPoint* direction) const;

private:
    std::vector<HostPoint> points_;
    std::vector<double> distances_;  // from the start to each point
};

}  // namespace orbalis::host
