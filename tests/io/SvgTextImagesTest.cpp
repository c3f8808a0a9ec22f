// Text and images through SVG: where a browser shows them is where the host
// has them.
#include <gtest/gtest.h>

#include <map>

#include "host/io/SvgDocument.h"
#include "host/model/Geometry.h"
#include "host/model/TextLayout.h"
#include "tests/support/DocumentBuilder.h"
#include "tests/support/TextFixtures.h"

namespace orbalis::testing {
namespace {

using host::Art;

std::unique_ptr<host::Document> Back(const host::Document& d) {
    std::string error;
    auto back = host::ReadSvgDocument(host::WriteSvgDocument(d), {}, &error);
    EXPECT_TRUE(back) << error;
    return back;
}

const Art* FirstArt(const host::Document& d) { return d.topLayers()[0]->group()->firstChild(); }

TEST(SvgTextImages, EmbeddedRasterArtComesBackWhereItWas) {
    host::Layer* layer = nullptr;
    auto d = NewDocument(&layer);
    Art* raster = AddRaster(*d, layer->group(), host::Concat({0.5, 0, 0, 0.5, 0, 0}, Turned(30, 100, 200)), 40, 20);
    std::get<host::RasterData>(raster->data).data = "data:image/png;base64,iVBORw0KGgo=";
    const HostRect before = BoundsOf(*d, raster);
    auto back = Back(*d);
    ASSERT_TRUE(back);
    const Art* art = FirstArt(*back);
    ASSERT_EQ(art->type(), kHostRasterArt);
    const auto& r = std::get<host::RasterData>(art->data);
    EXPECT_EQ(r.pixelWidth, 40);
    EXPECT_EQ(r.pixelHeight, 20);
    EXPECT_TRUE(NearMatrix(r.matrix, std::get<host::RasterData>(raster->data).matrix, 1e-6));
    const HostRect after = BoundsOf(*back, art);
    EXPECT_NEAR(after.left, before.left, 1e-6);
    EXPECT_NEAR(after.top, before.top, 1e-6);
    EXPECT_NEAR(after.bottom, before.bottom, 1e-6);
}

TEST(SvgTextImages, CharacterRotationAndVerticalTextSurvive) {
    host::Layer* layer = nullptr;
    auto d = NewDocument(&layer);
    AddPointText(*d, layer->group(), Turned(0, 50, 60), {Chars("Ab", 12, 15), Chars("cd", 12)});
    AddPointText(*d, layer->group(), Turned(0, 200, 300), {Chars("縦書き", 10)}, 1);
    const std::string svg = host::WriteSvgDocument(*d);
    // SVG turns glyphs clockwise; the unrotated run says so.
    EXPECT_NE(svg.find("rotate=\"-15 -15 0\" fill=\"#000000\">Abcd</text>"), std::string::npos) << svg;
    EXPECT_NE(svg.find("writing-mode=\"vertical-rl\""), std::string::npos);
    auto back = Back(*d);
    ASSERT_TRUE(back);
    const Art* rotated = FirstArt(*back);  // art is added at the bottom
    const Art* vertical = rotated->next();
    ASSERT_EQ(rotated->type(), kHostTextFrameArt);
    const auto& t = std::get<host::TextData>(rotated->data);
    ASSERT_EQ(t.runs.size(), 2u);
    EXPECT_EQ(t.runs[0].features.rotation, 15);
    EXPECT_EQ(t.runs[1].features.rotation, 0);
    EXPECT_EQ(std::get<host::TextData>(vertical->data).orientation, 1);
}

TEST(SvgTextImages, ASharedCharacterScaleKeepsTheTextAsWideAsTheHostLaysItOut) {
    host::Layer* layer = nullptr;
    auto d = NewDocument(&layer);
    Art* label = AddPointText(*d, layer->group(), Turned(30, 50, 60), {Chars("Wide", 10), Chars("r", 14)});
    for (auto& run : TextOf(label).runs) run.features.horizontalScale = 1.5;
    d->touch(label);
    const HostRect before = BoundsOf(*d, label);
    auto back = Back(*d);
    ASSERT_TRUE(back);
    const HostRect after = BoundsOf(*back, FirstArt(*back));
    EXPECT_NEAR(after.left, before.left, 1e-6);
    EXPECT_NEAR(after.right, before.right, 1e-6);
    EXPECT_NEAR(after.top, before.top, 1e-6);
    EXPECT_NEAR(after.bottom, before.bottom, 1e-6);
}

TEST(SvgTextImages, SeveralRotationsPerElementTurnEachCharacter) {
    std::string error;
    auto d = host::ReadSvgDocument(
        "<svg xmlns='http://www.w3.org/2000/svg' width='100' height='100'>"
        "<text x='10' y='20' rotate='10 20 30'>abcd</text></svg>",
        {}, &error);
    ASSERT_TRUE(d) << error;
    const Art* art = FirstArt(*d);
    ASSERT_EQ(art->type(), kHostTextFrameArt);
    // Each character its own rotation, the last angle for the rest.
    const auto& runs = std::get<host::TextData>(art->data).runs;
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].features.rotation, -10);
    EXPECT_EQ(runs[1].features.rotation, -20);
    EXPECT_EQ(runs[2].text, "cd");
    EXPECT_EQ(runs[2].features.rotation, -30);
    // Written back as the file gave them, so that every renderer lays the
    // line out as it did the file's.
    const std::string written = host::WriteSvgDocument(*d);
    EXPECT_NE(written.find("rotate=\"10 20 30\" fill=\"#000000\">abcd</text>"), std::string::npos) << written;
}

TEST(SvgTextImages, CharactersPlacedOneByOneAreWrittenAsLists) {
    std::string error;
    auto d = host::ReadSvgDocument(
        "<svg xmlns='http://www.w3.org/2000/svg' width='100' height='100'>"
        "<text id='lists' x='10 20 30' y='40' dy='0 5' dx='1 0 0 2'>abcde</text>"
        "<text id='gap' x='10' y='40'>ab<tspan x='50'>c</tspan></text>"
        "<text id='kinds' x='10 20' y='40'>a<tspan fill='red'>b</tspan></text></svg>",
        {}, &error);
    ASSERT_TRUE(d) << error;
    const std::string written = host::WriteSvgDocument(*d);
    // Points at 0.75 pt per px; the page's y up is SVG's y down again.
    EXPECT_NE(written.find("<text id=\"lists\" x=\"7.5 15 22.5\" y=\"30\" font-size=\"12\" fill=\"#000000\" "
                           "dx=\"0.75 0 0 1.5\" dy=\"0 3.75\">abcde</text>"),
              std::string::npos)
        << written;
    // A character placed after one that is not cannot be in a list.
    EXPECT_NE(written.find("><tspan>ab<tspan x=\"37.5\">c</tspan></tspan></text>"), std::string::npos) << written;
    // Nor can runs that differ in more than their rotation share one.
    EXPECT_NE(written.find(">a<tspan fill=\"#ff0000\"><tspan x=\"15\">b</tspan></tspan></text>"), std::string::npos)
        << written;
    auto back = host::ReadSvgDocument(written, {}, &error);
    ASSERT_TRUE(back) << error;
    EXPECT_EQ(host::WriteSvgDocument(*back), written);
    // A text without characters has no line to place.
    auto empty = host::ReadSvgDocument(
        "<svg xmlns='http://www.w3.org/2000/svg'><text id='e' x='1 2' rotate='5 6'/></svg>", {}, &error);
    ASSERT_TRUE(empty) << error;
    EXPECT_NE(host::WriteSvgDocument(*empty).find("<text id=\"e\""), std::string::npos);
    const Art* lists = FirstArt(*back);
    while (lists && lists->name != "lists") lists = lists->next();
    ASSERT_TRUE(lists);
    const auto& glyphs = std::get<host::TextData>(lists->data).glyphs;
    ASSERT_GE(glyphs.x.size(), 3u);
    EXPECT_DOUBLE_EQ(glyphs.x[2], 15);  // from the anchor
    ASSERT_GE(glyphs.dx.size(), 4u);
    EXPECT_DOUBLE_EQ(glyphs.dx[3], 1.5);
}

TEST(SvgTextImages, WhiteSpaceIsKeptWhereXmlSpaceSaysSo) {
    std::string error;
    auto d = host::ReadSvgDocument(
        "<svg xmlns='http://www.w3.org/2000/svg' width='100' height='100'>"
        "<text id='mixed' y='20' xml:space='preserve'>  a  <tspan xml:space='default'>  b  </tspan>  c </text>"
        "<text id='inner' y='40'>\n  <tspan xml:space='preserve'>   d</tspan>\n</text>"
        "<g xml:space='preserve'><text id='around' y='60'> e  f</text></g></svg>",
        {}, &error);
    ASSERT_TRUE(d) << error;
    std::map<std::string, std::string> contents;
    for (const host::Layer* layer : d->allLayers())
        for (const Art* a = layer->group()->firstChild(); a; a = a->next()) {
            std::string text;
            if (const auto* t = std::get_if<host::TextData>(&a->data))
                for (const auto& run : t->runs) text += run.text;
            contents[a->name] = text;
        }
    // Collapsed white space after a kept space goes; one space stays before
    // what follows it.
    EXPECT_EQ(contents["mixed"], "  a  b   c ");
    EXPECT_EQ(contents["inner"], "   d");
    EXPECT_EQ(contents["around"], " e  f");
    const std::string written = host::WriteSvgDocument(*d);
    EXPECT_NE(written.find("xml:space=\"preserve\">   d</text>"), std::string::npos) << written;
    auto back = host::ReadSvgDocument(written, {}, &error);
    ASSERT_TRUE(back) << error;
    EXPECT_EQ(host::WriteSvgDocument(*back), written);
}

}  // namespace
}  // namespace orbalis::testing
