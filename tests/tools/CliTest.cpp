// The orbalis command line, run as a user runs it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "host/io/DocumentFiles.h"
#include "tests/support/DocumentBuilder.h"

namespace orbalis::testing {
namespace {

namespace fs = std::filesystem;

struct Outcome {
    int exit = -1;
    std::string out, err;
};

std::string Slurp(const fs::path& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class CliTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("orbalis-cli-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    // Runs orbalis with the arguments (shell words) and stdin closed.
    Outcome Run(const std::string& arguments) {
        const std::string command = std::string(ORBALIS_CLI) + " " + arguments + " >" + (dir / "out").string() + " 2>" +
                                    (dir / "err").string() + " </dev/null";
        Outcome o;
        const int status = std::system(command.c_str());
        o.exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        o.out = Slurp(dir / "out");
        o.err = Slurp(dir / "err");
        return o;
    }
    std::string Prefs() const { return "--prefs " + (dir / "prefs.json").string(); }
    std::string Example(const std::string& name) const { return std::string(ORBALIS_SOURCE_DIR) + "/examples/" + name; }

    fs::path dir;
};

TEST_F(CliTest, BadArgumentsGiveOneLineAndExitTwo) {
    for (const std::string& arguments :
         std::vector<std::string>{std::string(""), std::string("fly"), "run", "run " + Example("us-states.svg"),
                                  "run no-such-file.svg --menu 高速移動",
                                  "run " + Example("us-states.svg") + " --menu 高速移動 --answer maybe",
                                  "run " + Example("us-states.svg") + " --menu 存在しない項目 " + Prefs(),
                                  "info " + Example("README.md"), "convert " + Example("us-states.svg") + " out.txt"}) {
        const Outcome o = Run(arguments);
        EXPECT_EQ(o.exit, 2) << arguments;
        if (!arguments.empty()) {
            EXPECT_EQ(std::count(o.err.begin(), o.err.end(), '\n'), 1) << arguments << ": " << o.err;
            EXPECT_EQ(o.err.rfind("orbalis: ", 0), 0u) << o.err;
        }
    }
    EXPECT_FALSE(fs::exists("out.txt"));
}

// The version printed is the build's one (project() in CMakeLists.txt), and
// the help lists the flag.
TEST_F(CliTest, VersionIsTheBuildsOne) {
    const Outcome o = Run("--version");
    EXPECT_EQ(o.exit, 0) << o.err;
    EXPECT_EQ(o.out, "orbalis " ORBALIS_VERSION "\n");
    EXPECT_NE(Run("--help").out.find("--version"), std::string::npos);
    EXPECT_EQ(Run("menus --version").exit, 2) << "the flag belongs to the program, not to a command";
}

TEST_F(CliTest, MenusShowsThePluginsItems) {
    const Outcome o = Run("menus " + Prefs());
    ASSERT_EQ(o.exit, 0) << o.err;
    EXPECT_NE(o.out.find("Nodra-ORBALIS1.5  ▸"), std::string::npos);
    EXPECT_NE(o.out.find("ポリゴン色分け  (disabled)"), std::string::npos) << "no document is open";
    const Outcome withDocument = Run("menus " + Example("us-states.svg") + " " + Prefs());
    EXPECT_NE(withDocument.out.find("ポリゴン色分け\n"), std::string::npos) << withDocument.out;
}

TEST_F(CliTest, InfoAndConvertBetweenFormats) {
    const std::string json = (dir / "states.json").string(), svg = (dir / "again.svg").string();
    ASSERT_EQ(Run("convert " + Example("us-states.svg") + " " + json).exit, 0);
    ASSERT_EQ(Run("convert " + json + " " + svg).exit, 0);
    for (const std::string& file : {Example("us-states.svg"), json, svg}) {
        const Outcome o = Run("info " + file);
        EXPECT_EQ(o.exit, 0) << o.err;
        EXPECT_NE(o.out.find("\"states\" (current): 51 top-level objects"), std::string::npos) << o.out;
    }
}

TEST_F(CliTest, RunMovesTheMapByTheSelectedPath) {
    host::Layer* layer = nullptr;
    auto doc = NewDocument(&layer);
    host::Art* square = AddRect(*doc, layer->group(), 0, 0, 10, 10);
    square->name = "square";
    host::Art* arrow = AddPolygon(*doc, layer->group(), {{0, 0}, {4, -2}}, false, StrokedStyle());
    arrow->name = "arrow";
    std::string error;
    const std::string in = (dir / "map.json").string(), out = (dir / "moved.json").string();
    ASSERT_TRUE(host::WriteDocumentFile(*doc, in, &error)) << error;

    const Outcome o = Run("run " + in + " --menu 高速移動 --select arrow --yes --out " + out + " " + Prefs());
    ASSERT_EQ(o.exit, 0) << o.err;
    EXPECT_NE(o.err.find("question: 移動完了後に、移動先を示すパスを削除しますか？ -> yes"), std::string::npos)
        << o.err;
    auto moved = host::ReadDocumentFile(out, {}, &error);
    ASSERT_NE(moved, nullptr) << error;
    const host::Art* first = moved->topLayers().front()->group()->firstChild();
    ASSERT_EQ(first->name, "square");
    EXPECT_EQ(FirstAnchor(first).x, 4);
    EXPECT_EQ(FirstAnchor(first).y, -2);
    EXPECT_EQ(first->next(), nullptr) << "the arrow was deleted";

    // --answer answers the questions in the order given; the first keeps the
    // arrow (the second is left over: there are no guides to ask about).
    const Outcome kept =
        Run("run " + in + " --menu 高速移動 --select arrow --answer no --answer yes --out " + out + " " + Prefs());
    ASSERT_EQ(kept.exit, 0) << kept.err;
    EXPECT_NE(kept.err.find("パスを削除しますか？ -> no"), std::string::npos) << kept.err;
    moved = host::ReadDocumentFile(out, {}, &error);
    ASSERT_NE(moved, nullptr) << error;
    EXPECT_NE(moved->topLayers().front()->group()->firstChild()->next(), nullptr) << "the arrow was kept";

    const Outcome missing = Run("run " + in + " --menu 高速移動 --select nothing " + Prefs());
    EXPECT_EQ(missing.exit, 2);
    EXPECT_NE(missing.err.find("no object named \"nothing\""), std::string::npos);
}

TEST_F(CliTest, ADeclinedRunWritesNothing) {
    const std::string out = (dir / "colored.svg").string();
    const Outcome o =
        Run("run " + Example("us-states.svg") + " --menu ポリゴン色分け --no --out " + out + " " + Prefs());
    EXPECT_EQ(o.exit, 1);
    EXPECT_NE(o.err.find("'STOP' (cancelled)"), std::string::npos) << o.err;
    EXPECT_FALSE(fs::exists(out));

    const Outcome colored =
        Run("run " + Example("us-states.svg") + " --menu ポリゴン色分け --yes --stats --out " + out + " " + Prefs());
    EXPECT_EQ(colored.exit, 0) << colored.err;
    EXPECT_NE(colored.err.find("alert: 終了"), std::string::npos);
    EXPECT_NE(colored.err.find("stats: DoUniteEffect"), std::string::npos) << colored.err;
    EXPECT_NE(Slurp(out).find("data-cmyk-fill"), std::string::npos);
}

}  // namespace
}  // namespace orbalis::testing

namespace orbalis::testing {
namespace {

TEST_F(CliTest, TheUserAtTheAboutBoxIsScriptedAndTheShellOpensArePrinted) {
    const std::string about = "run " + Example("us-states.svg") + " --menu Nodra-Orbalis1.5... " + Prefs();
    Outcome o = Run(about + " --ui 'dialog 107; click 1063; click 1063; click 1'");
    EXPECT_EQ(o.exit, 0) << o.err;
    EXPECT_EQ(o.err, "shell: open https://orbalis.example.org/docs/\nshell: open https://orbalis.example.org/docs/\n");

    // A script file, one step a line, quoted text included.
    std::ofstream(dir / "steps.txt") << "dialog 107\nclick 1063\n\nenter\n";
    o = Run(about + " --ui-file " + (dir / "steps.txt").string());
    EXPECT_EQ(o.exit, 0) << o.err;

    // An uncovered dialog is cancelled and the run fails, writing nothing.
    o = Run(about + " --out " + (dir / "out.svg").string());
    EXPECT_EQ(o.exit, 1);
    EXPECT_NE(o.err.find("dialog 107 opened"), std::string::npos) << o.err;
    EXPECT_FALSE(fs::exists(dir / "out.svg"));

    o = Run(about + " --ui 'dialog 107; click 4242'");
    EXPECT_EQ(o.exit, 1);
    EXPECT_NE(o.err.find("no control 4242"), std::string::npos) << o.err;

    o = Run(about + " --ui 'dialog 107; type 1 \"x'");
    EXPECT_EQ(o.exit, 2);
    EXPECT_NE(o.err.find("unterminated quote"), std::string::npos) << o.err;
}

TEST_F(CliTest, UiScriptsAndFilesArePlayedInTheOrderGiven) {
    const std::string about = "run " + Example("us-states.svg") + " --menu Nodra-Orbalis1.5... " + Prefs();
    std::ofstream(dir / "click.txt") << "click 1063\n";
    const std::string file = " --ui-file " + (dir / "click.txt").string();
    Outcome o = Run(about + " --ui 'dialog 107'" + file + " --ui 'click 1'");
    EXPECT_EQ(o.exit, 0) << o.err;
    EXPECT_EQ(o.err, "shell: open https://orbalis.example.org/docs/\n");
    // The same steps in another order close the dialog before the click.
    o = Run(about + " --ui 'dialog 107'" + " --ui 'click 1'" + file);
    EXPECT_EQ(o.exit, 1) << o.err;
    EXPECT_NE(o.err.find("steps left unused: \"click 1063\""), std::string::npos) << o.err;
}

TEST_F(CliTest, HelpForTheProgramAndEachCommand) {
    Outcome o = Run("--help");
    EXPECT_EQ(o.exit, 0) << o.err;
    for (const char* command : {"menus", "info", "run", "convert", "dialog"})
        EXPECT_NE(o.out.find(std::string("  ") + command + " "), std::string::npos) << command << " in " << o.out;
    EXPECT_EQ(Run("help").out, o.out);
    o = Run("run --help");
    EXPECT_EQ(o.exit, 0) << o.err;
    for (const char* option : {"--menu", "--layer", "--select", "--view", "--yes", "--no", "--answer", "--out", "--ui ",
                               "--ui-file", "--stats", "--prefs", "--plugin"})
        EXPECT_NE(o.out.find(option), std::string::npos) << option << " in " << o.out;
    for (const char* command : {"menus", "info", "convert", "dialog"}) {
        o = Run(std::string(command) + " --help");
        EXPECT_EQ(o.exit, 0) << command;
        EXPECT_NE(o.out.find(std::string("orbalis ") + command), std::string::npos) << o.out;
    }
    // Without a command the help is the complaint.
    o = Run("");
    EXPECT_EQ(o.exit, 2);
    EXPECT_NE(o.err.find("run"), std::string::npos);
}

// A file dialog makes the chosen file's folder current (as on Windows); the
// settings and the document still go where the relative paths named them
// when the command started.
TEST_F(CliTest, RelativePathsHoldAfterAFileDialogMovedTheCurrentFolder) {
    fs::create_directories(dir / "lists");
    const std::string command =
        "cd " + dir.string() + " && " + ORBALIS_CLI + " run " + Example("town-layers.svg") +
        " --menu 'レイヤー名リストをファイルに保存...' --ui 'dialog save; file lists/layers.txt'" +
        " --prefs prefs.json --out doc.json >out 2>err </dev/null";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << Slurp(dir / "err");
    EXPECT_TRUE(fs::exists(dir / "lists" / "layers.txt"));
    EXPECT_TRUE(fs::exists(dir / "prefs.json"));
    EXPECT_TRUE(fs::exists(dir / "doc.json"));
    EXPECT_FALSE(fs::exists(dir / "lists" / "prefs.json"));
    EXPECT_FALSE(fs::exists(dir / "lists" / "doc.json"));
    EXPECT_NE(Slurp(dir / "err").find("wrote doc.json"), std::string::npos) << "named as given";
}

TEST_F(CliTest, UiStepsWithoutAMenuItemStartThePluginAndSave) {
    const Outcome o =
        Run("run " + Example("us-states.svg") + " --ui '' --out " + (dir / "same.json").string() + " " + Prefs());
    EXPECT_EQ(o.exit, 0) << o.err;
    EXPECT_TRUE(fs::exists(dir / "same.json"));
}

}  // namespace
}  // namespace orbalis::testing

namespace orbalis::testing {
namespace {

// At a terminal (here a pseudo-terminal made by script(1)), an uncovered
// dialog is a text form where the user types the same steps.
TEST_F(CliTest, AnUncoveredDialogAtATerminalIsATextForm) {
    if (std::system("command -v script >/dev/null 2>&1") != 0) {
        if (const char* ci = std::getenv("CI"); ci && *ci && std::string_view(ci) != "false")
            FAIL() << "script(1) is not installed (Debian package bsdutils)";
        GTEST_SKIP() << "script(1) is not installed (Debian package bsdutils)";
    }
    std::ofstream(dir / "typed") << "click 1063\nclick 99\n\n";
    const std::string run =
        std::string(ORBALIS_CLI) + " run " + Example("us-states.svg") + " --menu Nodra-Orbalis1.5... " + Prefs();
    const std::string command =
        "script -qec '" + run + "' /dev/null <" + (dir / "typed").string() + " >" + (dir / "out").string() + " 2>&1";
    const int status = std::system(command.c_str());
    const std::string out = Slurp(dir / "out");
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << out;
    EXPECT_NE(out.find("== Nodra-Orbalis1.5について =="), std::string::npos) << out;
    EXPECT_NE(out.find("1063  <Webサイトを開く>"), std::string::npos) << out;
    EXPECT_NE(out.find("shell: open https://orbalis.example.org/docs/"), std::string::npos) << out;
    EXPECT_NE(out.find("no control 99"), std::string::npos) << "a mistake is said and the form stays: " << out;
}

}  // namespace
}  // namespace orbalis::testing
