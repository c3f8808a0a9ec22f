// Writes a Voronoi map of N cells, as an SVG for Orbalis and as GeoJSON for
// mapshaper, with the same cells and ids in both:
//
//   MakeVoronoiMap CELLS SEED OUT.svg OUT.geojson
//
// The sites are spread uniformly over a square sized so that a cell is about
// 20 px across whatever N is; the diagram (GEOS) is clipped to the square.
// Coordinates are SVG pixels (y down) rounded to 0.01, written identically to
// both files, so neighbours share their edges exactly in both. The same
// arguments always give the same bytes.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include <geos/geom/Coordinate.h>
#include <geos/geom/CoordinateSequence.h>
#include <geos/geom/Envelope.h>
#include <geos/geom/Geometry.h>
#include <geos/geom/GeometryFactory.h>
#include <geos/geom/LinearRing.h>
#include <geos/geom/MultiPoint.h>
#include <geos/geom/Polygon.h>
#include <geos/triangulate/VoronoiDiagramBuilder.h>

namespace {

// splitmix64: the same sequence on every machine and compiler.
struct Random {
    uint64_t state;
    double next() {
        uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        z ^= z >> 31;
        return double(z >> 11) / double(uint64_t{1} << 53);
    }
};

std::string Number(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", std::round(v * 100) / 100);
    std::string s = text;
    if (s == "-0.00") s = "0.00";
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
    return s;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::cerr << "usage: MakeVoronoiMap CELLS SEED OUT.svg OUT.geojson\n";
        return 2;
    }
    const long cells = std::strtol(argv[1], nullptr, 10);
    const uint64_t seed = std::strtoull(argv[2], nullptr, 10);
    if (cells < 2 || cells > 10'000'000) {
        std::cerr << "MakeVoronoiMap: CELLS must be between 2 and 10000000\n";
        return 2;
    }
    const double side = std::round(20 * std::sqrt(double(cells)));

    Random random{seed};
    auto factory = geos::geom::GeometryFactory::create();
    std::vector<geos::geom::Coordinate> sites;
    for (long i = 0; i < cells; ++i) {
        const double x = random.next() * side;
        sites.emplace_back(x, random.next() * side);
    }
    std::unique_ptr<geos::geom::MultiPoint> points(factory->createMultiPoint(sites));

    geos::triangulate::VoronoiDiagramBuilder builder;
    builder.setSites(*points);
    const geos::geom::Envelope frame(0, side, 0, side);
    builder.setClipEnvelope(&frame);
    auto diagram = builder.getDiagram(*factory);
    auto square = factory->toGeometry(&frame);

    std::ofstream svg(argv[3], std::ios::binary), json(argv[4], std::ios::binary);
    if (!svg || !json) {
        std::cerr << "MakeVoronoiMap: cannot write " << (!svg ? argv[3] : argv[4]) << "\n";
        return 1;
    }
    const std::string size = Number(side);
    svg << "<?xml version=\"1.0\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << size << "\" height=\""
        << size << "\" viewBox=\"0 0 " << size << ' ' << size << "\">\n<g id=\"cells\">\n";
    json << "{\"type\":\"FeatureCollection\",\"features\":[\n";

    size_t written = 0;
    for (size_t i = 0; i < diagram->getNumGeometries(); ++i) {
        auto cell = diagram->getGeometryN(i)->intersection(square.get());
        const auto* polygon = dynamic_cast<const geos::geom::Polygon*>(cell.get());
        if (!polygon || polygon->isEmpty()) continue;
        auto ring = polygon->getExteriorRing()->getCoordinates();
        std::string id = "c" + std::to_string(written);
        svg << "<path id=\"" << id << "\" fill=\"#dcdcdc\" stroke=\"#ffffff\" stroke-width=\"0.5\" d=\"M";
        json << (written ? ",\n" : "") << "{\"type\":\"Feature\",\"properties\":{\"FID\":\"" << id
             << "\"},\"geometry\":{\"type\":\"Polygon\",\"coordinates\":[[";
        for (size_t k = 0; k < ring->size(); ++k) {
            const std::string x = Number(ring->getAt(k).x), y = Number(ring->getAt(k).y);
            if (k + 1 < ring->size()) svg << ' ' << x << ' ' << y;
            json << (k ? "," : "") << '[' << x << ',' << y << ']';
        }
        svg << "Z\"/>\n";
        json << "]]}}";
        ++written;
    }
    svg << "</g>\n</svg>\n";
    json << "\n]}\n";
    std::cerr << "MakeVoronoiMap: " << written << " cells, " << size << " px square\n";
    return svg && json ? 0 : 1;
}
