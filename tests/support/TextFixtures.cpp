#include "tests/support/TextFixtures.h"

#include <cmath>
#include <numbers>

#include "host/model/Geometry.h"
#include "tests/support/DocumentBuilder.h"

namespace orbalis::testing {

using host::Art;

host::TextRun Chars(const std::string& text, double fontSize, double rotation) {
    host::CharFeatures f = host::DefaultCharFeatures();
    f.fontSize = fontSize;
    f.rotation = rotation;
    return {text, f};
}

Art* AddPointText(host::Document& doc, Art* container, const HostMatrix& matrix, std::vector<host::TextRun> runs,
                  int32_t orientation) {
    Art* art = AddArt(doc, container, kHostTextFrameArt);
    host::TextData& text = TextOf(art);
    text.matrix = matrix;
    text.orientation = orientation;
    text.runs = std::move(runs);
    doc.touch(art);
    return art;
}

Art* AddFramedText(host::Document& doc, Art* container, int32_t kind, const HostMatrix& matrix,
                   const std::vector<HostPoint>& path, std::vector<host::TextRun> runs) {
    Art* art = AddPointText(doc, container, matrix, std::move(runs));
    host::TextData& text = TextOf(art);
    text.frameKind = kind;
    for (HostPoint p : path) text.path.push_back({p, p, p, true});
    text.pathClosed = kind == 1;
    doc.touch(art);
    return art;
}

Art* AddPlaced(host::Document& doc, Art* container, const HostMatrix& matrix, double width, double height) {
    Art* art = AddArt(doc, container, kHostPlacedArt);
    auto& placed = std::get<host::PlacedData>(art->data);
    placed.matrix = matrix;
    placed.width = width;
    placed.height = height;
    placed.file = "map.png";
    doc.touch(art);
    return art;
}

Art* AddRaster(host::Document& doc, Art* container, const HostMatrix& matrix, int32_t width, int32_t height) {
    Art* art = AddArt(doc, container, kHostRasterArt);
    auto& raster = std::get<host::RasterData>(art->data);
    raster.matrix = matrix;
    raster.pixelWidth = width;
    raster.pixelHeight = height;
    doc.touch(art);
    return art;
}

host::TextData& TextOf(Art* art) { return std::get<host::TextData>(art->data); }

HostRect BoundsOf(const host::Document& doc, const Art* art) {
    HostRect r{};
    EXPECT_TRUE(doc.bounds(art, &r));
    return r;
}

HostMatrix Turned(double degrees, double tx, double ty) {
    return host::Concat(host::Rotation(degrees * std::numbers::pi / 180), host::Translation(tx, ty));
}

::testing::AssertionResult NearMatrix(const HostMatrix& actual, const HostMatrix& expected, double tolerance) {
    const double a[] = {actual.a, actual.b, actual.c, actual.d, actual.tx, actual.ty};
    const double e[] = {expected.a, expected.b, expected.c, expected.d, expected.tx, expected.ty};
    for (int i = 0; i < 6; ++i)
        if (!(std::fabs(a[i] - e[i]) <= tolerance))
            return ::testing::AssertionFailure() << "matrix (" << a[0] << ", " << a[1] << ", " << a[2] << ", " << a[3]
                                                 << ", " << a[4] << ", " << a[5] << ") is not (" << e[0] << ", " << e[1]
                                                 << ", " << e[2] << ", " << e[3] << ", " << e[4] << ", " << e[5] << ")";
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult NearPoint(const HostPoint& actual, const HostPoint& expected, double tolerance) {
    if (std::fabs(actual.x - expected.x) <= tolerance && std::fabs(actual.y - expected.y) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << actual.x << ", " << actual.y << ") is not (" << expected.x << ", "
                                         << expected.y << ")";
}

}  // namespace orbalis::testing
