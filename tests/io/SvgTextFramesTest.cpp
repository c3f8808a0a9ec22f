// Area text, text on a path and character scales through SVG: each kind
// comes back as itself, a second export is the first byte for byte, and
// the paths written for text come back as the texts' own.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "host/io/DocumentFiles.h"
#include "host/io/JsonDocument.h"
#include "host/io/SvgDocument.h"
#include "host/model/Geometry.h"
#include "host/model/TextLayout.h"
#include "host/model/TextStory.h"
#include "sdk/suites/TextSuites.h"
#include "tests/support/DocumentBuilder.h"
#include "tests/support/TextFixtures.h"

namespace orbalis::testing {
namespace {

using host::Art;
using host::TextData;

constexpr double kTolerance = 1e-5;  // SVG coordinates are written to a millionth of a point

struct Read {
    std::unique_ptr<host::Document> document;
    std::vector<std::string> warnings;
};

Read FromSvg(const std::string& svg) {
    Read out;
    host::SvgImportOptions options;
    options.warnings = &out.warnings;
    std::string error;
    out.document = host::ReadSvgDocument(svg, options, &error);
    EXPECT_TRUE(out.document) << error << "\n" << svg;
    return out;
}

std::vector<const Art*> Objects(const host::Document& d) {
    std::vector<const Art*> out;
    for (const Art* a = d.topLayers()[0]->group()->firstChild(); a; a = a->next()) out.push_back(a);
    return out;
}

const TextData& Text(const Art* art) { return std::get<TextData>(art->data); }

// A curve of two Bézier segments, like a river.
std::vector<HostPathSegment> River() {
    return {{{40, 300}, {40, 300}, {120, 360}, false},
            {{300, 300}, {220, 240}, {380, 360}, false},
            {{520, 340}, {440, 380}, {520, 340}, false}};
}

Art* AddOnPath(host::Document& d, Art* container, const HostMatrix& matrix, std::vector<host::TextRun> runs,
               std::vector<host::Justification> paragraphs, int32_t orientation = 0) {
    Art* art = AddFramedText(d, container, kHostPathText, matrix, {}, std::move(runs));
    TextData& t = TextOf(art);
    t.path = River();
    t.pathClosed = false;
    t.orientation = orientation;
    t.paragraphs = std::move(paragraphs);
    d.touch(art);
    return art;
}

void ExpectSamePath(const std::vector<HostPathSegment>& actual, const std::vector<HostPathSegment>& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < actual.size(); ++i) {
        EXPECT_TRUE(NearPoint(actual[i].p, expected[i].p, kTolerance)) << i;
        EXPECT_TRUE(NearPoint(actual[i].in, expected[i].in, kTolerance)) << i;
        EXPECT_TRUE(NearPoint(actual[i].out, expected[i].out, kTolerance)) << i;
    }
}

void ExpectSameText(const TextData& actual, const TextData& expected) {
    EXPECT_EQ(actual.frameKind, expected.frameKind);
    EXPECT_EQ(actual.orientation, expected.orientation);
    EXPECT_TRUE(NearMatrix(actual.matrix, expected.matrix, kTolerance));
    EXPECT_EQ(actual.pathClosed, expected.pathClosed);
    ExpectSamePath(actual.path, expected.path);
    ASSERT_EQ(actual.runs.size(), expected.runs.size());
    for (size_t i = 0; i < actual.runs.size(); ++i) {
        const auto &a = actual.runs[i], &e = expected.runs[i];
        EXPECT_EQ(a.text, e.text) << i;
        EXPECT_NEAR(a.features.fontSize, e.features.fontSize, kTolerance) << i;
        EXPECT_NEAR(a.features.horizontalScale, e.features.horizontalScale, kTolerance) << i;
        EXPECT_NEAR(a.features.verticalScale, e.features.verticalScale, kTolerance) << i;
        EXPECT_NEAR(a.features.rotation, e.features.rotation, kTolerance) << i;
        EXPECT_EQ(a.features.strokePaint, e.features.strokePaint) << i;
        EXPECT_EQ(a.features.strokeUnder, e.features.strokeUnder) << i;
        if (e.features.strokePaint) {
            EXPECT_NEAR(a.features.strokeWidth, e.features.strokeWidth, kTolerance) << i;
        }
        EXPECT_NEAR(a.features.tracking, e.features.tracking, kTolerance) << i;
        EXPECT_NEAR(a.features.baselineShift, e.features.baselineShift, kTolerance) << i;
        EXPECT_EQ(a.features.decoration, e.features.decoration) << i;
        EXPECT_EQ(a.features.hidden, e.features.hidden) << i;
    }
    // No justification given is left justification.
    for (size_t i = 0; i < std::max(actual.paragraphs.size(), expected.paragraphs.size()); ++i)
        EXPECT_EQ(host::JustificationOf(actual, i), host::JustificationOf(expected, i)) << "paragraph " << i;
}

// The host's glyph boxes of both texts lie in the same places.
void ExpectSameGlyphs(const TextData& actual, const TextData& expected) {
    const auto a = host::LayoutText(actual), e = host::LayoutText(expected);
    ASSERT_EQ(a.size(), e.size());
    for (size_t i = 0; i < a.size(); ++i)
        for (int k = 0; k < 4; ++k) EXPECT_TRUE(NearPoint(a[i].corners[k], e[i].corners[k], 1e-4)) << i << "/" << k;
}

TEST(SvgTextFrames, EachKindComesBackAsItselfAndASecondExportIsTheFirst) {
    host::Layer* layer = nullptr;
    auto d = NewDocument(&layer);
    Art* point = AddPointText(*d, layer->group(), Turned(20, 50, 60), {Chars("Point", 12, 10), Chars("text", 9)});
    Art* area = AddFramedText(*d, layer->group(), kHostAreaText, {0.866, 0.5, -0.2, 0.9, 100, 200},
                              {{100, 210}, {250, 290}, {230, 140}, {80, 60}}, {Chars("Area one\rsecond", 14)});
    TextOf(area).paragraphs = {host::Justification::Left, host::Justification::Center};
    Art* river = AddOnPath(*d, layer->group(), {1, 0, 0, 1, 0, 0}, {Chars("Tama River 多摩川", 16)},
                           {host::Justification::Center});
    Art* sheared = AddOnPath(*d, layer->group(), {1, 0.2, 0.3, 1.1, 15, -7}, {Chars("Left\r", 12), Chars("Right", 10)},
                             {host::Justification::Left, host::Justification::Right});
    Art* vertical =
        AddOnPath(*d, layer->group(), Turned(0, 5, 5), {Chars("縦の道", 14)}, {host::Justification::Right}, 1);
    TextOf(vertical).runs[0].features.verticalScale = 1.25;
    Art* columns = AddPointText(*d, layer->group(), Turned(0, 560, 380), {Chars("縦書き\r二列", 14)}, 1);
    Art* pathColumns = AddOnPath(*d, layer->group(), Turned(0), {Chars("縦の道\r", 16), Chars("二列目", 12)},
                                 {host::Justification::Left, host::Justification::Center}, 1);
    for (Art* a : {point, area, river, sheared, vertical, columns, pathColumns}) d->touch(a);

    const std::string first = host::WriteSvgDocument(*d);
    Read back = FromSvg(first);
    ASSERT_TRUE(back.document);
    EXPECT_TRUE(back.warnings.empty());
    const auto before = Objects(*d), after = Objects(*back.document);
    ASSERT_EQ(after.size(), before.size()) << "the paths written for text come back as nothing else";
    for (size_t i = 0; i < before.size(); ++i) {
        SCOPED_TRACE(before[i]->name);
        ASSERT_EQ(after[i]->type(), kHostTextFrameArt);
        ExpectSameText(Text(after[i]), Text(before[i]));
        ExpectSameGlyphs(Text(after[i]), Text(before[i]));
        HostRect a = BoundsOf(*back.document, after[i]), b = BoundsOf(*d, before[i]);
        EXPECT_NEAR(a.left, b.left, 1e-4);
        EXPECT_NEAR(a.top, b.top, 1e-4);
    }
    EXPECT_EQ(host::WriteSvgDocument(*back.document), first);
    EXPECT_TRUE(back.document->foreignContent.empty());
}

TEST(SvgTextFrames, TextOnAPathIsATextPathOverAPathInItsOwnSpace) {
    host::Layer* layer = nullptr;
    auto d = NewDocument(&layer);
    // Turned 90° and moved: the path is written in the text's own space,
    // which the text's transform maps back onto the page.
    AddOnPath(*d, layer->group(), Turned(90, 10, 20), {Chars("Along", 12)}, {host::Justification::Center});
    const std::string svg = host::WriteSvgDocument(*d);
    const size_t defs = svg.find("<defs><path id=\"text-path-1\" d=\"M ");
    const size_t text = svg.find("<text transform=");
    const size_t textPath = svg.find("<textPath xlink:href=\"#text-path-1\" startOffset=\"50%\">Along</textPath>");
    ASSERT_NE(defs, std::string::npos) << svg;
    ASSERT_NE(text, std::string::npos) << svg;
    ASSERT_NE(textPath, std::string::npos) << svg;
    EXPECT_LT(defs, text);
    EXPECT_NE(svg.find("text-anchor=\"middle\""), std::string::npos);
    // Own space: the page path turned back by -90° about (10, 20), y down.
    const HostPoint start = River()[0].p;
    HostMatrix inverse;
    ASSERT_TRUE(host::Invert(Turned(90, 10, 20), &inverse));
    const HostPoint own = host::Apply(inverse, start);
    char expected[96];
    std::snprintf(expected, sizeof expected, "d=\"M %g %g ", own.x, own.y == 0 ? 0 : -own.y);
    EXPECT_NE(svg.find(expected), std::string::npos) << expected << "\n" << svg;
}

TEST(SvgTextFrames, TheHostLaysTextOnAPathAlongIt) {
    host::Layer* layer = nullptr;
    auto d = NewDocument(&layer);
    Art* left = AddOnPath(*d, layer->group(), Turned(0), {Chars("ab", 10)}, {host::Justification::Left});
    TextOf(left).path = {{{0, 0}, {0, 0}, {0, 0}, true}, {{0, 100}, {0, 100}, {0, 100}, true}};
    const auto glyphs = host::LayoutText(TextOf(left));
    ASSERT_EQ(glyphs.size(), 2u);
    // Up a vertical line: baselines on x = 0, the glyphs' tops to the left.
    EXPECT_TRUE(NearPoint(glyphs[0].corners[0], {2, 0}));   // bottom left, 0.2 of the size below
    EXPECT_TRUE(NearPoint(glyphs[0].corners[2], {-8, 5}));  // top right, 0.8 above, one half-width on
    EXPECT_TRUE(NearPoint(glyphs[1].corners[0], {2, 5}));
    // Centred and ended text sit about the middle and at the end.
    TextOf(left).paragraphs = {host::Justification::Center};
    EXPECT_TRUE(NearPoint(host::LayoutText(TextOf(left))[0].corners[0], {2, 45}));
    TextOf(left).paragraphs = {host::Justification::Right};
    EXPECT_TRUE(NearPoint(host::LayoutText(TextOf(left))[1].corners[1], {2, 100}));
    // The frame matrix moves nothing off the path: the path is where it is on the page.
    TextOf(left).paragraphs = {host::Justification::Left};
    TextOf(left).matrix = Turned(0, 30, -70);
    EXPECT_TRUE(NearPoint(host::LayoutText(TextOf(left))[0].corners[0], {2, 0}));
    // A later line lies one line height across the path, below the baseline.
    TextOf(left).runs = {Chars("a\rb", 10)};
    TextOf(left).paragraphs = {host::Justification::Left, host::Justification::Left};
    EXPECT_TRUE(NearPoint(host::LayoutText(TextOf(left))[1].corners[0], {12, 0}));
}

TEST(SvgTextFrames, RunsKeepTheirOwnCharacterScales) {
    host::Layer* layer = nullptr;
    auto d = NewDocument(&layer);
    Art* label =
        AddPointText(*d, layer->group(), Turned(30, 50, 60), {Chars("Wide", 14), Chars("norm", 14), Chars("狭い", 14)});
    auto& runs = TextOf(label).runs;
    runs[0].features.horizontalScale = 1.6;
    runs[2].features.horizontalScale = 0.6;
    runs[2].features.verticalScale = 1.3;
    d->touch(label);
    const std::string svg = host::WriteSvgDocument(*d);
    // 4 half-width glyphs of 14 pt at 160 %; 2 full-width ones at 60 %.
    EXPECT_NE(
        svg.find(
            "<tspan textLength=\"44.8\" lengthAdjust=\"spacingAndGlyphs\" data-char-scale=\"1.6 1\">Wide</tspan>norm"),
        std::string::npos)
        << svg;
    EXPECT_NE(svg.find("textLength=\"16.8\" lengthAdjust=\"spacingAndGlyphs\" data-char-scale=\"0.6 1.3\">狭い"),
              std::string::npos)
        << svg;
    Read back = FromSvg(svg);
    ASSERT_TRUE(back.document);
    ExpectSameText(Text(Objects(*back.document)[0]), TextOf(label));
    EXPECT_EQ(host::WriteSvgDocument(*back.document), svg);
}

TEST(SvgTextFrames, ScalesOfVerticalTextStretchItsColumn) {
    host::Layer* layer = nullptr;
    auto d = NewDocument(&layer);
    Art* label = AddPointText(*d, layer->group(), Turned(0, 50, 60), {Chars("縦", 10), Chars("長", 10)}, 1);
    TextOf(label).runs[1].features.verticalScale = 2;
    d->touch(label);
    const std::string svg = host::WriteSvgDocument(*d);
    EXPECT_NE(svg.find("textLength=\"20\" lengthAdjust=\"spacingAndGlyphs\" data-char-scale=\"1 2\">長"),
              std::string::npos)
        << svg;
}

TEST(SvgTextFrames, ATextPathThatCannotBeFollowedIsKeptWithOneWarning) {
    struct Case {
        const char* what;
        const char* body;
    } cases[] = {
        {"no href", "<text><textPath>lost</textPath></text>"},
        {"missing target", "<text><textPath href='#nowhere'>lost</textPath></text>"},
        {"not a path",
         "<defs><rect id='r' width='10' height='10'/></defs><text><textPath href='#r'>lost</textPath></text>"},
        {"a start offset the host cannot hold",
         "<defs><path id='p' d='M0 0 L100 0'/></defs><text><textPath href='#p' "
         "startOffset='30'>lost</textPath></text>"},
        {"the other side of the path",
         "<defs><path id='p' d='M0 0 L100 0'/></defs><text><textPath href='#p' side='right'>lost</textPath></text>"},
        {"several subpaths",
         "<defs><path id='p' d='M0 0 L100 0 M0 10 L100 10'/></defs><text><textPath href='#p'>lost</textPath></text>"},
        {"text beside the path text",
         "<defs><path id='p' d='M0 0 L100 0'/></defs><text>before <textPath href='#p'>lost</textPath></text>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string svg =
            std::string("<svg xmlns='http://www.w3.org/2000/svg' width='100' height='100'>") + c.body + "</svg>";
        Read read = FromSvg(svg);
        ASSERT_TRUE(read.document);
        ASSERT_EQ(read.warnings.size(), 1u);
        EXPECT_NE(read.warnings[0].find("textPath"), std::string::npos) << read.warnings[0];
        EXPECT_NE(read.warnings[0].find("kept as written"), std::string::npos) << read.warnings[0];
        const std::string out = host::WriteSvgDocument(*read.document);
        EXPECT_NE(out.find("lost</textPath>"), std::string::npos) << out;
        // What the kept text refers to is kept with it.
        if (std::string(c.body).find("id='p'") != std::string::npos) {
            EXPECT_NE(out.find("<path id=\"p\""), std::string::npos) << out;
        }
    }
}

TEST(SvgTextFrames, APathOfOtherUsesStaysWhereItIs) {
    // Drawn as well as followed: the path is an object of its own, and the
    // text gets a copy of it.
    Read read = FromSvg(
        "<svg xmlns='http://www.w3.org/2000/svg' xmlns:xlink='http://www.w3.org/1999/xlink' width='200' height='100'>"
        "<path id='road' d='M10 50 C60 0 140 100 190 50' stroke='black' fill='none'/>"
        "<defs><path id='shared' d='M0 0 L100 0'/></defs><use xlink:href='#shared'/>"
        "<text font-size='8'><textPath xlink:href='#road'>Main Street</textPath></text>"
        "<text font-size='8' transform='translate(0 90)'><textPath href='#shared'>Shared</textPath></text>"
        "</svg>");
    ASSERT_TRUE(read.document);
    EXPECT_TRUE(read.warnings.empty());
    const auto objects = Objects(*read.document);
    int texts = 0, paths = 0;
    for (const Art* a : objects) {
        texts += a->type() == kHostTextFrameArt;
        paths += a->type() == kHostPathArt;
    }
    EXPECT_EQ(texts, 2);
    EXPECT_EQ(paths, 1);
    // The defs path that a <use> shows too stays in the file's kept content.
    ASSERT_EQ(read.document->foreignContent.size(), 1u);
    EXPECT_NE(read.document->foreignContent[0].find("shared"), std::string::npos);
    for (const Art* a : objects) {
        if (a->type() != kHostTextFrameArt) continue;
        const TextData& t = Text(a);
        EXPECT_EQ(t.frameKind, kHostPathText);
        ASSERT_FALSE(t.path.empty());
        if (t.runs[0].text == "Main Street") {
            // 1 px is 0.75 pt; y turns up.
            EXPECT_TRUE(NearPoint(t.path.front().p, {7.5, -37.5}, 1e-9));
            EXPECT_TRUE(NearPoint(t.path.back().p, {142.5, -37.5}, 1e-9));
        } else {
            EXPECT_TRUE(NearPoint(t.path.front().p, {0, -67.5}, 1e-9)) << "the path lies in the text's user space";
            EXPECT_NEAR(t.runs[0].features.fontSize, 6, 1e-9);
        }
    }
}

TEST(SvgTextFrames, ForeignTextOnAPathReadsWithItsAnchorAndLines) {
    Read read = FromSvg(
        "<svg xmlns='http://www.w3.org/2000/svg' viewBox='0 0 100 100' width='100pt' height='100pt'>"
        "<defs><path id='p' d='M0 50 L100 50'/></defs>"
        "<text font-size='10' text-anchor='end'><textPath href='#p' startOffset='100%' fill='#ff0000' side='left'>"
        "one<tspan x='100' dy='10'>two</tspan></textPath></text></svg>");
    ASSERT_TRUE(read.document);
    EXPECT_TRUE(read.warnings.empty());
    ASSERT_EQ(Objects(*read.document).size(), 1u);
    const TextData& t = Text(Objects(*read.document)[0]);
    EXPECT_EQ(t.frameKind, kHostPathText);
    ASSERT_EQ(t.paragraphs.size(), 2u);
    EXPECT_EQ(t.paragraphs[0], host::Justification::Right);
    ASSERT_EQ(t.runs.size(), 1u);
    EXPECT_EQ(t.runs[0].text, "one\rtwo");
    EXPECT_EQ(t.runs[0].features.fill.kind, kHostThreeColor);
    EXPECT_EQ(t.runs[0].features.fill.c.three.red, 1);
    EXPECT_TRUE(read.document->foreignContent.empty());
}

TEST(SvgTextFrames, OverflowOfAreaTextIsWrittenHidden) {
    host::Layer* layer = nullptr;
    auto d = NewDocument(&layer);
    // One line of 12 pt fits the frame; the next two do not.
    AddFramedText(*d, layer->group(), kHostAreaText, Turned(0), {{0, 20}, {100, 20}, {100, -4}, {0, -4}},
                  {Chars("one\rtwo\rthree", 12)});
    const std::string svg = host::WriteSvgDocument(*d);
    EXPECT_NE(svg.find(">one<tspan"), std::string::npos) << svg;
    EXPECT_NE(svg.find("visibility=\"hidden\">two</tspan>"), std::string::npos) << svg;
    EXPECT_NE(svg.find("visibility=\"hidden\">three</tspan>"), std::string::npos) << svg;
    Read back = FromSvg(svg);
    ASSERT_TRUE(back.document);
    const TextData& t = Text(Objects(*back.document)[0]);
    EXPECT_EQ(t.frameKind, kHostAreaText);
    ASSERT_EQ(t.runs.size(), 1u);
    EXPECT_EQ(t.runs[0].text, "one\rtwo\rthree");
    EXPECT_EQ(Objects(*back.document)[0]->attributes() & kHostArtHidden, 0);
    EXPECT_EQ(host::WriteSvgDocument(*back.document), svg);
}

TEST(SvgTextFrames, APathThatAKeptTextFollowsIsKept) {
    // A link is kept as written, text and all: the path it follows stays.
    Read read = FromSvg(
        "<svg xmlns='http://www.w3.org/2000/svg' width='100' height='100'>"
        "<defs><path id='p' d='M0 10 L100 10'/></defs>"
        "<a href='https://example.org/'><text><textPath href='#p'>linked</textPath></text></a></svg>");
    ASSERT_TRUE(read.document);
    const std::string out = host::WriteSvgDocument(*read.document);
    EXPECT_NE(out.find("<path id=\"p\" d=\"M0 10 L100 10\"/>"), std::string::npos) << out;
    EXPECT_NE(out.find("linked</textPath>"), std::string::npos) << out;
}

TEST(SvgTextFrames, APathIdIsNoneThatContentKeptAsWrittenHasOrRefersTo) {
    Read read = FromSvg(
        "<svg xmlns='http://www.w3.org/2000/svg' width='100' height='100'>"
        "<defs><linearGradient id='text-path-1'/></defs>"
        "<g id='text-path-2'><path d='M0 10 L100 10' stroke='red'/></g>"
        "<text><textPath href='#text-path-3'>kept, following nothing</textPath></text>"
        "<text><textPath path='M0 50 L100 50'>road</textPath></text></svg>");
    ASSERT_TRUE(read.document);
    const std::string first = host::WriteSvgDocument(*read.document);
    EXPECT_NE(first.find("<path id=\"text-path-4\""), std::string::npos) << first;
    EXPECT_NE(first.find("<g id=\"text-path-2\""), std::string::npos) << "the layer keeps its id\n" << first;
    Read again = FromSvg(first);
    ASSERT_TRUE(again.document);
    EXPECT_EQ(again.warnings.size(), 1u) << "the kept text still follows nothing";
    EXPECT_EQ(host::WriteSvgDocument(*again.document), first);
}

TEST(SvgTextFrames, FramedTextWhoseMatrixCannotBeInvertedIsWrittenAsPointText) {
    host::Layer* layer = nullptr;
    auto d = NewDocument(&layer);
    AddOnPath(*d, layer->group(), {1, 2, 2, 4, 10, 10}, {Chars("flat", 12)}, {host::Justification::Left});
    AddFramedText(*d, layer->group(), kHostAreaText, {0, 0, 0, 0, 5, 5}, {{0, 20}, {100, 20}, {100, 0}},
                  {Chars("dot", 12)});
    const std::string svg = host::WriteSvgDocument(*d);
    EXPECT_EQ(svg.find("textPath"), std::string::npos) << svg;
    EXPECT_EQ(svg.find("data-text-frame"), std::string::npos) << svg;
    Read back = FromSvg(svg);
    ASSERT_TRUE(back.document);
    for (const Art* a : Objects(*back.document)) {
        ASSERT_EQ(a->type(), kHostTextFrameArt);
        EXPECT_EQ(Text(a).frameKind, 0);
    }
}

TEST(SvgTextFrames, JsonThroughSvgKeepsTheLabelsExample) {
    std::string error;
    auto original = host::ReadDocumentFile(std::string(ORBALIS_SOURCE_DIR) + "/examples/labels.json", {}, &error);
    ASSERT_TRUE(original) << error;
    const std::string svg = host::WriteSvgDocument(*original);
    Read back = FromSvg(svg);
    ASSERT_TRUE(back.document);
    auto again = host::ReadJsonDocument(host::WriteJsonDocument(*back.document), &error);
    ASSERT_TRUE(again) << error;
    const auto before = Objects(*original), after = Objects(*again);
    ASSERT_EQ(after.size(), before.size());
    bool onPath = false;
    for (size_t i = 0; i < before.size(); ++i) {
        SCOPED_TRACE(before[i]->name);
        EXPECT_EQ(after[i]->name, before[i]->name);
        ExpectSameText(Text(after[i]), Text(before[i]));
        onPath = onPath || Text(before[i]).frameKind == kHostPathText;
    }
    EXPECT_TRUE(onPath) << "the example has a label on a path";
    // And the labels map tools make: haloed, tracked, on several lines.
    bool halo = false, tracked = false, lines = false;
    for (const Art* a : before)
        for (const auto& run : Text(a).runs) {
            halo = halo || (run.features.strokePaint && run.features.strokeUnder);
            tracked = tracked || run.features.tracking != 0;
            lines = lines || run.text.find('\r') != std::string::npos;
        }
    EXPECT_TRUE(halo && tracked && lines);
    EXPECT_EQ(host::WriteSvgDocument(*again), svg);
}

}  // namespace
}  // namespace orbalis::testing
