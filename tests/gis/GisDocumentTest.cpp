// GIS files as documents: placement at the map scale, geometry and
// attributes in and out, the georeference kept through SVG and JSON, and the
// one-line refusals of bad input.
#include <gtest/gtest.h>
#include <ogrsf_frmts.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>

#include "host/io/DocumentFiles.h"
#include "host/io/gis/GdalSupport.h"

namespace orbalis::host {
namespace {

namespace fs = std::filesystem;

// Two squares 1 km wide in UTM zone 54N, the western one with a hole, and
// attributes of several types; a null, an empty string and a name needing
// escapes among them.
constexpr const char* kProjected = R"({"type": "FeatureCollection",
  "crs": {"type": "name", "properties": {"name": "urn:ogc:def:crs:EPSG::32654"}},
  "features": [
    {"type": "Feature", "properties": {"id": "west", "pop": 120, "area km2": 0.96, "名前": "西", "note": null, "FID": "w"},
     "geometry": {"type": "Polygon", "coordinates": [
       [[500000, 4000000], [501000, 4000000], [501000, 4001000], [500000, 4001000], [500000, 4000000]],
       [[500400, 4000400], [500600, 4000400], [500600, 4000600], [500400, 4000600], [500400, 4000400]]]}},
    {"type": "Feature", "properties": {"id": "east", "pop": 7, "area km2": 1.0, "名前": "", "note": "x", "FID": "e"},
     "geometry": {"type": "MultiPolygon", "coordinates": [
       [[[501000, 4000000], [502000, 4000000], [502000, 4001000], [501000, 4001000], [501000, 4000000]]],
       [[[503000, 4000000], [503100, 4000000], [503100, 4000100], [503000, 4000000]]]]}}
  ]})";

GisReadOptions AtScale(double scale) {
    GisReadOptions options;
    options.scale = scale;
    return options;
}
GisReadOptions InCrs(const std::string& crs) {
    GisReadOptions options;
    options.crs = crs;
    return options;
}
GisReadOptions NamedBy(const std::string& field) {
    GisReadOptions options;
    options.nameField = field;
    return options;
}

class GisDocumentTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        dir = fs::temp_directory_path() / ("orbalis-gis-" + std::to_string(::getpid()) + "-" + name);
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    std::string Write(const std::string& name, const std::string& text) {
        std::ofstream(dir / name, std::ios::binary) << text;
        return (dir / name).string();
    }

    std::unique_ptr<Document> Read(const std::string& path, GisReadOptions gis = {}) {
        DocumentReadOptions options;
        options.gis = gis;
        options.warnings = &warnings;
        options.notes = &notes;
        error.clear();
        return ReadDocumentFile(path, options, &error);
    }

    fs::path dir;
    std::vector<std::string> warnings, notes;
    std::string error;
};

std::map<std::string, std::string> Attributes(const Art& art) {
    return {art.foreignAttributes.begin(), art.foreignAttributes.end()};
}

// The features of a GIS file's first layer by their "id" field.
std::map<std::string, std::unique_ptr<OGRFeature>> Features(const std::string& path) {
    std::string error;
    gis::DatasetPtr dataset = gis::OpenGisFile(path, &error);
    EXPECT_TRUE(dataset) << error;
    std::map<std::string, std::unique_ptr<OGRFeature>> out;
    if (!dataset) return out;
    OGRLayer* layer = dataset->GetLayer(0);
    for (auto& feature : *layer) out[feature->GetFieldAsString("id")].reset(feature.release());
    return out;
}

TEST_F(GisDocumentTest, PlacesProjectedDataAtTheMapScaleWithAMargin) {
    auto document = Read(Write("squares.geojson", kProjected), AtScale(10000));
    ASSERT_TRUE(document) << error;
    // 3.1 km by 1 km at 1:10,000 is 310 mm by 100 mm, with 36 pt around.
    const double mm = 72 / 25.4;
    EXPECT_NEAR(document->artboard.right, 310 * mm + 72, 1e-9);
    EXPECT_NEAR(document->artboard.top, 100 * mm + 72, 1e-9);
    ASSERT_EQ(document->topLayers().size(), 1u);
    const Layer* layer = document->topLayers()[0];
    EXPECT_EQ(layer->title, "squares");
    // The first feature at the back, named by its id.
    const Art* east = layer->group()->firstChild();
    const Art* west = east->next();
    ASSERT_TRUE(west);
    EXPECT_EQ(east->name, "east");
    EXPECT_EQ(west->name, "west");
    // A polygon with a hole and a multipolygon are even-odd compound paths.
    ASSERT_EQ(west->type(), kHostCompoundPathArt);
    EXPECT_EQ(east->type(), kHostCompoundPathArt);
    const PathData& outer = *west->firstChild()->path();  // the first ring
    EXPECT_TRUE(outer.closed);
    EXPECT_TRUE(outer.style.evenOdd);
    EXPECT_TRUE(outer.style.fillPaint);
    ASSERT_EQ(outer.segments.size(), 4u);  // the repeated last point left out
    EXPECT_NEAR(outer.segments[0].p.x, 36, 1e-9);
    EXPECT_NEAR(outer.segments[0].p.y, 36, 1e-9);
    EXPECT_NEAR(outer.segments[1].p.x, 36 + 100 * mm, 1e-9);
    // Attributes as data- attributes, names outside [A-Za-z0-9._-] escaped,
    // nulls left out.
    auto a = Attributes(*west);
    EXPECT_EQ(a["data-pop"], "120");
    EXPECT_EQ(a["data-area_20km2"], "0.96");
    EXPECT_EQ(a["data-_E5_90_8D_E5_89_8D"], "西");
    EXPECT_EQ(a.count("data-note"), 0u);
    EXPECT_EQ(Attributes(*east)["data-_E5_90_8D_E5_89_8D"], "");
    ASSERT_FALSE(notes.empty());
    EXPECT_NE(notes.back().find("EPSG:32654"), std::string::npos) << notes.back();
    EXPECT_NE(notes.back().find("1:10,000"), std::string::npos) << notes.back();
}

TEST_F(GisDocumentTest, WritesBackTheSameGeometryAttributesAndTheColours) {
    auto document = Read(Write("squares.geojson", kProjected), AtScale(25000));
    ASSERT_TRUE(document) << error;
    Art* west = document->topLayers()[0]->group()->lastChild();
    HostColor red{};
    red.kind = kHostFourColor;
    red.c.four = {0, 0.8, 0.6, 0};
    for (Art* ring = west->firstChild(); ring; ring = ring->next()) ring->path()->style.fill.color = red;
    for (const char* ext : {".gpkg", ".shp", ".geojson", ".fgb"}) {
        const std::string out = (dir / (std::string("out") + ext)).string();
        ASSERT_TRUE(WriteDocumentFile(*document, out, &error)) << error;
        auto features = Features(out);
        ASSERT_EQ(features.size(), 2u) << ext;
        OGRFeature& w = *features["west"];
        EXPECT_EQ(w.GetFieldAsInteger("pop"), 120) << ext;
        EXPECT_EQ(std::string(w.GetFieldAsString("fill")), "#ff3366") << ext;
        EXPECT_EQ(std::string(w.GetFieldAsString("fill_cmyk")), "0,80,60,0") << ext;
        EXPECT_EQ(std::string(features["east"]->GetFieldAsString("fill")), "#d9d9d9") << ext;
        const OGRGeometry* g = w.GetGeometryRef();
        ASSERT_TRUE(g) << ext;
        EXPECT_EQ(wkbFlatten(g->getGeometryType()), wkbPolygon) << ext;
        EXPECT_NEAR(g->toPolygon()->get_Area(), 1e6 - 4e4, 1e-3) << ext;
        EXPECT_EQ(g->toPolygon()->getNumInteriorRings(), 1) << ext;
        OGREnvelope e;
        g->getEnvelope(&e);
        EXPECT_NEAR(e.MinX, 500000, 1e-6) << ext;
        EXPECT_NEAR(e.MaxY, 4001000, 1e-6) << ext;
        const OGRGeometry* east = features["east"]->GetGeometryRef();
        EXPECT_EQ(east->toMultiPolygon()->getNumGeometries(), 2) << ext;
        const OGRSpatialReference* srs = g->getSpatialReference();
        ASSERT_TRUE(srs) << ext;
        EXPECT_STREQ(srs->GetAuthorityCode(nullptr), "32654") << ext;
    }
    // Attribute types and values as they were, nulls and empty strings apart.
    auto features = Features((dir / "out.gpkg").string());
    EXPECT_TRUE(features["west"]->IsFieldNull(features["west"]->GetFieldIndex("note")));
    EXPECT_STREQ(features["east"]->GetFieldAsString("note"), "x");
    EXPECT_STREQ(features["east"]->GetFieldAsString("名前"), "");
    EXPECT_FALSE(features["east"]->IsFieldNull(features["east"]->GetFieldIndex("名前")));
    EXPECT_EQ(features["west"]->GetFieldDefnRef(features["west"]->GetFieldIndex("area km2"))->GetType(), OFTReal);
    EXPECT_DOUBLE_EQ(features["west"]->GetFieldAsDouble("area km2"), 0.96);
    // An attribute called FID stays one beside the GeoPackage's own id column.
    EXPECT_STREQ(features["west"]->GetFieldAsString("FID"), "w");
}

TEST_F(GisDocumentTest, KeepsTheGeoreferenceThroughSvgAndJsonAndUndoesAMove) {
    auto document = Read(Write("squares.geojson", kProjected), AtScale(10000));
    ASSERT_TRUE(document) << error;
    // Moved 10 mm east on the page: 100 m on the ground at 1:10,000.
    Art* west = document->topLayers()[0]->group()->lastChild();
    for (Art* ring = west->firstChild(); ring; ring = ring->next()) {
        for (HostPathSegment& s : ring->path()->segments) s.p.x += 10 * 72 / 25.4, s.in = s.out = s.p;
        document->touch(ring);
    }
    for (const char* ext : {".svg", ".json"}) {
        const std::string saved = (dir / (std::string("map") + ext)).string();
        ASSERT_TRUE(WriteDocumentFile(*document, saved, &error)) << error;
        auto again = Read(saved);
        ASSERT_TRUE(again) << error;
        const std::string out = (dir / (std::string("from") + ext + ".gpkg")).string();
        ASSERT_TRUE(WriteDocumentFile(*again, out, &error)) << error;
        auto features = Features(out);
        OGREnvelope e;
        features["west"]->GetGeometryRef()->getEnvelope(&e);
        // SVG keeps page coordinates to a millionth of a point, 3.5 um here.
        EXPECT_NEAR(e.MinX, 500100, 1e-5) << ext;
        EXPECT_NEAR(e.MinY, 4000000, 1e-5) << ext;
        EXPECT_EQ(features["west"]->GetFieldAsInteger("pop"), 120) << ext;
        EXPECT_STREQ(features["west"]->GetFieldAsString("名前"), "西") << ext;
    }
}

TEST_F(GisDocumentTest, ProjectsLongitudeAndLatitudeStereographicallyAboutTheData) {
    // Two islands either side of the 180th meridian, and a line and points.
    const std::string path = Write("pacific.geojson", R"({"type": "FeatureCollection", "features": [
      {"type": "Feature", "properties": {"id": "a"}, "geometry": {"type": "Polygon",
        "coordinates": [[[179.0, -17.0], [179.5, -17.0], [179.5, -16.5], [179.0, -17.0]]]}},
      {"type": "Feature", "properties": {"id": "b"}, "geometry": {"type": "Polygon",
        "coordinates": [[[-179.5, -17.0], [-179.0, -17.0], [-179.0, -16.5], [-179.5, -17.0]]]}},
      {"type": "Feature", "properties": {"id": "route"}, "geometry": {"type": "LineString",
        "coordinates": [[179.2, -17.2], [-179.2, -17.2]]}},
      {"type": "Feature", "properties": {"id": "ports"}, "geometry": {"type": "MultiPoint",
        "coordinates": [[179.1, -16.9], [-179.1, -16.9]]}}]})");
    auto document = Read(path, AtScale(1000000));
    ASSERT_TRUE(document) << error;
    ASSERT_FALSE(notes.empty());
    // Centred among the islands, not at 0° on the far side of the world.
    EXPECT_NE(notes.back().find("stereographic centred on -16.9"), std::string::npos) << notes.back();
    EXPECT_NE(notes.back().find("180.00 at"), std::string::npos) << notes.back();
    // About 212 km wide at 1:1,000,000: 212 mm, not a page round the world.
    EXPECT_LT(document->artboard.right, 230 * 72 / 25.4 + 72);
    const Art* ports = document->topLayers()[0]->group()->firstChild();
    EXPECT_EQ(ports->type(), kHostGroupArt);
    EXPECT_EQ(ports->firstChild()->type(), kHostSymbolArt);
    EXPECT_TRUE(document->findSymbol("orbalis-point"));
    EXPECT_EQ(ports->next()->type(), kHostPathArt);
    EXPECT_FALSE(ports->next()->path()->closed);

    const std::string out = (dir / "back.geojson").string();
    ASSERT_TRUE(WriteDocumentFile(*document, out, &error)) << error;
    auto features = Features(out);
    ASSERT_EQ(features.size(), 4u);
    const OGRMultiPoint& points = *features["ports"]->GetGeometryRef()->toMultiPoint();
    EXPECT_NEAR(points.getGeometryRef(1)->getX(), -179.1, 1e-9);
    EXPECT_NEAR(points.getGeometryRef(1)->getY(), -16.9, 1e-9);
    const OGRLineString& route = *features["route"]->GetGeometryRef()->toLineString();
    EXPECT_NEAR(route.getX(1), -179.2, 1e-9);
    EXPECT_EQ(wkbFlatten(features["b"]->GetGeometryRef()->getGeometryType()), wkbPolygon);
}

TEST_F(GisDocumentTest, LargeDataIsProjectedOnSeveralThreadsAndComesBackInPlace) {
    // 6,000 squares of 0.01° in a grid: enough for the work to be shared.
    std::string text = R"({"type": "FeatureCollection", "features": [)";
    for (int i = 0; i < 6000; ++i) {
        const double x = 135 + (i % 100) * 0.01, y = 35 + (i / 100) * 0.01;
        char feature[400];
        std::snprintf(feature, sizeof feature,
                      R"(%s{"type": "Feature", "properties": {"id": "c%d"}, "geometry": {"type": "Polygon",
                      "coordinates": [[[%.2f, %.2f], [%.2f, %.2f], [%.2f, %.2f], [%.2f, %.2f], [%.2f, %.2f]]]}})",
                      i ? "," : "", i, x, y, x + 0.01, y, x + 0.01, y + 0.01, x, y + 0.01, x, y);
        text += feature;
    }
    text += "]}";
    auto document = Read(Write("grid.geojson", text), AtScale(50000));
    ASSERT_TRUE(document) << error;
    const std::string out = (dir / "grid.gpkg").string();
    ASSERT_TRUE(WriteDocumentFile(*document, out, &error)) << error;
    auto features = Features(out);
    ASSERT_EQ(features.size(), 6000u);
    for (int i : {0, 2999, 3000, 5999}) {
        OGREnvelope e;
        features["c" + std::to_string(i)]->GetGeometryRef()->getEnvelope(&e);
        EXPECT_NEAR(e.MinX, 135 + (i % 100) * 0.01, 1e-9) << i;
        EXPECT_NEAR(e.MaxY, 35 + (i / 100) * 0.01 + 0.01, 1e-9) << i;
    }
}

TEST_F(GisDocumentTest, RefusesBadInputInOneLine) {
    const std::string geojson = Write("squares.geojson", kProjected);
    const auto refused = [&](const std::string& path, GisReadOptions gis, const std::string& expected) {
        auto document = Read(path, gis);
        EXPECT_FALSE(document) << path;
        EXPECT_NE(error.find(expected), std::string::npos) << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    };
    refused(geojson, InCrs("EPSG:999999"), "squares.geojson: --crs EPSG:999999: unknown CRS");
    refused(geojson, InCrs("EPSG:4326"), "not a projected CRS");
    refused(geojson, AtScale(-5), "--scale must be above 0");
    refused(geojson, NamedBy("nom"), "--name-field nom: no layer has that field (squares: id pop");
    refused(Write("cut.gpkg", "SQLite format 3\0garbage"), {}, "cut.gpkg: cannot read");
    refused(Write("cut.geojson", R"({"type": "FeatureCollection", "features": [{"type": )"), {},
            "cut.geojson: cannot read");
    refused((dir / "none.shp").string(), {}, "none.shp: cannot read: No such file or directory");

    auto document = Read(geojson);
    ASSERT_TRUE(document) << error;
    ASSERT_TRUE(WriteDocumentFile(*document, (dir / "s.shp").string(), &error)) << error;
    fs::rename(dir / "s.dbf", dir / "s.dbf.away");
    refused((dir / "s.shp").string(), {}, "s.shp: the Shapefile's .dbf file is missing (s.dbf)");
    fs::rename(dir / "s.dbf.away", dir / "s.dbf");
    fs::remove(dir / "s.shx");
    refused((dir / "s.shp").string(), {}, "s.shp: the Shapefile's .shx file is missing (s.shx)");

    // A document not made from GIS data cannot be written as GIS data, and a
    // failed write leaves no file behind.
    Document plain;
    EXPECT_FALSE(WriteDocumentFile(plain, (dir / "plain.gpkg").string(), &error));
    EXPECT_NE(error.find("holds no GIS data"), std::string::npos) << error;
    EXPECT_FALSE(fs::exists(dir / "plain.gpkg"));
    for (const auto& entry : fs::directory_iterator(dir))
        EXPECT_EQ(entry.path().filename().string().find(".orbalis-gis-"), std::string::npos);
}

TEST_F(GisDocumentTest, SkipsAnUnreadableGeometryNamingItsFeature) {
    // A Shapefile whose second record says it has far more points than the
    // file holds.
    auto document = Read(Write("squares.geojson", kProjected));
    ASSERT_TRUE(document) << error;
    const std::string shp = (dir / "s.shp").string();
    ASSERT_TRUE(WriteDocumentFile(*document, shp, &error)) << error;
    std::fstream file(shp, std::ios::in | std::ios::out | std::ios::binary);
    // Where the second record starts, from the index: a big-endian count of
    // 16-bit words after the 100-byte header and the first 8-byte entry.
    std::ifstream index(dir / "s.shx", std::ios::binary);
    unsigned char offset[4];
    index.seekg(100 + 8);
    index.read(reinterpret_cast<char*>(offset), 4);
    const long second = 2L * ((offset[0] << 24) | (offset[1] << 16) | (offset[2] << 8) | offset[3]);
    file.seekp(second + 8 + 4 + 32 + 4);
    const int32_t huge = 0x7ffffff0;
    file.write(reinterpret_cast<const char*>(&huge), 4);
    file.close();
    warnings.clear();
    auto again = Read(shp);
    ASSERT_TRUE(again) << error;
    EXPECT_EQ(again->topLayers()[0]->group()->firstChild(), again->topLayers()[0]->group()->lastChild());
    ASSERT_FALSE(warnings.empty());
    EXPECT_NE(warnings[0].find("layer \"s\", feature 1: skipped"), std::string::npos) << warnings[0];
}

}  // namespace
}  // namespace orbalis::host
