// The panels from the orbalis command line: a press of the text origin
// panel's button in a run, and the pictures of the panels.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "host/io/DocumentFiles.h"
#include "host/model/TextStory.h"

namespace orbalis::testing {
namespace {

namespace fs = std::filesystem;

std::string Slurp(const fs::path& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

size_t Count(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

class PanelCommandLineTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("orbalis-panel-cli-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    // Runs orbalis with the arguments; the exit status, standard error in *err.
    int Run(const std::string& arguments, std::string* err) {
        const std::string command = std::string(ORBALIS_CLI) + " " + arguments + " --prefs " +
                                    (dir / "prefs.json").string() + " >/dev/null 2>" + (dir / "err").string() +
                                    " </dev/null";
        const int status = std::system(command.c_str());
        *err = Slurp(dir / "err");
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    static std::string Example(const std::string& name) {
        return std::string(ORBALIS_SOURCE_DIR) + "/examples/" + name;
    }
    static host::Art* Named(host::Document& document, const std::string& name) {
        for (host::Layer* layer : document.allLayers()) {
            std::vector<host::Art*> arts;
            document.collectLayerArt(layer, arts);
            for (host::Art* art : arts)
                if (art->name == name) return art;
        }
        return nullptr;
    }

    fs::path dir;
};

TEST_F(PanelCommandLineTest, AButtonStepCentresTheSelectedLabelWhereItStands) {
    std::string err;
    const std::string out = (dir / "centred.json").string();
    ASSERT_EQ(
        Run("run " + Example("labels.json") + " --select sagami-bay --ui 'panel テキスト原点; button 2' --out " + out,
            &err),
        0)
        << err;
    std::string error;
    auto before = host::ReadDocumentFile(Example("labels.json"), {}, &error);
    auto after = host::ReadDocumentFile(out, {}, &error);
    ASSERT_TRUE(before && after) << error;
    host::Art* was = Named(*before, "sagami-bay");
    host::Art* is = Named(*after, "sagami-bay");
    ASSERT_TRUE(was && is);
    const auto& text = std::get<host::TextData>(is->data);
    EXPECT_EQ(host::JustificationOf(text, 0), host::Justification::Center);
    HostRect a{}, b{};
    ASSERT_TRUE(before->bounds(was, &a) && after->bounds(is, &b));
    EXPECT_NEAR(a.left, b.left, 1e-6);
    EXPECT_NEAR(a.top, b.top, 1e-6);
    EXPECT_NEAR(a.right, b.right, 1e-6);
    EXPECT_NEAR(a.bottom, b.bottom, 1e-6);
    EXPECT_NE(std::get<host::TextData>(was->data).matrix.tx, text.matrix.tx);
    // The other labels were not selected and stay as they were.
    EXPECT_EQ(host::JustificationOf(std::get<host::TextData>(Named(*after, "tokyo-bay")->data), 0),
              host::Justification::Left);
}

TEST_F(PanelCommandLineTest, ThePictureOfTheTextOriginPanelShowsItsSixIcons) {
    std::string err;
    const fs::path open = dir / "open.svg", none = dir / "none.svg";
    ASSERT_EQ(Run("panel テキスト原点 " + Example("labels.json") + " --svg " + open.string(), &err), 0) << err;
    ASSERT_EQ(Run("panel テキスト原点 --svg " + none.string(), &err), 0) << err;
    const std::string enabled = Slurp(open), disabled = Slurp(none);
    EXPECT_NE(enabled.find(">テキスト原点</text>"), std::string::npos);
    // One icon a button, drawn pixel row by pixel row; faded while no
    // document is open.
    EXPECT_EQ(Count(enabled, "<g shape-rendering=\"crispEdges\">"), 6u);
    EXPECT_EQ(Count(disabled, "<g shape-rendering=\"crispEdges\" opacity=\"0.35\">"), 6u);
    EXPECT_GT(Count(enabled, "height=\"1\""), 6u * 10);
}

TEST_F(PanelCommandLineTest, ThePictureOfTheLayerPanelShowsTheRefreshedTree) {
    std::string err;
    const fs::path svg = dir / "tree.svg";
    ASSERT_EQ(Run("panel レイヤー間移動 " + Example("town-layers.svg") +
                      " --ui 'panel レイヤー間移動; refresh' --svg " + svg.string(),
                  &err),
              0)
        << err;
    const std::string picture = Slurp(svg);
    EXPECT_NE(picture.find(">道路</text>"), std::string::npos);
    EXPECT_NE(picture.find(">レイヤーリストを更新</text>"), std::string::npos);
    EXPECT_NE(picture.find(">複数選択時はグループ化</text>"), std::string::npos);
}

TEST_F(PanelCommandLineTest, AnUnknownPanelOrAFailedStepIsSaidAndNothingWritten) {
    std::string err;
    const fs::path svg = dir / "x.svg";
    EXPECT_EQ(Run("panel 無い --svg " + svg.string(), &err), 2);
    EXPECT_NE(err.find("there is no panel \"無い\""), std::string::npos) << err;
    EXPECT_EQ(Run("panel テキスト原点 --ui 'panel テキスト原点; button 7' --svg " + svg.string(), &err), 2);
    EXPECT_NE(err.find("the panel has no button 7"), std::string::npos) << err;
    EXPECT_EQ(Run("panel テキスト原点", &err), 2);
    EXPECT_NE(err.find("--svg is required"), std::string::npos) << err;
    EXPECT_FALSE(fs::exists(svg));
}

}  // namespace
}  // namespace orbalis::testing
