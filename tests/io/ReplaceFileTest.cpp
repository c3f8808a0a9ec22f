// Writing a file over an existing one: links, permissions and leftovers.
#include "host/io/ReplaceFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "host/io/DocumentFiles.h"

namespace orbalis::host {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream contents;
    contents << in.rdbuf();
    return contents.str();
}

mode_t ModeOf(const fs::path& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st.st_mode & 07777;
}

class ReplaceFileTest : public testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "orbalis-replace-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
        oldMask_ = ::umask(022);
    }
    void TearDown() override {
        ::umask(oldMask_);
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }

    std::set<std::string> Names(const fs::path& folder) const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename().string());
        return names;
    }

    bool Write(const fs::path& path, const std::string& text, std::string* error) {
        return WriteFileAtomically(path.string(), text, error);
    }

    fs::path dir_;
    mode_t oldMask_ = 0;
};

TEST_F(ReplaceFileTest, ALinkStaysALinkAndTheFileItNamesGetsTheText) {
    fs::create_directory(dir_ / "maps");
    std::ofstream(dir_ / "maps" / "kanto.json") << "old";
    fs::create_symlink("maps/kanto.json", dir_ / "current.json");
    fs::create_symlink(dir_ / "current.json", dir_ / "latest.json");  // a link to a link, absolute
    std::string error;
    ASSERT_TRUE(Write(dir_ / "latest.json", "new", &error)) << error;
    EXPECT_TRUE(fs::is_symlink(dir_ / "current.json"));
    EXPECT_TRUE(fs::is_symlink(dir_ / "latest.json"));
    EXPECT_EQ(ReadAll(dir_ / "maps" / "kanto.json"), "new");
    EXPECT_EQ(Names(dir_), (std::set<std::string>{"maps", "current.json", "latest.json"}));
    EXPECT_EQ(Names(dir_ / "maps"), (std::set<std::string>{"kanto.json"}));

    // A link to a file not made yet makes that file.
    fs::create_symlink("maps/tokyo.svg", dir_ / "next.svg");
    ASSERT_TRUE(Write(dir_ / "next.svg", "<svg/>", &error)) << error;
    EXPECT_TRUE(fs::is_symlink(dir_ / "next.svg"));
    EXPECT_EQ(ReadAll(dir_ / "maps" / "tokyo.svg"), "<svg/>");
}

TEST_F(ReplaceFileTest, LinksInACircleAreRefusedAndNothingIsMade) {
    fs::create_symlink("b.json", dir_ / "a.json");
    fs::create_symlink("a.json", dir_ / "b.json");
    std::string error;
    EXPECT_FALSE(Write(dir_ / "a.json", "x", &error));
    EXPECT_EQ(error, (dir_ / "a.json").string() + ": cannot write: Too many levels of symbolic links");
    EXPECT_EQ(Names(dir_), (std::set<std::string>{"a.json", "b.json"}));
}

TEST_F(ReplaceFileTest, AnExistingFileKeepsItsPermissionsAndANewOneFollowsTheUmask) {
    const fs::path shared = dir_ / "shared.json";
    std::ofstream(shared) << "old";
    ASSERT_EQ(::chmod(shared.c_str(), 0640), 0);
    std::string error;
    ASSERT_TRUE(Write(shared, "new", &error)) << error;
    EXPECT_EQ(ReadAll(shared), "new");
    EXPECT_EQ(ModeOf(shared), 0640u);

    ASSERT_TRUE(Write(dir_ / "fresh.json", "new", &error)) << error;
    EXPECT_EQ(ModeOf(dir_ / "fresh.json"), 0644u);
    ASSERT_EQ(ReplaceFile((dir_ / "private.json").string(), "p", 0600), 0);
    EXPECT_EQ(ModeOf(dir_ / "private.json"), 0600u);
}

TEST_F(ReplaceFileTest, AFolderOrAMissingFolderIsRefusedWithNothingLeftBehind) {
    fs::create_directory(dir_ / "folder.json");
    EXPECT_EQ(ReplaceFile((dir_ / "folder.json").string(), "x", 0666), EISDIR);
    EXPECT_EQ(ReplaceFile((dir_ / "no-such" / "a.json").string(), "x", 0666), ENOENT);
    EXPECT_EQ(Names(dir_), (std::set<std::string>{"folder.json"}));
    EXPECT_TRUE(fs::is_empty(dir_ / "folder.json"));
}

TEST_F(ReplaceFileTest, ALinkIsReplacedWhenItIsTheTargetItself) {
    // The lower layer writes where it is told: callers decide about links.
    std::ofstream(dir_ / "real.json") << "old";
    fs::create_symlink("real.json", dir_ / "link.json");
    ASSERT_EQ(ReplaceFile((dir_ / "link.json").string(), "new", 0666), 0);
    EXPECT_FALSE(fs::is_symlink(dir_ / "link.json"));
    EXPECT_EQ(ReadAll(dir_ / "link.json"), "new");
    EXPECT_EQ(ReadAll(dir_ / "real.json"), "old");
}

}  // namespace
}  // namespace orbalis::host
