// `<style>` sheets resolved into the fills and strokes of the art.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "host/io/SvgDocument.h"

namespace orbalis::host {
namespace {

std::string Svg(const std::string& body) {
    return "<svg xmlns='http://www.w3.org/2000/svg' width='100' height='100' viewBox='0 0 100 100'>" + body + "</svg>";
}

Art* Find(Art* container, const std::string& name) {
    for (Art* c = container->firstChild(); c; c = c->next()) {
        if (c->name == name) return c;
        if (Art* inner = Find(c, name)) return inner;
    }
    return nullptr;
}

Art* Named(Document& document, const std::string& name) {
    for (Layer* layer : document.topLayers())
        if (Art* a = Find(layer->group(), name)) return a;
    return nullptr;
}

// The fill of a path as "#rrggbb", "none" or "?" for other colour kinds.
std::string FillOf(Document& document, const std::string& name) {
    Art* art = Named(document, name);
    if (!art || !art->path()) return "missing";
    const HostPathStyle& s = art->path()->style;
    if (!s.fillPaint) return "none";
    if (s.fill.color.kind != kHostThreeColor) return "?";
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", int(s.fill.color.c.three.red * 255 + 0.5),
                  int(s.fill.color.c.three.green * 255 + 0.5), int(s.fill.color.c.three.blue * 255 + 0.5));
    return text;
}

std::unique_ptr<Document> Read(const std::string& text) {
    std::string error;
    auto document = ReadSvgDocument(text, {}, &error);
    EXPECT_TRUE(document) << error;
    return document;
}

TEST(SvgStyleSheet, SelectorsOfEachKind) {
    auto d =
        Read(Svg("<style>"
                 "rect { fill: #000001 }"
                 ".c { fill: #000002 }"
                 "#i { fill: #000003 }"
                 "[data-k] { fill: #000004 }"
                 "[data-v='x y'] { fill: #000005 }"
                 "[data-w~=two] { fill: #000006 }"
                 "g.outer circle { fill: #000007 }"
                 "g > ellipse { fill: #000008 }"
                 "line + polygon { fill: #000009 }"
                 "polyline:first-child { fill: #00000a }"
                 "* { stroke: #0000ff }"
                 "</style>"
                 "<g><rect id='type' width='1' height='1'/>"
                 "<rect id='class' class='a c' width='1' height='1'/>"
                 "<path id='i' d='M0 0 H1 V1'/>"
                 "<path id='present' data-k='' d='M0 0 H1 V1'/>"
                 "<path id='equal' data-v='x y' d='M0 0 H1 V1'/>"
                 "<path id='word' data-w='one two' d='M0 0 H1 V1'/>"
                 "<path id='noword' data-w='twofold' d='M0 0 H1 V1'/></g>"
                 "<g class='outer'><g><circle id='descendant' r='1'/></g></g>"
                 "<g><g><ellipse id='child' rx='1' ry='1'/></g></g>"
                 "<g><line x2='1'/><polygon id='adjacent' points='0 0 1 0 1 1'/>"
                 "<polygon id='notadjacent' points='0 0 1 0 1 1'/></g>"
                 "<g><polyline id='first' points='0 0 1 0 1 1'/><polyline id='second' points='0 0 1 0 1 1'/></g>"));
    ASSERT_TRUE(d);
    EXPECT_EQ(FillOf(*d, "type"), "#000001");
    EXPECT_EQ(FillOf(*d, "class"), "#000002");
    EXPECT_EQ(FillOf(*d, "i"), "#000003");
    EXPECT_EQ(FillOf(*d, "present"), "#000004");
    EXPECT_EQ(FillOf(*d, "equal"), "#000005");
    EXPECT_EQ(FillOf(*d, "word"), "#000006");
    EXPECT_EQ(FillOf(*d, "noword"), "#000000");
    EXPECT_EQ(FillOf(*d, "descendant"), "#000007");
    EXPECT_EQ(FillOf(*d, "child"), "#000008");
    EXPECT_EQ(FillOf(*d, "adjacent"), "#000009");
    EXPECT_EQ(FillOf(*d, "notadjacent"), "#000000");
    EXPECT_EQ(FillOf(*d, "first"), "#00000a");
    EXPECT_EQ(FillOf(*d, "second"), "#000000");
    Art* any = Named(*d, "second");
    ASSERT_TRUE(any && any->path());
    EXPECT_TRUE(any->path()->style.strokePaint);
}

TEST(SvgStyleSheet, CascadeOfSpecificityOrderImportanceAndTheStyleAttribute) {
    auto d =
        Read(Svg("<style>"
                 "#a { fill: #00ff00 } path { fill: #ff0000 }"                 // id beats type
                 ".b { fill: #ff0000 } .b { fill: #00ff00 }"                   // later wins
                 "g#g1 * path { fill: #00ff00 } g * * path { fill: #ff0000 }"  // more ids win
                 "#c { fill: #00ff00 !important } #c { fill: #ff0000 }"        // important wins
                 "#d { fill: #ff0000 }"                                        // style attribute wins
                 "#e { fill: #00ff00 !important }"                             // over it, important
                 "#f { fill: #ff0000 !important }"                             // unless it is too
                 "#g { fill: #00ff00 }"                                        // over the attribute
                 "</style>"
                 "<path id='a' d='M0 0 H1 V1'/>"
                 "<path id='b' class='b' d='M0 0 H1 V1'/>"
                 "<g id='g1'><g><g><path id='nested' d='M0 0 H1 V1'/></g></g></g>"
                 "<path id='c' d='M0 0 H1 V1'/>"
                 "<path id='d' style='fill:#00ff00' d='M0 0 H1 V1'/>"
                 "<path id='e' style='fill:#ff0000' d='M0 0 H1 V1'/>"
                 "<path id='f' style='fill:#00ff00 !important' d='M0 0 H1 V1'/>"
                 "<path id='g' fill='#ff0000' d='M0 0 H1 V1'/>"));
    ASSERT_TRUE(d);
    for (const char* name : {"a", "b", "nested", "c", "d", "e", "f", "g"})
        EXPECT_EQ(FillOf(*d, name), "#00ff00") << name;
}

// Sheets nested in one another (not CSS, but well-formed XML), as a fuzzer
// wrote them: each is taken out of the file once, inner ones first.
TEST(SvgStyleSheet, SheetsInsideOneAnotherAreReadAndWrittenAgain) {
    std::ifstream file(std::string(ORBALIS_TEST_DATA) + "/nested-style-sheets.svg", std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(text.empty());
    std::string error;
    auto document = ReadSvgDocument(text, {}, &error);
    ASSERT_TRUE(document) << error;
    auto again = ReadSvgDocument(WriteSvgDocument(*document), {}, &error);
    EXPECT_TRUE(again) << error;
}

// A symbol inside a style element goes with the sheet; the symbols left are
// found in the tree as it is imported, not before the sheet was taken out.
TEST(SvgStyleSheet, SymbolsInsideASheetGoWithIt) {
    std::string error;
    auto d = ReadSvgDocument(
        Svg("<style>.x { fill: #00ff00 }<symbol id='inner'><rect width='5' height='5'/></symbol></style>"
            "<symbol id='outer'><rect class='x' width='10' height='10'/></symbol>"
            "<use id='u' href='#outer'/>"),
        {}, &error);
    ASSERT_TRUE(d) << error;
    ASSERT_EQ(d->symbols().size(), 1u);
    EXPECT_EQ(d->symbols()[0].name, "outer");
    auto again = ReadSvgDocument(WriteSvgDocument(*d), {}, &error);
    ASSERT_TRUE(again) << error;
    EXPECT_EQ(again->symbols().size(), 1u);
}

TEST(SvgStyleSheet, WhatIsAppliedLeavesTheFileWhatIsNotStays) {
    auto d =
        Read(Svg("<style type='text/css'><![CDATA[ /* a comment { } */ .x { fill: #00ff00; opacity: .5 }\n"
                 "@import url(other.css);\n a:hover { fill: red } ]]></style>"
                 "<path id='p' class='x' d='M0 0 H1 V1'/>"));
    ASSERT_TRUE(d);
    EXPECT_EQ(FillOf(*d, "p"), "#00ff00");
    const std::string written = WriteSvgDocument(*d);
    EXPECT_EQ(written.find(".x"), std::string::npos) << written;
    EXPECT_NE(written.find("@import url(other.css);"), std::string::npos) << written;
    EXPECT_NE(written.find("a:hover { fill: red }"), std::string::npos) << written;
    EXPECT_NE(written.find("opacity=\".5\""), std::string::npos) << written;
    // Read back, the picture is the same and the bytes settle.
    std::string error;
    auto back = ReadSvgDocument(written, {}, &error);
    ASSERT_TRUE(back) << error;
    EXPECT_EQ(FillOf(*back, "p"), "#00ff00");
    EXPECT_EQ(WriteSvgDocument(*back), written);
}

TEST(SvgStyleSheet, SheetsOfOtherLanguagesAndBrokenRulesAreLeftAlone) {
    auto d =
        Read(Svg("<style type='text/xsl'>path { fill: #ff0000 }</style>"
                 "<style>path { fill: #00ff00 } path { fill: }  } garbage { </style>"
                 "<path id='p' d='M0 0 H1 V1'/>"));
    ASSERT_TRUE(d);
    EXPECT_EQ(FillOf(*d, "p"), "#00ff00");
    EXPECT_NE(WriteSvgDocument(*d).find("text/xsl"), std::string::npos);
}

TEST(SvgStyleSheet, RulesReachContentKeptVerbatim) {
    // A mask's content is kept as written; the rule lands in its style.
    auto d =
        Read(Svg("<style>.m { fill: white }</style>"
                 "<mask id='k'><rect class='m' width='10' height='10'/></mask>"
                 "<path id='p' mask='url(#k)' d='M0 0 H1 V1'/>"));
    ASSERT_TRUE(d);
    const std::string written = WriteSvgDocument(*d);
    EXPECT_NE(written.find("class=\"m\" width=\"10\" height=\"10\" style=\"fill:white\""), std::string::npos)
        << written;
}

}  // namespace
}  // namespace orbalis::host
