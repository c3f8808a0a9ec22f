// The bundled map with nested layers: what the SVG importer makes of it, and
// both layer commands on it, in process and from the command line.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include <unistd.h>

#include "host/io/DocumentFiles.h"
#include "tests/layers/LayerCommandTest.h"

namespace orbalis::testing {
namespace {

namespace fs = std::filesystem;
using Titles = std::vector<std::string>;

const std::string kMap = std::string(ORBALIS_SOURCE_DIR) + "/examples/town-layers.svg";

// Each layer as "depth title", hidden ones marked, in pre-order.
Titles Outline(const host::Document& doc) {
    Titles out;
    for (const host::Layer* l : doc.allLayers()) {
        int depth = 0;
        for (const host::Layer* p = doc.parentLayer(l); p; p = doc.parentLayer(p)) ++depth;
        out.push_back(std::to_string(depth) + " " + l->title + (l->visible ? "" : " (hidden)"));
    }
    return out;
}

class TownMap : public LayerCommandTest {
protected:
    void SetUp() override {
        LayerCommandTest::SetUp();
        std::string error;
        auto map = host::ReadDocumentFile(kMap, {}, &error);
        ASSERT_NE(map, nullptr) << error;
        host->OpenDocument(std::move(map));
    }
};

TEST_F(TownMap, TheImporterMakesLayersAndSublayersTwoDeep) {
    EXPECT_EQ(Outline(doc()), (Titles{"0 建物", "0 道路", "1 一般道", "2 市道", "1 高速道路", "0 水系", "1 湖沼",
                                      "1 河川", "0 下書き (hidden)", "0 背景"}));
}

TEST_F(TownMap, NumberingAndUndoingItByReplacement) {
    const Titles before = LayerTitles();
    EXPECT_EQ(Run("レイヤー通し番号作成...", "dialog 125; click 1"), 0);
    EXPECT_EQ(LayerTitles(), (Titles{"1: 建物", "2: 道路", "3: 一般道", "4: 市道", "5: 高速道路", "6: 水系", "7: 湖沼",
                                     "8: 河川", "下書き", "9: 背景"}));

    // Deleting up to and with ": " on every layer gives the titles back.
    EXPECT_EQ(Run("レイヤー名置換...", "dialog 126; select 1120 2; click 1114; type 1104 \": \"; click 1070; click 1"),
              0);
    EXPECT_EQ(LayerTitles(), before);
}

TEST_F(TownMap, SublayersOfTheCurrentLayerFromTheCommandLine) {
    const fs::path dir = fs::temp_directory_path() / ("orbalis-town-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const std::string out = (dir / "numbered.svg").string();
    const std::string command =
        std::string(ORBALIS_CLI) + " run " + kMap +
        " --layer 道路 --menu 'レイヤー通し番号作成...' --ui 'dialog 125; select 1120 1; click 1'" + " --out " + out +
        " --prefs " + (dir / "prefs.json").string() + " </dev/null >" + (dir / "log").string() + " 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
    std::string error;
    auto numbered = host::ReadDocumentFile(out, {}, &error);
    ASSERT_NE(numbered, nullptr) << error;
    EXPECT_EQ(Outline(*numbered), (Titles{"0 建物", "0 道路", "1 1: 一般道", "2 市道", "1 2: 高速道路", "0 水系",
                                          "1 湖沼", "1 河川", "0 下書き (hidden)", "0 背景"}));
    fs::remove_all(dir);
}

}  // namespace
}  // namespace orbalis::testing
