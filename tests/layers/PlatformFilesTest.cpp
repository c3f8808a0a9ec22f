// The platform layer's file operations, as the layer-name list files rely on
// them.
#include "sdk/platform/Files.h"

#include <gtest/gtest.h>

#include "tests/layers/LayerFilesSupport.h"

namespace orbalis::testing {
namespace {

namespace fs = std::filesystem;
using PlatformFiles = LayerFilesTest;

TEST_F(PlatformFiles, ANewFileIsMadeOnlyWhereNothingIs) {
    const std::string free = Scratch("新しい.txt").string();
    bool taken = true;
    std::FILE* stream = platform::CreateNewFile(free, &taken);
    ASSERT_NE(stream, nullptr);
    EXPECT_FALSE(taken);
    std::fputs("made", stream);
    EXPECT_TRUE(platform::SyncToDisk(stream));
    std::fclose(stream);
    EXPECT_EQ(ReadFile(free), "made");

    // A file, or a link leading nowhere, is there already.
    EXPECT_EQ(platform::CreateNewFile(free, &taken), nullptr);
    EXPECT_TRUE(taken);
    EXPECT_EQ(ReadFile(free), "made");
    fs::create_symlink(Scratch("nowhere"), Scratch("link"));
    EXPECT_EQ(platform::CreateNewFile(Scratch("link").string(), &taken), nullptr);
    EXPECT_TRUE(taken);
    EXPECT_FALSE(fs::exists(Scratch("nowhere")));

    // A missing folder is another failure.
    EXPECT_EQ(platform::CreateNewFile((Scratch("none") / "a.txt").string(), &taken), nullptr);
    EXPECT_FALSE(taken);
}

TEST_F(PlatformFiles, AMoveReplacesTheTargetOrLeavesBothAlone) {
    const std::string from = WriteFile("from", "new").string();
    const std::string to = WriteFile("宛先", "old").string();
    EXPECT_TRUE(platform::MoveOver(from, to));
    EXPECT_EQ(ReadFile(to), "new");
    EXPECT_FALSE(fs::exists(from));

    EXPECT_FALSE(platform::MoveOver(from, to)) << "nothing to move";
    EXPECT_EQ(ReadFile(to), "new");

    EXPECT_TRUE(platform::RemoveFile(to));
    EXPECT_FALSE(fs::exists(to));
    EXPECT_FALSE(platform::RemoveFile(to));
}

}  // namespace
}  // namespace orbalis::testing
