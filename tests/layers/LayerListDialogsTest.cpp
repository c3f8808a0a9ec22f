// The layer-name list commands chosen from the menu of the loaded plug-in:
// the file dialog with its encoding chooser, dialog 128, the remembered
// settings, and cancelling at each dialog.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/layers/LayerCommandTest.h"

namespace orbalis::testing {
namespace {

namespace fs = std::filesystem;
using Titles = std::vector<std::string>;

constexpr const char* kSave = "レイヤー名リストをファイルに保存...";
constexpr const char* kLoad = "レイヤー名をファイルから設定...";
constexpr int kFileNameField = 0x047c;
constexpr const char* kOverwriteQuestion = "指定されたファイルは既に存在します。上書きしてよろしいですか？";

// The bytes of a literal, zero bytes included.
template <size_t N>
std::string Raw(const char (&bytes)[N]) {
    return std::string(bytes, N - 1);
}

// A document holding A with the sublayer A1, then B.
class LayerListDialogs : public LayerCommandTest {
protected:
    void SetUp() override {
        LayerCommandTest::SetUp();
        folder = fs::temp_directory_path() / ("orbalis-list-dialogs-" + std::to_string(::getpid()));
        fs::remove_all(folder);
        fs::create_directories(folder);
        TopLevelTitles({"A", "B"});
        AddSublayer(doc(), doc().topLayers().front(), "A1");
    }
    void TearDown() override {
        fs::remove_all(folder);
        LayerCommandTest::TearDown();
    }

    static std::string Read(const fs::path& file) {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }
    static void Write(const fs::path& file, const std::string& bytes) {
        std::ofstream(file, std::ios::binary) << bytes;
    }

    fs::path folder;
};

TEST_F(LayerListDialogs, TheChoosersRowsGiveTheirEncodingsAndTheFirstIsPreselected) {
    const fs::path file = folder / "list.txt";
    const std::pair<std::string, std::string> cases[] = {
        {"", "A\r\n\tA1\r\nB\r\n"},
        {"select 1131 0; ", "A\r\n\tA1\r\nB\r\n"},
        {"select 1131 1; ",
         "\xEF\xBB\xBF"
         "A\r\n\tA1\r\nB\r\n"},
        {"select 1131 2; ", Raw("\xFF\xFE"
                                "A\0\r\0\n\0\t\0A\0"
                                "1\0\r\0\n\0B\0\r\0\n\0")},
    };
    for (const auto& [select, bytes] : cases) {
        fs::remove(file);
        EXPECT_EQ(Run(kSave, "dialog save; " + select + "file " + file.string()), 0) << select;
        EXPECT_EQ(Read(file), bytes) << select;
        EXPECT_TRUE(ui.errors().empty()) << ui.errors().front();
        const ControlState& list = AtOpen().at(1131);
        EXPECT_EQ(list.rows, (Titles{"シフトJIS", "UTF-8", "UTF-16"}));
        EXPECT_EQ(list.selected, 0) << "every save starts at Shift-JIS";
        EXPECT_EQ(AtOpen().at(kFileNameField).text, ".txt") << "a document without a file";
        EXPECT_TRUE(AtOpen().at(kFileNameField).focused) << "a name typed at once goes to the name field";
        EXPECT_FALSE(list.focused) << "typing at the encoding list would pick a row";
        EXPECT_EQ(watcher.captions.front(), "レイヤーリストの保存");
    }
}

TEST_F(LayerListDialogs, TheOfferedFileNameIsTheDocumentsWithTxt) {
    doc().filePath = (folder / "map.ai").string();
    EXPECT_EQ(Run(kSave, "dialog save; escape"), kStop);
    EXPECT_EQ(AtOpen().at(kFileNameField).text, "map.txt");

    // Taken as offered, it lands in the folder the dialog opened in: the
    // remembered one, once a save has set it.
    EXPECT_EQ(Run(kSave, "dialog save; file " + (folder / "first.txt").string()), 0);
    EXPECT_EQ(Run(kSave, "dialog save; enter"), 0);
    EXPECT_TRUE(fs::exists(folder / "map.txt"));
    EXPECT_EQ(Read(folder / "map.txt"), Read(folder / "first.txt"));
}

TEST_F(LayerListDialogs, AJapaneseFileNameWorksFromSaveToLoadAndIsRemembered) {
    const fs::path japanese = folder / "北海道の地図";
    fs::create_directory(japanese);
    const fs::path file = japanese / "レイヤー一覧.txt";
    doc().topLayers().front()->title = "札幌";
    EXPECT_EQ(Run(kSave, "dialog save; select 1131 1; file " + file.string()), 0);
    EXPECT_EQ(Read(file),
              "\xEF\xBB\xBF"
              "札幌\r\n\tA1\r\nB\r\n");

    for (host::Layer* l : doc().allLayers()) l->title = "x";
    EXPECT_EQ(Run(kLoad, "dialog 128; click 1; dialog open; select 1131 1; file レイヤー一覧.txt"), 0)
        << "a bare name is looked for in the remembered folder";
    EXPECT_TRUE(ui.errors().empty()) << ui.errors().front();
    EXPECT_EQ(LayerTitles(), (Titles{"札幌", "A1", "B"}));
    EXPECT_EQ(watcher.captions.back(), "レイヤーリストファイルの指定");
}

TEST_F(LayerListDialogs, SavingOverAnExistingFileAsksThroughTheUsualAnswers) {
    const fs::path file = folder / "list.txt";
    Write(file, "keep me");
    user().QueueAnswer(false);
    EXPECT_EQ(Run(kSave, "dialog save; select 1131 1; file " + file.string()), kStop);
    EXPECT_EQ(user().questions(), Titles{kOverwriteQuestion}) << "the plug-in asks, not the file dialog";
    EXPECT_EQ(Read(file), "keep me");

    user().QueueAnswer(true);
    EXPECT_EQ(Run(kSave, "dialog save; select 1131 1; file " + file.string()), 0);
    EXPECT_EQ(Read(file),
              "\xEF\xBB\xBF"
              "A\r\n\tA1\r\nB\r\n");
}

TEST_F(LayerListDialogs, CancellingTheSaveDialogWritesNothing) {
    for (const char* script : {"dialog save; escape", "dialog save; select 1131 2; click 2"}) {
        EXPECT_EQ(Run(kSave, script), kStop) << script;
        EXPECT_TRUE(fs::is_empty(folder));
        EXPECT_TRUE(user().questions().empty());
    }
}

TEST_F(LayerListDialogs, AHostErrorWhileBuildingTheTreeEndsTheSaveBeforeAnyDialog) {
    host::Faults::FailOperation("GetLayerTitle", 2, kHostOutOfMemoryErr);
    EXPECT_EQ(Run(kSave, ""), kHostOutOfMemoryErr);
    EXPECT_TRUE(watcher.seen.empty());
}

TEST_F(LayerListDialogs, TheLoadDialogShowsTheStoredKindAndStoresTheChoiceOnOk) {
    const fs::path file = folder / "list.txt";
    Write(file, "P\r\n\tP1\r\nQ\r\n");
    const std::string open = "dialog open; file " + file.string();

    EXPECT_EQ(Run(kLoad, "dialog 128; click 1; " + open), 0);
    EXPECT_TRUE(AtOpen().at(1134).checked) << "renaming when nothing is stored";
    EXPECT_FALSE(AtOpen().at(1135).checked);
    EXPECT_EQ(watcher.captions.front(), "レイヤー名をファイルから設定");
    EXPECT_EQ(StoredInteger("LF_RestoreKind"), 0);
    EXPECT_EQ(LayerTitles(), (Titles{"P", "P1", "Q"}));

    // Any stored kind but 0 creates; OK stores the dialog's own 1.
    StoreInteger("LF_RestoreKind", 7);
    const size_t before = doc().allLayers().size();
    EXPECT_EQ(Run(kLoad, "dialog 128; click 1; " + open), 0);
    EXPECT_TRUE(AtOpen().at(1135).checked);
    EXPECT_FALSE(AtOpen().at(1134).checked);
    EXPECT_EQ(StoredInteger("LF_RestoreKind"), 1);
    EXPECT_EQ(doc().allLayers().size(), before + 3);

    EXPECT_EQ(LayerTitles(), (Titles{"P", "P1", "Q", "P", "P1", "Q"})) << "made above the renamed ones";

    EXPECT_EQ(Run(kLoad, "dialog 128; click 1134; click 1; " + open), 0);
    EXPECT_EQ(StoredInteger("LF_RestoreKind"), 0);
    EXPECT_EQ(doc().allLayers().size(), before + 3) << "renamed, nothing made";
}

TEST_F(LayerListDialogs, CancellingEitherLoadDialogChangesNothing) {
    const fs::path file = folder / "list.txt";
    Write(file, "P\r\nQ\r\nR\r\n");
    const Titles titles = LayerTitles();

    for (const char* script : {"dialog 128; click 1135; click 2", "dialog 128; escape"}) {
        EXPECT_EQ(Run(kLoad, script), kStop) << script;
        EXPECT_EQ(StoredInteger("LF_RestoreKind"), std::nullopt) << "nothing stored";
    }
    EXPECT_EQ(Run(kLoad, "dialog 128; click 1135; click 1; dialog open; escape"), kStop);
    EXPECT_EQ(StoredInteger("LF_RestoreKind"), 1) << "the choice was confirmed before the file dialog";
    EXPECT_EQ(LayerTitles(), titles);
    EXPECT_TRUE(user().alerts().empty());
}

TEST_F(LayerListDialogs, TheOpenDialogTakesOnlyAnExistingFile) {
    EXPECT_EQ(Run(kLoad, "dialog 128; click 1; dialog open; file " + (folder / "ない.txt").string()), kStop);
    ASSERT_FALSE(ui.errors().empty());
    EXPECT_NE(ui.errors().front().find("does not exist"), std::string::npos) << ui.errors().front();
    ui = win32::ScriptedUser();
    EXPECT_TRUE(user().alerts().empty()) << "the dialog refused it; the plug-in never opened it";
}

}  // namespace
}  // namespace orbalis::testing
