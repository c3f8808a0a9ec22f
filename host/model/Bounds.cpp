#include "host/model/Bounds.h"

#include <cmath>

#include "host/model/Document.h"
#include "host/model/Geometry.h"
#include "host/model/TextLayout.h"

namespace orbalis::host {
namespace {

// Includes the extrema of one cubic coordinate on (0, 1).
void CubicExtrema(double p0, double p1, double p2, double p3, double t[2], int* n) {
    // Derivative / 3: a t^2 + b t + c
    const double a = -p0 + 3 * p1 - 3 * p2 + p3;
    const double b = 2 * (p0 - 2 * p1 + p2);
    const double c = p1 - p0;
    *n = 0;
    constexpr double eps = 1e-12;
    if (std::fabs(a) < eps) {
        if (std::fabs(b) > eps) {
            const double r = -c / b;
            if (r > 0 && r < 1) t[(*n)++] = r;
        }
        return;
    }
    const double disc = b * b - 4 * a * c;
    if (disc < 0) return;
    const double s = std::sqrt(disc);
    for (double r : {(-b + s) / (2 * a), (-b - s) / (2 * a)})
        if (r > 0 && r < 1) t[(*n)++] = r;
}

double CubicAt(double p0, double p1, double p2, double p3, double t) {
    const double u = 1 - t;
    return u * u * u * p0 + 3 * u * u * t * p1 + 3 * u * t * t * p2 + t * t * t * p3;
}

// Whether the segment is a curve.
bool IncludeCurve(HostRect& r, const HostPathSegment& from, const HostPathSegment& to) {
    Include(r, to.p);
    const HostPoint p0 = from.p, p1 = from.out, p2 = to.in, p3 = to.p;
    if (p1.x == p0.x && p1.y == p0.y && p2.x == p3.x && p2.y == p3.y) return false;  // a line
    double t[2];
    int n;
    CubicExtrema(p0.x, p1.x, p2.x, p3.x, t, &n);
    for (int i = 0; i < n; ++i) Include(r, HostPoint{CubicAt(p0.x, p1.x, p2.x, p3.x, t[i]), p0.y});
    CubicExtrema(p0.y, p1.y, p2.y, p3.y, t, &n);
    for (int i = 0; i < n; ++i) Include(r, HostPoint{p0.x, CubicAt(p0.y, p1.y, p2.y, p3.y, t[i])});
    return true;
}

}  // namespace

bool PathBounds(const std::vector<HostPathSegment>& segments, bool closed, HostRect* rect, bool* fromAnchors) {
    bool curve = false;
    if (!segments.empty()) {
        HostRect r = PointRect(segments.front().p);
        for (size_t i = 1; i < segments.size(); ++i) curve |= IncludeCurve(r, segments[i - 1], segments[i]);
        if (closed && segments.size() > 1) curve |= IncludeCurve(r, segments.back(), segments.front());
        *rect = r;
    }
    if (fromAnchors) *fromAnchors = !curve;
    return !segments.empty();
}

bool ArtDataBounds(const Document& document, const Art& art, HostRect* rect, bool* fromAnchors) {
    if (fromAnchors) *fromAnchors = false;
    if (const PathData* path = art.path()) return PathBounds(path->segments, path->closed, rect, fromAnchors);
    struct Visitor {
        const Document& document;
        HostRect* rect;
        bool operator()(const std::monostate&) const { return false; }
        bool operator()(const PathData& p) const { return PathBounds(p.segments, p.closed, rect); }
        bool operator()(const PlacedData& p) const {
            *rect = TransformRect(p.matrix, {0, p.height, p.width, 0});
            return true;
        }
        bool operator()(const RasterData& r) const {
            *rect = TransformRect(r.matrix, {0, double(r.pixelHeight), double(r.pixelWidth), 0});
            return true;
        }
        bool operator()(const TextData& t) const { return TextBounds(t, rect); }
        bool operator()(const SymbolData& s) const {
            const SymbolDefinition* def = document.findSymbol(s.symbol);
            HostRect inner;
            if (!def || !document.bounds(def->art, &inner)) return false;
            *rect = TransformRect(s.matrix, inner);
            return true;
        }
        bool operator()(const ForeignData& f) const {
            if (!f.hasBounds) return false;
            *rect = TransformRect(f.matrix, f.bounds);
            return true;
        }
    };
    return std::visit(Visitor{document, rect}, art.data);
}

}  // namespace orbalis::host
