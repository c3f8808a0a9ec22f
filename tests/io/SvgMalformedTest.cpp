#include <gtest/gtest.h>

#include "host/io/SvgDocument.h"

namespace orbalis::host {
namespace {

std::string Svg(const std::string& body, const std::string& root = "") {
    return "<svg xmlns='http://www.w3.org/2000/svg' " + root + ">" + body + "</svg>";
}

std::string Nested(int depth) {
    std::string s;
    for (int i = 0; i < depth; ++i) s += "<g>";
    for (int i = 0; i < depth; ++i) s += "</g>";
    return Svg(s);
}

TEST(SvgMalformed, RefusedWithOneLineNamingWhatAndWhere) {
    struct Case {
        std::string text;
        std::string error;  // a fragment of the expected message
    } cases[] = {
        {"<svg xmlns='http://www.w3.org/2000/svg'><g></svg>", "bad XML at line 1, column 46: Start-end tags mismatch"},
        {"\n\n<svg><path d='M0 0'/>", "bad XML at line 3"},
        {"", "bad XML"},
        {"<svg>\n<path d='M0 0' st\x15yle=''/></svg>", "bad XML at line 2, column 18: control character \\x15"},
        {"<svg style='fill:red;&#11;stroke:blue'/>", "bad XML at line 1, column 22: control character \\x0b"},
        {"<svg><text>&#x1f;</text></svg>", "control character \\x1f"},
        {"<html/>", "not an SVG document: the root element is \"html\""},
        {Svg("", "width='1' viewBox='0 0 1e-300 1'"), "svg (line 1): page size or position out of range"},
        {Svg("", "viewBox='1e300 0 1 1'"), "page size or position out of range"},
        {Svg("", "height='100' viewBox='0 0 2 7e105'"), "page size out of range"},
        {Nested(300), "nested deeper than 256 levels"},
        {Svg("<symbol id='a'><use href='#b'/></symbol><symbol id='b'><use href='#a'/></symbol><use href='#a'/>"),
         "shows itself"},
        {"<?xml version='1.0' encoding='X-NOT-AN-ENCODING'?><svg/>", "unsupported text encoding \"X-NOT-AN-ENCODING\""},
    };
    for (const Case& c : cases) {
        std::string error;
        auto document = ReadSvgDocument(c.text, {}, &error);
        EXPECT_FALSE(document) << c.text.substr(0, 200);
        EXPECT_NE(error.find(c.error), std::string::npos) << "expected \"" << c.error << "\" in \"" << error << "\"";
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    }
}

TEST(SvgMalformed, NestingUpToTheLimitIsFine) {
    std::string error;
    EXPECT_TRUE(ReadSvgDocument(Nested(256), {}, &error)) << error;
}

std::string SymbolChain(int length) {
    std::string s;
    for (int i = 0; i < length; ++i)
        s += "<symbol id='s" + std::to_string(i) + "'><use href='#s" + std::to_string(i + 1) + "'/></symbol>";
    return Svg(s + "<symbol id='s" + std::to_string(length) + "'><path d='M0 0 H1'/></symbol><use href='#s0'/>");
}

TEST(SvgMalformed, SymbolChainsAreBounded) {
    std::string error;
    EXPECT_TRUE(ReadSvgDocument(SymbolChain(255), {}, &error)) << error;
    EXPECT_FALSE(ReadSvgDocument(SymbolChain(256), {}, &error));
    EXPECT_NE(error.find("symbols nested deeper than 256 levels"), std::string::npos) << error;
}

TEST(SvgMalformed, SymbolsInsideSymbols) {
    std::string error;
    auto document = ReadSvgDocument(Svg("<symbol id='a'><symbol id='b'><path d='M0 0 H1'/></symbol>"
                                        "<use href='#b'/></symbol><use href='#a'/>"),
                                    {}, &error);
    ASSERT_TRUE(document) << error;
    EXPECT_EQ(document->symbols().size(), 2u);
}

TEST(SvgMalformed, UsesKeptAsWrittenStillCountInSymbolCycles) {
    // The viewBox puts every use of "s" out of range, so each is kept as
    // written; written back without that viewBox they would be read as uses.
    const std::string viewport = "<symbol id='s' viewBox='0 0 1e-20 1e-20'>";
    std::string error;
    EXPECT_FALSE(ReadSvgDocument(Svg(viewport + "<use href='#s'/></symbol><use href='#s'/>"), {}, &error));
    EXPECT_NE(error.find("symbol \"s\" shows itself"), std::string::npos) << error;

    auto document = ReadSvgDocument(
        Svg(viewport + "<use href='#t'/></symbol><symbol id='t'><path d='M0 0 H1'/></symbol><use href='#s'/>"), {},
        &error);
    ASSERT_TRUE(document) << error;
    EXPECT_TRUE(ReadSvgDocument(WriteSvgDocument(*document), {}, &error)) << error;
}

TEST(SvgMalformed, TheUsualXlinkPrefixIsReadAsTheWriterDeclaresIt) {
    // XLink is declared under another prefix and "xlink" is left undeclared;
    // written back, "xlink:href" is the reference, so it is one when read.
    std::string error;
    EXPECT_FALSE(ReadSvgDocument(Svg("<symbol id='pin'><use xlink:href='#pin'/></symbol><use xl:href='#pin'/>",
                                     "xmlns:xl='http://www.w3.org/1999/xlink'"),
                                 {}, &error));
    EXPECT_NE(error.find("symbol \"pin\" shows itself"), std::string::npos) << error;
}

TEST(SvgMalformed, ShadowedSymbolsAreDropped) {
    // The second "a" can never be shown; kept, it would come alive once the
    // first is written back under another id.
    std::string error;
    auto document = ReadSvgDocument(Svg("<defs><symbol id='a b'><path d='M0 0 H1'/></symbol>"
                                        "<symbol id='a b'><rect width='1' height='/1'/></symbol></defs>"),
                                    {}, &error);
    ASSERT_TRUE(document) << error;
    EXPECT_EQ(document->symbols().size(), 1u);
    EXPECT_TRUE(document->foreignContent.empty());
    EXPECT_TRUE(ReadSvgDocument(WriteSvgDocument(*document), {}, &error)) << error;
}

TEST(SvgMalformed, ShiftJisIsConverted) {
    // "地図" in code page 932.
    const std::string text =
        "<?xml version='1.0' encoding='Shift_JIS'?>"
        "<svg xmlns='http://www.w3.org/2000/svg'><g id='\x92\x6e\x90\x7d'/></svg>";
    std::string error;
    auto document = ReadSvgDocument(text, {}, &error);
    ASSERT_TRUE(document) << error;
    EXPECT_EQ(document->topLayers().front()->title, "地図");
}

}  // namespace
}  // namespace orbalis::host
