// The workbench's root folder: every path a page names stays inside it,
// whatever "..", absolute paths and symbolic links try.
#include <gtest/gtest.h>

#include <fstream>
#include <unistd.h>

#include "tools/workbench/RootFolder.h"

namespace orbalis::workbench {
namespace {

namespace fs = std::filesystem;

class RootFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/orbalis-root-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        base = pattern;
        // base/root is the root; base/outside.svg and base/rootling/ lie
        // beside it, the second with a name that starts like the root's.
        fs::create_directories(base / "root" / "maps");
        fs::create_directories(base / "rootling");
        Write(base / "root" / "a.svg");
        Write(base / "root" / "maps" / "b.svg");
        Write(base / "outside.svg");
        Write(base / "rootling" / "c.svg");
        fs::create_symlink(base / "outside.svg", base / "root" / "out-link.svg");
        fs::create_symlink(base, base / "root" / "up");
        fs::create_symlink(base / "rootling", base / "root" / "sibling");
        fs::create_symlink("maps/b.svg", base / "root" / "in-link.svg");
        fs::create_symlink(base / "nowhere.svg", base / "root" / "dangling-out.svg");
        root = std::make_unique<RootFolder>(base / "root");
    }
    void TearDown() override { fs::remove_all(base); }

    static void Write(const fs::path& p) { std::ofstream(p) << "<svg/>"; }

    bool Existing(const std::string& relative) {
        fs::path full;
        why = {};
        return root->Existing(relative, &full, &why);
    }
    bool Writable(const std::string& relative, fs::path* full = nullptr) {
        fs::path ignored;
        why = {};
        return root->Writable(relative, full ? full : &ignored, &why);
    }

    fs::path base;
    std::unique_ptr<RootFolder> root;
    Refusal why;
};

TEST_F(RootFolderTest, FindsFilesInsideAndRefusesEveryWayOut) {
    fs::path full;
    ASSERT_TRUE(root->Existing("maps/b.svg", &full, &why)) << why.line;
    EXPECT_EQ(full, fs::canonical(base / "root" / "maps" / "b.svg"));
    EXPECT_TRUE(Existing("./maps/../a.svg") == false) << "\"..\" is refused even when it stays inside";
    EXPECT_TRUE(Existing("in-link.svg")) << "a link to a file inside is followed";
    EXPECT_TRUE(Existing("up/root/a.svg")) << "a link out and back in ends inside";

    for (const std::string& way :
         std::vector<std::string>{"../outside.svg", "maps/../../outside.svg", "/etc/passwd",
                                  (base / "outside.svg").string(), "out-link.svg", "up/outside.svg", "sibling/c.svg",
                                  "maps\\..\\..\\outside.svg", std::string("a.svg") + char(0) + "/../../outside.svg"}) {
        EXPECT_FALSE(Existing(way)) << way;
        EXPECT_FALSE(why.line.empty() || why.reason.empty()) << way;
        EXPECT_EQ(why.line.find('\n'), std::string::npos) << "one line: " << why.line;
    }
    EXPECT_FALSE(Existing("missing.svg"));
    EXPECT_NE(why.line.find("does not exist"), std::string::npos) << why.line;
    EXPECT_EQ(why.reason, "path-missing");
    EXPECT_EQ(why.detail, "missing.svg") << "the words name the path asked for";
    EXPECT_FALSE(Existing("../outside.svg"));
    EXPECT_EQ(why.reason, "path-outside");
}

TEST_F(RootFolderTest, WritesOnlyToFilesInsideThroughFoldersInside) {
    fs::path full;
    ASSERT_TRUE(Writable("new.json", &full)) << why.line;
    EXPECT_EQ(full, fs::canonical(base / "root") / "new.json");
    ASSERT_TRUE(Writable("maps/new.svg", &full)) << why.line;
    EXPECT_EQ(full.parent_path(), fs::canonical(base / "root" / "maps"));
    ASSERT_TRUE(Writable("in-link.svg", &full)) << why.line;
    EXPECT_EQ(full, fs::canonical(base / "root" / "maps" / "b.svg")) << "writes the file the link names";

    for (const std::string& way :
         std::vector<std::string>{"../new.svg", "/tmp/new.svg", "out-link.svg", "up/new.svg", "sibling/new.svg",
                                  "dangling-out.svg", "maps", "maps/", ".", ""}) {
        EXPECT_FALSE(Writable(way)) << way;
        EXPECT_FALSE(why.line.empty() || why.reason.empty()) << way;
    }
    EXPECT_FALSE(Writable("no-folder/new.svg"));
    EXPECT_NE(why.line.find("does not exist"), std::string::npos) << why.line;
    EXPECT_EQ(why.reason, "path-no-folder");
    EXPECT_EQ(why.detail, "no-folder/new.svg");
    EXPECT_FALSE(fs::exists(base / "new.svg"));
}

TEST_F(RootFolderTest, ListsFoldersFirstAndLeavesLinksOutOut) {
    std::vector<RootFolder::Entry> entries;
    ASSERT_TRUE(root->List("", &entries, &why)) << why.line;
    std::vector<std::string> names;
    for (const auto& e : entries) names.push_back(e.name + (e.folder ? "/" : ""));
    EXPECT_EQ(names, (std::vector<std::string>{"maps/", "a.svg", "in-link.svg"}));
    EXPECT_EQ(entries[1].size, 6u);

    ASSERT_TRUE(root->List("maps", &entries, &why)) << why.line;
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_FALSE(root->List("up", &entries, &why));
    EXPECT_FALSE(root->List("a.svg", &entries, &why));
    EXPECT_NE(why.line.find("not a folder"), std::string::npos) << why.line;
    EXPECT_EQ(root->Relative(fs::canonical(base / "root" / "maps" / "b.svg")), "maps/b.svg");
}

}  // namespace
}  // namespace orbalis::workbench
