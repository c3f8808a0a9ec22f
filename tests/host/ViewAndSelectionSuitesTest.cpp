// The view centre, the text editing focus, clearing a layer's selection and
// the style of a new path, as the suites serve them.
#include <gtest/gtest.h>

#include "host/app/Faults.h"
#include "host/app/Host.h"
#include "host/suites/SuiteTables.h"
#include "tests/support/DocumentBuilder.h"

namespace orbalis::host {
namespace {

class ViewAndSelectionSuites : public ::testing::Test {
protected:
    void SetUp() override {
        Faults::Reset();
        host.OpenDocument(testing::NewDocument(&layer));
    }
    void TearDown() override { Faults::Reset(); }
    Document& doc() { return *host.document(); }

    Host host;
    Layer* layer = nullptr;
    const HostLayerSuite& layers = LayerSuite();
    const HostDocumentSuite& document = DocumentSuite();
};

TEST_F(ViewAndSelectionSuites, TheViewCentreIsTheArtboardsUnlessTheViewWasMoved) {
    const HostDocumentViewSuite& views = DocumentViewSuite();
    doc().artboard = {0, 600, 400, -200};
    HostPoint centre{};
    ASSERT_EQ(views.GetDocumentViewCenter(nullptr, &centre), 0);
    EXPECT_EQ(centre.x, 200);
    EXPECT_EQ(centre.y, 200);
    doc().viewCenter = HostPoint{-5, 7.5};
    ASSERT_EQ(views.GetDocumentViewCenter(nullptr, &centre), 0);
    EXPECT_EQ(centre.x, -5);
    EXPECT_EQ(centre.y, 7.5);
    // Only the current view exists.
    EXPECT_EQ(views.GetDocumentViewCenter(reinterpret_cast<HostDocumentView>(1), &centre), kHostBadParameterErr);
    EXPECT_EQ(views.GetDocumentViewCenter(nullptr, nullptr), kHostBadParameterErr);
    host.documents().Close();
    EXPECT_EQ(views.GetDocumentViewCenter(nullptr, &centre), kHostNoDocumentErr);
}

TEST_F(ViewAndSelectionSuites, TheTextFocusIsReportedAndEnded) {
    HostBool focus = 1;
    ASSERT_EQ(document.HasTextFocus(&focus), 0);
    EXPECT_FALSE(focus);
    doc().textFocus = true;
    ASSERT_EQ(document.HasTextFocus(&focus), 0);
    EXPECT_TRUE(focus);
    ASSERT_EQ(document.EndTextFocus(), 0);
    EXPECT_FALSE(doc().textFocus);
    ASSERT_EQ(document.EndTextFocus(), 0);
    Faults::FailOperation("EndTextFocus", 1, kHostBadParameterErr);
    doc().textFocus = true;
    EXPECT_EQ(document.EndTextFocus(), kHostBadParameterErr);
    EXPECT_TRUE(doc().textFocus);
}

TEST_F(ViewAndSelectionSuites, DeselectingALayerReachesIntoGroupsAndSublayersOnly) {
    Layer* other = testing::AddLayer(doc(), "Other", layer);
    Layer* sub = nullptr;
    ASSERT_EQ(doc().insertLayer(layer, kHostPlaceInsideOnBottom, &sub), 0);
    Art* group = testing::AddGroup(doc(), layer->group());
    Art* inner = testing::AddRect(doc(), group, 0, 0, 1, 1);
    Art* plain = testing::AddRect(doc(), layer->group(), 0, 0, 1, 1);
    Art* onSub = testing::AddRect(doc(), sub->group(), 0, 0, 1, 1);
    Art* elsewhere = testing::AddRect(doc(), other->group(), 0, 0, 1, 1);
    for (Art* a : {inner, onSub, elsewhere, group}) testing::Select(doc(), a);

    HostBool selected = 0;
    ASSERT_EQ(layers.LayerHasSelectedArt(Document::toHandle(layer), &selected), 0);
    EXPECT_TRUE(selected);
    ASSERT_EQ(layers.DeselectArtOnLayer(Document::toHandle(layer)), 0);
    for (Art* a : {inner, onSub, group, plain}) EXPECT_FALSE(a->answersSelected());
    EXPECT_TRUE(elsewhere->attributes() & kHostArtSelected);
    ASSERT_EQ(layers.LayerHasSelectedArt(Document::toHandle(layer), &selected), 0);
    EXPECT_FALSE(selected);
    ASSERT_EQ(layers.LayerHasSelectedArt(Document::toHandle(other), &selected), 0);
    EXPECT_TRUE(selected);

    std::vector<Art*> set;
    doc().collectSelected(set);
    EXPECT_EQ(set, (std::vector<Art*>{other->group(), elsewhere}));

    EXPECT_EQ(layers.LayerHasSelectedArt(nullptr, &selected), kHostBadParameterErr);
    const HostLayer deleted = Document::toHandle(other);
    ASSERT_EQ(doc().deleteLayer(other), 0);
    EXPECT_EQ(layers.DeselectArtOnLayer(deleted), kHostBadParameterErr);
}

TEST_F(ViewAndSelectionSuites, APathMadeThroughTheArtSuiteHasTheNewPathStyle) {
    HostArt path = nullptr;
    ASSERT_EQ(ArtSuite().NewArt(kHostPathArt, kHostPlaceInsideOnTop, Document::toHandle(layer->group()), &path), 0);
    HostPathStyle style{};
    HostBool advanced = 0;
    ASSERT_EQ(PathStyleSuite().GetPathStyle(path, &style, &advanced), 0);
    EXPECT_TRUE(style.fillPaint);
    EXPECT_EQ(style.fill.color.kind, kHostGrayColor);
    EXPECT_EQ(style.fill.color.c.gray.gray, 0);
    EXPECT_TRUE(style.strokePaint);
    EXPECT_EQ(style.stroke.color.kind, kHostGrayColor);
    EXPECT_EQ(style.stroke.color.c.gray.gray, 1);
    EXPECT_EQ(style.stroke.width, 1);
    EXPECT_EQ(style.stroke.miterLimit, 10);
}

}  // namespace
}  // namespace orbalis::host
