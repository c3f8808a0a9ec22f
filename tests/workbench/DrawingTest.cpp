// The page's drawing: placed images put in as data from inside the root
// folder only, and compression chosen by size and by what the client takes.
#include <gtest/gtest.h>
#include <zlib.h>

#include <fstream>
#include <unistd.h>

#include "tools/workbench/Compression.h"
#include "tools/workbench/PlacedImages.h"

namespace orbalis::workbench {
namespace {

namespace fs = std::filesystem;

std::string Gunzip(const std::string& packed) {
    z_stream z{};
    EXPECT_EQ(inflateInit2(&z, 15 + 16), Z_OK);
    std::string out(1 << 20, '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.data()));
    z.avail_in = static_cast<uInt>(packed.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    EXPECT_EQ(inflate(&z, Z_FINISH), Z_STREAM_END);
    out.resize(z.total_out);
    inflateEnd(&z);
    return out;
}

TEST(Compression, GzipRoundTripsAndTheLevelFollowsTheSize) {
    std::string body;
    for (int i = 0; i < 20000; ++i) body += "<path d=\"M" + std::to_string(i) + " 0\"/>\n";
    for (int level : {1, 6}) {
        const std::string packed = Gzip(body, level);
        ASSERT_FALSE(packed.empty());
        EXPECT_LT(packed.size(), body.size() / 4);
        EXPECT_EQ(Gunzip(packed), body);
    }
    EXPECT_EQ(GzipLevelFor(100), 0);
    EXPECT_EQ(GzipLevelFor(200 << 10), 6);
    EXPECT_EQ(GzipLevelFor(11 << 20), 1);
}

TEST(Compression, GzipIsTakenOnlyWhereTheClientListsIt) {
    EXPECT_TRUE(AcceptsGzip("gzip, deflate, br, zstd"));
    EXPECT_TRUE(AcceptsGzip("br;q=1.0, gzip;q=0.8"));
    EXPECT_TRUE(AcceptsGzip("gzip"));
    EXPECT_FALSE(AcceptsGzip(""));
    EXPECT_FALSE(AcceptsGzip("br, deflate"));
    EXPECT_FALSE(AcceptsGzip("gzip;q=0"));
    EXPECT_FALSE(AcceptsGzip("x-gzip2, notgzip"));
}

class PlacedImagesTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/orbalis-placed-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        base = pattern;
        fs::create_directories(base / "root" / "maps");
        std::ofstream(base / "root" / "maps" / "relief.png", std::ios::binary)
            << std::string("\x89PNG\r\n\x1a\n", 8) << "abc";
        std::ofstream(base / "root" / "maps" / "a&b.png", std::ios::binary) << "xyz";
        std::ofstream(base / "outside.png", std::ios::binary) << "secret";
        std::ofstream(base / "root" / "maps" / "notes.txt") << "text";
        root = std::make_unique<RootFolder>(base / "root");
    }
    void TearDown() override { fs::remove_all(base); }

    static std::string Image(const std::string& href) {
        return "<svg>\n <image width=\"2\" height=\"2\" xlink:href=\"" + href + "\"/>\n</svg>\n";
    }

    fs::path base;
    std::unique_ptr<RootFolder> root;
};

TEST_F(PlacedImagesTest, AFileBesideTheDocumentBecomesData) {
    EXPECT_EQ(InlinePlacedImages(Image("relief.png"), *root, "maps"), Image("data:image/png;base64,iVBORw0KGgphYmM="));
    // The written name is unescaped before it is looked for.
    EXPECT_EQ(InlinePlacedImages(Image("a&amp;b.png"), *root, "maps"), Image("data:image/png;base64,eHl6"));
    // Twice placed, read once, put in twice.
    const std::string twice = Image("relief.png") + Image("relief.png");
    const std::string done = InlinePlacedImages(twice, *root, "maps");
    EXPECT_EQ(done, Image("data:image/png;base64,iVBORw0KGgphYmM=") + Image("data:image/png;base64,iVBORw0KGgphYmM="));
}

TEST_F(PlacedImagesTest, LinksOutOfTheRootMissingFilesAndOtherKindsStayAsWritten) {
    for (const std::string href : {"../../outside.png", "/etc/passwd.png", "missing.png", "notes.txt",
                                   "http://example.com/x.png", "data:image/png;base64,AAAA", "#symbol"})
        EXPECT_EQ(InlinePlacedImages(Image(href), *root, "maps"), Image(href)) << href;
    // A document at the root: its images are looked for there.
    EXPECT_EQ(InlinePlacedImages(Image("relief.png"), *root, ""), Image("relief.png"));
    EXPECT_EQ(InlinePlacedImages(Image("maps/relief.png"), *root, ""), Image("data:image/png;base64,iVBORw0KGgphYmM="));
}

}  // namespace
}  // namespace orbalis::workbench
