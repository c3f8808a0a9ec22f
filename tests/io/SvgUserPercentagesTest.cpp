// Percentages in user space units come back as the file's own viewport gave
// them, though the written root's viewport is in points.
#include <gtest/gtest.h>

#include "host/io/SvgDocument.h"

namespace orbalis::testing {
namespace {

std::string RoundTrip(const std::string& svg) {
    std::string error;
    auto d = host::ReadSvgDocument(svg, {}, &error);
    EXPECT_TRUE(d) << error;
    if (!d) return {};
    const std::string written = host::WriteSvgDocument(*d);
    auto back = host::ReadSvgDocument(written, {}, &error);
    EXPECT_TRUE(back) << error;
    if (back) {
        EXPECT_EQ(host::WriteSvgDocument(*back), written) << "a second round trip writes the same";
    }
    return written;
}

TEST(SvgUserPercentages, GradientsMasksAndFiltersTakeTheFilesViewport) {
    // 200 x 100 user units shown 400 x 200 px: the written viewport is 300 x 150 pt.
    const std::string written = RoundTrip(
        "<svg xmlns='http://www.w3.org/2000/svg' xmlns:xlink='http://www.w3.org/1999/xlink' width='400' height='200'"
        " viewBox='0 0 200 100'>"
        "<linearGradient id='plain' gradientUnits='userSpaceOnUse'><stop offset='1'/></linearGradient>"
        "<radialGradient id='round' gradientUnits='userSpaceOnUse' fx='10%'><stop offset='1'/></radialGradient>"
        "<linearGradient id='box'><stop offset='1'/></linearGradient>"
        "<linearGradient id='copy' gradientUnits='userSpaceOnUse' xlink:href='#plain' y2='50%'/>"
        "<mask id='m' maskUnits='userSpaceOnUse'><rect width='10' height='10' fill='white'/></mask>"
        "<filter id='f' filterUnits='userSpaceOnUse' width='50%'><feGaussianBlur stdDeviation='2'/></filter>"
        "<rect width='200' height='100' fill='url(#plain)' mask='url(#m)' filter='url(#f)'/></svg>");
    EXPECT_NE(written.find("<linearGradient id=\"plain\" gradientUnits=\"userSpaceOnUse\" x1=\"0\" y1=\"0\" x2=\"200\""
                           " y2=\"0\">"),
              std::string::npos)
        << written;
    // r is half the normalised diagonal, sqrt((200² + 100²) / 2).
    EXPECT_NE(written.find("fx=\"20\" cx=\"100\" cy=\"50\" r=\"79.05694150420948\""), std::string::npos) << written;
    EXPECT_NE(written.find("<linearGradient id=\"box\">"), std::string::npos) << "bounding-box units stay";
    EXPECT_NE(written.find("xlink:href=\"#plain\" y2=\"50\"/>"), std::string::npos)
        << "a gradient with a template gets no defaults of its own";
    EXPECT_NE(written.find("maskUnits=\"userSpaceOnUse\" x=\"-20\" y=\"-10\" width=\"240\" height=\"120\""),
              std::string::npos)
        << written;
    EXPECT_NE(written.find("width=\"100\" x=\"-20\" y=\"-10\" height=\"120\""), std::string::npos) << written;
}

TEST(SvgUserPercentages, MarkersAndNestedViewportsTakeTheFilesViewport) {
    const std::string written = RoundTrip(
        "<svg xmlns='http://www.w3.org/2000/svg' xmlns:xlink='http://www.w3.org/1999/xlink' width='400' height='200'"
        " viewBox='0 0 200 100'>"
        "<marker id='m' refX='5%' refY='10%' markerWidth='10%' markerHeight='20%'><rect width='5' height='5'/></marker>"
        "<svg id='whole'><circle cx='100' cy='50' r='40'/></svg>"
        "<svg id='part' x='10%' width='50%' height='30' viewBox='0 0 10 10'>"
        "<svg id='inner' width='50%'><rect width='100%' height='1'/></svg></svg>"
        "<symbol id='s'><svg id='in-symbol'><rect width='1' height='1'/></svg></symbol><use xlink:href='#s'/>"
        "<path d='M 0 0 H 100' stroke='black' marker-start='url(#m)'/></svg>");
    EXPECT_NE(written.find("refX=\"10\" refY=\"10\" markerWidth=\"20\" markerHeight=\"20\""), std::string::npos)
        << written;
    // A nested svg without a size fills the file's viewport, in its units.
    EXPECT_NE(written.find("<svg id=\"whole\" width=\"200\" height=\"100\" transform="), std::string::npos) << written;
    EXPECT_NE(written.find("<svg id=\"part\" x=\"20\" width=\"100\" height=\"30\""), std::string::npos) << written;
    // Inside a nested viewport or a symbol, percentages are of that viewport.
    EXPECT_NE(written.find("<svg id=\"inner\" width=\"50%\"><rect width=\"100%\""), std::string::npos) << written;
    EXPECT_EQ(written.find("<svg id=\"in-symbol\" width"), std::string::npos) << written;
}

}  // namespace
}  // namespace orbalis::testing
