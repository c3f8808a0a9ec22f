// Saving and loading the layer-name list on real layer trees: the file byte
// for byte in each encoding, renaming and creating layers from a list, and
// saves that must not lose the user's file.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "frame/Settings.h"
#include "layers/LayerListFile.h"
#include "tests/layers/LayerFilesSupport.h"

namespace orbalis::testing {
namespace {

namespace fs = std::filesystem;
using host::Layer;
using Titles = std::vector<std::string>;

// The bytes of a literal, zero bytes included.
template <size_t N>
std::string Raw(const char (&bytes)[N]) {
    return std::string(bytes, N - 1);
}

constexpr const char* kOverwriteQuestion = "指定されたファイルは既に存在します。上書きしてよろしいですか？";
constexpr const char* kCannotOpen = "ファイルを開けません";
constexpr const char* kRenameStopped =
    "レイヤー名の再設定を中断しました。レイヤーリストファイルに問題があるか、"
    "レイヤーリストファイルとIllustratorドキュメントのレイヤー構造に違いがあります";

class LayerListFileTest : public LayerFilesTest {
protected:
    void SetUp() override {
        LayerFilesTest::SetUp();
        layer->title = "A";
    }

    Layer* Sub(Layer* parent, const std::string& title) {
        Layer* made = nullptr;
        EXPECT_EQ(doc().insertLayer(parent, kHostPlaceInsideOnBottom, &made), 0);
        made->title = title;
        return made;
    }
    // A (A1, A2 (A2a)), B.
    void Example() {
        Sub(layer, "A1");
        Sub(Sub(layer, "A2"), "A2a");
        AddLayer(doc(), "B", layer);
    }
    // Every layer in pre-order, indented by a TAB per level.
    Titles Tree() {
        Titles titles;
        for (Layer* l : doc().allLayers()) {
            std::string line;
            for (Layer* p = doc().parentLayer(l); p; p = doc().parentLayer(p)) line += '\t';
            titles.push_back(line + l->title);
        }
        return titles;
    }

    HostErr Save(const fs::path& file, TextEncoding encoding) {
        CLayerListFile list(nullptr);
        if (HostErr err = list.BuildTree()) return err;
        return list.SaveChosenList(PathOf(file), encoding);
    }
    HostErr Load(const std::string& bytes, RestoreKind kind, TextEncoding encoding = Utf8) {
        CLayerListFile list(nullptr);
        return list.LoadChosenList(kind, PathOf(WriteFile("load.txt", bytes)), encoding);
    }
    std::string Saved(TextEncoding encoding) {
        const fs::path file = Scratch("saved.txt");
        fs::remove(file);
        EXPECT_EQ(Save(file, encoding), 0);
        return ReadFile(file);
    }
};

TEST_F(LayerListFileTest, TheListIsEveryLayerInPreOrderInEachEncoding) {
    Sub(layer, "A1");
    AddLayer(doc(), "B", layer);
    EXPECT_EQ(Saved(Utf8),
              "\xEF\xBB\xBF"
              "A\r\n\tA1\r\nB\r\n");
    EXPECT_EQ(Saved(Utf16), Raw("\xFF\xFE"
                                "A\0\r\0\n\0\t\0A\0"
                                "1\0\r\0\n\0B\0\r\0\n\0"));

    layer->title = "地図";
    EXPECT_EQ(Saved(ShiftJis), "\x92\x6E\x90\x7D\r\n\tA1\r\nB\r\n") << "code page 932, no mark";
    EXPECT_EQ(Saved(Utf8),
              "\xEF\xBB\xBF"
              "地図\r\n\tA1\r\nB\r\n");
}

TEST_F(LayerListFileTest, DeepHiddenAndLockedLayersAreListedToo) {
    Example();
    Layer* deep = Sub(doc().firstSublayer(doc().nextSiblingLayer(doc().firstSublayer(layer))), "A2a1");
    deep->visible = false;
    layer->editable = false;
    AddLayer(doc(), "C", doc().topLayers().back())->visible = false;
    EXPECT_EQ(Saved(Utf8),
              "\xEF\xBB\xBF"
              "A\r\n\tA1\r\n\tA2\r\n\t\tA2a\r\n\t\t\tA2a1\r\nB\r\nC\r\n");
}

TEST_F(LayerListFileTest, TitlesAreCutAtTheirFirstCrOrZeroAndEmptyOnesKeepTheirLine) {
    layer->title = "北海道\r札幌";
    Layer* a1 = Sub(layer, "");
    Sub(layer, std::string("旭川\0x", 8));
    AddLayer(doc(), "函館\n江差", layer);
    EXPECT_EQ(Saved(Utf8),
              "\xEF\xBB\xBF"
              "北海道\r\n\t\r\n\t旭川\r\n函館\n江差\r\n");
    a1->title = "\r";
    EXPECT_EQ(Saved(Utf16).substr(12, 6), Raw("\t\0\r\0\n\0"));
}

TEST_F(LayerListFileTest, TheOfferedNameIsTheDocumentsWithTxt) {
    CLayerListFile list(nullptr);
    EXPECT_EQ(list.InitialFileName().utf8(), ".txt") << "a document without a file";
    doc().filePath = "/地図/map.ai";
    EXPECT_EQ(list.InitialFileName().utf8(), "map.txt");
    doc().filePath = "/地図/東京.v2.ai";
    EXPECT_EQ(list.SaveDialog().initialName.utf8(), "東京.v2.txt");
    EXPECT_EQ(host::Faults::Calls("PushAppContext"), 3u) << "read under the plug-in's context";
    EXPECT_TRUE(host->contextStack.empty());

    host::Faults::FailOperation("GetDocumentFileSpecification", 1, kHostOutOfMemoryErr);
    EXPECT_EQ(list.InitialFileName().utf8(), ".txt");
}

TEST_F(LayerListFileTest, TheDialogsOpenInTheRememberedFolderOnlyWhenItExists) {
    CLayerListFile list(nullptr);
    ListFileDialog save = list.SaveDialog();
    EXPECT_TRUE(save.save);
    EXPECT_EQ(save.title, "レイヤーリストの保存");
    EXPECT_EQ(save.filters, (std::vector<std::pair<std::string, std::string>>{{"Text Files(*.txt)", "*.txt"}}));
    EXPECT_EQ(save.defaultExtension, "txt");
    EXPECT_EQ(save.initialFolder, "");

    const fs::path japanese = Scratch("東京");
    fs::create_directory(japanese);
    ASSERT_EQ(Save(japanese / "一覧.txt", Utf8), 0);
    ListFileDialog load = list.LoadDialog();
    EXPECT_FALSE(load.save);
    EXPECT_EQ(load.title, "レイヤーリストファイルの指定");
    EXPECT_EQ(load.filters, (std::vector<std::pair<std::string, std::string>>{{"Text Files(*.txt)", "*.txt"},
                                                                              {"All Files(*.*)", "*.*"}}));
    EXPECT_EQ(load.initialName.utf8(), "");
    EXPECT_EQ(load.initialFolder, japanese.string()) << "the folder of the last saved file";

    fs::remove_all(japanese);
    EXPECT_EQ(list.SaveDialog().initialFolder, "") << "a folder that is gone is not offered";
    ASSERT_EQ(Load("A\r\n", RenameExisting), 0);
    EXPECT_EQ(list.SaveDialog().initialFolder, folder.string()) << "loading remembers its folder too";
}

TEST_F(LayerListFileTest, SavingRetitlingAndLoadingGivesEveryTitleBack) {
    Example();
    layer->title = "地図 1/25000";
    doc().topLayers().back()->title = " 東京都 ";
    const Titles saved = Tree();
    for (TextEncoding encoding : {ShiftJis, Utf8, Utf16}) {
        const fs::path file = Scratch("一覧.txt");
        fs::remove(file);
        ASSERT_EQ(Save(file, encoding), 0);
        for (Layer* l : doc().allLayers()) l->title = "renamed";
        CLayerListFile list(nullptr);
        EXPECT_EQ(list.LoadChosenList(RenameExisting, PathOf(file), encoding), 0);
        EXPECT_EQ(Tree(), saved) << "encoding " << encoding;
    }
    EXPECT_TRUE(user().alerts().empty());
}

TEST_F(LayerListFileTest, RenamingGoesByPositionAndStopsAtALayerTheDocumentLacks) {
    Example();
    EXPECT_EQ(Load("a\r\n\ta1\r\n", RenameExisting), 0) << "a shorter list is fine";
    EXPECT_EQ(Tree(), (Titles{"a", "\ta1", "\tA2", "\t\tA2a", "B"}));

    EXPECT_EQ(Load("x\n\ty1\n\ty2\n\t\ty3\nz\nextra\n", RenameExisting), kCanceled);
    EXPECT_EQ(Tree(), (Titles{"x", "\ty1", "\ty2", "\t\ty3", "z"})) << "every layer before the extra line";
    EXPECT_EQ(user().alerts(), Titles{kRenameStopped});

    user().ClearTranscript();
    EXPECT_EQ(Load("p\n\tq\n\t\tr\n", RenameExisting), kCanceled) << "A1 has no sublayer";
    EXPECT_EQ(Tree(), (Titles{"p", "\tq", "\ty2", "\t\ty3", "z"}));
    EXPECT_EQ(user().alerts(), Titles{kRenameStopped});
}

TEST_F(LayerListFileTest, ABlankLineIsATopLevelLayerWithAnEmptyTitle) {
    Example();
    AddLayer(doc(), "C", doc().topLayers().back());
    EXPECT_EQ(Load("a\n\ta1\n\ta2\n\t\ta2a\n\nc\n", RenameExisting), 0);
    EXPECT_EQ(Tree(), (Titles{"a", "\ta1", "\ta2", "\t\ta2a", "", "c"}));
    EXPECT_EQ(Load("a\n\ta1\n\t\n", RenameExisting), 0) << "a line of tabs has an empty title";
    EXPECT_EQ(Tree(), (Titles{"a", "\ta1", "\t", "\t\ta2a", "", "c"}));
}

TEST_F(LayerListFileTest, BadFirstLinesAndDepthJumpsFailInBothModes) {
    Example();
    for (const char* bytes : {"", "\r\nA\r\n", "\tA\r\n", "A\r\n\t\tA1\r\n"}) {
        user().ClearTranscript();
        EXPECT_EQ(Load(bytes, RenameExisting), kCanceled) << ::testing::PrintToString(bytes);
        EXPECT_EQ(user().alerts(), Titles{kRenameStopped});
    }
    EXPECT_EQ(Tree()[0], "A") << "an indented or blank first line sets nothing";

    user().ClearTranscript();
    const size_t layers = doc().allLayers().size();
    EXPECT_EQ(Load("新\r\n\t\t深すぎ\r\n", CreateNew), kCanceled);
    EXPECT_TRUE(user().alerts().empty()) << "creating fails without a message";
    EXPECT_EQ(doc().allLayers().size(), layers + 1) << "the layer made before stays";
    EXPECT_EQ(doc().topLayers().front()->title, "新");
}

TEST_F(LayerListFileTest, CreatingBuildsTheListsTreeAboveTheExistingLayers) {
    AddLayer(doc(), "old", layer);
    EXPECT_EQ(Load("A\r\n\tA1\r\n\tA2\r\n\t\tA2a\r\nB\r\n", CreateNew), 0);
    EXPECT_EQ(Tree(), (Titles{"A", "\tA1", "\tA2", "\t\tA2a", "B", "A", "old"}));
    // Falling back several levels at once.
    EXPECT_EQ(Load("x\n\ty\n\t\tz\nw\n", CreateNew), 0);
    EXPECT_EQ(Tree(), (Titles{"x", "\ty", "\t\tz", "w", "A", "\tA1", "\tA2", "\t\tA2a", "B", "A", "old"}));
}

TEST_F(LayerListFileTest, CreatingFromAnEmptyFileLeavesOneUntitledLayer) {
    const size_t layers = doc().allLayers().size();
    EXPECT_EQ(Load("", CreateNew), kCanceled);
    EXPECT_EQ(doc().allLayers().size(), layers + 1);
    EXPECT_TRUE(user().alerts().empty());
}

TEST_F(LayerListFileTest, AMarkedUtf8ListLoadsAsUtf8AndGarbledAsShiftJis) {
    AddLayer(doc(), "B", layer);
    EXPECT_EQ(Load("\xEF\xBB\xBF"
                   "地図\r\n東京\r\n",
                   RenameExisting, Utf8),
              0);
    EXPECT_EQ(Tree(), (Titles{"地図", "東京"}));
    EXPECT_EQ(Load("\xEF\xBB\xBF"
                   "地図\r\n東京\r\n",
                   RenameExisting, ShiftJis),
              0);
    const Titles garbled = Tree();
    EXPECT_NE(garbled[0], "地図");
    EXPECT_FALSE(garbled[0].empty());
    EXPECT_NE(garbled[0].substr(0, 3), "\xEF\xBB\xBF") << "the mark itself is skipped";
}

TEST_F(LayerListFileTest, AFileThatCannotBeOpenedIsSaidSo) {
    CLayerListFile list(nullptr);
    EXPECT_EQ(list.LoadChosenList(RenameExisting, PathOf(Scratch("ない.txt")), Utf8), kCanceled);
    EXPECT_EQ(user().alerts(), Titles{kCannotOpen});
    EXPECT_EQ(Tree(), Titles{"A"});
}

TEST_F(LayerListFileTest, AnExistingFileIsOverwrittenOnlyWhenTheUserSaysSo) {
    const fs::path file = WriteFile("一覧.txt", "keep me");
    user().QueueAnswer(false);
    EXPECT_EQ(Save(file, Utf8), kCanceled);
    EXPECT_EQ(user().questions(), Titles{kOverwriteQuestion});
    EXPECT_EQ(ReadFile(file), "keep me");

    user().QueueAnswer(true);
    EXPECT_EQ(Save(file, Utf8), 0);
    EXPECT_EQ(ReadFile(file),
              "\xEF\xBB\xBF"
              "A\r\n");
    EXPECT_EQ(FolderContents(), Titles{"一覧.txt"}) << "no temporary file left";
}

TEST_F(LayerListFileTest, AShiftJisSaveThatWouldLoseCharactersAsksFirst) {
    layer->title = "地図😀";
    AddLayer(doc(), "B", layer);
    const fs::path file = Scratch("sjis.txt");
    user().QueueAnswer(false);
    EXPECT_EQ(Save(file, ShiftJis), kCanceled);
    ASSERT_EQ(user().questions().size(), 1u);
    EXPECT_NE(user().questions()[0].find("シフトJIS"), std::string::npos);
    EXPECT_FALSE(fs::exists(file)) << "nothing written";

    user().QueueAnswer(true);
    EXPECT_EQ(Save(file, ShiftJis), 0);
    EXPECT_EQ(ReadFile(file), "\x92\x6E\x90\x7D?\r\nB\r\n");

    // The other encodings hold every character, and a character after a cut
    // CR is not written at all: neither asks.
    user().ClearTranscript();
    fs::remove(file);
    EXPECT_EQ(Save(file, Utf8), 0);
    fs::remove(file);
    layer->title = "地図\r😀";
    EXPECT_EQ(Save(file, ShiftJis), 0);
    EXPECT_TRUE(user().questions().empty());
}

TEST_F(LayerListFileTest, AFileThatCannotBeCreatedIsSaidSoAndNothingIsWritten) {
    const fs::path blocker = WriteFile("a-file", "not a folder");
    EXPECT_EQ(Save(blocker / "一覧.txt", Utf8), kCanceled);
    ASSERT_EQ(user().alerts().size(), 1u);
    EXPECT_NE(user().alerts()[0].find("作成できません"), std::string::npos);
    EXPECT_EQ(ReadFile(blocker), "not a folder");
    EXPECT_EQ(FolderContents(), Titles{"a-file"});
}

// Writes are refused beyond a file size limit, set in a child process (the
// tests run with privileges that no folder permission stops).
TEST_F(LayerListFileTest, AWriteThatFailsPartWayKeepsTheOldFileByteForByte) {
    const fs::path file = WriteFile("一覧.txt", "old list");
    auto saveUnderLimit = [&](rlim_t limit) {
        const pid_t child = fork();
        ASSERT_NE(child, -1);
        if (child == 0) {
            signal(SIGXFSZ, SIG_IGN);
            const rlimit size{limit, limit};
            setrlimit(RLIMIT_FSIZE, &size);
            user().QueueAnswer(true);  // overwrite
            const HostErr result = Save(file, Utf16);
            const bool told =
                user().alerts().size() == 1 && user().alerts()[0].find("書き込みに失敗") != std::string::npos;
            _exit(result == kCanceled && told ? 0 : 1);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "limit " << limit;
        EXPECT_EQ(ReadFile(file), "old list") << "limit " << limit;
        EXPECT_EQ(FolderContents(), Titles{"一覧.txt"}) << "no temporary file left";
    };
    // Eight bytes, all in the stream's buffer: the failure comes when it is
    // flushed at the end.
    saveUnderLimit(4);
    // Far more than a buffer: a write in the middle fails.
    for (int i = 0; i < 2000; ++i) AddLayer(doc(), "都道府県の境界 " + std::to_string(i), layer);
    saveUnderLimit(20000);
    ASSERT_EQ(Save(Scratch("check.txt"), Utf16), 0);
    EXPECT_GT(fs::file_size(Scratch("check.txt")), 2 * 20000u) << "the list is far larger than the limit";
}

TEST_F(LayerListFileTest, AHostErrorWhileBuildingTheTreeEndsTheSave) {
    Example();
    for (const char* operation :
         {"GetLayerTitle", "GetLayerFirstChild", "GetNextLayer", "GetNextNonChildPreorderLayer", "GetLayerParent"}) {
        host::Faults::Reset();
        host::Faults::FailOperation(operation, 2, kHostOutOfMemoryErr);
        CLayerListFile list(nullptr);
        EXPECT_EQ(list.BuildTree(), kHostOutOfMemoryErr) << operation;
    }
    host::Faults::Reset();
    CLayerListFile list(nullptr);
    ASSERT_EQ(list.BuildTree(), 0);
    ASSERT_EQ(list.Trees().size(), 2u);
    EXPECT_EQ(list.Trees()[0].children.size(), 2u);
    EXPECT_EQ(list.Trees()[0].children[1].children[0].title.utf8(), "A2a");
    EXPECT_EQ(list.Trees()[0].children[1].children[0].depth, 2);
    EXPECT_EQ(list.BuildTree(), 0);
    EXPECT_EQ(list.Trees().size(), 2u) << "each build starts afresh";
}

TEST_F(LayerListFileTest, LinesSplitIntoTheirDepthAndEverythingAfterTheTabs) {
    struct Case {
        std::string line;
        int32_t depth;
        std::string title;
    };
    for (const Case& c : {Case{"", 0, ""}, Case{"A", 0, "A"}, Case{"\t\t 地図\t", 2, " 地図\t"}, Case{"\t\t\t", 3, ""},
                          Case{" \tA", 0, " \tA"}}) {
        int32_t depth = -1;
        ai::UnicodeString title("x");
        CLayerListFile::ParseLine(ai::UnicodeString(c.line), depth, title);
        EXPECT_EQ(depth, c.depth) << c.line;
        EXPECT_EQ(title.utf8(), c.title) << c.line;
    }
}

TEST_F(LayerListFileTest, NextSiblingStaysAmongTheLayersOfOneParent) {
    Example();
    Layer* a1 = doc().firstSublayer(layer);
    Layer* a2 = doc().nextSiblingLayer(a1);
    Layer* b = doc().topLayers().back();
    auto next = [](Layer* l) {
        return host::Document::fromHandle(CLayerListFile::NextSibling(host::Document::toHandle(l)));
    };
    EXPECT_EQ(next(layer), b);
    EXPECT_EQ(next(a1), a2);
    EXPECT_EQ(next(a2), nullptr) << "B follows A2 in pre-order but has another parent";
    EXPECT_EQ(next(doc().firstSublayer(a2)), nullptr);
    EXPECT_EQ(next(b), nullptr);
}

}  // namespace
}  // namespace orbalis::testing
