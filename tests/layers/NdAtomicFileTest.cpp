// Files written in full before they replace the old ones: the temporary
// beside the target, its exclusive creation, and the replacement.
#include <gtest/gtest.h>

#include "tests/layers/LayerFilesSupport.h"

namespace orbalis::testing {
namespace {

namespace fs = std::filesystem;
using NdAtomicFileTest = LayerFilesTest;

TEST_F(NdAtomicFileTest, TheTargetChangesOnlyAtTheCommitAndThenWhole) {
    const fs::path target = WriteFile("一覧.txt", "old list");
    {
        CNdAtomicFile file;
        ASSERT_TRUE(file.Open(PathOf(target)));
        std::fputs("new list", file.GetHandle());
        EXPECT_EQ(ReadFile(target), "old list") << "written beside the target";
        EXPECT_EQ(FolderContents(), (std::vector<std::string>{".一覧.txt.0.tmp", "一覧.txt"}));
        ASSERT_TRUE(file.Commit());
        EXPECT_EQ(file.GetHandle(), nullptr);
    }
    EXPECT_EQ(ReadFile(target), "new list");
    EXPECT_EQ(FolderContents(), std::vector<std::string>{"一覧.txt"});

    // Without a commit the new file goes and the target stays.
    {
        CNdAtomicFile file;
        ASSERT_TRUE(file.Open(PathOf(target)));
        std::fputs("lost", file.GetHandle());
    }
    EXPECT_EQ(ReadFile(target), "new list");
    EXPECT_EQ(FolderContents(), std::vector<std::string>{"一覧.txt"});
}

TEST_F(NdAtomicFileTest, NothingUnderATemporaryNameIsWrittenOverOrThrough) {
    const fs::path target = Scratch("地図.txt");
    const fs::path elsewhere = Scratch("elsewhere");
    fs::create_directory(elsewhere);
    const fs::path victim = WriteFile("elsewhere/victim", "keep");
    WriteFile(".地図.txt.0.tmp", "someone's file");
    fs::create_symlink(victim, Scratch(".地図.txt.1.tmp"));
    fs::create_symlink(elsewhere / "made-through-a-link", Scratch(".地図.txt.2.tmp"));

    CNdAtomicFile file;
    ASSERT_TRUE(file.Open(PathOf(target)));
    std::fputs("list", file.GetHandle());
    ASSERT_TRUE(file.Commit());

    EXPECT_EQ(ReadFile(target), "list");
    EXPECT_EQ(ReadFile(Scratch(".地図.txt.0.tmp")), "someone's file");
    EXPECT_EQ(ReadFile(victim), "keep");
    EXPECT_TRUE(fs::is_symlink(Scratch(".地図.txt.1.tmp")));
    EXPECT_TRUE(fs::is_symlink(Scratch(".地図.txt.2.tmp")));
    EXPECT_FALSE(fs::exists(elsewhere / "made-through-a-link")) << "a dangling link is not followed";
    EXPECT_EQ(FolderContents(elsewhere), std::vector<std::string>{"victim"});
}

TEST_F(NdAtomicFileTest, AFolderThatCannotTakeTheFileFailsAtOnceAndLeavesNothing) {
    const fs::path notAFolder = WriteFile("a-file", "not a folder");
    CNdAtomicFile missingFolder;
    EXPECT_FALSE(missingFolder.Open(PathOf(Scratch("none") / "一覧.txt")));
    CNdAtomicFile underAFile;
    EXPECT_FALSE(underAFile.Open(PathOf(notAFolder / "一覧.txt")));
    EXPECT_EQ(underAFile.GetHandle(), nullptr);
    EXPECT_FALSE(underAFile.Commit());
    EXPECT_EQ(FolderContents(), std::vector<std::string>{"a-file"});
    EXPECT_EQ(ReadFile(notAFolder), "not a folder");
}

TEST_F(NdAtomicFileTest, ACommitThatCannotReplaceTheTargetKeepsItAndRemovesTheNewFile) {
    // A folder where the file should go cannot be replaced by a file.
    const fs::path target = Scratch("一覧.txt");
    fs::create_directory(target);
    WriteFile("一覧.txt/inside", "kept");
    CNdAtomicFile file;
    ASSERT_TRUE(file.Open(PathOf(target)));
    std::fputs("list", file.GetHandle());
    EXPECT_FALSE(file.Commit());
    EXPECT_TRUE(fs::is_directory(target));
    EXPECT_EQ(ReadFile(target / "inside"), "kept");
    EXPECT_EQ(FolderContents(), std::vector<std::string>{"一覧.txt"});
}

}  // namespace
}  // namespace orbalis::testing
