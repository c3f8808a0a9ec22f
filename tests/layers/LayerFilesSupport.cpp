#include "tests/layers/LayerFilesSupport.h"

#include <stdlib.h>

#include <algorithm>
#include <fstream>
#include <sstream>

namespace orbalis::testing {

namespace fs = std::filesystem;

void LayerFilesTest::SetUp() {
    InProcessTest::SetUp();
    std::string pattern = (fs::temp_directory_path() / "orbalis-layers-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder = pattern;
}

void LayerFilesTest::TearDown() {
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    InProcessTest::TearDown();
}

fs::path LayerFilesTest::WriteFile(const std::string& name, const std::string& bytes) const {
    const fs::path file = Scratch(name);
    std::ofstream(file, std::ios::binary) << bytes;
    return file;
}

std::vector<std::string> LayerFilesTest::FolderContents(const fs::path& where) const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(where.empty() ? folder : where))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string LayerFilesTest::ReadFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

ai::FilePath LayerFilesTest::PathOf(const fs::path& file) { return ai::FilePath::FromPlatform(file.string()); }

std::vector<std::string> LayerFilesTest::ReadLines(const std::string& bytes, TextEncoding encoding) {
    CNdTextFile file;
    EXPECT_TRUE(file.Open(PathOf(WriteFile("lines.txt", bytes)), encoding));
    std::vector<std::string> lines;
    ai::UnicodeString line("not emptied");
    while (file.ReadLine(line)) lines.push_back(line.utf8());
    EXPECT_TRUE(line.empty()) << "the line after the last is empty";
    EXPECT_FALSE(file.ReadLine(line)) << "the end stays the end";
    return lines;
}

}  // namespace orbalis::testing
