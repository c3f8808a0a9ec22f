// The transform resets on the bundled example of rotated and sheared labels
// and a scaled, rotated image.
#include <gtest/gtest.h>

#include <cmath>

#include "host/io/DocumentFiles.h"
#include "tests/support/PluginHarness.h"
#include "tests/support/TextFixtures.h"

namespace orbalis::testing {
namespace {

using host::Art;

class ResetExampleTest : public PluginTest {
protected:
    void SetUp() override {
        PluginTest::SetUp();
        std::string error;
        auto example = host::ReadDocumentFile(std::string(ORBALIS_SOURCE_DIR) + "/examples/labels.json", {}, &error);
        ASSERT_TRUE(example) << error;
        host->OpenDocument(std::move(example));
    }
    std::vector<Art*> Labels() {
        std::vector<Art*> out;
        for (Art* a = doc().topLayers()[0]->group()->firstChild(); a; a = a->next()) out.push_back(a);
        return out;
    }
    Art* Image() { return doc().topLayers()[1]->group()->firstChild(); }
};

TEST_F(ResetExampleTest, UprightLeavesNoLabelTurned) {
    ASSERT_EQ(Choose("テキストを水平垂直に戻す"), 0);
    for (Art* label : Labels()) {
        const host::TextData& t = TextOf(label);
        EXPECT_NEAR(t.matrix.b, 0, 1e-9) << label->name;
        EXPECT_GT(t.matrix.a, 0) << label->name;
        for (const auto& run : t.runs) EXPECT_EQ(run.features.rotation, 0) << label->name;
    }
}

TEST_F(ResetExampleTest, ShearRemovalLeavesEachLabelAPureRotation) {
    std::vector<double> anglesBefore;
    for (Art* label : Labels()) anglesBefore.push_back(std::atan2(TextOf(label).matrix.b, TextOf(label).matrix.a));
    ASSERT_EQ(Choose("テキストのシアー変形除去"), 0);
    const auto labels = Labels();
    for (size_t i = 0; i < labels.size(); ++i) {
        const HostMatrix& m = TextOf(labels[i]).matrix;
        EXPECT_NEAR(m.a, m.d, 1e-9) << labels[i]->name;
        EXPECT_NEAR(m.b, -m.c, 1e-9) << labels[i]->name;
        EXPECT_NEAR(m.a * m.a + m.b * m.b, 1, 1e-9) << labels[i]->name;
        if (TextOf(labels[i]).orientation == 0) {
            EXPECT_NEAR(std::atan2(m.b, m.a), anglesBefore[i], 1e-9) << labels[i]->name << " keeps its rotation";
        }
    }
}

// The haloed, tracked, multi-line and shifted labels of the example keep
// all of it through both resets.
TEST_F(ResetExampleTest, LabelFeaturesSurviveBothResets) {
    std::vector<host::TextData> before;
    for (Art* label : Labels()) before.push_back(TextOf(label));
    ASSERT_EQ(Choose("テキストを水平垂直に戻す"), 0);
    ASSERT_EQ(Choose("テキストのシアー変形除去"), 0);
    const auto labels = Labels();
    ASSERT_EQ(labels.size(), before.size());
    int featured = 0;
    for (size_t i = 0; i < labels.size(); ++i) {
        const host::TextData& t = TextOf(labels[i]);
        // Runs told apart by their rotation alone become one when it goes.
        if (t.runs.size() != before[i].runs.size()) continue;
        for (size_t r = 0; r < t.runs.size(); ++r) {
            const host::CharFeatures &now = t.runs[r].features, &was = before[i].runs[r].features;
            EXPECT_EQ(t.runs[r].text, before[i].runs[r].text) << labels[i]->name;
            EXPECT_EQ(now.strokeUnder, was.strokeUnder) << labels[i]->name;
            EXPECT_EQ(now.strokeWidth, was.strokeWidth) << labels[i]->name;
            EXPECT_EQ(now.tracking, was.tracking) << labels[i]->name;
            EXPECT_EQ(now.baselineShift, was.baselineShift) << labels[i]->name;
            EXPECT_EQ(now.decoration, was.decoration) << labels[i]->name;
            featured += now.strokeUnder || now.tracking != 0 || now.baselineShift != 0 || now.decoration != 0;
        }
        EXPECT_EQ(t.paragraphs, before[i].paragraphs) << labels[i]->name;
    }
    EXPECT_GE(featured, 4);
}

TEST_F(ResetExampleTest, TheImageComesBackToItsNaturalSize) {
    const HostRect before = BoundsOf(doc(), Image());
    ASSERT_EQ(Choose("配置画像サイズをリセット"), 0);
    const HostRect after = BoundsOf(doc(), Image());
    EXPECT_NEAR(after.right - after.left, 200, 1e-9);
    EXPECT_NEAR(after.top - after.bottom, 120, 1e-9);
    EXPECT_NEAR(after.left, before.left, 1e-9);
    EXPECT_NEAR(after.top, before.top, 1e-9);
}

}  // namespace
}  // namespace orbalis::testing
