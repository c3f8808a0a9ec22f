// A use of an element the model holds as art is a group with a copy of it,
// drawn where the use puts it; what the model cannot copy stays as written.
#include <gtest/gtest.h>

#include "host/io/SvgDocument.h"
#include "host/model/Bounds.h"

namespace orbalis::testing {
namespace {

using host::Art;

std::vector<const Art*> TopArt(const host::Document& d) {
    std::vector<const Art*> out;
    for (const Art* a = d.topLayers()[0]->group()->firstChild(); a; a = a->next()) out.push_back(a);
    return out;
}

TEST(SvgUseOfArt, AUseDrawsACopyWhereItPutsIt) {
    std::string error;
    auto d = host::ReadSvgDocument(
        "<svg xmlns='http://www.w3.org/2000/svg' xmlns:xlink='http://www.w3.org/1999/xlink' width='100' height='100'>"
        "<defs><rect id='r' width='10' height='10'/></defs>"
        "<g id='layer'><use id='u' href='#r' x='20' y='30' fill='green' transform='translate(5 0)'/>"
        "<g id='self'><use xlink:href='#self' x='50'/></g>"
        "<use xlink:href='#dot'/><pattern id='p'><circle id='dot' r='1'/></pattern>"
        "<use xlink:href='#boxed'/><g id='boxed'><rect width='1' height='1' fill='context-fill'/></g></g></svg>",
        {}, &error);
    ASSERT_TRUE(d) << error;
    const auto art = TopArt(*d);
    ASSERT_GE(art.size(), 5u);
    // Front to back: the last element written is the first child.
    const Art* use = art.back();
    ASSERT_EQ(use->type(), kHostGroupArt);
    EXPECT_EQ(use->name, "u");
    const Art* copy = use->firstChild();
    ASSERT_TRUE(copy && copy->type() == kHostPathArt);
    EXPECT_EQ(copy->name, "r");
    HostRect bounds{};
    ASSERT_TRUE(host::PathBounds(copy->path()->segments, true, &bounds));
    // (25, 30) to (35, 40) px, in points and y up.
    EXPECT_DOUBLE_EQ(bounds.left, 18.75);
    EXPECT_DOUBLE_EQ(bounds.top, -22.5);
    EXPECT_DOUBLE_EQ(bounds.right, 26.25);
    // The copy takes its paint from the use.
    EXPECT_EQ(copy->path()->style.fill.color.kind, kHostThreeColor);
    EXPECT_GT(copy->path()->style.fill.color.c.three.green, 0.4);

    // A use inside what it shows, of something inside a pattern, or of
    // paint from its context stays as written.
    const std::string written = host::WriteSvgDocument(*d);
    EXPECT_NE(written.find("xlink:href=\"#self\""), std::string::npos) << written;
    EXPECT_NE(written.find("xlink:href=\"#dot\""), std::string::npos) << written;
    EXPECT_NE(written.find("xlink:href=\"#boxed\""), std::string::npos) << written;
    auto back = host::ReadSvgDocument(written, {}, &error);
    ASSERT_TRUE(back) << error;
    EXPECT_EQ(host::WriteSvgDocument(*back), written);
}

}  // namespace
}  // namespace orbalis::testing
