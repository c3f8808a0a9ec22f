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

// A decoration every run shares goes on the text, so that a line placed by
// lists keeps its lists (written as single values on tspans, renderers
// that read only a list's first value would lay it out otherwise); one that
// only some runs have, or that runs shown otherwise share, stays on the
// runs' own tspans.
TEST(SvgLabels, ADecorationOfTheWholeTextStaysOnTheText) {
    auto d = FromSvg(kHead +
                     "<text x='10' dy='40 8 8' text-decoration='underline'>Ria</text>"
                     "<text x='10' y='90'>A<tspan text-decoration='overline'>b</tspan></text>"
                     "<text x='10' y='150' text-decoration='line-through'>A<tspan fill='red'>b</tspan></text></svg>");
    const std::string written = Settled(*d);
    EXPECT_NE(written.find(R"(text-decoration="underline" dy="30 6 6">Ria</text>)"), std::string::npos) << written;
    EXPECT_NE(written.find(R"(y="67.5" font-size="12" fill="#000000">A<tspan text-decoration="overline">b</tspan>)"),
              std::string::npos)
        << written;
    EXPECT_NE(written.find(R"(<tspan text-decoration="line-through">A</tspan>)"
                           R"(<tspan fill="#ff0000" text-decoration="line-through">b</tspan>)"),
              std::string::npos)
        << written;
    auto back = FromSvg(kHead + written.substr(written.find("<text"), written.find("</text>") - written.find("<text")) +
                        "</text></svg>");
    const TextData& listed = FirstText(*back);
    ASSERT_EQ(listed.runs.size(), 1u);
    EXPECT_EQ(listed.runs[0].features.decoration, host::kUnderline);
    ASSERT_EQ(listed.glyphs.dy.size(), 3u);
    EXPECT_DOUBLE_EQ(listed.glyphs.dy[2], -6 * 0.75) << "the written points read again as pixels";
}

// A space at the edge of a run written as a tspan is kept with
// xml:space="preserve": renderers that trim a tspan's edges otherwise run
// the words together. A line of one run, without such spaces, is written
// plainly.
TEST(SvgLabels, SpacesAtTheEdgesOfRunsAreKept) {
    auto d = FromSvg(kHead +
                     "<text x='10' y='80'>Mont Blanc</text>"
                     "<text x='10' y='40'>Mont <tspan fill='green'>Blanc </tspan><tspan fill='blue'>4808</tspan>"
                     "</text></svg>");
    const TextData& text = FirstText(*d);
    ASSERT_EQ(text.runs.size(), 3u);
    EXPECT_EQ(text.runs[1].text, "Blanc ");
    const std::string written = Settled(*d);
    EXPECT_NE(written.find(R"(xml:space="preserve">Mont <tspan fill="#008000">Blanc </tspan>)"), std::string::npos)
        << written;
    EXPECT_NE(written.find(R"(fill="#000000">Mont Blanc</text>)"), std::string::npos) << written;
    auto back = FromSvg(written);
    const TextData& again = FirstText(*back);
    ASSERT_EQ(again.runs.size(), 3u);
    for (size_t i = 0; i < 3; ++i) EXPECT_EQ(again.runs[i].text, text.runs[i].text) << i;
}

// Multi-line labels as editors and web tools write them: lines at their own
// y (Inkscape's line height of 1.25), or dy below the line before (1.2em),
// keep their baselines; a line a line height below, as the layout model
// puts it anyway, places nothing. The lines are written with their y.
TEST(SvgLabels, LinesKeepTheirOwnBaselines) {
    auto d =
        FromSvg(kHead +
                "<text x='10' y='150' font-size='16'>One<tspan x='10' dy='16'>Two</tspan></text>"
                "<text x='10' y='40' font-size='16'>Alpha<tspan x='10' y='60'>Beta</tspan>"
                "<tspan x='10' dy='1.2em' fill='red'>Gamma</tspan><tspan x='10' dy='16'>Delta</tspan></text></svg>");
    const TextData& text = FirstText(*d);
    const auto glyphs = host::LayoutText(text);
    ASSERT_EQ(glyphs.size(), 19u);
    // Bottom left corners lie 0.2 em below the baseline; the page's y is up, 1px = 0.75pt.
    auto baseline = [&](size_t i) { return glyphs[i].corners[0].y + 0.2 * 12; };
    EXPECT_NEAR(baseline(0), -30, 1e-9);
    EXPECT_NEAR(baseline(5), -45, 1e-9) << "Beta at its y";
    EXPECT_NEAR(baseline(9), -45 - 14.4, 1e-9) << "Gamma 1.2 em below Beta";
    EXPECT_NEAR(baseline(14), -45 - 14.4 - 12, 1e-9) << "Delta one line below Gamma";
    const std::string written = Settled(*d);
    EXPECT_NE(written.find(R"(<tspan x="7.5" y="45">Beta</tspan>)"), std::string::npos) << written;
    EXPECT_NE(written.find(R"(<tspan x="7.5" y="59.4"><tspan fill="#ff0000">Gamma</tspan></tspan>)"), std::string::npos)
        << written;
    EXPECT_NE(written.find(R"(<tspan x="7.5" y="71.4">Delta</tspan>)"), std::string::npos) << written;
    EXPECT_NE(written.find(R"(One<tspan x="7.5" dy="12">Two</tspan>)"), std::string::npos)
        << "a line where the model puts it: " << written;
    auto back = FromSvg(written);
    const auto again = host::LayoutText(FirstText(*back));
    ASSERT_EQ(again.size(), glyphs.size());
    for (size_t i = 0; i < glyphs.size(); ++i) EXPECT_NEAR(again[i].corners[0].y, glyphs[i].corners[0].y, 1e-6) << i;
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
