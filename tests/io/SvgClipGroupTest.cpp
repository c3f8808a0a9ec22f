// Clip paths as the host's clipping groups, and what refers to other
// elements written back in the user space it was drawn in.
#include <gtest/gtest.h>

#include "host/io/JsonDocument.h"
#include "host/io/SvgDocument.h"

namespace orbalis::host {
namespace {

std::string Svg(const std::string& body) {
    return "<svg xmlns='http://www.w3.org/2000/svg' width='200' height='200' viewBox='0 0 200 200'>" + body + "</svg>";
}

std::unique_ptr<Document> Read(const std::string& text) {
    std::string error;
    auto document = ReadSvgDocument(text, {}, &error);
    EXPECT_TRUE(document) << error;
    return document;
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

TEST(SvgClipGroup, AClippedShapeBecomesAClippingGroup) {
    auto d =
        Read(Svg("<defs><clipPath id='c'><rect x='50' y='50' width='100' height='100' clip-rule='evenodd'/>"
                 "</clipPath></defs>"
                 "<g id='layer'><circle id='dot' cx='100' cy='100' r='80' clip-path='url(#c)'/></g>"));
    ASSERT_TRUE(d);
    Art* dot = Named(*d, "dot");
    ASSERT_TRUE(dot);
    Art* group = dot->parent();
    ASSERT_EQ(group->type(), kHostGroupArt);
    ASSERT_FALSE(group->ownerLayer());
    // The clipping path is the first child, on top, and paints nothing.
    Art* clip = group->firstChild();
    ASSERT_TRUE(clip && clip->path());
    EXPECT_EQ(clip->next(), dot);
    const HostPathStyle& style = clip->path()->style;
    EXPECT_TRUE(style.clip);
    EXPECT_TRUE(style.evenOdd);
    EXPECT_FALSE(style.fillPaint);
    EXPECT_FALSE(style.strokePaint);
    // In page points: the rect's corner (50, 50) px at 0.75 pt per px, y up.
    EXPECT_DOUBLE_EQ(clip->path()->segments[0].p.x, 37.5);
    EXPECT_DOUBLE_EQ(clip->path()->segments[0].p.y, -37.5);
    // The clipped circle keeps no reference to the clip path.
    for (const auto& [name, value] : dot->foreignAttributes) EXPECT_NE(name, "clip-path");
}

TEST(SvgClipGroup, AClippedGroupHoldsItsClipInItsOwnSpace) {
    auto d =
        Read(Svg("<clipPath id='c'><rect width='10' height='10'/></clipPath>"
                 "<g id='layer'><g id='g' transform='translate(20 30)' clip-path='url(#c)'>"
                 "<rect id='a' width='40' height='40'/><rect id='b' width='5' height='5'/></g></g>"));
    ASSERT_TRUE(d);
    Art* group = Named(*d, "g");
    ASSERT_TRUE(group);
    Art* clip = group->firstChild();
    ASSERT_TRUE(clip && clip->path() && clip->path()->style.clip);
    // The clip path is read in the group's user space, translation included.
    EXPECT_DOUBLE_EQ(clip->path()->segments[0].p.x, 20 * 0.75);
    EXPECT_DOUBLE_EQ(clip->path()->segments[0].p.y, -30 * 0.75);
    EXPECT_EQ(clip->next()->name, "b");  // the group's children keep their order below it
}

TEST(SvgClipGroup, WrittenAsAClipPathAndReadBackTheSame) {
    auto d =
        Read(Svg("<defs><clipPath id='c'><circle cx='100' cy='100' r='50'/></clipPath></defs>"
                 "<g id='layer'><rect id='r' width='200' height='200' clip-path='url(#c)'/>"
                 "<g id='g' clip-path='url(#c)'><path id='p' d='M0 0 H10 V10 Z'/></g></g>"));
    ASSERT_TRUE(d);
    const std::string written = WriteSvgDocument(*d);
    // Each clipping group names a clip path of its own, inside it; the file's
    // own clip path stays as it was under its id.
    EXPECT_NE(written.find("<clipPath id=\"c\"><circle"), std::string::npos) << written;
    EXPECT_NE(written.find("<g clip-path=\"url(#clip-1)\">\n   <clipPath id=\"clip-1\">"), std::string::npos)
        << written;
    EXPECT_NE(written.find("<g id=\"g\" clip-path=\"url(#clip-2)\">\n   <clipPath id=\"clip-2\">"), std::string::npos)
        << written;
    // Through the native format and back, the bytes settle.
    std::string error;
    auto json = ReadJsonDocument(WriteJsonDocument(*d), &error);
    ASSERT_TRUE(json) << error;
    EXPECT_EQ(WriteSvgDocument(*json), written);
    auto back = Read(written);
    ASSERT_TRUE(back);
    EXPECT_EQ(WriteSvgDocument(*back), written);
    Art* g = Named(*back, "g");
    ASSERT_TRUE(g && g->firstChild() && g->firstChild()->path());
    EXPECT_TRUE(g->firstChild()->path()->style.clip);
    EXPECT_EQ(g->firstChild()->next()->name, "p");  // no second clip path from the one written inside
}

TEST(SvgClipGroup, ClipPathsTheModelCannotHoldAreKeptAsWritten) {
    for (const char* clip :
         {"<clipPath id='c' clipPathUnits='objectBoundingBox'><rect width='.5' height='.5'/></clipPath>",
          "<clipPath id='c'><rect width='5' height='5'/><circle r='5'/></clipPath>",
          "<clipPath id='c'><text>A</text></clipPath>",
          "<clipPath id='c' clip-path='url(#d)'><rect width='5' height='5'/></clipPath>"}) {
        auto d = Read(Svg(std::string("<defs>") + clip +
                          "</defs><g id='layer'><rect id='r' width='20' height='20' "
                          "clip-path='url(#c)'/></g>"));
        ASSERT_TRUE(d);
        Art* r = Named(*d, "r");
        ASSERT_TRUE(r) << clip;
        EXPECT_TRUE(r->parent()->ownerLayer()) << clip;
        const std::string written = WriteSvgDocument(*d);
        EXPECT_NE(written.find("clip-path=\"url(#c)\""), std::string::npos) << written;
    }
}

TEST(SvgClipGroup, WhatRefersToOtherElementsKeepsItsUserSpace) {
    // The filter's blur is in the path's user units, a mask's content in its
    // group's: written back in them, the picture keeps its scale.
    auto d =
        Read(Svg("<filter id='f'><feGaussianBlur stdDeviation='4'/></filter>"
                 "<mask id='m'><rect width='50' height='50' fill='white'/></mask>"
                 "<g id='layer'><path id='p' filter='url(#f)' transform='rotate(30)' stroke='black' "
                 "stroke-width='2' d='M 0 0 H 100'/>"
                 "<g id='g' mask='url(#m)'><path id='q' stroke='black' stroke-width='2' d='M 0 0 H 100'/></g></g>"));
    ASSERT_TRUE(d);
    const std::string written = WriteSvgDocument(*d);
    EXPECT_NE(written.find("<path id=\"p\" d=\"M 0 0 100 0\" transform=\"matrix("), std::string::npos) << written;
    EXPECT_NE(written.find("stroke-width=\"2\" filter=\"url(#f)\""), std::string::npos) << written;
    EXPECT_NE(written.find("<g id=\"g\" transform=\"matrix(0.75 0 0 0.75 0 0)\" mask=\"url(#m)\">"), std::string::npos)
        << written;
    EXPECT_NE(written.find("<path id=\"q\" d=\"M 0 0 100 0\" stroke=\"#000000\" stroke-width=\"2\"/>"),
              std::string::npos)
        << written;
    // The model still holds the page's points and widths.
    Art* q = Named(*d, "q");
    ASSERT_TRUE(q && q->path());
    EXPECT_DOUBLE_EQ(q->path()->segments[1].p.x, 75);
    EXPECT_DOUBLE_EQ(q->path()->style.stroke.width, 1.5);
    auto back = Read(written);
    ASSERT_TRUE(back);
    EXPECT_EQ(WriteSvgDocument(*back), written);
}

TEST(SvgClipGroup, MarkersKeepTheStrokeWidthTheyAreScaledBy) {
    // Without a stroke the width still sizes the markers.
    auto d =
        Read(Svg("<marker id='m' markerWidth='2' markerHeight='2'><rect width='1' height='1'/></marker>"
                 "<g id='layer'><path id='p' stroke-width='10' marker-start='url(#m)' d='M 10 10 H 100'/></g>"));
    ASSERT_TRUE(d);
    const std::string written = WriteSvgDocument(*d);
    EXPECT_NE(written.find("<path id=\"p\" d=\"M 10 10 100 10\" transform=\"matrix(0.75 0 0 0.75 0 0)\" "
                           "stroke-width=\"10\" marker-start=\"url(#m)\"/>"),
              std::string::npos)
        << written;
    auto back = Read(written);
    ASSERT_TRUE(back);
    EXPECT_EQ(WriteSvgDocument(*back), written);
}

TEST(SvgClipGroup, TextInAGroupOfItsOwnSpaceIsWrittenInThatSpace) {
    // The group is written in its own units (0.75 pt); its text is written
    // in them too, without a group of its own that would come back as art.
    auto d =
        Read(Svg("<clipPath id='c' clipPathUnits='objectBoundingBox'><circle cx='.5' cy='.5' r='.4'/></clipPath>"
                 "<g id='g' clip-path='url(#c)'><text id='t' x='60' y='100' font-size='40'>Text</text></g>"));
    ASSERT_TRUE(d);
    const std::string written = WriteSvgDocument(*d);
    EXPECT_NE(written.find("<text id=\"t\" transform=\"matrix(1.3333333333333333 0 0 1.3333333333333333 60 100)\""),
              std::string::npos)
        << written;
    auto back = Read(written);
    ASSERT_TRUE(back);
    Art* t = Named(*back, "t");
    ASSERT_TRUE(t);
    EXPECT_TRUE(t->parent()->ownerLayer()) << "no group is added around the text";
    const auto& text = std::get<TextData>(t->data);
    EXPECT_NEAR(text.matrix.tx, 45, 1e-9);
    EXPECT_NEAR(text.matrix.ty, -75, 1e-9);
    EXPECT_EQ(WriteSvgDocument(*back), written);
}

TEST(SvgClipGroup, WhatVisibilityHidesStaysInItsGroupsBoundingBox) {
    // A clip path in bounding-box units measures the group, hidden members
    // included when visibility hides them, not when display does.
    auto d =
        Read(Svg("<clipPath id='c' clipPathUnits='objectBoundingBox'><circle cx='.5' cy='.5' r='.45'/></clipPath>"
                 "<g id='g' clip-path='url(#c)'><rect id='big' width='160' height='160' visibility='hidden'/>"
                 "<text id='t' y='50' style='visibility:collapse'>A</text>"
                 "<rect id='gone' width='190' height='190' display='none' visibility='hidden'/>"
                 "<rect id='shown' x='40' y='40' width='120' height='120'/></g>"));
    ASSERT_TRUE(d);
    for (const char* name : {"big", "t", "gone"}) {
        Art* art = Named(*d, name);
        ASSERT_TRUE(art) << name;
        EXPECT_TRUE(art->attributes() & kHostArtHidden) << name;
    }
    const std::string written = WriteSvgDocument(*d);
    EXPECT_NE(written.find("<path id=\"big\" d=\"M 0 0 160 0 160 160 0 160 Z\" visibility=\"hidden\"/>"),
              std::string::npos)
        << written;
    EXPECT_NE(written.find("visibility=\"collapse\">A</text>"), std::string::npos) << written;
    EXPECT_NE(written.find("<path id=\"gone\" d=\"M 0 0 190 0 190 190 0 190 Z\" style=\"display:none\"/>"),
              std::string::npos)
        << written;
    auto back = Read(written);
    ASSERT_TRUE(back);
    EXPECT_EQ(WriteSvgDocument(*back), written);
    // The native format keeps how it was hidden.
    std::string error;
    auto fromJson = ReadJsonDocument(WriteJsonDocument(*d), &error);
    ASSERT_TRUE(fromJson) << error;
    EXPECT_EQ(WriteSvgDocument(*fromJson), written);

    // Shown by the user, it is shown: the visibility that hid it goes.
    d->setAttributes(Named(*d, "big"), kHostArtHidden, 0);
    const std::string shown = WriteSvgDocument(*d);
    EXPECT_NE(shown.find("<path id=\"big\" d=\"M 0 0 160 0 160 160 0 160 Z\"/>"), std::string::npos) << shown;
    // And hidden by the user, an object is taken out of sight by display.
    d->setAttributes(Named(*d, "shown"), kHostArtHidden, kHostArtHidden);
    EXPECT_NE(WriteSvgDocument(*d).find("<path id=\"shown\" d=\"M 40 40 160 40 160 160 40 160 Z\" "
                                        "style=\"display:none\"/>"),
              std::string::npos);
}

}  // namespace
}  // namespace orbalis::host
