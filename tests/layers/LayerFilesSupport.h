// What the layer file tests share: a scratch folder, files written and read
// byte for byte, and every line a text file delivers.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "layers/NdFile.h"
#include "tests/support/PluginHarness.h"

namespace orbalis::testing {

class LayerFilesTest : public InProcessTest {
protected:
    void SetUp() override;
    void TearDown() override;

    std::filesystem::path Scratch(const std::string& name) const { return folder / name; }
    // Writes `bytes` to a file of the scratch folder and returns its path.
    std::filesystem::path WriteFile(const std::string& name, const std::string& bytes) const;
    static std::string ReadFile(const std::filesystem::path& file);
    // The names in `where` (the scratch folder when empty), sorted, so that
    // nothing is left behind unnoticed.
    std::vector<std::string> FolderContents(const std::filesystem::path& where = {}) const;
    static ai::FilePath PathOf(const std::filesystem::path& file);

    // Every line CNdTextFile delivers from `bytes` in `encoding`, as UTF-8;
    // also checks that the call after the last line keeps returning false
    // with an empty line.
    std::vector<std::string> ReadLines(const std::string& bytes, TextEncoding encoding);

    std::filesystem::path folder;
};

}  // namespace orbalis::testing
