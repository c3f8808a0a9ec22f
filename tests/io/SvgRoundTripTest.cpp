#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "host/io/SvgDocument.h"

namespace orbalis::host {
namespace {

HostColor Three(double r, double g, double b) {
    HostColor c{};
    c.kind = kHostThreeColor;
    c.c.three = {r, g, b};
    return c;
}

HostColor Four(double c, double m, double y, double k) {
    HostColor out{};
    out.kind = kHostFourColor;
    out.c.four = {c, m, y, k};
    return out;
}

HostPathSegment Corner(double x, double y) { return {{x, y}, {x, y}, {x, y}, 1}; }

Art* NewPath(Document& d, Art* container, std::vector<HostPathSegment> segments, bool closed) {
    Art* art = nullptr;
    EXPECT_EQ(d.newArt(kHostPathArt, kHostPlaceInsideOnTop, container, &art), 0);
    art->path()->segments = std::move(segments);
    art->path()->closed = closed;
    art->path()->style.fillPaint = 1;
    art->path()->style.fill.color = Three(0, 0, 0);
    art->path()->style.stroke.miterLimit = 4;
    art->path()->style.stroke.width = 1;
    return art;
}

std::unique_ptr<Document> RoundTrip(const Document& d, std::string* written = nullptr) {
    const std::string text = WriteSvgDocument(d);
    if (written) *written = text;
    std::string error;
    auto back = ReadSvgDocument(text, {}, &error);
    EXPECT_TRUE(back) << error << "\n" << text;
    return back;
}

void ExpectSameSegments(const std::vector<HostPathSegment>& a, const std::vector<HostPathSegment>& b) {
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i) {
        for (auto [p, q] : {std::pair{a[i].p, b[i].p}, {a[i].in, b[i].in}, {a[i].out, b[i].out}}) {
            EXPECT_NEAR(p.x, q.x, 0.001);
            EXPECT_NEAR(p.y, q.y, 0.001);
        }
        EXPECT_EQ(a[i].corner, b[i].corner) << i;
    }
}

// A document with a bit of everything the model holds.
std::unique_ptr<Document> Sample() {
    auto d = std::make_unique<Document>();
    d->artboard = {0, 500, 800, 0};
    Layer *base, *labels, *hidden, *locked;
    d->insertLayer(nullptr, kHostPlaceAboveAll, &base);
    base->title = "基図";
    d->insertLayer(nullptr, kHostPlaceAboveAll, &labels);
    labels->title = "Labels & names";
    d->insertLayer(base, kHostPlaceInsideOnTop, &hidden);
    hidden->title = "hidden sublayer";
    d->insertLayer(nullptr, kHostPlaceAboveAll, &locked);
    locked->title = "locked";

    Art* curve =
        NewPath(*d, base->group(),
                {{{10, 10}, {0, 0}, {20, 20}, 0}, {{50, 10}, {40, 20}, {60, 0}, 0}, Corner(90.123456, 20)}, true);
    curve->name = "Curve 1";  // not usable as an id
    curve->path()->style.fill.color = Four(0.1, 0.7, 0, 0.2);
    curve->path()->style.strokePaint = 1;
    curve->path()->style.stroke.color = Four(1, 0, 0.5, 0);
    curve->path()->style.stroke.width = 0.5;
    curve->path()->style.stroke.dashCount = 2;
    curve->path()->style.stroke.dashes[0] = 3;
    curve->path()->style.stroke.dashes[1] = 1.5;
    curve->path()->style.stroke.cap = 1;
    curve->path()->style.stroke.join = 2;
    curve->path()->style.stroke.miterLimit = 10;
    curve->tags = {{"orbalis:code", "13101"}, {"a=b&c", "50%"}};

    Art* compound = nullptr;
    d->newArt(kHostCompoundPathArt, kHostPlaceInsideOnTop, base->group(), &compound);
    compound->name = "ring";
    Art* outer = NewPath(*d, compound, {Corner(100, 100), Corner(200, 100), Corner(200, 200), Corner(100, 200)}, true);
    Art* inner = NewPath(*d, compound, {Corner(120, 120), Corner(180, 120), Corner(150, 180)}, true);
    for (Art* m : {outer, inner}) {
        m->path()->style.evenOdd = 1;
        m->path()->style.fill.color = Three(0.25, 0.5, 0.123);
    }

    Art* gray = NewPath(*d, hidden->group(), {Corner(0, 0), Corner(5, 5)}, false);
    gray->name = "gray";
    gray->path()->style.fill.color.kind = kHostGrayColor;
    gray->path()->style.fill.color.c.gray.gray = 0.3;
    Art* group = nullptr;
    d->newArt(kHostGroupArt, kHostPlaceInsideOnTop, locked->group(), &group);
    group->name = "g1";
    Art* guide = NewPath(*d, group, {Corner(0, 0), Corner(100, 0)}, false);
    guide->path()->guide = true;
    Art* lockedArt = NewPath(*d, group, {Corner(1, 1), Corner(2, 2)}, false);
    lockedArt->name = "pinned";
    d->setAttributes(lockedArt, kHostArtLocked | kHostArtHidden, kHostArtLocked | kHostArtHidden);

    Art* text = nullptr;
    d->newArt(kHostTextFrameArt, kHostPlaceInsideOnTop, labels->group(), &text);
    text->name = "tokyo";
    TextData& t = std::get<TextData>(text->data);
    t.matrix = {1, 0, 0, 1, 300, 250};
    CharFeatures f;
    f.font = "Noto Sans JP";
    f.fontSize = 14;
    f.fill = Three(0.2, 0.2, 0.2);
    CharFeatures big = f;
    big.fontSize = 20;
    big.fill = Four(0, 1, 1, 0);
    t.runs = {{"東京 <Tokyo>\r", f}, {"千代田", big}, {"区", f}};
    t.paragraphs = {Justification::Center, Justification::Right};
    Art* rotated = nullptr;
    d->newArt(kHostTextFrameArt, kHostPlaceInsideOnTop, labels->group(), &rotated);
    TextData& r = std::get<TextData>(rotated->data);
    r.matrix = {0, 1, -1, 0, 40, 60};
    r.runs = {{"north", f}};
    r.paragraphs = {Justification::Left};

    Art* image = nullptr;
    d->newArt(kHostPlacedArt, kHostPlaceInsideOnTop, labels->group(), &image);
    image->name = "relief";
    auto& p = std::get<PlacedData>(image->data);
    p = {{2, 0, 0, -2, 10, 400}, 64, 32, "relief.png"};

    Art* definition = d->newSymbolDefinition("pin");
    NewPath(*d, definition, {Corner(0, 0), Corner(4, 10), Corner(-4, 10)}, true);
    Art* instance = nullptr;
    d->newArt(kHostSymbolArt, kHostPlaceInsideOnTop, labels->group(), &instance);
    std::get<SymbolData>(instance->data) = {"pin", {1, 0, 0, 1, 300, 240}};

    hidden->visible = false;
    locked->editable = false;
    d->setCurrentLayer(labels);
    return d;
}

TEST(SvgRoundTrip, LayersKeepTitlesOrderVisibilityAndLocks) {
    auto d = Sample();
    auto back = RoundTrip(*d);
    ASSERT_TRUE(back);
    const auto before = d->allLayers(), after = back->allLayers();
    ASSERT_EQ(before.size(), after.size());
    for (size_t i = 0; i < before.size(); ++i) {
        EXPECT_EQ(after[i]->title, before[i]->title);
        EXPECT_EQ(after[i]->visible, before[i]->visible) << before[i]->title;
        EXPECT_EQ(after[i]->editable, before[i]->editable) << before[i]->title;
        EXPECT_EQ(back->parentLayer(after[i]) != nullptr, d->parentLayer(before[i]) != nullptr);
    }
    EXPECT_NEAR(back->artboard.left, 0, 1e-9);
    EXPECT_NEAR(back->artboard.top, 500, 1e-9);
    EXPECT_NEAR(back->artboard.right, 800, 1e-9);
    EXPECT_NEAR(back->artboard.bottom, 0, 1e-9);
}

TEST(SvgRoundTrip, PathsKeepGeometryStyleNamesAndState) {
    auto d = Sample();
    auto back = RoundTrip(*d);
    ASSERT_TRUE(back);
    const Art* ring = back->allLayers()[2]->group()->firstChild();
    ASSERT_EQ(ring->type(), kHostCompoundPathArt);
    EXPECT_EQ(ring->name, "ring");
    const Art* outer = ring->firstChild();
    const Art* inner = outer->next();
    ASSERT_TRUE(inner && !inner->next());
    const Art* originalRing = d->allLayers()[2]->group()->firstChild();
    ExpectSameSegments(outer->path()->segments, originalRing->firstChild()->path()->segments);
    ExpectSameSegments(inner->path()->segments, originalRing->firstChild()->next()->path()->segments);
    EXPECT_TRUE(inner->path()->style.evenOdd);
    EXPECT_EQ(inner->path()->style.fill.color.c.three.green, 0.5);
    EXPECT_NEAR(inner->path()->style.fill.color.c.three.blue, 0.123, 1e-12);

    const Art* curve = ring->next();
    const Art* originalCurve = originalRing->next();
    EXPECT_EQ(curve->name, "Curve 1");
    ExpectSameSegments(curve->path()->segments, originalCurve->path()->segments);
    EXPECT_TRUE(curve->path()->closed);
    const HostPathStyle& s = curve->path()->style;
    // CMYK comes back exactly, through the data attributes.
    ASSERT_EQ(s.fill.color.kind, kHostFourColor);
    EXPECT_EQ(std::memcmp(&s.fill.color.c.four, &originalCurve->path()->style.fill.color.c.four, sizeof(HostFourColor)),
              0);
    ASSERT_EQ(s.stroke.color.kind, kHostFourColor);
    EXPECT_EQ(s.stroke.color.c.four.yellow, 0.5);
    EXPECT_EQ(s.stroke.width, 0.5);
    ASSERT_EQ(s.stroke.dashCount, 2);
    EXPECT_EQ(s.stroke.dashes[1], 1.5);
    EXPECT_EQ(s.stroke.cap, 1);
    EXPECT_EQ(s.stroke.join, 2);
    EXPECT_EQ(s.stroke.miterLimit, 10);
    EXPECT_EQ(curve->tags, originalCurve->tags);

    // Pre-order: locked, labels, base, its hidden sublayer.
    const Layer* hidden = back->allLayers()[3];
    const Art* gray = hidden->group()->firstChild();
    ASSERT_TRUE(gray && gray->path());
    ASSERT_EQ(gray->path()->style.fill.color.kind, kHostGrayColor);
    EXPECT_EQ(gray->path()->style.fill.color.c.gray.gray, 0.3);
    EXPECT_FALSE(gray->path()->closed);

    const Art* group = back->allLayers()[0]->group()->firstChild();
    ASSERT_EQ(group->type(), kHostGroupArt);
    const Art* pinned = group->firstChild();
    EXPECT_EQ(pinned->name, "pinned");
    EXPECT_EQ(pinned->attributes(), kHostArtLocked | kHostArtHidden);
    EXPECT_TRUE(pinned->next()->path()->guide);
    EXPECT_EQ(pinned->next()->attributes(), 0);
}

TEST(SvgRoundTrip, TextImagesAndSymbols) {
    auto d = Sample();
    auto back = RoundTrip(*d);
    ASSERT_TRUE(back);
    const Art* art = back->topLayers()[1]->group()->firstChild();
    ASSERT_EQ(art->type(), kHostSymbolArt);
    const auto& instance = std::get<SymbolData>(art->data);
    EXPECT_EQ(instance.symbol, "pin");
    EXPECT_NEAR(instance.matrix.tx, 300, 1e-9);
    EXPECT_NEAR(instance.matrix.ty, 240, 1e-9);
    EXPECT_EQ(instance.matrix.a, 1);
    EXPECT_EQ(instance.matrix.d, 1);
    ASSERT_EQ(back->symbols().size(), 1u);
    ExpectSameSegments(back->symbols()[0].art->firstChild()->path()->segments,
                       d->symbols()[0].art->firstChild()->path()->segments);

    art = art->next();
    ASSERT_EQ(art->type(), kHostPlacedArt);
    const auto& placed = std::get<PlacedData>(art->data);
    const auto& originalPlaced = std::get<PlacedData>(d->topLayers()[1]->group()->firstChild()->next()->data);
    EXPECT_EQ(placed.file, "relief.png");
    EXPECT_EQ(placed.width, 64);
    EXPECT_EQ(placed.height, 32);
    EXPECT_EQ(std::memcmp(&placed.matrix, &originalPlaced.matrix, sizeof placed.matrix), 0);

    art = art->next();
    const auto& rotated = std::get<TextData>(art->data);
    EXPECT_NEAR(rotated.matrix.b, 1, 1e-12);
    EXPECT_NEAR(rotated.matrix.c, -1, 1e-12);
    EXPECT_NEAR(rotated.matrix.tx, 40, 1e-9);

    art = art->next();
    EXPECT_EQ(art->name, "tokyo");
    const auto& t = std::get<TextData>(art->data);
    const auto& original = std::get<TextData>(d->topLayers()[1]->group()->lastChild()->data);
    ASSERT_EQ(t.runs.size(), original.runs.size());
    for (size_t i = 0; i < t.runs.size(); ++i) {
        EXPECT_EQ(t.runs[i].text, original.runs[i].text);
        EXPECT_EQ(t.runs[i].features.fontSize, original.runs[i].features.fontSize);
        EXPECT_EQ(t.runs[i].features.font, original.runs[i].features.font);
        EXPECT_EQ(t.runs[i].features.fill.kind, original.runs[i].features.fill.kind);
    }
    EXPECT_EQ(t.paragraphs, original.paragraphs);
    EXPECT_NEAR(t.matrix.tx, 300, 1e-9);
    EXPECT_NEAR(t.matrix.ty, 250, 1e-9);
    EXPECT_EQ(back->currentLayer()->title, back->topLayers()[0]->title);  // the topmost
}

TEST(SvgRoundTrip, OutputIsDeterministicAndStable) {
    auto d = Sample();
    const std::string first = WriteSvgDocument(*d);
    EXPECT_EQ(WriteSvgDocument(*d), first);
    EXPECT_EQ(WriteSvgDocument(*Sample()), first);
    auto back = RoundTrip(*d);
    ASSERT_TRUE(back);
    EXPECT_EQ(WriteSvgDocument(*back), first);
}

TEST(SvgRoundTrip, ForeignContentSurvives) {
    const std::string original =
        "<svg xmlns='http://www.w3.org/2000/svg' xmlns:xlink='http://www.w3.org/1999/xlink' "
        "xmlns:dc='http://purl.org/dc/elements/1.1/' width='100' height='100' data-source='us-atlas' class='map'>"
        "<style>.c { stroke: white }</style>"
        "<defs><linearGradient id='g'><stop offset='0' stop-color='red'/></linearGradient>"
        "<clipPath id='clip'><rect width='50' height='50'/></clipPath></defs>"
        "<metadata><dc:title>Counties</dc:title></metadata>"
        "<g id='map' fill='#ccc' fill-opacity='0.8' clip-path='url(#clip)'>"
        "<path id='a' class='c' fill='url(#g)' data-fips='04015' d='M0 0 H10 V10 Z'><title>Mohave</title></path>"
        "<path id='b' d='M20 20 H30 V30 Z' stroke-dasharray='1 2 3 4 5 6 7 8'/>"
        "<foreignObject x='5' y='5' width='10' height='10'><p "
        "xmlns='http://www.w3.org/1999/xhtml'>note</p></foreignObject>"
        "<use xlink:href='#a' x='40'/>"
        "</g></svg>";
    std::string error;
    auto d = ReadSvgDocument(original, {}, &error);
    ASSERT_TRUE(d) << error;
    const std::string written = WriteSvgDocument(*d);
    for (const char* kept : {"<linearGradient id=\"g\">", "<clipPath id=\"clip\">", "<dc:title>Counties</dc:title>",
                             "xmlns:dc=\"http://purl.org/dc/elements/1.1/\"", "data-source=\"us-atlas\"",
                             "class=\"map\"", "clip-path=\"url(#clip)\"", "fill-opacity=\"0.8\"", "fill=\"url(#g)\"",
                             "data-fips=\"04015\"", "<title>Mohave</title>", "stroke-dasharray=\"1 2 3 4 5 6 7 8\"",
                             "<p xmlns=\"http://www.w3.org/1999/xhtml\">note</p>", "id=\"a\"", "class=\"c\""})
        EXPECT_NE(written.find(kept), std::string::npos) << kept << "\n" << written;
    // The use of the path is a copy of it, where the use puts it.
    const size_t first = written.find("<title>Mohave</title>");
    ASSERT_NE(first, std::string::npos) << written;
    EXPECT_NE(written.find("<title>Mohave</title>", first + 1), std::string::npos) << written;
    EXPECT_EQ(written.find("<use"), std::string::npos) << written;
    // The style sheet is applied to the art it selects, and so is no longer needed.
    EXPECT_EQ(written.find("<style"), std::string::npos) << written;
    EXPECT_NE(written.find("stroke=\"#ffffff\""), std::string::npos) << written;
    // The clipped layer keeps the user space its clip path is drawn in, so
    // its content is written in the file's own units under the page's scale.
    EXPECT_NE(
        written.find(
            "transform=\"matrix(0.75 0 0 0.75 0 0)\" fill=\"#ccc\" fill-opacity=\"0.8\" clip-path=\"url(#clip)\""),
        std::string::npos)
        << written;
    EXPECT_NE(written.find("<foreignObject x=\"5\" y=\"5\" width=\"10\" height=\"10\"><p"), std::string::npos)
        << written;
    // The group's fill is inherited, so the plain path need not repeat it.
    EXPECT_NE(written.find("<path id=\"b\" d=\"M 20 20 30 20 30 30 Z\" stroke-dasharray"), std::string::npos)
        << written;

    auto back = ReadSvgDocument(written, {}, &error);
    ASSERT_TRUE(back) << error;
    EXPECT_EQ(WriteSvgDocument(*back), written);
}

TEST(SvgRoundTrip, AreaTextKeepsItsFrameAndIsWrittenWhereTheHostLaysItOut) {
    Document d;
    Layer* layer;
    d.insertLayer(nullptr, kHostPlaceAboveAll, &layer);
    Art* art = nullptr;
    d.newArt(kHostTextFrameArt, kHostPlaceInsideOnTop, layer->group(), &art);
    TextData& t = std::get<TextData>(art->data);
    t.frameKind = 1;
    t.matrix = {1, 0, 0, 1, 100, 292};
    t.path = {Corner(100, 300), Corner(200, 300), Corner(200, 250), Corner(100, 250)};
    t.pathClosed = true;
    CharFeatures f;
    f.fontSize = 10;
    t.runs = {{"Area", f}};
    t.paragraphs = {Justification::Left};
    const std::string svg = WriteSvgDocument(d);
    EXPECT_NE(svg.find("x=\"100\" y=\"-292\""), std::string::npos)
        << "the first baseline starts at the matrix's origin";
    auto back = RoundTrip(d);
    ASSERT_TRUE(back);
    const auto& area = std::get<TextData>(back->topLayers().front()->group()->firstChild()->data);
    EXPECT_EQ(area.frameKind, 1);
    EXPECT_TRUE(area.pathClosed);
    ASSERT_EQ(area.path.size(), 4u);
    EXPECT_NEAR(area.path[2].p.x, 200, 1e-9);
    EXPECT_NEAR(area.path[2].p.y, 250, 1e-9);
    EXPECT_EQ(area.runs.front().text, "Area");
    EXPECT_NEAR(area.matrix.tx, 100, 1e-9);
    EXPECT_NEAR(area.matrix.ty, 292, 1e-9);
}

TEST(SvgRoundTrip, DashPatternsLongerThanTheModelHolds) {
    std::string error;
    auto d = ReadSvgDocument(
        "<svg xmlns='http://www.w3.org/2000/svg' width='100' height='100'>"
        "<path stroke='red' stroke-dasharray='4 8 4 8 4 8 4 16' d='M0 0 H100'/></svg>",
        {}, &error);
    ASSERT_TRUE(d) << error;
    Art* path = d->topLayers().front()->group()->firstChild();
    const HostStrokeStyle& s = path->path()->style.stroke;
    ASSERT_EQ(s.dashCount, 6);
    EXPECT_EQ(s.dashes[1], 6);  // 8 px
    EXPECT_NE(WriteSvgDocument(*d).find("stroke-dasharray=\"3 6 3 6 3 6 3 12\""), std::string::npos);
    path->path()->style.stroke.dashes[0] = 1;
    const std::string changed = WriteSvgDocument(*d);
    EXPECT_NE(changed.find("stroke-dasharray=\"1 6 3 6 3 6\""), std::string::npos) << changed;
}

TEST(SvgRoundTrip, ChangedColourReplacesAPaintServer) {
    std::string error;
    auto d = ReadSvgDocument(
        "<svg xmlns='http://www.w3.org/2000/svg'><path fill='url(#g) #123456' d='M0 0 H1 V1 Z'/></svg>", {}, &error);
    ASSERT_TRUE(d) << error;
    EXPECT_NE(WriteSvgDocument(*d).find("fill=\"url(#g) #123456\""), std::string::npos);
    Art* path = d->topLayers().front()->group()->firstChild();
    path->path()->style.fill.color = Three(1, 0, 0);
    const std::string written = WriteSvgDocument(*d);
    EXPECT_EQ(written.find("url(#g)"), std::string::npos);
    EXPECT_NE(written.find("fill=\"#ff0000\""), std::string::npos);
    // Black is what the path would inherit: no fill is written, and the
    // reference must not come back either.
    path->path()->style.fill.color = Three(0, 0, 0);
    const std::string black = WriteSvgDocument(*d);
    EXPECT_EQ(black.find("url(#g)"), std::string::npos) << black;
}

TEST(SvgRoundTrip, StaleCmykIsDropped) {
    // The RGB was edited elsewhere after the CMYK was written: the RGB wins.
    std::string error;
    auto d = ReadSvgDocument(
        "<svg xmlns='http://www.w3.org/2000/svg'>"
        "<path fill='#00ff00' data-cmyk-fill='0 1 1 0' d='M0 0 H1 V1 Z'/>"
        "<path fill='#ff0000' data-cmyk-fill='0 1 1 0' d='M0 0 H1 V1 Z'/></svg>",
        {}, &error);
    ASSERT_TRUE(d) << error;
    const Art* current = d->topLayers().front()->group()->firstChild();
    EXPECT_EQ(current->path()->style.fill.color.kind, kHostFourColor);
    EXPECT_EQ(current->next()->path()->style.fill.color.kind, kHostThreeColor);
}

TEST(SvgRoundTrip, AGroupHiddenByVisibilityShowsWhatIsMadeVisibleInside) {
    const std::string original =
        "<svg xmlns='http://www.w3.org/2000/svg' width='100' height='100'>"
        "<g id='outer'><g id='g' visibility='hidden'><rect id='shown' width='10' height='10' visibility='visible'/>"
        "<rect id='unseen' width='10' height='10'/></g><g id='plain' visibility='hidden'><rect width='1' "
        "height='1'/></g>"
        "</g></svg>";
    std::string error;
    auto d = ReadSvgDocument(original, {}, &error);
    ASSERT_TRUE(d) << error;
    const std::string written = WriteSvgDocument(*d);
    EXPECT_NE(written.find("<g id=\"g\" visibility=\"hidden\">"), std::string::npos) << written;
    EXPECT_NE(written.find("visibility=\"visible\""), std::string::npos) << written;
    // What is hidden only by the group's visibility inherits it, not hidden itself.
    EXPECT_NE(written.find("<path id=\"unseen\" d=\"M 0 0 7.5 0 7.5 7.5 0 7.5 Z\"/>"), std::string::npos) << written;
    // A group with nothing visible inside is hidden, the way the file hid it.
    EXPECT_NE(written.find("<g id=\"plain\" visibility=\"hidden\">"), std::string::npos) << written;
    auto back = ReadSvgDocument(written, {}, &error);
    ASSERT_TRUE(back) << error;
    EXPECT_EQ(WriteSvgDocument(*back), written);
}

// Borders written as web maps write them, in relative steps that sum back
// to their start only within rounding: the first reading settles them, so
// that reading the written file again writes the same bytes.
TEST(SvgRoundTrip, RelativeOutlinesSettleOnTheFirstReading) {
    const std::string original =
        "<svg xmlns='http://www.w3.org/2000/svg' width='800' height='600' viewBox='0 -400 800 600'>"
        "<path id='a' d='m10.1 -347.6778825 l0.2 0.2 l0.7 0.7 l-0.3 -0.3 l-0.6 -0.6 z"
        " m3.3 0.1 l1.1 2.2 l1.1 -1.1 l-2.2 -1.1 z'/></svg>";
    std::string error;
    auto d = ReadSvgDocument(original, {}, &error);
    ASSERT_TRUE(d) << error;
    const std::string written = WriteSvgDocument(*d);
    auto back = ReadSvgDocument(written, {}, &error);
    ASSERT_TRUE(back) << error;
    EXPECT_EQ(WriteSvgDocument(*back), written);
}

}  // namespace
}  // namespace orbalis::host
