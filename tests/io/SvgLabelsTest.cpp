// Map labels as web and GIS map tools write them: haloes, letter spacing,
// baseline shifts, decorations, hidden tspans and paint servers on text,
// read into the text model, written back and read again to the same bytes,
// and carried through the native format.
#include <gtest/gtest.h>

#include <cmath>

#include "host/io/JsonDocument.h"
#include "host/io/SvgDocument.h"
#include "host/model/TextLayout.h"
#include "host/model/TextStory.h"

namespace orbalis::testing {
namespace {

using host::CharFeatures;
using host::TextData;

std::unique_ptr<host::Document> FromSvg(const std::string& svg) {
    std::string error;
    auto d = host::ReadSvgDocument(svg, {}, &error);
    EXPECT_TRUE(d) << error << "\n" << svg;
    return d;
}

const TextData& FirstText(const host::Document& d) {
    for (const host::Art* a = d.topLayers()[0]->group()->firstChild(); a; a = a->next())
        if (const auto* text = std::get_if<TextData>(&a->data)) return *text;
    for (const host::Art* a = d.topLayers()[0]->group()->firstChild(); a; a = a->next())
        if (a->firstChild())
            if (const auto* text = std::get_if<TextData>(&a->firstChild()->data)) return *text;
    static const TextData none;
    ADD_FAILURE() << "no text";
    return none;
}

// Writes the document, reads it back and writes it again: the same bytes.
std::string Settled(const host::Document& d) {
    const std::string first = host::WriteSvgDocument(d);
    auto back = FromSvg(first);
    EXPECT_EQ(host::WriteSvgDocument(*back), first);
    return first;
}

// 1px = 0.75pt: a 400 x 200 px map.
const std::string kHead = "<svg xmlns='http://www.w3.org/2000/svg' width='400' height='200'>";

TEST(SvgLabels, AHaloFromAStyleSheetIsAStrokeUnderTheFill) {
    auto d = FromSvg(kHead +
                     "<style>.label{stroke:#fff;stroke-width:3px;paint-order:stroke;letter-spacing:0.1em}</style>"
                     "<g class='label' font-size='16'><text x='10' y='50'>Rhine</text></g></svg>");
    const TextData& text = FirstText(*d);
    ASSERT_EQ(text.runs.size(), 1u);
    const CharFeatures& f = text.runs[0].features;
    EXPECT_EQ(f.fontSize, 12);
    EXPECT_TRUE(f.strokePaint);
    EXPECT_TRUE(f.strokeUnder);
    EXPECT_DOUBLE_EQ(f.strokeWidth, 2.25);
    EXPECT_EQ(f.stroke.kind, kHostThreeColor);
    EXPECT_NEAR(f.tracking, 100, 1e-9);

    const std::string written = Settled(*d);
    EXPECT_NE(written.find("stroke=\"#ffffff\" stroke-width=\"2.25\" paint-order=\"stroke\" letter-spacing=\"1.2\""),
              std::string::npos)
        << written;
}

TEST(SvgLabels, RunFeaturesOnNestedTspans) {
    auto d = FromSvg(kHead +
                     "<defs><linearGradient id='g'><stop offset='0' stop-color='red'/></linearGradient></defs>"
                     "<text x='10' y='50' font-size='20'>CO<tspan baseline-shift='sub' font-size='12'>2</tspan>"
                     "<tspan style='text-decoration:underline'> km<tspan baseline-shift='super'>2</tspan></tspan>"
                     "<tspan display='none'>hidden</tspan><tspan fill='url(#g) blue'>!</tspan></text></svg>");
    const TextData& text = FirstText(*d);
    ASSERT_EQ(text.runs.size(), 6u);
    EXPECT_EQ(text.runs[1].text, "2");
    EXPECT_DOUBLE_EQ(text.runs[1].features.baselineShift, -0.2 * 12 * 0.75);
    EXPECT_EQ(text.runs[2].text, " km");
    EXPECT_EQ(text.runs[2].features.decoration, host::kUnderline);
    EXPECT_EQ(text.runs[3].features.decoration, host::kUnderline) << "decorations reach nested tspans";
    EXPECT_DOUBLE_EQ(text.runs[3].features.baselineShift, 0.4 * 20 * 0.75);
    EXPECT_TRUE(text.runs[4].features.hidden);
    EXPECT_EQ(text.runs[4].features.decoration, 0);
    const CharFeatures& last = text.runs.back().features;
    EXPECT_EQ(last.fillServer, "url(#g) blue");
    EXPECT_EQ(text.runs.back().text, "!");

    const std::string written = Settled(*d);
    EXPECT_NE(written.find("baseline-shift=\"-1.8\""), std::string::npos) << written;
    EXPECT_NE(written.find("text-decoration=\"underline\""), std::string::npos) << written;
    EXPECT_NE(written.find("display=\"none\">hidden</tspan>"), std::string::npos) << written;
    EXPECT_NE(written.find("fill=\"url(#g) blue\">!</tspan>"), std::string::npos) << written;
}

TEST(SvgLabels, LabelFeaturesSurviveTheNativeFormat) {
    auto d = FromSvg(kHead +
                     "<text x='10' y='50' font-size='16' stroke='white' stroke-width='4' paint-order='stroke fill'"
                     " letter-spacing='3'>Al<tspan baseline-shift='4' text-decoration='line-through overline'>p"
                     "</tspan><tspan display='none'>s</tspan><tspan stroke='url(#p)'>s</tspan></text></svg>");
    const std::string json = host::WriteJsonDocument(*d);
    std::string error;
    auto back = host::ReadJsonDocument(json, &error);
    ASSERT_TRUE(back) << error;
    EXPECT_EQ(host::WriteJsonDocument(*back), json);
    const TextData& a = FirstText(*d);
    const TextData& b = FirstText(*back);
    ASSERT_EQ(a.runs.size(), b.runs.size());
    for (size_t i = 0; i < a.runs.size(); ++i)
        EXPECT_TRUE(host::SameFeatures(a.runs[i].features, b.runs[i].features)) << i;
    EXPECT_EQ(b.runs[1].features.decoration, host::kLineThrough | host::kOverline);
    EXPECT_TRUE(b.runs[2].features.hidden);
    EXPECT_EQ(b.runs[3].features.strokeServer, "url(#p)");
    EXPECT_EQ(host::WriteSvgDocument(*back), host::WriteSvgDocument(*d));
}

// Kerned and spread labels: per-character x, dx, dy and rotate lists, on the
// text and on nested tspans, as map tools write them. They are written back
// with single values, which every renderer reads, each placed character
// starting a tspan.
TEST(SvgLabels, CharacterPlacesComeBackWhereTheyWere) {
    auto d = FromSvg(kHead +
                     "<text x='10 30 50' y='40' font-size='16' rotate='5 -10'>ALP<tspan dx='4 4' dy='-2'>ES</tspan>"
                     "<tspan x='200'>!</tspan></text></svg>");
    const TextData& text = FirstText(*d);
    const host::GlyphPlacement& g = text.glyphs;
    // In the text's own space, in points (0.75 a pixel), y up, turned counter-clockwise.
    ASSERT_EQ(g.x.size(), 6u);
    EXPECT_TRUE(std::isnan(g.x[0])) << "the first place is the anchor";
    EXPECT_DOUBLE_EQ(g.x[1], 15);
    EXPECT_DOUBLE_EQ(g.x[2], 30);
    EXPECT_DOUBLE_EQ(g.x[5], 142.5);
    ASSERT_EQ(g.dx.size(), 5u);
    EXPECT_DOUBLE_EQ(g.dx[3], 3);
    EXPECT_DOUBLE_EQ(g.dx[4], 3);
    ASSERT_EQ(g.dy.size(), 4u);
    EXPECT_DOUBLE_EQ(g.dy[3], 1.5);
    // Rotations are the characters' own: the last angle holds for the rest.
    EXPECT_TRUE(g.rotate.empty());
    ASSERT_EQ(text.runs.size(), 2u);
    EXPECT_EQ(text.runs[0].text, "A");
    EXPECT_DOUBLE_EQ(text.runs[0].features.rotation, -5);
    EXPECT_EQ(text.runs[1].text, "LPES!");
    EXPECT_DOUBLE_EQ(text.runs[1].features.rotation, 10);
    const auto glyphs = host::LayoutText(text);
    ASSERT_EQ(glyphs.size(), 6u);
    // "!" starts at 150 on the page, turned 10 degrees: its bottom left
    // corner, 2.4 pt below the baseline, swings right.
    EXPECT_NEAR(glyphs[5].corners[0].x, 150 + 2.4 * std::sin(10 * M_PI / 180), 1e-9);

    const std::string written = Settled(*d);
    EXPECT_NE(written.find("<tspan x=\"150\">!</tspan>"), std::string::npos) << written;
    EXPECT_NE(written.find("<tspan dx=\"3\" dy=\"-1.5\">E</tspan><tspan dx=\"3\">S</tspan>"), std::string::npos)
        << written;
    auto back = FromSvg(written);
    const TextData& again = FirstText(*back);
    const auto moved = host::LayoutText(again);
    ASSERT_EQ(moved.size(), glyphs.size());
    for (size_t i = 0; i < glyphs.size(); ++i)
        for (int k = 0; k < 4; ++k) {
            EXPECT_NEAR(moved[i].corners[k].x, glyphs[i].corners[k].x, 1e-5) << i;
            EXPECT_NEAR(moved[i].corners[k].y, glyphs[i].corners[k].y, 1e-5) << i;
        }

    const std::string json = host::WriteJsonDocument(*d);
    std::string error;
    auto fromJson = host::ReadJsonDocument(json, &error);
    ASSERT_TRUE(fromJson) << error;
    EXPECT_EQ(host::WriteJsonDocument(*fromJson), json);
    EXPECT_EQ(host::WriteSvgDocument(*fromJson), host::WriteSvgDocument(*d));
}

TEST(SvgLabels, BadLabelValuesArePassedOver) {
    std::string error;
    std::vector<std::string> warnings;
    host::SvgImportOptions options;
    options.warnings = &warnings;
    auto d =
        host::ReadSvgDocument(kHead +
                                  "<text x='1' y='9' letter-spacing='wide' paint-order='stroke stroke fill markers'"
                                  " text-decoration='blink' baseline-shift='up'>A</text></svg>",
                              options, &error);
    ASSERT_TRUE(d) << error;
    const CharFeatures& f = FirstText(*d).runs[0].features;
    EXPECT_EQ(f.tracking, 0);
    EXPECT_FALSE(f.strokeUnder);
    EXPECT_EQ(f.decoration, 0);
    EXPECT_EQ(f.baselineShift, 0);
    EXPECT_EQ(warnings.size(), 4u);
}

}  // namespace
}  // namespace orbalis::testing
