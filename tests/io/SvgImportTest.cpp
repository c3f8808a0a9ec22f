#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "host/io/SvgDocument.h"

namespace orbalis::host {
namespace {

// A page of 200 x 100 points whose user unit is one point.
std::string Page(const std::string& body, const std::string& rootAttributes = "") {
    return "<svg xmlns='http://www.w3.org/2000/svg' xmlns:xlink='http://www.w3.org/1999/xlink'"
           " xmlns:inkscape='http://www.inkscape.org/namespaces/inkscape'"
           " xmlns:sodipodi='http://sodipodi.sourceforge.net/DTD/sodipodi-0.dtd'"
           " width='200pt' height='100pt' viewBox='0 0 200 100' " +
           rootAttributes + ">" + body + "</svg>";
}

std::unique_ptr<Document> Read(const std::string& text, const SvgImportOptions& options = {}) {
    std::string error;
    auto document = ReadSvgDocument(text, options, &error);
    EXPECT_TRUE(document) << error;
    return document;
}

// The topmost object of the topmost layer.
const Art* First(const Document& d) { return d.topLayers().front()->group()->firstChild(); }

const std::string* Foreign(const NameValues& values, const std::string& name) {
    for (const auto& [n, v] : values)
        if (n == name) return &v;
    return nullptr;
}

// Every named object of the document's layers.
std::map<std::string, const Art*> ByName(const Document& d) {
    std::map<std::string, const Art*> out;
    std::vector<const Art*> stack;
    for (const Layer* layer : d.topLayers()) stack.push_back(layer->group());
    while (!stack.empty()) {
        const Art* a = stack.back();
        stack.pop_back();
        if (!a->name.empty()) out[a->name] = a;
        for (const Art* c = a->firstChild(); c; c = c->next()) stack.push_back(c);
    }
    return out;
}

void ExpectPoint(HostPoint p, double x, double y, double tolerance = 1e-9) {
    EXPECT_NEAR(p.x, x, tolerance);
    EXPECT_NEAR(p.y, y, tolerance);
}

HostThreeColor Rgb(const HostColor& c) {
    EXPECT_EQ(c.kind, kHostThreeColor);
    return c.c.three;
}

// ---------------------------------------------------------------- page

TEST(SvgImportPage, YTurnsUpWithoutMirroring) {
    // A triangle near the top of the picture, apex first, drawn clockwise on screen.
    auto d = Read(Page("<path d='M50 10 L60 30 L40 30 Z'/><path id='low' d='M0 90 H10 V95 Z'/>"));
    ASSERT_TRUE(d);
    const Art* low = First(*d);
    const Art* triangle = low->next();
    const auto& s = triangle->path()->segments;
    ASSERT_EQ(s.size(), 3u);
    ExpectPoint(s[0].p, 50, -10);
    ExpectPoint(s[1].p, 60, -30);
    ExpectPoint(s[2].p, 40, -30);
    // The apex, at the top of the picture, has the largest y; what lay lower lies lower.
    EXPECT_GT(s[0].p.y, s[1].p.y);
    EXPECT_GT(s[0].p.y, low->path()->segments[0].p.y);
    // Clockwise on screen stays clockwise: negative signed area with y up.
    double area = 0;
    for (size_t i = 0; i < 3; ++i) {
        const HostPoint a = s[i].p, b = s[(i + 1) % 3].p;
        area += a.x * b.y - b.x * a.y;
    }
    EXPECT_LT(area, 0);
    // The artboard is the viewport, under the same map.
    EXPECT_DOUBLE_EQ(d->artboard.left, 0);
    EXPECT_DOUBLE_EQ(d->artboard.top, 0);
    EXPECT_DOUBLE_EQ(d->artboard.right, 200);
    EXPECT_DOUBLE_EQ(d->artboard.bottom, -100);
}

TEST(SvgImportPage, ArtboardUnits) {
    struct Case {
        const char* root;
        double width, height;
    } cases[] = {
        {"width='8.5in' height='11in'", 612, 792},
        {"width='210mm' height='297mm'", 595.2755905511812, 841.8897637795276},
        {"width='10cm' height='5cm'", 283.46456692913387, 141.73228346456693},
        {"width='800' height='600'", 600, 450},
        {"width='800px' height='600px'", 600, 450},
        {"width='100pt' height='50pt'", 100, 50},
        {"width='6pc' height='3pc'", 72, 36},
        {"viewBox='0 0 400 200'", 300, 150},
        {"width='100pt' viewBox='0 0 400 200'", 100, 50},
        {"width='100%' height='100%' viewBox='0 0 40 20'", 30, 15},
    };
    for (const Case& c : cases) {
        auto d = Read(std::string("<svg xmlns='http://www.w3.org/2000/svg' ") + c.root + "/>");
        ASSERT_TRUE(d) << c.root;
        EXPECT_NEAR(d->artboard.right - d->artboard.left, c.width, 1e-9) << c.root;
        EXPECT_NEAR(d->artboard.top - d->artboard.bottom, c.height, 1e-9) << c.root;
    }
}

TEST(SvgImportPage, ViewBoxScaleOriginAndAspect) {
    // px user units: 1 user unit = 0.75 pt.
    auto px = Read(
        "<svg xmlns='http://www.w3.org/2000/svg' width='800' height='400' viewBox='0 0 800 400'>"
        "<path d='M100 200 L200 200'/></svg>");
    ExpectPoint(First(*px)->path()->segments[0].p, 75, -150);
    // The viewBox origin stays where the file puts it.
    auto offset = Read(
        "<svg xmlns='http://www.w3.org/2000/svg' width='100pt' height='50pt' viewBox='10 20 100 50'>"
        "<path d='M10 20 L20 20'/></svg>");
    ExpectPoint(First(*offset)->path()->segments[0].p, 10, -20);
    EXPECT_DOUBLE_EQ(offset->artboard.left, 10);
    EXPECT_DOUBLE_EQ(offset->artboard.top, -20);
    // xMidYMid meet centres a square box in a wide viewport.
    auto meet = Read(
        "<svg xmlns='http://www.w3.org/2000/svg' width='200pt' height='100pt' viewBox='0 0 100 100'>"
        "<path d='M0 0 L100 100'/></svg>");
    ExpectPoint(First(*meet)->path()->segments[0].p, 50, 0);
    ExpectPoint(First(*meet)->path()->segments[1].p, 150, -100);
    auto none = Read(
        "<svg xmlns='http://www.w3.org/2000/svg' width='200pt' height='100pt' viewBox='0 0 100 100' "
        "preserveAspectRatio='none'><path d='M0 0 L100 100'/></svg>");
    ExpectPoint(First(*none)->path()->segments[1].p, 200, -100);
}

// ---------------------------------------------------------------- shapes and transforms

TEST(SvgImportShapes, BasicShapesBecomePaths) {
    auto d =
        Read(Page("<rect x='10' y='10' width='20' height='10'/>"
                  "<rect x='10' y='10' width='20' height='20' rx='5'/>"
                  "<circle cx='50' cy='50' r='10'/>"
                  "<ellipse cx='50' cy='50' rx='20' ry='10'/>"
                  "<line x1='0' y1='0' x2='10' y2='5'/>"
                  "<polyline points='0,0 10,0 10,10'/>"
                  "<polygon points='0 0 10 0 10 10'/>"));
    ASSERT_TRUE(d);
    std::vector<const Art*> art;  // in file order
    for (const Art* a = First(*d); a; a = a->next()) art.insert(art.begin(), a);
    ASSERT_EQ(art.size(), 7u);
    struct Expect {
        size_t segments;
        bool closed;
        HostRect bounds;
    } expect[] = {
        {4, true, {10, -10, 30, -20}}, {8, true, {10, -10, 30, -30}}, {4, true, {40, -40, 60, -60}},
        {4, true, {30, -40, 70, -60}}, {2, false, {0, 0, 10, -5}},    {3, false, {0, 0, 10, -10}},
        {3, true, {0, 0, 10, -10}},
    };
    for (size_t i = 0; i < art.size(); ++i) {
        ASSERT_EQ(art[i]->type(), kHostPathArt) << i;
        EXPECT_EQ(art[i]->path()->segments.size(), expect[i].segments) << i;
        EXPECT_EQ(art[i]->path()->closed, expect[i].closed) << i;
        HostRect b;
        ASSERT_TRUE(d->bounds(art[i], &b));
        EXPECT_NEAR(b.left, expect[i].bounds.left, 1e-6) << i;
        EXPECT_NEAR(b.top, expect[i].bounds.top, 1e-6) << i;
        EXPECT_NEAR(b.right, expect[i].bounds.right, 1e-6) << i;
        EXPECT_NEAR(b.bottom, expect[i].bounds.bottom, 1e-6) << i;
    }
    for (const auto& s : art[0]->path()->segments) EXPECT_TRUE(s.corner);
    for (const auto& s : art[2]->path()->segments) EXPECT_FALSE(s.corner);
}

TEST(SvgImportShapes, TransformsApplyToGeometry) {
    struct Case {
        const char* transform;
        double x, y;  // where SVG's (1, 0) lands, before the y flip
    } cases[] = {
        {"translate(10)", 11, 0},
        {"translate(10, 5)", 11, 5},
        {"scale(2)", 2, 0},
        {"scale(2 3)", 2, 0},
        {"rotate(90)", 0, 1},
        {"rotate(90 1 1)", 2, 1},
        {"skewY(45)", 1, 1},
        {"matrix(1 2 3 4 5 6)", 6, 8},
        {"translate(10 0) scale(2)", 12, 0},
        {"scale(2) translate(10 0)", 22, 0},
        {"rotate(180) , translate(1 1)", -2, -1},
    };
    for (const Case& c : cases) {
        auto d = Read(Page(std::string("<g><path transform='") + c.transform + "' d='M1 0 L1 1'/></g>"));
        ASSERT_TRUE(d) << c.transform;
        const Art* path = d->topLayers().front()->group()->firstChild();
        ExpectPoint(path->path()->segments[0].p, c.x, -c.y, 1e-9);
    }
    // Group transforms compose with their children's.
    auto nested =
        Read(Page("<g transform='translate(100 0)'><g transform='scale(2)'>"
                  "<path d='M1 1 L2 2' stroke='red' stroke-width='3'/></g></g>"));
    const Art* group = First(*nested);
    const Art* path = group->firstChild();
    ExpectPoint(path->path()->segments[0].p, 102, -2);
    EXPECT_DOUBLE_EQ(path->path()->style.stroke.width, 6);  // stroke widths scale too
}

TEST(SvgImportShapes, SeveralSubpathsMakeACompoundPath) {
    auto d =
        Read(Page("<path id='donut' fill-rule='evenodd' fill='#00ff00' "
                  "d='M0 0 H10 V10 H0 Z M2 2 H8 V8 H2 Z M20 20 L30 30'/>"));
    const Art* compound = First(*d);
    ASSERT_EQ(compound->type(), kHostCompoundPathArt);
    EXPECT_EQ(compound->name, "donut");
    std::vector<const Art*> members;
    for (const Art* m = compound->firstChild(); m; m = m->next()) members.push_back(m);
    ASSERT_EQ(members.size(), 3u);
    EXPECT_TRUE(members[0]->path()->closed);
    EXPECT_TRUE(members[1]->path()->closed);
    EXPECT_FALSE(members[2]->path()->closed);
    ExpectPoint(members[1]->path()->segments[0].p, 2, -2);
    for (const Art* m : members) {
        EXPECT_TRUE(m->path()->style.evenOdd);
        EXPECT_DOUBLE_EQ(Rgb(m->path()->style.fill.color).green, 1);
    }
}

// ---------------------------------------------------------------- style

TEST(SvgImportStyle, DefaultsAndInheritance) {
    auto d =
        Read(Page("<path id='plain' d='M0 0 H1 V1 Z'/>"
                  "<g fill='red' stroke='blue' stroke-width='2'>"
                  "  <path id='inherits' d='M0 0 H1 V1 Z'/>"
                  "  <path id='overrides' fill='none' style='stroke:lime;stroke-width:4' stroke='black' d='M0 0 H1'/>"
                  "</g>"));
    ASSERT_TRUE(d);
    const auto byName = ByName(*d);
    ASSERT_EQ(byName.size(), 3u);
    const HostPathStyle& plain = byName.at("plain")->path()->style;
    EXPECT_TRUE(plain.fillPaint);  // SVG fills black unless told otherwise
    EXPECT_EQ(Rgb(plain.fill.color).red, 0);
    EXPECT_FALSE(plain.strokePaint);
    const HostPathStyle& inherits = byName.at("inherits")->path()->style;
    EXPECT_EQ(Rgb(inherits.fill.color).red, 1);
    EXPECT_TRUE(inherits.strokePaint);
    EXPECT_EQ(Rgb(inherits.stroke.color).blue, 1);
    EXPECT_EQ(inherits.stroke.width, 2);
    const HostPathStyle& overrides = byName.at("overrides")->path()->style;
    EXPECT_FALSE(overrides.fillPaint);
    EXPECT_EQ(Rgb(overrides.stroke.color).green, 1);  // the style attribute wins
    EXPECT_EQ(overrides.stroke.width, 4);
}

TEST(SvgImportStyle, ColourNotations) {
    struct Case {
        const char* fill;
        double r, g, b;
        const char* opacity;  // the fill-opacity kept for the colour's alpha, if any
    } cases[] = {
        {"#f00", 1, 0, 0, nullptr},
        {"#FF8000", 1, 128 / 255.0, 0, nullptr},
        {"#f008", 1, 0, 0, "0.5333333333333333"},
        {"#ff000080", 1, 0, 0, "0.5019607843137255"},
        {"rgb(255, 128, 0)", 1, 128 / 255.0, 0, nullptr},
        {"rgb(100%, 50%, 0%)", 1, 0.5, 0, nullptr},
        {"rgba(0,0,255,0.25)", 0, 0, 1, "0.25"},
        {"rgb(0 0 255 / 50%)", 0, 0, 1, "0.5"},
        {"hsl(120, 100%, 50%)", 0, 1, 0, nullptr},
        {"steelblue", 70 / 255.0, 130 / 255.0, 180 / 255.0, nullptr},
        {"RebeccaPurple", 0x66 / 255.0, 0x33 / 255.0, 0x99 / 255.0, nullptr},
        {"currentColor", 0, 0, 1, nullptr},
    };
    for (const Case& c : cases) {
        auto d = Read(Page(std::string("<path color='blue' fill='") + c.fill + "' d='M0 0 H1 V1 Z'/>"));
        ASSERT_TRUE(d) << c.fill;
        const Art* art = First(*d);
        const HostThreeColor rgb = Rgb(art->path()->style.fill.color);
        EXPECT_NEAR(rgb.red, c.r, 1e-12) << c.fill;
        EXPECT_NEAR(rgb.green, c.g, 1e-12) << c.fill;
        EXPECT_NEAR(rgb.blue, c.b, 1e-12) << c.fill;
        const std::string* opacity = Foreign(art->foreignAttributes, "fill-opacity");
        if (c.opacity) {
            ASSERT_TRUE(opacity) << c.fill;
            EXPECT_EQ(*opacity, c.opacity) << c.fill;
        } else {
            EXPECT_FALSE(opacity) << c.fill;
        }
    }
}

TEST(SvgImportStyle, StrokePropertiesAndOpacities) {
    auto d =
        Read(Page("<path stroke='#000' stroke-width='2.5' stroke-linecap='round' stroke-linejoin='bevel'"
                  " stroke-miterlimit='7' stroke-dasharray='1 2 3' stroke-dashoffset='1.5'"
                  " opacity='0.5' style='fill-opacity:.3;mix-blend-mode:multiply' d='M0 0 H10'/>"));
    const Art* art = First(*d);
    const HostStrokeStyle& s = art->path()->style.stroke;
    EXPECT_EQ(s.width, 2.5);
    EXPECT_EQ(s.cap, 1);
    EXPECT_EQ(s.join, 2);
    EXPECT_EQ(s.miterLimit, 7);
    ASSERT_EQ(s.dashCount, 6);  // an odd list repeats
    EXPECT_EQ(s.dashes[3], 1);
    EXPECT_EQ(s.dashOffset, 1.5);
    ASSERT_TRUE(Foreign(art->foreignAttributes, "opacity"));
    EXPECT_EQ(*Foreign(art->foreignAttributes, "opacity"), "0.5");
    EXPECT_EQ(*Foreign(art->foreignAttributes, "fill-opacity"), ".3");
    EXPECT_EQ(*Foreign(art->foreignAttributes, "style"), "mix-blend-mode:multiply");
    EXPECT_FALSE(Foreign(art->foreignAttributes, "stroke-width"));  // held by the model
}

TEST(SvgImportStyle, PaintServersKeepTheirReference) {
    auto d =
        Read(Page("<defs><linearGradient id='g'><stop offset='0' stop-color='red'/></linearGradient></defs>"
                  "<path fill='url(#g) #00f' d='M0 0 H1 V1 Z'/>"));
    const Art* art = First(*d);
    EXPECT_TRUE(art->path()->style.fillPaint);
    EXPECT_EQ(Rgb(art->path()->style.fill.color).blue, 1);  // the fallback
    ASSERT_TRUE(Foreign(art->foreignAttributes, "fill"));
    EXPECT_EQ(*Foreign(art->foreignAttributes, "fill"), "url(#g) #00f");
    ASSERT_EQ(d->foreignContent.size(), 1u);
    EXPECT_NE(d->foreignContent[0].find("<linearGradient id=\"g\">"), std::string::npos);
}

TEST(SvgImportStyle, APaintServerMayFallBackToTheCurrentColour) {
    auto d = Read(Page("<path color='#00ff00' fill='url(#missing) currentColor' d='M0 0 H1 V1 Z'/>"));
    const Art* art = First(*d);
    EXPECT_TRUE(art->path()->style.fillPaint);
    EXPECT_EQ(Rgb(art->path()->style.fill.color).green, 1);
    ASSERT_TRUE(Foreign(art->foreignAttributes, "fill"));
    EXPECT_EQ(*Foreign(art->foreignAttributes, "fill"), "url(#missing) currentColor");
    // Written back while the colour is still the element's own current colour.
    const std::string written = WriteSvgDocument(*d);
    EXPECT_NE(written.find("fill=\"url(#missing) currentColor\""), std::string::npos) << written;
    EXPECT_EQ(WriteSvgDocument(*Read(written)), written);
}

// ---------------------------------------------------------------- text, images, symbols

TEST(SvgImportText, PointTextWithParagraphs) {
    auto d =
        Read(Page("<text id='label' x='20' y='30' font-size='12' font-family='Noto Sans JP' "
                  "text-anchor='middle'>東京都 <tspan fill='red'>千代田区</tspan>"
                  "<tspan x='20' dy='14' text-anchor='end'>Tokyo</tspan></text>"));
    const Art* art = First(*d);
    ASSERT_EQ(art->type(), kHostTextFrameArt);
    EXPECT_EQ(art->name, "label");
    const auto& t = std::get<TextData>(art->data);
    EXPECT_EQ(t.frameKind, 0);
    EXPECT_DOUBLE_EQ(t.matrix.tx, 20);
    EXPECT_DOUBLE_EQ(t.matrix.ty, -30);
    EXPECT_EQ(t.matrix.a, 1);
    EXPECT_EQ(t.matrix.d, 1);
    ASSERT_EQ(t.runs.size(), 3u);
    EXPECT_EQ(t.runs[0].text, "東京都 ");
    EXPECT_EQ(t.runs[1].text, "千代田区\r");
    EXPECT_EQ(t.runs[2].text, "Tokyo");
    EXPECT_EQ(t.runs[0].features.font, "Noto Sans JP");
    EXPECT_EQ(t.runs[0].features.fontSize, 12);
    EXPECT_EQ(Rgb(t.runs[1].features.fill).red, 1);
    ASSERT_EQ(t.paragraphs.size(), 2u);
    EXPECT_EQ(t.paragraphs[0], Justification::Center);
    EXPECT_EQ(t.paragraphs[1], Justification::Right);
}

TEST(SvgImportText, ScaleBecomesFontSizeAndRotationStaysInTheMatrix) {
    // 1 px = 0.75 pt: a 16px label is a 12pt one.
    auto px = Read(
        "<svg xmlns='http://www.w3.org/2000/svg' width='100' height='100' viewBox='0 0 100 100'>"
        "<text x='10' y='20' font-size='16'>A</text></svg>");
    const auto& t = std::get<TextData>(First(*px)->data);
    EXPECT_DOUBLE_EQ(t.runs[0].features.fontSize, 12);
    EXPECT_EQ(t.matrix.a, 1);
    EXPECT_DOUBLE_EQ(t.matrix.tx, 7.5);
    EXPECT_DOUBLE_EQ(t.matrix.ty, -15);
    // Rotated 90 degrees clockwise on screen: the baseline runs down the page.
    auto rotated = Read(Page("<text transform='rotate(90 50 50)' x='50' y='50'>A</text>"));
    const auto& r = std::get<TextData>(First(*rotated)->data);
    EXPECT_NEAR(r.matrix.a, 0, 1e-12);
    EXPECT_NEAR(r.matrix.b, -1, 1e-12);
    EXPECT_NEAR(r.matrix.tx, 50, 1e-12);
    EXPECT_NEAR(r.matrix.ty, -50, 1e-12);
}

TEST(SvgImportText, WhiteSpaceCollapses) {
    auto d = Read(Page("<text>\n   Two   words\t here \n</text>"));
    EXPECT_EQ(std::get<TextData>(First(*d)->data).runs[0].text, "Two words here");
    auto kept = Read(Page("<text xml:space='preserve'> a  b</text>"));
    EXPECT_EQ(std::get<TextData>(First(*kept)->data).runs[0].text, " a  b");
}

TEST(SvgImportImages, PlacedArtMapsImageSpace) {
    auto d =
        Read(Page("<image x='10' y='20' width='30' height='40' xlink:href='map.png'/>"
                  "<image transform='scale(2)' width='5' height='5' href='data:image/png;base64,AAAA'/>"));
    const Art* scaled = First(*d);
    const Art* plain = scaled->next();
    const auto& p = std::get<PlacedData>(plain->data);
    EXPECT_EQ(p.file, "map.png");
    EXPECT_EQ(p.width, 30);
    EXPECT_EQ(p.height, 40);
    EXPECT_EQ(p.matrix.a, 1);
    EXPECT_EQ(p.matrix.d, -1);
    EXPECT_EQ(p.matrix.tx, 10);
    EXPECT_EQ(p.matrix.ty, -20);
    HostRect b;
    ASSERT_TRUE(d->bounds(plain, &b));
    EXPECT_EQ(b.top, -20);
    EXPECT_EQ(b.bottom, -60);
    // An embedded image is raster art, its pixel space y up.
    const auto& s = std::get<RasterData>(scaled->data);
    EXPECT_EQ(s.data, "data:image/png;base64,AAAA");
    EXPECT_EQ(s.pixelWidth, 5);
    EXPECT_EQ(s.pixelHeight, 5);
    EXPECT_EQ(s.matrix.a, 2);
    EXPECT_EQ(s.matrix.d, 2);
    ASSERT_TRUE(d->bounds(scaled, &b));
    EXPECT_EQ(b.left, 0);
    EXPECT_EQ(b.right, 10);
    EXPECT_EQ(b.top, 0);
    EXPECT_EQ(b.bottom, -10);
}

TEST(SvgImportSymbols, UseOfASymbolIsAnInstance) {
    auto d =
        Read(Page("<defs><symbol id='pin'><circle cx='0' cy='-5' r='2'/></symbol></defs>"
                  "<use xlink:href='#pin' x='50' y='60'/>"));
    ASSERT_EQ(d->symbols().size(), 1u);
    EXPECT_EQ(d->symbols()[0].name, "pin");
    const Art* circle = d->symbols()[0].art->firstChild();
    ASSERT_TRUE(circle && circle->path());
    HostRect inner;
    ASSERT_TRUE(d->bounds(circle, &inner));
    EXPECT_NEAR(inner.top, 7, 1e-9);  // the definition is upright: y up
    const Art* use = First(*d);
    ASSERT_EQ(use->type(), kHostSymbolArt);
    const auto& s = std::get<SymbolData>(use->data);
    EXPECT_EQ(s.symbol, "pin");
    HostRect b;
    ASSERT_TRUE(d->bounds(use, &b));
    EXPECT_NEAR(b.top, -53, 1e-9);  // on screen 5 above y = 60, reaching 2 further
    EXPECT_NEAR(b.left, 48, 1e-9);
    EXPECT_TRUE(d->foreignContent.empty());  // the defs held only the symbol
}

TEST(SvgImportSymbols, ASymbolViewBoxFillsThePageWithoutASize) {
    // No width or height on the use or the symbol: the symbol's viewport is
    // 100 % of the page's 200 x 100 units, the 400 x 200 box fitted in at 1/2.
    auto d =
        Read(Page("<symbol id='s' viewBox='-100 -50 400 200'><rect width='10' height='10'/></symbol>"
                  "<use xlink:href='#s'/>"));
    const Art* use = First(*d);
    ASSERT_EQ(use->type(), kHostSymbolArt);
    const HostMatrix& m = std::get<SymbolData>(use->data).matrix;
    EXPECT_DOUBLE_EQ(m.a, 0.5);
    EXPECT_DOUBLE_EQ(m.tx, 50);
    EXPECT_DOUBLE_EQ(m.ty, -25);
}

// ---------------------------------------------------------------- layers

TEST(SvgImportLayers, TitlesNestingVisibilityAndLocks) {
    auto d =
        Read(Page("<g id='base' inkscape:label='地形' inkscape:groupmode='layer'><path d='M0 0 H1'/>"
                  "  <g inkscape:groupmode='layer' inkscape:label='河川' style='display:none'/>"
                  "  <g id='plain-group'><path d='M0 0 H1'/></g></g>"
                  "<g id='roads' sodipodi:insensitive='true'/>"
                  "<g/>"
                  "<path id='loose' d='M0 0 H2'/>"
                  "<g visibility='hidden'><path id='hidden' display='none' d='M0 0 H1'/></g>"));
    ASSERT_TRUE(d);
    const auto& top = d->topLayers();
    ASSERT_EQ(top.size(), 5u);
    EXPECT_EQ(top[4]->title, "地形");
    EXPECT_EQ(top[3]->title, "roads");
    EXPECT_EQ(top[2]->title, "Layer 4");  // numbered among all layers, sublayers too
    EXPECT_EQ(top[1]->title, "Layer 5");  // art outside any group
    EXPECT_EQ(top[1]->group()->firstChild()->name, "loose");
    EXPECT_FALSE(top[0]->visible);
    EXPECT_FALSE(top[3]->editable);
    EXPECT_TRUE(top[4]->visible && top[4]->editable);
    ASSERT_TRUE(Foreign(top[4]->foreignAttributes, "id"));
    EXPECT_EQ(*Foreign(top[4]->foreignAttributes, "id"), "base");

    const Layer* river = d->firstSublayer(top[4]);
    ASSERT_TRUE(river);
    EXPECT_EQ(river->title, "河川");
    EXPECT_FALSE(river->visible);
    EXPECT_EQ(d->parentLayer(river), top[4]);
    // A group not marked as a layer stays a group.
    const Art* group = top[4]->group()->firstChild();
    EXPECT_EQ(group->type(), kHostGroupArt);
    EXPECT_EQ(group->name, "plain-group");
    EXPECT_EQ(group->next(), river->group());
    // Art inside a hidden layer is not marked hidden itself, unless it says so.
    const Art* hidden = top[0]->group()->firstChild();
    EXPECT_EQ(hidden->attributes() & kHostArtHidden, kHostArtHidden);
    EXPECT_EQ(d->currentLayer(), top[0]);
}

TEST(SvgImportLayers, LockedAndHiddenArt) {
    auto d =
        Read(Page("<g><path id='a' sodipodi:insensitive='true' d='M0 0 H1'/>"
                  "<path id='b' style='visibility:hidden' d='M0 0 H1'/></g>"));
    const Art* b = First(*d);
    const Art* a = b->next();
    EXPECT_EQ(a->attributes(), kHostArtLocked);
    EXPECT_EQ(b->attributes(), kHostArtHidden);
}

TEST(SvgImportLayers, CurrentLayerByTitle) {
    const std::string text = Page("<g inkscape:label='one'/><g inkscape:label='two'/>");
    auto d = Read(text, {"one"});
    EXPECT_EQ(d->currentLayer()->title, "one");
    std::string error;
    EXPECT_FALSE(ReadSvgDocument(text, {"three"}, &error));
    EXPECT_EQ(error, "no layer titled \"three\"");
}

// ---------------------------------------------------------------- what the model cannot hold

TEST(SvgImportForeign, UnknownContentIsKeptVerbatimInPaintOrder) {
    auto d =
        Read(Page("<metadata><rdf:RDF xmlns:rdf='http://www.w3.org/1999/02/22-rdf-syntax-ns#'/></metadata>"
                  "<g><path id='under' d='M0 0 H1'/>"
                  "<foreignObject id='fo' width='10' height='10'><div "
                  "xmlns='http://www.w3.org/1999/xhtml'>x</div></foreignObject>"
                  "<path id='over' data-county='Mohave' class='c' d='M0 0 H1'><title>Mohave</title></path></g>",
                  "data-source='us-atlas'"));
    ASSERT_TRUE(d);
    const Art* over = First(*d);
    const Art* fo = over->next();
    const Art* under = fo->next();
    EXPECT_EQ(over->name, "over");
    EXPECT_EQ(under->name, "under");
    ASSERT_EQ(fo->type(), kHostForeignArt);
    EXPECT_EQ(fo->name, "fo");
    const auto& data = std::get<ForeignData>(fo->data);
    EXPECT_EQ(data.format, "svg");
    EXPECT_EQ(data.payload.rfind("<foreignObject id=\"fo\"", 0), 0u);
    EXPECT_NE(data.payload.find("<div xmlns=\"http://www.w3.org/1999/xhtml\">x</div>"), std::string::npos);
    EXPECT_EQ(*Foreign(over->foreignAttributes, "data-county"), "Mohave");
    EXPECT_EQ(*Foreign(over->foreignAttributes, "class"), "c");
    EXPECT_EQ(*Foreign(over->foreignAttributes, "#children"), "<title>Mohave</title>");
    ASSERT_EQ(d->foreignContent.size(), 1u);
    EXPECT_EQ(d->foreignContent[0].rfind("<metadata>", 0), 0u);
    EXPECT_EQ(*Foreign(d->foreignAttributes, "data-source"), "us-atlas");
}

// Where SVG has a prefix, an element without one is not SVG; written where
// SVG is the default, it must stay out of SVG, and a file read back must
// read again as it was.
TEST(SvgImportForeign, ElementsOutsideSvgStayOutsideItWhenWrittenAndReadAgain) {
    const std::string prefixed =
        "<svg:svg xmlns:svg='http://www.w3.org/2000/svg' viewBox='0 0 200 200'>"
        "<svg:rect id='drawn' width='5' height='5'/>"
        "<rect width='10' height='10' stroke='bmack'/>"
        "<svg:g><path xmlns='http://www.w3.org/2000/svg' id='declared' d='M0 0 H1'/></svg:g></svg:svg>";
    std::string error;
    auto d = ReadSvgDocument(prefixed, {}, &error);
    ASSERT_TRUE(d) << error;
    const auto named = ByName(*d);
    ASSERT_TRUE(named.count("drawn"));
    EXPECT_EQ(named.at("drawn")->type(), kHostPathArt);
    ASSERT_TRUE(named.count("declared")) << "an element declaring SVG its default is SVG";
    EXPECT_EQ(named.at("declared")->type(), kHostPathArt);

    const std::string written = WriteSvgDocument(*d);
    EXPECT_NE(written.find("<rect xmlns=\"\" width=\"10\""), std::string::npos) << written;
    auto again = ReadSvgDocument(written, {}, &error);
    ASSERT_TRUE(again) << error << "\n" << written;
    EXPECT_EQ(WriteSvgDocument(*again), written);
}

// A prefixed root may also make SVG the default namespace: its unprefixed
// elements are SVG then, read as such the first time as they are once
// written where SVG is the default.
TEST(SvgImportForeign, UnprefixedElementsAreSvgWhereTheRootMakesItTheDefault) {
    std::string error;
    auto d = ReadSvgDocument(
        "<svg:svg xmlns:svg='http://www.w3.org/2000/svg' xmlns='http://www.w3.org/2000/svg' "
        "viewBox='0 0 200 200'><path id='by-default' d='M0 0 H1'/></svg:svg>",
        {}, &error);
    ASSERT_TRUE(d) << error;
    ASSERT_TRUE(ByName(*d).count("by-default"));
    EXPECT_EQ(ByName(*d).at("by-default")->type(), kHostPathArt);

    // Text whose path lies out of range is refused when it is SVG, so it
    // must be refused the first time, not only once written.
    const std::string outOfRange =
        "<svg:svg xmlns:svg='urn:other' xmlns='http://www.w3.org/2000/svg'>"
        "<text id='t'><textPath path='M0 0 C 1e30 0 0 0 1 1'>x</textPath></text></svg:svg>";
    EXPECT_FALSE(ReadSvgDocument(outOfRange, {}, &error));
    EXPECT_NE(error.find("coordinates out of range"), std::string::npos) << error;
}

}  // namespace
}  // namespace orbalis::host
