#include "host/io/gis/GisGeometry.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace orbalis::host::gis {
namespace {

// Radius of the point symbol's dot, in points.
constexpr double kPointRadius = 2;
// How far a flattened curve may stray from the curve, in points.
constexpr double kFlatness = 0.01;

HostPathSegment Corner(HostPoint p) { return {p, p, p, true}; }

PathData& NewPath(Document& document, Art* container, bool closed, bool filled, Art** made) {
    document.newArt(kHostPathArt, kHostPlaceInsideOnTop, container, made);
    PathData& path = *(*made)->path();
    path.closed = closed;
    HostPathStyle& style = path.style;
    style.strokePaint = 1;
    style.stroke.color.kind = kHostGrayColor;
    style.stroke.miterLimit = 4;
    style.stroke.join = 1;
    if (filled) {
        // A light grey with white borders, as maps are drawn before they are coloured.
        style.fillPaint = 1;
        style.fill.color.kind = kHostGrayColor;
        style.fill.color.c.gray.gray = 0.15;
        style.stroke.color.c.gray.gray = 0;
        style.stroke.width = 0.25;
    } else {
        style.stroke.color.c.gray.gray = 1;
        style.stroke.width = 0.5;
    }
    return path;
}

// The ring's points on the page; a closed ring's repeated last point left out.
void AppendCurve(const OGRSimpleCurve& curve, const Georeference& g, bool closed,
                 std::vector<HostPathSegment>& segments) {
    int n = curve.getNumPoints();
    if (closed && n > 1 && curve.getX(0) == curve.getX(n - 1) && curve.getY(0) == curve.getY(n - 1)) --n;
    segments.reserve(segments.size() + static_cast<size_t>(std::max(n, 0)));
    for (int i = 0; i < n; ++i) segments.push_back(Corner(g.toPage(curve.getX(i), curve.getY(i))));
}

Art* AddRings(Document& document, Art* container, const std::vector<const OGRSimpleCurve*>& rings,
              const Georeference& g) {
    Art* art = nullptr;
    if (rings.size() == 1) {
        AppendCurve(*rings[0], g, true, NewPath(document, container, true, true, &art).segments);
        return art;
    }
    // A container's first child is the geometry's first part: the parts are
    // made last to first, each on top.
    document.newArt(kHostCompoundPathArt, kHostPlaceInsideOnTop, container, &art);
    for (auto it = rings.rbegin(); it != rings.rend(); ++it) {
        Art* ring = nullptr;
        PathData& path = NewPath(document, art, true, true, &ring);
        path.style.evenOdd = 1;
        AppendCurve(**it, g, true, path.segments);
        document.touch(ring);
    }
    return art;
}

void CollectRings(const OGRPolygon& polygon, std::vector<const OGRSimpleCurve*>& rings) {
    for (const OGRLinearRing* ring : polygon)
        if (ring && !ring->IsEmpty()) rings.push_back(ring);
}

Art* AddPoint(Document& document, Art* container, const OGRPoint& point, const Georeference& g) {
    Art* art = nullptr;
    document.newArt(kHostSymbolArt, kHostPlaceInsideOnTop, container, &art);
    auto& symbol = std::get<SymbolData>(art->data);
    symbol.symbol = kPointSymbol;
    const HostPoint p = g.toPage(point.getX(), point.getY());
    symbol.matrix = {1, 0, 0, 1, p.x, p.y};
    return art;
}

// ---------------------------------------------------------------- back

double Distance(HostPoint a, HostPoint b) { return std::hypot(a.x - b.x, a.y - b.y); }

bool Straight(const HostPathSegment& from, const HostPathSegment& to) {
    return from.out.x == from.p.x && from.out.y == from.p.y && to.in.x == to.p.x && to.in.y == to.p.y;
}

// The anchors of a path with its curves flattened, on the page.
std::vector<HostPoint> Flatten(const PathData& path) {
    std::vector<HostPoint> points;
    const auto& s = path.segments;
    const size_t n = s.size();
    points.reserve(n);
    const size_t spans = path.closed ? n : (n ? n - 1 : 0);
    if (n) points.push_back(s[0].p);
    for (size_t i = 0; i < spans; ++i) {
        const HostPathSegment& a = s[i];
        const HostPathSegment& b = s[(i + 1) % n];
        if (!Straight(a, b)) {
            const HostPoint p0 = a.p, p1 = a.out, p2 = b.in, p3 = b.p;
            const double bend = std::max(Distance({p0.x - 2 * p1.x + p2.x, p0.y - 2 * p1.y + p2.y}, {0, 0}),
                                         Distance({p1.x - 2 * p2.x + p3.x, p1.y - 2 * p2.y + p3.y}, {0, 0}));
            const int steps = std::clamp(static_cast<int>(std::ceil(std::sqrt(0.75 * bend / kFlatness))), 1, 256);
            for (int k = 1; k < steps; ++k) {
                const double t = double(k) / steps, u = 1 - t;
                points.push_back({u * u * u * p0.x + 3 * u * u * t * p1.x + 3 * u * t * t * p2.x + t * t * t * p3.x,
                                  u * u * u * p0.y + 3 * u * u * t * p1.y + 3 * u * t * t * p2.y + t * t * t * p3.y});
            }
        }
        if (i + 1 < n) points.push_back(b.p);
    }
    return points;
}

void SetPoints(OGRSimpleCurve& curve, const std::vector<HostPoint>& points, const Georeference& g, bool close) {
    const int n = static_cast<int>(points.size());
    curve.setNumPoints(n + (close ? 1 : 0), FALSE);
    for (int i = 0; i < n; ++i) {
        double x = 0, y = 0;
        g.toMap(points[static_cast<size_t>(i)], &x, &y);
        curve.setPoint(i, x, y);
    }
    if (close) curve.setPoint(n, curve.getX(0), curve.getY(0));
}

std::unique_ptr<OGRLinearRing> Ring(const PathData& path, const Georeference& g) {
    auto ring = std::make_unique<OGRLinearRing>();
    SetPoints(*ring, Flatten(path), g, true);
    return ring;
}

std::unique_ptr<OGRLineString> Line(const PathData& path, const Georeference& g) {
    auto line = std::make_unique<OGRLineString>();
    std::vector<HostPoint> points = Flatten(path);
    SetPoints(*line, points, g, path.closed && points.size() > 1);
    return line;
}

struct RingInfo {
    std::unique_ptr<OGRLinearRing> ring;
    OGREnvelope box;
    double area = 0;
    int depth = 0;
};

// Whether ring `inner` lies inside ring `outer`: the first of its points not
// on `outer`'s boundary decides.
bool Inside(const RingInfo& inner, const RingInfo& outer) {
    if (!outer.box.Contains(inner.box)) return false;
    OGRPoint p;
    for (int i = 0; i < inner.ring->getNumPoints(); ++i) {
        inner.ring->getPoint(i, &p);
        if (outer.ring->isPointOnRingBoundary(&p, FALSE)) continue;
        return outer.ring->isPointInRing(&p, FALSE);
    }
    return false;
}

// Rings filled even-odd as polygons: a ring inside an even number of others
// is an outer ring, one inside an odd number a hole of the smallest ring
// around it.
std::unique_ptr<OGRGeometry> PolygonsOf(std::vector<RingInfo> rings) {
    for (RingInfo& r : rings) {
        r.ring->getEnvelope(&r.box);
        r.area = r.ring->get_Area();
    }
    const size_t n = rings.size();
    std::vector<size_t> parent(n, n);
    for (size_t i = 0; i < n; ++i)
        for (size_t j = 0; j < n; ++j)
            if (i != j && Inside(rings[i], rings[j])) {
                ++rings[i].depth;
                if (parent[i] == n || rings[j].area < rings[parent[i]].area) parent[i] = j;
            }
    std::vector<std::unique_ptr<OGRPolygon>> polygons(n);
    for (size_t i = 0; i < n; ++i)
        if (rings[i].depth % 2 == 0) {
            polygons[i] = std::make_unique<OGRPolygon>();
            polygons[i]->addRingDirectly(rings[i].ring.release());
        }
    for (size_t i = 0; i < n; ++i)
        if (rings[i].depth % 2 == 1 && parent[i] < n && polygons[parent[i]])
            polygons[parent[i]]->addRingDirectly(rings[i].ring.release());
    auto multi = std::make_unique<OGRMultiPolygon>();
    for (auto& polygon : polygons)
        if (polygon) multi->addGeometryDirectly(polygon.release());
    if (multi->getNumGeometries() == 1) return std::unique_ptr<OGRGeometry>(multi->getGeometryRef(0)->clone());
    return multi;
}

bool IsPolygonal(const OGRGeometry& g) {
    const auto t = wkbFlatten(g.getGeometryType());
    return t == wkbPolygon || t == wkbMultiPolygon;
}
bool IsLinear(const OGRGeometry& g) {
    const auto t = wkbFlatten(g.getGeometryType());
    return t == wkbLineString || t == wkbMultiLineString;
}
bool IsPuntal(const OGRGeometry& g) {
    const auto t = wkbFlatten(g.getGeometryType());
    return t == wkbPoint || t == wkbMultiPoint;
}

// The parts of a group as one geometry: a multi-geometry when they are all
// of one kind, a collection otherwise.
std::unique_ptr<OGRGeometry> Combine(std::vector<std::unique_ptr<OGRGeometry>> parts) {
    const auto all = [&](bool (*kind)(const OGRGeometry&)) {
        return std::all_of(parts.begin(), parts.end(), [&](const auto& p) { return kind(*p); });
    };
    std::unique_ptr<OGRGeometryCollection> out;
    if (all(IsPolygonal))
        out = std::make_unique<OGRMultiPolygon>();
    else if (all(IsLinear))
        out = std::make_unique<OGRMultiLineString>();
    else if (all(IsPuntal))
        out = std::make_unique<OGRMultiPoint>();
    else
        out = std::make_unique<OGRGeometryCollection>();
    const bool flattenParts = wkbFlatten(out->getGeometryType()) != wkbGeometryCollection;
    for (auto& part : parts) {
        auto* collection = dynamic_cast<OGRGeometryCollection*>(part.get());
        if (flattenParts && collection) {
            for (const OGRGeometry* inner : *collection) out->addGeometry(inner);
        } else {
            out->addGeometryDirectly(part.release());
        }
    }
    return out;
}

}  // namespace

void DefinePointSymbol(Document& document) {
    if (document.findSymbol(kPointSymbol)) return;
    Art* group = document.newSymbolDefinition(kPointSymbol);
    Art* dot = nullptr;
    PathData& path = NewPath(document, group, true, true, &dot);
    path.style.fill.color.c.gray.gray = 1;
    path.style.strokePaint = 0;
    // A circle of four quarter arcs.
    const double r = kPointRadius, k = r * 0.5522847498;
    path.segments = {{{r, 0}, {r, -k}, {r, k}, false},
                     {{0, r}, {k, r}, {-k, r}, false},
                     {{-r, 0}, {-r, k}, {-r, -k}, false},
                     {{0, -r}, {-k, -r}, {k, -r}, false}};
    document.touch(dot);
}

Family FamilyOf(int ogrGeometryType) {
    switch (wkbFlatten(static_cast<OGRwkbGeometryType>(ogrGeometryType))) {
    case wkbPolygon:
    case wkbMultiPolygon:
    case wkbCurvePolygon:
    case wkbMultiSurface:
    case wkbPolyhedralSurface:
    case wkbTIN:
    case wkbTriangle: return Family::Polygon;
    case wkbLineString:
    case wkbMultiLineString:
    case wkbCircularString:
    case wkbCompoundCurve:
    case wkbMultiCurve: return Family::Line;
    case wkbPoint:
    case wkbMultiPoint: return Family::Point;
    default: return Family::Mixed;
    }
}

Art* AddGeometryArt(Document& document, Art* container, const OGRGeometry* geometry, const Georeference& g) {
    Art* art = nullptr;
    if (!geometry || geometry->IsEmpty()) {
        document.newArt(kHostGroupArt, kHostPlaceInsideOnTop, container, &art);
        return art;
    }
    if (geometry->hasCurveGeometry()) {
        std::unique_ptr<OGRGeometry> linear(geometry->getLinearGeometry());
        return AddGeometryArt(document, container, linear.get(), g);
    }
    switch (wkbFlatten(geometry->getGeometryType())) {
    case wkbPoint: art = AddPoint(document, container, *geometry->toPoint(), g); break;
    case wkbLineString:
    case wkbLinearRing:
        AppendCurve(*geometry->toSimpleCurve(), g, false, NewPath(document, container, false, false, &art).segments);
        break;
    case wkbPolygon: {
        std::vector<const OGRSimpleCurve*> rings;
        CollectRings(*geometry->toPolygon(), rings);
        art = AddRings(document, container, rings, g);
        break;
    }
    case wkbMultiPolygon: {
        std::vector<const OGRSimpleCurve*> rings;
        for (const OGRPolygon* polygon : *geometry->toMultiPolygon()) CollectRings(*polygon, rings);
        art = AddRings(document, container, rings, g);
        break;
    }
    case wkbMultiLineString: {
        document.newArt(kHostCompoundPathArt, kHostPlaceInsideOnTop, container, &art);
        const OGRMultiLineString& lines = *geometry->toMultiLineString();
        for (int i = lines.getNumGeometries() - 1; i >= 0; --i) {
            Art* line = nullptr;
            AppendCurve(*lines.getGeometryRef(i), g, false, NewPath(document, art, false, false, &line).segments);
            document.touch(line);
        }
        break;
    }
    case wkbTriangle:
    case wkbTIN:
    case wkbPolyhedralSurface: {
        std::unique_ptr<OGRGeometry> polygons(OGRGeometryFactory::forceToMultiPolygon(geometry->clone()));
        return AddGeometryArt(document, container, polygons.get(), g);
    }
    default: {
        // Multipoints and collections: a group of their parts, in order.
        document.newArt(kHostGroupArt, kHostPlaceInsideOnTop, container, &art);
        if (const auto* collection = dynamic_cast<const OGRGeometryCollection*>(geometry))
            for (int i = collection->getNumGeometries() - 1; i >= 0; --i)
                AddGeometryArt(document, art, collection->getGeometryRef(i), g);
        break;
    }
    }
    document.touch(art);
    return art;
}

std::unique_ptr<OGRGeometry> ArtGeometry(const Art& art, Family family, const Georeference& g, std::string* why) {
    why->clear();
    switch (art.type()) {
    case kHostPathArt: {
        const PathData& path = *art.path();
        if (path.segments.empty()) return nullptr;
        const bool area = family == Family::Polygon || (family != Family::Line && path.closed);
        if (area && path.segments.size() >= 3) {
            auto polygon = std::make_unique<OGRPolygon>();
            polygon->addRingDirectly(Ring(path, g).release());
            return polygon;
        }
        if (family == Family::Point || path.segments.size() == 1) {
            double x = 0, y = 0;
            g.toMap(path.segments[0].p, &x, &y);
            return std::make_unique<OGRPoint>(x, y);
        }
        return Line(path, g);
    }
    case kHostCompoundPathArt: {
        std::vector<const PathData*> paths;
        for (const Art* child = art.firstChild(); child; child = child->next())
            if (const PathData* p = child->path(); p && !p->segments.empty()) paths.push_back(p);
        if (paths.empty()) return nullptr;
        const bool area = family == Family::Polygon ||
                          (family != Family::Line &&
                           std::all_of(paths.begin(), paths.end(), [](const PathData* p) { return p->closed; }));
        if (area) {
            std::vector<RingInfo> rings;
            for (const PathData* p : paths)
                if (p->segments.size() >= 3) rings.push_back({Ring(*p, g), {}, 0, 0});
            if (!rings.empty()) return PolygonsOf(std::move(rings));
        }
        auto lines = std::make_unique<OGRMultiLineString>();
        for (const PathData* p : paths) lines->addGeometryDirectly(Line(*p, g).release());
        return lines;
    }
    case kHostSymbolArt:
    case kHostPlacedArt: {
        const HostMatrix m = art.type() == kHostSymbolArt ? std::get<SymbolData>(art.data).matrix
                                                          : std::get<PlacedData>(art.data).matrix;
        double x = 0, y = 0;
        g.toMap({m.tx, m.ty}, &x, &y);
        return std::make_unique<OGRPoint>(x, y);
    }
    case kHostGroupArt: {
        std::vector<std::unique_ptr<OGRGeometry>> parts;
        for (const Art* child = art.firstChild(); child; child = child->next()) {
            if (child->ownerLayer()) continue;
            std::string inner;
            auto part = ArtGeometry(*child, family, g, &inner);
            if (part)
                parts.push_back(std::move(part));
            else if (!inner.empty()) {
                *why = inner;
                return nullptr;
            }
        }
        if (parts.empty()) return nullptr;
        return Combine(std::move(parts));
    }
    case kHostTextFrameArt: *why = "a text has no GIS geometry"; return nullptr;
    default: *why = "an object of type " + std::to_string(art.type()) + " has no GIS geometry"; return nullptr;
    }
}

}  // namespace orbalis::host::gis
