// Values a browser passes over: the file is read, the value counts as not
// given, and one warning line names the element and the attribute.
#include <gtest/gtest.h>

#include "host/io/SvgDocument.h"

namespace orbalis::host {
namespace {

std::string Svg(const std::string& body, const std::string& root = "") {
    return "<svg xmlns='http://www.w3.org/2000/svg' " + root + ">" + body + "</svg>";
}

struct Read {
    std::unique_ptr<Document> document;
    std::vector<std::string> warnings;
    std::string error;
};

Read ReadWithWarnings(const std::string& text) {
    Read r;
    SvgImportOptions options;
    options.warnings = &r.warnings;
    r.document = ReadSvgDocument(text, options, &r.error);
    return r;
}

// Every art object of the document, in pre-order.
std::vector<Art*> AllArt(Document& document) {
    std::vector<Art*> out;
    for (Layer* layer : document.allLayers()) {
        std::vector<Art*> stack{layer->group()};
        while (!stack.empty()) {
            Art* a = stack.back();
            stack.pop_back();
            if (a != layer->group()) out.push_back(a);
            std::vector<Art*> children;
            for (Art* c = a->firstChild(); c; c = c->next())
                if (!c->ownerLayer()) children.push_back(c);
            stack.insert(stack.end(), children.rbegin(), children.rend());
        }
    }
    return out;
}

Art* Named(Document& document, const std::string& name) {
    for (Art* a : AllArt(document))
        if (a->name == name) return a;
    return nullptr;
}

TEST(SvgInvalidValues, ReadWithOneWarningLineEach) {
    struct Case {
        std::string text;
        std::string warning;  // a fragment of the one expected warning
    } cases[] = {
        {Svg("<path id='a' transform='rotate(x)' d='M0 0 H1'/>"), "path#a (line 1): ignored transform \"rotate(x)\""},
        {Svg("<path transform='matrix(1 2 3)' d='M0 0 H1'/>"), "ignored transform"},
        {Svg("<path fill='#123456789' d='M0 0 H1'/>"), "ignored fill \"#123456789\""},
        {Svg("<path fill='blurple' d='M0 0 H1'/>"), "ignored fill \"blurple\""},
        {Svg("<path style='stroke-width:-1' d='M0 0 H1'/>"), "ignored stroke-width \"-1\""},
        {Svg("<path stroke-dasharray='1 x' d='M0 0 H1'/>"), "ignored stroke-dasharray"},
        {Svg("<path fill='red&#10;blue' d='M0 0 H1'/>"), "ignored fill \"red\\x0ablue\""},
        {Svg("<path stroke-linecap='miter' d='M0 0 H1'/>"), "ignored stroke-linecap \"miter\""},
        {Svg("<text text-anchor='left' x='1' y='1'>a</text>"), "text (line 1): ignored text-anchor \"left\""},
        {Svg("\n<path id='AK' d='M 0 0 L 10 10 L x'/>"),
         "path#AK (line 2): path data drawn up to offset 16: expected a number"},
        {Svg("<path d='M 0 0 H 1 L 1e400 0'/>"), "number out of range"},
        {Svg("<path d='M0 0 H5 A1 1 0 7 0 5 5'/>"), "expected a flag"},
        {Svg("<polygon points='0 0 1 1 x 2'/>"), "polygon (line 1): points used up to offset 8"},
        {Svg("<rect width='-1' height='1'/>"), "rect (line 1): not drawn: negative width or height"},
        {Svg("<circle r='-1'/>"), "circle (line 1): not drawn: negative radius"},
        {Svg("<image width='-1' height='1' href='a.png'/>"), "image (line 1): not drawn"},
        {Svg("<rect width='1furlong' height='1'/>"), "ignored width \"1furlong\""},
        {Svg("<path transform='scale(1e300)' d='M1e300 0 H1'/>"), "kept as written: coordinates out of range"},
        {Svg("", "viewBox='0 0 0 10'"), "svg (line 1): ignored viewBox \"0 0 0 10\""},
        {Svg("", "width='10furlongs'"), "ignored width \"10furlongs\""},
        {Svg("", "width='1e400'"), "ignored width"},
    };
    for (const Case& c : cases) {
        const Read r = ReadWithWarnings(c.text);
        ASSERT_TRUE(r.document) << c.text << ": " << r.error;
        ASSERT_EQ(r.warnings.size(), 1u) << c.text;
        EXPECT_NE(r.warnings[0].find(c.warning), std::string::npos)
            << "expected \"" << c.warning << "\" in \"" << r.warnings[0] << "\"";
        EXPECT_EQ(r.warnings[0].find('\n'), std::string::npos);
    }
}

TEST(SvgInvalidValues, AnInvalidValueCountsAsNotGiven) {
    // Not given, the fill and the stroke width are inherited; the bad cap
    // leaves the group's round one; a bad transform leaves none.
    Read r = ReadWithWarnings(
        Svg("<g fill='#00ff00' stroke='#000' stroke-width='4' stroke-linecap='round'>"
            "<path id='p' fill='blurple' stroke-width='-2' stroke-linecap='miter' transform='skewX(x)' "
            "d='M 10 20 H 30'/></g>",
            "width='100' height='100' viewBox='0 0 100 100'"));
    ASSERT_TRUE(r.document) << r.error;
    EXPECT_EQ(r.warnings.size(), 4u);
    Art* p = Named(*r.document, "p");
    ASSERT_TRUE(p && p->path());
    const HostPathStyle& style = p->path()->style;
    ASSERT_EQ(style.fill.color.kind, kHostThreeColor);
    EXPECT_EQ(style.fill.color.c.three.green, 1);
    EXPECT_EQ(style.fill.color.c.three.red, 0);
    EXPECT_DOUBLE_EQ(style.stroke.width, 4 * 0.75);
    EXPECT_EQ(style.stroke.cap, 1);
    EXPECT_DOUBLE_EQ(p->path()->segments[0].p.x, 10 * 0.75);
    EXPECT_DOUBLE_EQ(p->path()->segments[0].p.y, -20 * 0.75);
    // Passed over, the values are not written back either.
    const std::string written = WriteSvgDocument(*r.document);
    EXPECT_EQ(written.find("blurple"), std::string::npos) << written;
    EXPECT_EQ(written.find("miter"), std::string::npos) << written;
}

TEST(SvgInvalidValues, GeometryIsUsedUpToTheFirstFault) {
    Read r =
        ReadWithWarnings(Svg("<path id='p' d='M 0 0 L 10 0 L 10 10 Z M 20 20 L 30 # 40'/>"
                             "<polyline id='odd' points='0 0 10 0 10 10 7'/>"
                             "<polyline id='cut' points='0 0 10 0 10 ; 20 20'/>"));
    ASSERT_TRUE(r.document) << r.error;
    Art* p = Named(*r.document, "p");
    ASSERT_TRUE(p);
    // The closed triangle, then the second subpath's move alone.
    Art* first = p->type() == kHostCompoundPathArt ? p->firstChild() : p;
    ASSERT_TRUE(first && first->path());
    EXPECT_EQ(first->path()->segments.size(), 3u);
    EXPECT_TRUE(first->path()->closed);
    if (p->type() == kHostCompoundPathArt) {
        ASSERT_TRUE(first->next() && first->next()->path());
        EXPECT_EQ(first->next()->path()->segments.size(), 1u);
    }
    Art* odd = Named(*r.document, "odd");
    ASSERT_TRUE(odd && odd->path());
    EXPECT_EQ(odd->path()->segments.size(), 3u);  // the unpaired 7 dropped
    Art* cut = Named(*r.document, "cut");
    ASSERT_TRUE(cut && cut->path());
    EXPECT_EQ(cut->path()->segments.size(), 2u);  // 10 without its y is no point
    EXPECT_EQ(r.warnings.size(), 2u);             // the odd count is SVG's own rule, not a fault
}

TEST(SvgInvalidValues, NegativeSizesLeaveTheElementUndrawnButKept) {
    Read r =
        ReadWithWarnings(Svg("<rect id='r' width='-10' height='5' fill='red'/><circle id='c' r='-1'/>"
                             "<rect id='ok' width='10' height='5'/>"));
    ASSERT_TRUE(r.document) << r.error;
    EXPECT_EQ(r.warnings.size(), 2u);
    Art* rect = Named(*r.document, "r");
    ASSERT_TRUE(rect);
    EXPECT_EQ(rect->type(), kHostForeignArt);
    Art* ok = Named(*r.document, "ok");
    ASSERT_TRUE(ok);
    EXPECT_EQ(ok->type(), kHostPathArt);
    const std::string written = WriteSvgDocument(*r.document);
    EXPECT_NE(written.find("width=\"-10\""), std::string::npos) << written;
}

TEST(SvgInvalidValues, EveryCssLengthUnit) {
    // A 200 x 100 viewport, root font size 16, the element's font size 10.
    struct Case {
        const char* width;
        double user;
    } cases[] = {
        {"8", 8},       {"8px", 8},     {"6pt", 8},     {"0.5pc", 8}, {"1in", 96}, {"2.54cm", 96}, {"25.4mm", 96},
        {"101.6Q", 96}, {"101.6q", 96}, {"2em", 20},    {"2ex", 10},  {"2ch", 10}, {"2rem", 32},   {"10vw", 20},
        {"10vh", 10},   {"10vmin", 10}, {"10vmax", 20}, {"10%", 20},  {"8PX", 8},  {"1E1", 10},
    };
    for (const Case& c : cases) {
        Read r = ReadWithWarnings(Svg(std::string("<rect id='r' font-size='10' width='") + c.width + "' height='1'/>",
                                      "width='200' height='100' viewBox='0 0 200 100'"));
        ASSERT_TRUE(r.document) << r.error;
        EXPECT_TRUE(r.warnings.empty()) << c.width << ": " << r.warnings.front();
        Art* rect = Named(*r.document, "r");
        ASSERT_TRUE(rect && rect->path()) << c.width;
        EXPECT_NEAR(rect->path()->segments[1].p.x / 0.75, c.user, 1e-9) << c.width;
    }
}

TEST(SvgInvalidValues, ManyWarningsAreSummedUp) {
    std::string body;
    for (int i = 0; i < 30; ++i) body += "<path fill='blurple' d='M0 0 H1'/>";
    for (int i = 0; i < 5; ++i) body += "<path stroke-width='x' d='M0 0 H1'/>";
    Read r = ReadWithWarnings(Svg(body));
    ASSERT_TRUE(r.document) << r.error;
    ASSERT_EQ(r.warnings.size(), 9u);
    EXPECT_EQ(r.warnings.back(), "and 27 more values passed over: fill (22), stroke-width (5)");
    // A few more than fit are all shown.
    r =
        ReadWithWarnings(Svg("<path fill='x' d='M0 0 H1'/><path fill='x' d='M0 0 H1'/><path fill='x' d='M0 0 H1'/>"
                             "<path fill='x' d='M0 0 H1'/><path fill='x' d='M0 0 H1'/><path fill='x' d='M0 0 H1'/>"
                             "<path fill='x' d='M0 0 H1'/><path fill='x' d='M0 0 H1'/><path fill='x' d='M0 0 H1'/>"));
    EXPECT_EQ(r.warnings.size(), 9u);
    EXPECT_EQ(r.warnings.back().find("more values"), std::string::npos);
}

TEST(SvgInvalidValues, ColoursBrowsersDoNotShow) {
    // ICC colours and channels mixing numbers with percentages are not
    // CSS colours: the paint is inherited, here SVG's black.
    for (const char* fill :
         {"#CD853F icc-color(acmecmyk, 0.11, 0.48, 0.83, 0.00)", "rgba(0, 50%, 0, 0.5)", "rgb(10%, 20, 30%)"}) {
        Read r = ReadWithWarnings(Svg(std::string("<path id='p' fill='") + fill + "' d='M0 0 H1'/>"));
        ASSERT_TRUE(r.document) << r.error;
        EXPECT_EQ(r.warnings.size(), 1u) << fill;
        Art* p = Named(*r.document, "p");
        ASSERT_TRUE(p && p->path());
        EXPECT_EQ(p->path()->style.fill.color.c.three.red, 0) << fill;
    }
}

}  // namespace
}  // namespace orbalis::host
