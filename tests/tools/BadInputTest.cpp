// Bad input at the orbalis command line: whatever is wrong, one line on
// standard error says what, the exit status is 2, no file is written and no
// file given is changed.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace orbalis::testing {
namespace {

namespace fs = std::filesystem;

struct Outcome {
    int exit = -1;
    std::string err;
};

std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void Spit(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

std::string Quoted(const fs::path& path) { return "'" + path.string() + "'"; }

// Every entry under a folder: its kind, and for a file its size, its time of
// last change and, unless it is enormous, its bytes.
struct Entry {
    fs::file_type type;
    std::uintmax_t size;
    std::string bytes;
    fs::file_time_type changed;
    bool operator==(const Entry&) const = default;
};
using Snapshot = std::map<std::string, Entry>;

Snapshot Take(const fs::path& folder) {
    Snapshot snapshot;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        const fs::file_type type = entry.symlink_status().type();
        Entry e{type, 0, {}, {}};
        if (type == fs::file_type::regular) {
            e.size = fs::file_size(entry.path());
            if (e.size <= (64u << 20)) e.bytes = Slurp(entry.path());
            e.changed = fs::last_write_time(entry.path());
        }
        snapshot[entry.path().string()] = e;
    }
    return snapshot;
}

class BadInputTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        base = fs::temp_directory_path() / ("orbalis-bad-input-" + std::to_string(::getpid()) + "-" + name);
        fs::remove_all(base);
        dir = base / "files";
        fs::create_directories(dir);
        fs::copy_file(Example("us-states.svg"), dir / "map.svg");
        fs::copy_file(Example("labels.json"), dir / "map.json");
        fs::copy_file(Example("town-layers.svg"), dir / "town.svg");
        Spit(dir / "prefs.json", "{\"Nodra-Orbalis1.5\": {\"NL_Step\": {\"type\": \"integer\", \"value\": 2}}}\n");
    }
    void TearDown() override { fs::remove_all(base); }

    static std::string Example(const std::string& name) {
        return std::string(ORBALIS_SOURCE_DIR) + "/examples/" + name;
    }
    std::string File(const std::string& name) const { return Quoted(dir / name); }
    std::string Prefs() const { return "--prefs " + File("prefs.json"); }

    // Runs orbalis with the arguments (shell words) after the shell commands
    // in `prelude`, with standard input closed.
    Outcome Run(const std::string& arguments, const std::string& prelude = "") const {
        const fs::path err = base / "stderr";
        const std::string command =
            prelude + std::string(ORBALIS_CLI) + " " + arguments + " >/dev/null 2>" + Quoted(err) + " </dev/null";
        const int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Slurp(err)};
    }

    // The arguments are refused: exit status 2 and one line that starts
    // "orbalis: " and mentions `what`, nothing written, nothing changed.
    void ExpectRefused(const std::string& arguments, const std::string& what, const std::string& prelude = "") {
        SCOPED_TRACE(arguments);
        const Snapshot before = Take(dir);
        const Outcome o = Run(arguments, prelude);
        EXPECT_EQ(o.exit, 2) << o.err;
        EXPECT_EQ(std::count(o.err.begin(), o.err.end(), '\n'), 1) << o.err;
        EXPECT_EQ(o.err.rfind("orbalis: ", 0), 0u) << o.err;
        EXPECT_NE(o.err.find(what), std::string::npos) << "expected \"" << what << "\" in: " << o.err;
        EXPECT_TRUE(Take(dir) == before) << "a file was written or changed";
    }

    fs::path base, dir;
};

TEST_F(BadInputTest, MissingUnreadableAndEmptyDocuments) {
    const std::string missing = (dir / "missing.svg").string();
    ExpectRefused("info " + File("missing.svg"), missing + ": cannot read: No such file or directory");
    ExpectRefused("convert " + File("missing.svg") + " " + File("out.json"), missing);
    ExpectRefused("run " + File("missing.json") + " --menu 高速移動 --out " + File("out.svg") + " " + Prefs(),
                  "missing.json: cannot read");
    ExpectRefused("menus " + File("missing.svg") + " " + Prefs(), missing);

    // A folder and a pipe with a document's name; the pipe has no writer
    // and must not be waited on.
    fs::create_directory(dir / "folder.svg");
    ASSERT_EQ(::mkfifo((dir / "pipe.json").c_str(), 0600), 0);
    ExpectRefused("info " + File("folder.svg"), "folder.svg: cannot read");
    ExpectRefused("convert " + File("pipe.json") + " " + File("out.svg"), "pipe.json: cannot read: not a regular file");

    Spit(dir / "empty.svg", "");
    Spit(dir / "empty.json", "");
    Spit(dir / "blank.json", " \n\t\n");
    ExpectRefused("convert " + File("empty.svg") + " " + File("out.json"), "empty.svg: ");
    ExpectRefused("convert " + File("empty.json") + " " + File("out.svg"), "empty.json: ");
    ExpectRefused("run " + File("blank.json") + " --menu 高速移動 --out " + File("out.svg") + " " + Prefs(),
                  "blank.json: ");
}

TEST_F(BadInputTest, TruncatedEnormousAndWrongFormatDocuments) {
    const std::string svg = Slurp(dir / "map.svg"), json = Slurp(dir / "map.json");
    Spit(dir / "cut.svg", svg.substr(0, svg.size() / 2));
    Spit(dir / "cut.json", json.substr(0, json.size() / 2));
    ExpectRefused("convert " + File("cut.svg") + " " + File("out.json"), "cut.svg: ");
    ExpectRefused("info " + File("cut.json"), "cut.json: ");

    // Sparse, so it takes no room; refused before it is read.
    { std::ofstream(dir / "huge.svg") << "<svg"; }
    fs::resize_file(dir / "huge.svg", std::uintmax_t{600} << 20);
    ExpectRefused("convert " + File("huge.svg") + " " + File("out.json"), "huge.svg: file is too large");

    fs::copy_file(Example("relief.png"), dir / "picture.svg");
    fs::copy_file(dir / "map.json", dir / "json-named.svg");
    fs::copy_file(dir / "map.svg", dir / "svg-named.json");
    ExpectRefused("info " + File("picture.svg"), "picture.svg: ");
    ExpectRefused("info " + File("json-named.svg"), "json-named.svg: ");
    ExpectRefused("convert " + File("svg-named.json") + " " + File("out.svg"), "svg-named.json: ");
    ExpectRefused("info " + File("prefs.json"), "prefs.json: ");
    ExpectRefused("info " + Quoted(std::string(ORBALIS_SOURCE_DIR) + "/README.md"),
                  "README.md: unknown document type (expected .json, .svg or a GIS format");
}

#if ORBALIS_WITH_GIS
TEST_F(BadInputTest, GisFiles) {
    Spit(dir / "squares.geojson", R"({"type": "FeatureCollection", "features": [
      {"type": "Feature", "properties": {"id": "a"},
       "geometry": {"type": "Polygon", "coordinates": [[[0, 0], [1, 0], [1, 1], [0, 0]]]}}]})");
    ASSERT_EQ(
        std::system(
            ("'" ORBALIS_CLI "' convert " + File("squares.geojson") + " " + File("s.shp") + " 2>/dev/null").c_str()),
        0);
    const std::string run = " --menu ポリゴン色分け --yes --out " + File("out.gpkg") + " " + Prefs();
    fs::rename(dir / "s.dbf", dir / "away.dbf");
    ExpectRefused("run " + File("s.shp") + run, "s.shp: the Shapefile's .dbf file is missing (s.dbf)");
    fs::rename(dir / "away.dbf", dir / "s.dbf");
    fs::rename(dir / "s.shx", dir / "away.shx");
    ExpectRefused("info " + File("s.shp"), "s.shp: the Shapefile's .shx file is missing (s.shx)");
    fs::rename(dir / "away.shx", dir / "s.shx");
    Spit(dir / "cut.gpkg", "SQLite format 3");
    ExpectRefused("run " + File("cut.gpkg") + run, "cut.gpkg: cannot read: ");
    ExpectRefused("info " + File("cut.gpkg"), "cut.gpkg: cannot read: ");
    ExpectRefused("run " + File("s.shp") + " --crs EPSG:999999" + run, "s.shp: --crs EPSG:999999: unknown CRS");
    ExpectRefused("run " + File("s.shp") + " --crs 'not a crs'" + run, "unknown CRS");
    for (const std::string scale : {"0", "-25000", "nan"})
        ExpectRefused("run " + File("s.shp") + " --scale " + scale + run, "--scale takes the map scale's denominator");
    ExpectRefused("run " + File("s.shp") + " --name-field nom" + run, "--name-field nom: no layer has that field");
    // GIS output needs GIS data, and is refused before the command runs.
    ExpectRefused("run " + File("map.svg") + run, "out.gpkg: " + (dir / "map.svg").string() + " holds no GIS data");
}
#endif

TEST_F(BadInputTest, BadScriptFiles) {
    const std::string run = "run " + File("town.svg") + " --out " + File("out.svg") + " " + Prefs() + " ";
    ExpectRefused(run + "--ui-file " + File("steps.txt"),
                  "--ui-file " + (dir / "steps.txt").string() + ": cannot read: No such file or directory");
    fs::create_directory(dir / "steps");
    ExpectRefused(run + "--ui-file " + File("steps"), "steps: cannot read: Is a directory");
    // A device that never ends is read only so far.
    ExpectRefused(run + "--ui-file /dev/zero", "--ui-file /dev/zero: larger than 16 MiB");
    Spit(dir / "bad.txt", "dialog 125\nfly 3\n");
    ExpectRefused(run + "--ui-file " + File("bad.txt"), "\"fly 3\"");
    Spit(dir / "open-quote.txt", "dialog 125\ntype 1126 \"ten\nclick 1\n");
    ExpectRefused(run + "--ui-file " + File("open-quote.txt"), "unterminated quote");
}

TEST_F(BadInputTest, WrongOptionValues) {
    const std::string run = "run " + File("map.svg") + " --out " + File("out.svg") + " " + Prefs() + " ";
    ExpectRefused(run + "--menu 高速移動 --answer maybe", "--answer takes yes or no, not \"maybe\"");
    for (const std::string view : {"3", "a,b", "1,inf", "1,2,3", ","})
        ExpectRefused(run + "--menu 高速移動 --view " + view, "--view takes X,Y in points");
    ExpectRefused(run + "--menu 高速移動 --yes --no", "--yes and --no contradict each other");
    ExpectRefused(run + "--menu 存在しない項目", "no menu item \"存在しない項目\"");
    ExpectRefused(run + "--menu 高速移動 --select nothing", "no object named \"nothing\"");
    ExpectRefused(run + "--menu 高速移動 --layer nothing", "nothing");
    ExpectRefused(run + "--menu 高速移動 --colour red", "--colour");
    ExpectRefused(run + "--menu", "--menu");
    ExpectRefused(run + "--menu 高速移動 --select", "--select: 1 required NAME missing");
    ExpectRefused("--colour run " + File("map.svg"), "unknown option --colour");
    ExpectRefused("run " + File("map.svg") + " " + Prefs(), "run needs --menu TEXT or --ui STEPS");
    ExpectRefused(run + "--menu 高速移動 --ui 'fly 3'", "\"fly 3\"");
    ExpectRefused("run " + File("map.svg") + " --menu 高速移動 --out " + File("out.txt"),
                  "out.txt: unknown document type (expected .json, .svg or a GIS format");
    ExpectRefused("convert " + File("map.svg") + " " + File("out.png"), "out.png: unknown document type");
    ExpectRefused("convert " + File("map.svg"), "OUT");
    ExpectRefused("info", "DOC");
    ExpectRefused("fly", "unknown command \"fly\"");
    ExpectRefused("dialog abc --svg " + File("d.svg"), "\"abc\" is not a dialog number");
    ExpectRefused("dialog 999 --svg " + File("d.svg"), "999");
    ExpectRefused("dialog 125", "--svg");
    ExpectRefused("menus " + Prefs() + " --plugin " + File("no-plugin.so"), "no-plugin.so");
    ExpectRefused("menus " + Prefs() + " --plugin " + File("map.svg"), "map.svg");
}

TEST_F(BadInputTest, UnwritableOutputs) {
    const std::string convert = "convert " + File("map.svg") + " ";
    ExpectRefused(convert + File("no-such-folder/out.json"), "out.json: cannot write: No such file or directory");
    ExpectRefused(convert + File("map.svg/out.json"), "out.json: cannot write: Not a directory");
    fs::create_directory(dir / "folder.json");
    ExpectRefused(convert + File("folder.json"), "folder.json: cannot write: Is a directory");
    // A link is followed, so a link into a missing folder or a circle of links is refused up front.
    fs::create_symlink("no-such-folder/out.json", dir / "dangling.json");
    ExpectRefused(convert + File("dangling.json"), "dangling.json: cannot write: No such file or directory");
    fs::create_symlink("loop-b.json", dir / "loop-a.json");
    fs::create_symlink("loop-a.json", dir / "loop-b.json");
    ExpectRefused(convert + File("loop-a.json"), "loop-a.json: cannot write: Too many levels of symbolic links");
    ExpectRefused("run " + File("town.svg") + " --menu \"レイヤー通し番号作成...\" --ui 'dialog 125; click 1' " +
                      Prefs() + " --out " + File("no-such-folder/out.svg"),
                  "cannot write");
    ExpectRefused("dialog 125 --svg " + File("no-such-folder/d.svg"), "d.svg: cannot write");
    // A full disk: writes fail once the file reaches 8 blocks (the shell
    // ignores the signal that would otherwise end the program).
    ExpectRefused(convert + File("big.json"), "big.json: cannot write: File too large", "trap '' XFSZ; ulimit -f 8; ");
}

TEST_F(BadInputTest, DamagedPreferenceFiles) {
    const std::string run = "run " + File("town.svg") +
                            " --menu \"レイヤー通し番号作成...\" --ui 'dialog 125; click 1' " + "--out " +
                            File("out.svg") + " --prefs ";
    const std::map<std::string, std::string> damaged = {
        {"bad.json", "{\"Nodra-Orbalis1.5\": {\"NL_Step\": "},
        {"list.json", "[1, 2, 3]\n"},
        {"types.json", "{\"Nodra-Orbalis1.5\": {\"NL_Step\": {\"type\": \"integer\", \"value\": \"two\"}}}"},
        {"shape.json", "{\"Nodra-Orbalis1.5\": {\"NL_Step\": 2}}"},
        {"picture.json", Slurp(Example("relief.png"))},
        {"map-as-prefs.json", Slurp(Example("town-layers.svg"))},
    };
    for (const auto& [name, contents] : damaged) {
        Spit(dir / name, contents);
        ExpectRefused(run + File(name), "preferences file '" + (dir / name).string() + "'");
    }
    fs::create_directory(dir / "folder.json");
    ExpectRefused(run + File("folder.json"), "cannot read preferences file '" + (dir / "folder.json").string());
    ASSERT_EQ(::mkfifo((dir / "pipe.json").c_str(), 0600), 0);
    ExpectRefused(run + File("pipe.json"), "pipe.json' is not a regular file");
    { std::ofstream(dir / "huge.json") << "{}"; }
    fs::resize_file(dir / "huge.json", (16u << 20) + 1);
    ExpectRefused(run + File("huge.json"), "huge.json' is larger than 16 MiB");
    ExpectRefused(run + File("map.svg/prefs.json"), "Not a directory");
}

// The store never writes an empty file, so an empty one has nothing to lose
// and starts afresh, like a missing one.
TEST_F(BadInputTest, AnEmptyOrMissingPreferenceFileStartsAfresh) {
    Spit(dir / "empty.json", "");
    for (const std::string name : {"empty.json", "missing.json"}) {
        const Outcome o =
            Run("run " + File("town.svg") + " --menu \"レイヤー通し番号作成...\" --ui 'dialog 125; click 1' " +
                "--prefs " + File(name));
        EXPECT_EQ(o.exit, 0) << o.err;
        EXPECT_NE(Slurp(dir / name).find("\"NL_Step\""), std::string::npos) << name;
    }
}

TEST_F(BadInputTest, SettingsThatCannotBeSavedAreSaidAndTheOldFileKept) {
    const Snapshot before = Take(dir);
    // No file of the run may grow: what it says, and then its exit status,
    // go through a pipe.
    const std::string command = "(trap '' XFSZ; ulimit -f 0; " + std::string(ORBALIS_CLI) + " run " + File("town.svg") +
                                " --menu \"レイヤー通し番号作成...\" --ui 'dialog 125; click 1' " + Prefs() +
                                " </dev/null 2>&1 >/dev/null; echo \"exit $?\") | cat >" + Quoted(base / "stderr");
    ASSERT_EQ(std::system(command.c_str()), 0);
    const std::string err = Slurp(base / "stderr");
    EXPECT_NE(err.find("orbalis: settings not saved: cannot save preferences file '" + (dir / "prefs.json").string() +
                       "': File too large\nexit 0\n"),
              std::string::npos)
        << err;
    EXPECT_TRUE(Take(dir) == before);
}

}  // namespace
}  // namespace orbalis::testing
