#include "host/io/JsonDocument.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <fstream>
#include <limits>
#include <random>
#include <regex>
#include <sstream>

#include "tests/support/Fixtures.h"

namespace orbalis::host {
namespace {

using orbalis::testing::LoadFixture;
using orbalis::testing::LoadFixtureFile;
using orbalis::testing::ReadTestData;

Art* Add(Document& doc, int32_t type, Art* container) {
    Art* art = nullptr;
    EXPECT_EQ(doc.newArt(type, kHostPlaceInsideOnBottom, container, &art), 0) << "type " << type;
    return art;
}

Layer* AddSublayer(Document& doc, Layer* parent) {
    Layer* layer = nullptr;
    EXPECT_EQ(doc.insertLayer(parent, kHostPlaceInsideOnBottom, &layer), 0);
    return layer;
}

bool Same(const HostPoint& a, const HostPoint& b) {
    return std::bit_cast<uint64_t>(a.x) == std::bit_cast<uint64_t>(b.x) &&
           std::bit_cast<uint64_t>(a.y) == std::bit_cast<uint64_t>(b.y);
}

HostPathSegment Corner(double x, double y) { return {{x, y}, {x, y}, {x, y}, 1}; }

HostColor Cmyk(double c, double m, double y, double k) {
    HostColor color{};
    color.kind = kHostFourColor;
    color.c.four = {c, m, y, k};
    return color;
}

// A document holding every kind of art, colour and attribute the model knows.
std::unique_ptr<Document> BuildEveryKind() {
    auto doc = std::make_unique<Document>();
    Layer* base = nullptr;
    Layer* labels = nullptr;
    doc->insertLayer(nullptr, kHostPlaceAboveAll, &base);
    doc->insertLayer(nullptr, kHostPlaceAboveAll, &labels);
    base->title = "基図 \"base\"";
    base->foreignAttributes = {{"id", "base"}, {"class", "b"}};
    base->group()->name = "root group";
    labels->title = "Labels";

    Art* outline = Add(*doc, kHostPathArt, base->group());
    outline->name = "outline";
    outline->tags = {{"region", "north"}, {"region", "again"}};
    outline->foreignAttributes = {{"data-x", "1"}};
    PathData& p = *outline->path();
    p.segments = {
        Corner(0, 0), {{10, 0}, {8, -2}, {12, 2.5}, 0}, {{10, 10}, {9, 9}, {11, 11}, 1}, Corner(-0.0, 1e-300)};
    p.closed = true;
    p.style.fillPaint = 1;
    p.style.fill.color = Cmyk(0.1, 0.2, 0.3, 0.4);
    p.style.fill.overprint = 1;
    p.style.strokePaint = 1;
    p.style.stroke.color.kind = kHostThreeColor;
    p.style.stroke.color.c.three = {1, 0.5, 1.0 / 3};
    p.style.stroke.width = 0.75;
    p.style.stroke.dashCount = 3;
    p.style.stroke.dashes[0] = 4;
    p.style.stroke.dashes[1] = 2;
    p.style.stroke.dashes[2] = 0.5;
    p.style.stroke.dashOffset = 1;
    p.style.stroke.cap = 1;
    p.style.stroke.join = 2;
    p.style.stroke.miterLimit = 4;
    p.style.evenOdd = 1;
    p.style.resolution = 800;

    Layer* roads = AddSublayer(*doc, base);
    roads->title = "Roads";
    Art* placed = Add(*doc, kHostPlacedArt, roads->group());
    placed->data = PlacedData{{0.5, 0, 0, -0.5, 20, 30}, 640, 480, "photo.png"};

    Art* compound = Add(*doc, kHostCompoundPathArt, base->group());
    for (int i = 0; i < 2; ++i) {
        PathData& member = *Add(*doc, kHostPathArt, compound)->path();
        member.segments = {Corner(i, 0), Corner(i + 5, 0), Corner(i, 5)};
        member.style.fillPaint = 1;
        member.style.fill.color.kind = kHostCustomColor;
        member.style.fill.color.c.custom = {7, 0.25};
    }

    Art* group = Add(*doc, kHostGroupArt, base->group());
    Art* raster = Add(*doc, kHostRasterArt, group);
    raster->data = RasterData{{2, 0, 0, 2, 5, 5}, 16, 8, "tile.png"};
    Art* instance = Add(*doc, kHostSymbolArt, group);
    instance->data = SymbolData{"Star", {1, 0, 0, 1, 50, 60}};
    Art* missing = Add(*doc, kHostSymbolArt, group);
    missing->data = SymbolData{"Missing", {1, 0, 0, 1, 0, 0}};
    Art* foreign = Add(*doc, 42, group);
    foreign->data = ForeignData{"svg", "<ellipse rx=\"3\"/>", {1, 0, 0, 1, 2, 3}, true, {0, 10, 6, 4}};
    Art* mesh = Add(*doc, kHostMeshArt, group);
    mesh->data = ForeignData{"", "", {1, 0, 0, 1, 0, 0}, false, {}};

    Art* patterned = Add(*doc, kHostPathArt, base->group());
    PathData& pp = *patterned->path();
    pp.segments = {Corner(1, 1), Corner(2, 2)};
    pp.guide = true;
    pp.style.fillPaint = 1;
    pp.style.fill.color.kind = kHostPatternColor;
    pp.style.fill.color.c.pattern = {3, {2, 0, 0, 2, 1, 1}};
    pp.style.strokePaint = 0;  // an unpainted stroke colour is kept
    pp.style.stroke.color.kind = kHostGradientColor;
    pp.style.stroke.color.c.gradient = {4, {1, 2}, 45, 100, {1, 0, 0, 1, 0, 0}};
    pp.style.clip = 1;

    Art* text = Add(*doc, kHostTextFrameArt, labels->group());
    TextData t;
    t.frameKind = 1;
    t.orientation = 1;
    t.matrix = {1, 0, 0, 1, 100, 200};
    TextRun first{"東京\r", {}};
    first.features.font = "KozGoPr6N-Regular";
    first.features.fontSize = 9;
    first.features.fill = Cmyk(0, 0, 0, 1);
    TextRun second{"Tokyo", {}};
    second.features.horizontalScale = 0.8;
    second.features.rotation = -90;
    second.features.fillPaint = false;
    second.features.fill.kind = kHostNoneColor;
    second.features.strokePaint = true;
    second.features.stroke = Cmyk(0, 1, 1, 0);
    second.features.strokeWidth = 0.5;
    t.runs = {first, second};
    t.paragraphs = {Justification::Center, Justification::Right};
    t.path = {Corner(0, 0), Corner(50, 0), Corner(50, -30)};
    t.pathClosed = true;
    text->data = t;

    Art* star = doc->newSymbolDefinition("Star");
    star->name = "star group";
    Add(*doc, kHostPathArt, star)->path()->segments = {Corner(0, 1), Corner(1, -1), Corner(-1, -1)};

    doc->artboard = {-10, 500, 700.5, -20};
    doc->foreignAttributes = {{"viewBox", "0 0 10 10"}};
    doc->foreignContent = {"<defs><linearGradient id=\"g\"/></defs>"};

    doc->setAttributes(group, kHostArtLocked, kHostArtLocked);
    doc->setAttributes(raster, kHostArtHidden, kHostArtHidden);
    doc->setAttributes(outline, kHostArtSelected, kHostArtSelected);
    doc->setAttributes(placed, kHostArtSelected | kHostArtLocked, kHostArtSelected | kHostArtLocked);
    roads->visible = false;
    labels->editable = false;
    doc->setCurrentLayer(roads);
    return doc;
}

std::unique_ptr<Document> Reread(const std::string& text) {
    std::string error;
    auto doc = ReadJsonDocument(text, &error);
    EXPECT_NE(doc, nullptr) << error;
    return doc;
}

TEST(JsonDocumentRoundTrip, EveryKindReadsBackTheSame) {
    auto original = BuildEveryKind();
    const std::string text = WriteJsonDocument(*original);
    auto doc = Reread(text);
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(WriteJsonDocument(*doc), text);

    ASSERT_EQ(doc->topLayers().size(), 2u);
    Layer* labels = doc->topLayers()[0];
    Layer* base = doc->topLayers()[1];
    EXPECT_EQ(labels->title, "Labels");
    EXPECT_FALSE(labels->editable);
    EXPECT_EQ(base->title, "基図 \"base\"");
    EXPECT_EQ(base->foreignAttributes, original->topLayers()[1]->foreignAttributes);
    EXPECT_EQ(base->group()->name, "root group");

    // The sublayer keeps its place between the outline and the compound path.
    std::vector<int32_t> kinds;
    for (Art* a = base->group()->firstChild(); a; a = a->next()) kinds.push_back(a->type());
    EXPECT_EQ(kinds,
              (std::vector<int32_t>{kHostPathArt, kHostGroupArt, kHostCompoundPathArt, kHostGroupArt, kHostPathArt}));
    Layer* roads = doc->firstSublayer(base);
    ASSERT_NE(roads, nullptr);
    EXPECT_EQ(roads->group(), base->group()->firstChild()->next());
    EXPECT_EQ(doc->currentLayer(), roads);
    EXPECT_FALSE(roads->visible);

    Art* outline = base->group()->firstChild();
    const PathData& p = *outline->path();
    const PathData& q = *original->topLayers()[1]->group()->firstChild()->path();
    ASSERT_EQ(p.segments.size(), q.segments.size());
    for (size_t i = 0; i < p.segments.size(); ++i) {
        const HostPathSegment& a = p.segments[i];
        const HostPathSegment& b = q.segments[i];
        EXPECT_TRUE(Same(a.p, b.p) && Same(a.in, b.in) && Same(a.out, b.out) && a.corner == b.corner) << i;
    }
    EXPECT_TRUE(std::signbit(p.segments[3].p.x));
    EXPECT_EQ(p.style.stroke.dashCount, 3);
    EXPECT_EQ(p.style.stroke.dashes[2], 0.5);
    EXPECT_EQ(p.style.stroke.color.c.three.blue, 1.0 / 3);
    EXPECT_EQ(p.style.fill.color.kind, kHostFourColor);
    EXPECT_EQ(p.style.fill.color.c.four.black, 0.4);
    EXPECT_EQ(outline->tags, original->topLayers()[1]->group()->firstChild()->tags);

    Art* patterned = base->group()->lastChild();
    EXPECT_FALSE(patterned->path()->style.strokePaint);
    EXPECT_EQ(patterned->path()->style.stroke.color.kind, kHostGradientColor);
    EXPECT_EQ(patterned->path()->style.stroke.color.c.gradient.angle, 45);

    Art* group = outline->next()->next()->next();
    EXPECT_EQ(group->attributes(), kHostArtLocked);
    EXPECT_EQ(group->firstChild()->attributes(), kHostArtHidden);
    Art* foreign = group->lastChild()->prev();
    EXPECT_EQ(foreign->type(), 42);
    ASSERT_NE(std::get_if<ForeignData>(&foreign->data), nullptr);
    EXPECT_EQ(std::get<ForeignData>(foreign->data).payload, "<ellipse rx=\"3\"/>");
    EXPECT_TRUE(std::get<ForeignData>(foreign->data).hasBounds);

    std::vector<Art*> selected;
    doc->collectSelected(selected);
    ASSERT_EQ(selected.size(), 4u);  // base group, outline, roads group, placed
    EXPECT_EQ(selected[1], outline);
    EXPECT_EQ(selected[3]->type(), kHostPlacedArt);
    EXPECT_EQ(selected[3]->attributes(), kHostArtSelected | kHostArtLocked);

    const TextData& t = std::get<TextData>(labels->group()->firstChild()->data);
    ASSERT_EQ(t.runs.size(), 2u);
    EXPECT_EQ(t.runs[0].text, "東京\r");
    EXPECT_EQ(t.runs[1].features.horizontalScale, 0.8);
    EXPECT_FALSE(t.runs[1].features.fillPaint);
    EXPECT_EQ(t.paragraphs, (std::vector<Justification>{Justification::Center, Justification::Right}));

    ASSERT_EQ(doc->symbols().size(), 1u);
    EXPECT_EQ(doc->symbols()[0].art->name, "star group");
    EXPECT_EQ(doc->symbols()[0].art->firstChild()->path()->segments.size(), 3u);
    EXPECT_EQ(doc->artboard.right, 700.5);
    EXPECT_EQ(doc->foreignContent, original->foreignContent);
}

TEST(JsonDocumentRoundTrip, FixtureInWrittenFormIsWrittenBackUnchanged) {
    const std::string text = ReadTestData("every-kind.json");
    auto doc = LoadFixture(text);
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(WriteJsonDocument(*doc), text);
}

TEST(JsonDocumentRoundTrip, DocumentedExampleIsWrittenBackUnchanged) {
    std::ifstream in(std::string(ORBALIS_SOURCE_DIR) + "/docs/document-format.md");
    std::stringstream markdown;
    markdown << in.rdbuf();
    const std::string text = markdown.str();
    const std::string open = "```json\n";
    const size_t start = text.find(open);
    ASSERT_NE(start, std::string::npos);
    const size_t end = text.find("```", start + open.size());
    ASSERT_NE(end, std::string::npos);
    const std::string example = text.substr(start + open.size(), end - start - open.size());
    auto doc = LoadFixture(example);
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(WriteJsonDocument(*doc), example);
}

TEST(JsonDocumentRoundTrip, NumbersSurviveBitForBit) {
    std::mt19937_64 random(12345);
    std::vector<double> values = {
        0.1,          -0.0,   5e-324, std::numeric_limits<double>::max(), 9007199254740992.0, 9007199254740994.0,
        -123456789.0, 1.0 / 3};
    for (int i = 0; i < 500; ++i) {
        const uint64_t bits = random();
        const double v = std::bit_cast<double>(bits);
        if (std::isfinite(v)) values.push_back(v);
    }
    Document doc;
    Layer* layer = nullptr;
    doc.insertLayer(nullptr, kHostPlaceAboveAll, &layer);
    PathData& path = *Add(doc, kHostPathArt, layer->group())->path();
    for (size_t i = 0; i + 1 < values.size(); i += 2) path.segments.push_back(Corner(values[i], values[i + 1]));

    auto copy = Reread(WriteJsonDocument(doc));
    ASSERT_NE(copy, nullptr);
    const auto& read = copy->topLayers()[0]->group()->firstChild()->path()->segments;
    ASSERT_EQ(read.size(), path.segments.size());
    for (size_t i = 0; i < read.size(); ++i)
        EXPECT_TRUE(Same(read[i].p, path.segments[i].p)) << read[i].p.x << " " << read[i].p.y;
}

TEST(JsonDocumentRoundTrip, UnnamedArtTypesAndColourKindsKeepTheirNumbers) {
    Document doc;
    Layer* layer = nullptr;
    doc.insertLayer(nullptr, kHostPlaceAboveAll, &layer);
    for (int32_t type : {0, 4, 99, -7, std::numeric_limits<int32_t>::max()})
        std::get<ForeignData>(Add(doc, type, layer->group())->data).payload = std::to_string(type);
    PathData& path = *Add(doc, kHostPathArt, layer->group())->path();
    path.style.fillPaint = 1;
    path.style.fill.color.kind = 17;

    auto copy = Reread(WriteJsonDocument(doc));
    ASSERT_NE(copy, nullptr);
    std::vector<int32_t> types;
    for (Art* a = copy->topLayers()[0]->group()->firstChild(); a; a = a->next()) {
        types.push_back(a->type());
        if (const auto* f = std::get_if<ForeignData>(&a->data)) {
            EXPECT_EQ(f->payload, std::to_string(a->type()));
        }
    }
    EXPECT_EQ(types, (std::vector<int32_t>{0, 4, 99, -7, std::numeric_limits<int32_t>::max(), kHostPathArt}));
    EXPECT_EQ(copy->topLayers()[0]->group()->lastChild()->path()->style.fill.color.kind, 17);
}

TEST(JsonDocumentDeterminism, EqualDocumentsGiveEqualBytes) {
    const std::string a = WriteJsonDocument(*BuildEveryKind());
    const std::string b = WriteJsonDocument(*BuildEveryKind());
    EXPECT_EQ(a, b);
    auto doc = BuildEveryKind();
    EXPECT_EQ(WriteJsonDocument(*doc), WriteJsonDocument(*doc));
}

TEST(JsonDocumentDeterminism, LongPathsTakeOneLinePerSegment) {
    Document doc;
    Layer* layer = nullptr;
    doc.insertLayer(nullptr, kHostPlaceAboveAll, &layer);
    PathData& path = *Add(doc, kHostPathArt, layer->group())->path();
    for (int i = 0; i < 1000; ++i) path.segments.push_back(Corner(i * 0.25, i % 7));
    path.segments[10].in.x += 1;  // one curve point among the corners

    const std::string text = WriteJsonDocument(doc);
    std::istringstream lines(text);
    std::string line;
    size_t total = 0;
    size_t segmentLines = 0;
    const std::regex segment(R"(\s*\[[-0-9.e+]+(, [-0-9.e+]+){1,5}(, true)?\],?)");
    while (std::getline(lines, line)) {
        ++total;
        if (std::regex_match(line, segment)) ++segmentLines;
    }
    EXPECT_EQ(segmentLines, 1000u);
    EXPECT_LT(total, 1030u);
}

// ---------------------------------------------------------------- malformed input

std::string WithArt(const std::string& art) {
    return R"({"format": "orbalis-document", "version": 1, "layers": [{"title": "L", "art": [)" + art + "]}]}";
}

std::string WithPathStyle(const std::string& style) {
    return WithArt(R"({"type": "path", "segments": [], "style": )" + style + "}");
}

struct BrokenInput {
    std::string text;
    std::string error;
};

TEST(JsonDocumentMalformed, EachIsRefusedWithOneLineNamingThePlace) {
    const std::string head = R"({"format": "orbalis-document", "version": 1, )";
    const std::vector<BrokenInput> cases = {
        {"", "invalid JSON at line 1, column 1"},
        {R"({"format": )", "invalid JSON at line 1"},
        {"{\"format\": \"\xff\"}", "invalid JSON at line 1"},
        {head + R"("artboard": [0, 1e999, 1, 1]})", "number overflow"},
        {"[]", "document: expected a JSON object, found an array"},
        {R"({"version": 1})", "document: not an Orbalis document (no \"format\" field)"},
        {R"({"format": "svg", "version": 1})", "format: not an Orbalis document (format \"svg\")"},
        {R"({"format": "orbalis-document", "version": 2})", "version: version 2 is newer than this host reads (1)"},
        {R"({"format": "orbalis-document", "version": "1"})", "version: expected a whole number, found a string"},
        {R"({"format": "orbalis-document"})", "document: missing field \"version\""},
        {head + R"("layer": []})", "document: unknown field \"layer\""},
        {head + R"("layers": {}})", "layers: expected an array, found an object"},
        {head + R"("layers": [{"art": []}]})", "layers[0]: missing field \"title\""},
        {head + R"("layers": [{"title": "a", "visible": 0}]})",
         "layers[0].visible: expected true or false, found a number"},
        {head + R"("layers": [{"title": "a", "type": "group"}]})", "layers[0].type: expected \"layer\""},
        {head + R"("layers": [{"title": "a", "current": true}, {"title": "b", "current": true}]})",
         "layers[1].current: more than one layer is marked current"},
        {head + R"("layers": [{"title": "a", "title": "b"}]})", "layers[0]: duplicate field \"title\""},
        {WithArt("3"), "layers[0].art[0]: expected an object, found a number"},
        {WithArt(R"({"segments": []})"), "layers[0].art[0]: missing field \"type\""},
        {WithArt(R"({"type": "circle"})"), "layers[0].art[0].type: unknown art type \"circle\""},
        {WithArt(R"({"type": "path"})"), "layers[0].art[0]: missing field \"segments\""},
        {WithArt(R"({"type": "path", "segments": [], "colour": 1})"), "layers[0].art[0]: unknown field \"colour\""},
        {WithArt(R"({"type": "path", "segments": [[0, 0], [1, 2, 3]]})"),
         "layers[0].art[0].segments[1]: expected a segment"},
        {WithArt(R"({"type": "path", "segments": [[0, 0, 1, 1, 2, 2, 1]]})"),
         "layers[0].art[0].segments[0]: expected a segment"},
        {WithArt(R"({"type": "path", "segments": [[0, "1"]]})"),
         "layers[0].art[0].segments[0][1]: expected a number, found a string"},
        {WithArt(
             R"({"type": "group", "art": [{"type": "group", "art": [{"type": "path", "segments": [], "closed": 1}]}]})"),
         "layers[0].art[0].art[0].art[0].closed: expected true or false"},
        {WithArt(R"({"type": "compoundPath", "art": [{"type": "path", "segments": []}, {"type": "group"}]})"),
         "layers[0].art[0].art[1].type: a compound path holds only paths, not group"},
        {WithArt(R"({"type": "group", "art": [{"type": "layer", "title": "x"}]})"),
         "layers[0].art[0].art[0]: a layer can only sit directly inside another layer"},
        {WithArt(R"({"type": "raster", "pixelWidth": 1.5})"), "layers[0].art[0].pixelWidth: expected a whole number"},
        {WithArt(R"({"type": "raster", "pixelHeight": 3000000000})"),
         "layers[0].art[0].pixelHeight: number out of range"},
        {WithArt(R"({"type": "placed", "matrix": [1, 0, 0, 1, 0]})"),
         "layers[0].art[0].matrix: expected a matrix [a, b, c, d, tx, ty]: 6 numbers"},
        {WithArt(R"({"type": "symbol"})"), "layers[0].art[0]: missing field \"symbol\""},
        {WithArt(R"({"type": "text", "runs": [{"font": "x"}]})"), "layers[0].art[0].runs[0]: missing field \"text\""},
        {WithArt(R"({"type": "text", "paragraphs": ["justified"]})"),
         "layers[0].art[0].paragraphs[0]: unknown justification \"justified\" (expected left, right or center)"},
        {WithArt(R"({"type": "foreign", "tags": [["a", "b"], ["c"]]})"),
         "layers[0].art[0].tags[1]: expected a [name, value] pair of strings"},
        {WithPathStyle(R"({"fill": {"kind": "lab"}})"),
         "layers[0].art[0].style.fill.kind: unknown colour kind \"lab\""},
        {WithPathStyle(R"({"fill": {"kind": "cmyk", "cmyk": [0, 0, 0]}})"),
         "layers[0].art[0].style.fill.cmyk: expected [cyan, magenta, yellow, black]: 4 numbers"},
        {WithPathStyle(R"({"stroke": {"kind": "gray"}})"), "layers[0].art[0].style.stroke: missing field \"gray\""},
        {WithPathStyle(R"({"stroke": {"kind": "custom", "swatch": -1}})"),
         "layers[0].art[0].style.stroke.swatch: number out of range"},
        {WithPathStyle(R"({"dashes": [1, 1, 1, 1, 1, 1, 1]})"),
         "layers[0].art[0].style.dashes: at most 6 dash lengths"},
        {WithPathStyle(R"({"cap": "square"})"),
         "layers[0].art[0].style.cap: unknown line cap \"square\" (expected butt, round or projecting)"},
        {head + R"("symbols": [{"art": []}]})", "symbols[0]: missing field \"name\""},
        {head + R"("symbols": [{"name": "s", "art": [{"type": "layer", "title": "x"}]}]})",
         "symbols[0].art[0]: a layer can only sit directly inside another layer"},
        {head + R"("layers": [{"title": "a\nb", "oops\n": 1}]})", "layers[0]: unknown field \"oops\\n\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        std::string error;
        EXPECT_EQ(ReadJsonDocument(c.text, &error), nullptr);
        EXPECT_NE(error.find(c.error), std::string::npos) << "got: " << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    }
}

// `levels` layers and groups, the innermost holding a path.
std::string NestedGroups(int levels) {
    std::string text = R"({"format": "orbalis-document", "version": 1, "layers": [{"title": "deep", "art": )";
    for (int i = 1; i < levels; ++i) text += R"([{"type": "group", "art": )";
    text += R"([{"type": "path", "segments": [[1, 2]]}])";
    for (int i = 1; i < levels; ++i) text += "}]";
    return text + "}]}";
}

TEST(JsonDocumentMalformed, NestingIsCappedAtAThousandLevels) {
    std::string error;
    auto doc = ReadJsonDocument(NestedGroups(1000), &error);
    ASSERT_NE(doc, nullptr) << error;
    Art* innermost = doc->topLayers()[0]->group();
    for (int level = 1; level < 1000; ++level) innermost = innermost->firstChild();
    EXPECT_EQ(innermost->type(), kHostGroupArt);
    EXPECT_EQ(innermost->firstChild()->type(), kHostPathArt);

    EXPECT_EQ(ReadJsonDocument(NestedGroups(1001), &error), nullptr);
    EXPECT_NE(error.find("nested deeper than 1000 levels"), std::string::npos) << error;
    EXPECT_LT(error.size(), 200u);

    // Deep JSON that is not art at all.
    const std::string arrays(100000, '[');
    EXPECT_EQ(ReadJsonDocument(arrays + std::string(100000, ']'), &error), nullptr);
    EXPECT_NE(error.find("expected a JSON object"), std::string::npos) << error;
    EXPECT_EQ(ReadJsonDocument(WithArt(arrays), &error), nullptr);
    EXPECT_NE(error.find("invalid JSON"), std::string::npos) << error;
}

// ---------------------------------------------------------------- attributes

TEST(JsonDocumentAttributes, LockedAndHiddenContainersAreFilledBeforeTheyAreLocked) {
    auto doc = LoadFixture(R"({
      "format": "orbalis-document", "version": 1,
      "layers": [
        {"title": "locked", "editable": false, "art": [
          {"type": "group", "hidden": true, "art": [
            {"type": "path", "locked": true, "selected": true, "segments": [[0, 0], [5, 5]]},
            {"type": "compoundPath", "locked": true, "art": [{"type": "path", "segments": [[1, 1]]}]}
          ]},
          {"type": "layer", "title": "hidden sublayer", "visible": false, "group": {"locked": true},
           "art": [{"type": "path", "segments": [[2, 2]]}]}
        ]},
        {"title": "open", "current": true, "art": []}
      ]
    })");
    ASSERT_NE(doc, nullptr);
    Layer* locked = doc->topLayers()[0];
    EXPECT_FALSE(locked->editable);
    EXPECT_TRUE(locked->visible);
    EXPECT_FALSE(doc->canEditInside(locked->group()));
    EXPECT_EQ(doc->currentLayer(), doc->topLayers()[1]);

    Art* group = locked->group()->firstChild();
    EXPECT_EQ(group->attributes(), kHostArtHidden);
    EXPECT_TRUE(group->answersSelected());
    Art* path = group->firstChild();
    EXPECT_EQ(path->attributes(), kHostArtLocked | kHostArtSelected);
    EXPECT_EQ(path->path()->segments.size(), 2u);
    EXPECT_EQ(group->lastChild()->attributes(), kHostArtLocked);
    EXPECT_NE(group->lastChild()->firstChild(), nullptr);

    Layer* sub = doc->firstSublayer(locked);
    ASSERT_NE(sub, nullptr);
    EXPECT_FALSE(sub->visible);
    EXPECT_EQ(sub->group()->attributes(), kHostArtLocked);
    EXPECT_NE(sub->group()->firstChild(), nullptr);

    std::vector<Art*> selected;
    doc->collectSelected(selected);
    EXPECT_EQ(selected, (std::vector<Art*>{locked->group(), group, path}));
}

TEST(JsonDocumentFixtures, TwoSquaresFileLoadsAsAdjacentFilledSquares) {
    auto doc = LoadFixtureFile("two-squares.json");
    ASSERT_NE(doc, nullptr);
    ASSERT_EQ(doc->topLayers().size(), 1u);
    EXPECT_EQ(doc->topLayers()[0]->title, "map");
    HostRect west{}, east{};
    Art* first = doc->topLayers()[0]->group()->firstChild();
    ASSERT_TRUE(doc->bounds(first, &west));
    ASSERT_TRUE(doc->bounds(first->next(), &east));
    EXPECT_EQ(west.right, east.left);
    EXPECT_TRUE(first->path()->closed);
    EXPECT_TRUE(first->path()->style.fillPaint);
}

}  // namespace
}  // namespace orbalis::host
