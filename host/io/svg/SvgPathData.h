// Path data: the `d` grammar of SVG read into the host's anchor-and-handle
// segments, the basic shapes built from the same pieces, and path data
// written back.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "sdk/suites/ArtSuites.h"

namespace orbalis::host::svg {

struct Subpath {
    std::vector<HostPathSegment> segments;
    bool closed = false;
};

// Builds subpaths from moves, lines and cubic curves. A straight segment
// leaves handles on its anchors; closing a subpath whose last anchor is
// back on the first (within floating-point rounding) merges the two.
class PathBuilder {
public:
    // Every segment counts against `budget` (shared by a whole document);
    // Failed() tells when it ran out.
    explicit PathBuilder(size_t* budget) : budget_(budget) {}

    void moveTo(HostPoint p);
    void lineTo(HostPoint p);
    void cubicTo(HostPoint c1, HostPoint c2, HostPoint p);
    void quadTo(HostPoint c, HostPoint p);
    // An elliptical arc as in SVG (radii, x-axis rotation in degrees, flags),
    // approximated by cubic curves of at most a quarter turn each.
    void arcTo(double rx, double ry, double rotation, bool largeArc, bool sweep, HostPoint p);
    void close();

    HostPoint current() const { return current_; }
    bool overBudget() const { return overBudget_; }
    std::vector<Subpath> take() { return std::move(subpaths_); }

private:
    void push(const HostPathSegment& segment);
    void ensureSubpath();

    std::vector<Subpath> subpaths_;
    HostPoint current_{0, 0};
    HostPoint start_{0, 0};
    bool open_ = false;  // a subpath is being drawn
    size_t* budget_;
    bool overBudget_ = false;
};

struct PathDataError {
    size_t offset = 0;
    std::string message;
    bool overBudget = false;  // "too many path segments": nothing may be used
};

// Parses SVG path data. Returns false with the offset and reason of the
// first fault, and in `out` the subpaths drawn before it; "too many path
// segments" when `budget` runs out.
bool ParsePathData(std::string_view d, size_t* budget, std::vector<Subpath>* out, PathDataError* error);

// Sets each anchor's corner flag: true where the curve's direction breaks,
// and at the ends of an open path.
void MarkCorners(std::vector<HostPathSegment>& segments, bool closed);

// Appends a subpath's path data ("M ... Z") in the given coordinates.
void AppendPathData(std::string& out, const std::vector<HostPathSegment>& segments, bool closed);

}  // namespace orbalis::host::svg
