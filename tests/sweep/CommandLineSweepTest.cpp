// A sample of the sweep's failure points through the command line: a run
// whose host operation fails (ORBALIS_FAULT) ends with status 1, says so on
// one line, writes no output file and leaves its input alone; the same run
// without the fault writes it.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "host/io/DocumentFiles.h"
#include "tests/support/DocumentBuilder.h"
#include "tests/support/TextFixtures.h"

namespace orbalis::testing {
namespace {

namespace fs = std::filesystem;

struct Point {
    const char* menu;
    std::string options;
    std::string fault;  // OPERATION:N[:CODE]
    std::string code;   // as the command line prints it
};

class CommandLineSweep : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("orbalis-sweep-cli-" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        // Touching squares on the current layer, a selected arrow named
        // "arrow", a turned label and two more layers.
        host::Layer* layer = nullptr;
        auto doc = NewDocument(&layer);
        for (int i = 0; i < 3; ++i) AddRect(*doc, layer->group(), i * 10.0, 0, 10, 10);
        host::Art* arrow = AddPolygon(*doc, layer->group(), {{0, 0}, {3, 7}, {10, 5}}, false, StrokedStyle());
        arrow->name = "arrow";
        AddPointText(*doc, layer->group(), Turned(30, 50, 50), {Chars("町")})->name = "label";
        AddLayer(*doc, "道路");
        AddLayer(*doc, "川");
        std::string error;
        ASSERT_TRUE(host::WriteDocumentFile(*doc, (dir / "map.json").string(), &error)) << error;
    }
    void TearDown() override { fs::remove_all(dir); }

    // Runs orbalis run on the map with the fault armed (none when empty);
    // the exit status and standard error.
    std::pair<int, std::string> Run(const Point& p, const std::string& fault, const fs::path& out) {
        const std::string command = (fault.empty() ? std::string() : "ORBALIS_FAULT=" + fault + " ") + ORBALIS_CLI +
                                    " run " + (dir / "map.json").string() + " --menu '" + p.menu + "' " + p.options +
                                    " --prefs " + (dir / "prefs.json").string() + " --out " + out.string() + " 2>" +
                                    (dir / "err").string() + " </dev/null >/dev/null";
        const int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Slurp(dir / "err")};
    }

    static std::string Slurp(const fs::path& file) {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }

    fs::path dir;
};

TEST_F(CommandLineSweep, AFailedRunWritesNothing) {
    const Point points[] = {
        {"高速移動", "--select arrow --yes", "TransformArt:1", "'FAIL'"},
        {"高速移動", "--select arrow --yes", "TransformArt:3:XFRM", "'XFRM'"},
        {"高速移動", "--select arrow --yes", "GetArtType:1", "'FAIL'"},
        {"ポリゴン色分け", "--yes", "GetArtBounds:2", "'FAIL'"},
        {"ポリゴン色分け", "--yes", "SetPathStyle:1", "200"},
        {"ポリゴン色分け", "--yes", "GetCurrentLayer:1", "'FAIL'"},
        {"地図拡大縮小...", "--ui 'dialog 115; click 1'", "TransformArt:2", "'FAIL'"},
        {"スケールバー作成...", "--ui 'dialog 123; click 1'", "InsertLayer:1", "'FAIL'"},
        {"スケールバー作成...", "--ui 'dialog 123; click 1'", "NewArt:5", "'FAIL'"},
        {"レイヤー通し番号作成...", "--ui 'dialog 125; click 1'", "SetLayerTitle:2", "'FAIL'"},
        {"レイヤー名置換...", "--ui 'dialog 126; type 1105 道; type 1106 みち; click 1'", "SetLayerTitle:1", "'FAIL'"},
        {"テキストを水平垂直に戻す", "--select label", "TransformArt:1", "'FAIL'"},
        {"テキストを水平垂直に戻す", "--select label", "ATETextFrame.GetMatrix:1", "'CANT'"},
    };
    const std::string input = Slurp(dir / "map.json");
    int n = 0;
    for (const Point& p : points) {
        const std::string what = std::string(p.menu) + " with " + p.fault;
        const fs::path out = dir / ("out-" + std::to_string(++n) + ".svg");
        const auto [cleanStatus, cleanErr] = Run(p, "", out);
        ASSERT_EQ(cleanStatus, 0) << what << ": the run without the fault: " << cleanErr;
        ASSERT_TRUE(fs::exists(out)) << what;
        fs::remove(out);

        const auto [status, err] = Run(p, p.fault, out);
        EXPECT_EQ(status, 1) << what << ": " << err;
        EXPECT_FALSE(fs::exists(out)) << what << ": an output file was written";
        EXPECT_NE(err.find("ended with code " + p.code + "; nothing written\n"), std::string::npos)
            << what << ": " << err;
        EXPECT_EQ(Slurp(dir / "map.json"), input) << what << ": the input changed";
    }
}

TEST_F(CommandLineSweep, AFaultThatCannotBeReadIsABadArgument) {
    const Point p{"高速移動", "--select arrow --yes", "", ""};
    for (const char* fault : {"TransformArt", "TransformArt:0", "TransformArt:x", ":1", "TransformArt:1:TOOLONG"}) {
        const auto [status, err] = Run(p, std::string("'") + fault + "'", dir / "out.svg");
        EXPECT_EQ(status, 2) << fault;
        EXPECT_EQ(err.rfind("orbalis: ORBALIS_FAULT: ", 0), 0u) << fault << ": " << err;
        EXPECT_FALSE(fs::exists(dir / "out.svg")) << fault;
    }
}

}  // namespace
}  // namespace orbalis::testing
