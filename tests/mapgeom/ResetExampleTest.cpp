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
