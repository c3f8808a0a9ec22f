// Pattern paints in SVG: written with their number and matrix, read back,
// and a spoilt attribute never taken for a pattern.
#include <gtest/gtest.h>

#include "host/io/SvgDocument.h"
#include "tests/support/DocumentBuilder.h"

namespace orbalis::host {
namespace {

HostColor Pattern(uint32_t number, const HostMatrix& m) {
    HostColor c{};
    c.kind = kHostPatternColor;
    c.c.pattern = {number, m};
    return c;
}

std::unique_ptr<Document> Read(const std::string& text) {
    std::string error;
    auto doc = ReadSvgDocument(text, {}, &error);
    EXPECT_TRUE(doc) << error;
    return doc;
}

const HostPathStyle& FirstStyle(const Document& d) {
    return d.topLayers().front()->group()->firstChild()->path()->style;
}

TEST(SvgPatternPaint, FillAndStrokePatternsKeepTheirNumberAndMatrix) {
    host::Layer* layer = nullptr;
    auto d = testing::NewDocument(&layer);
    HostPathStyle style = testing::FilledStyle();
    style.fill.color = Pattern(3, {0.5, 0, 0, 0.5, 12.25, -4});
    style.strokePaint = 1;
    style.stroke.width = 1;
    style.stroke.color = Pattern(7, {2, 0.25, -0.25, 2, 0, 1e-3});
    testing::AddRect(*d, layer->group(), 0, 0, 10, 10, style);

    const std::string text = WriteSvgDocument(*d);
    EXPECT_NE(text.find("data-pattern-fill=\"3 0.5 0 0 0.5 12.25 -4\""), std::string::npos) << text;
    auto back = Read(text);
    ASSERT_TRUE(back);
    const HostPathStyle& read = FirstStyle(*back);
    ASSERT_EQ(read.fill.color.kind, kHostPatternColor);
    EXPECT_EQ(read.fill.color.c.pattern.pattern, 3u);
    EXPECT_EQ(read.fill.color.c.pattern.transform.a, 0.5);
    EXPECT_EQ(read.fill.color.c.pattern.transform.tx, 12.25);
    EXPECT_EQ(read.fill.color.c.pattern.transform.ty, -4);
    ASSERT_EQ(read.stroke.color.kind, kHostPatternColor);
    EXPECT_EQ(read.stroke.color.c.pattern.pattern, 7u);
    EXPECT_EQ(read.stroke.color.c.pattern.transform.b, 0.25);
    EXPECT_EQ(read.stroke.color.c.pattern.transform.ty, 1e-3);
}

TEST(SvgPatternPaint, AnAttributeThatIsNotSevenNumbersLeavesThePlainColour) {
    for (const char* value : {"", "3 1 0 0 1 0", "3 1 0 0 1 0 0 9", "-1 1 0 0 1 0 0", "2.5 1 0 0 1 0 0",
                              "x 1 0 0 1 0 0", "3 1 0 0 1 0 1e999"}) {
        SCOPED_TRACE(value);
        const std::string svg =
            std::string(
                "<svg xmlns=\"http://www.w3.org/2000/svg\"><path d=\"M0 0 H10 V10 Z\" fill=\"#ff0000\" "
                "data-pattern-fill=\"") +
            value + "\"/></svg>";
        auto doc = Read(svg);
        ASSERT_TRUE(doc);
        EXPECT_EQ(FirstStyle(*doc).fill.color.kind, kHostThreeColor);
    }
}

}  // namespace
}  // namespace orbalis::host
