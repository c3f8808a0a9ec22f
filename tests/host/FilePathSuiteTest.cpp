// The file path suite's names, folders and existence checks, the system's
// multibyte form of paths, and the document's file specification.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "host/app/Faults.h"
#include "host/app/Host.h"
#include "host/io/DocumentFiles.h"
#include "host/suites/SuiteSupport.h"
#include "host/suites/SuiteTables.h"
#include "tests/support/DocumentBuilder.h"

namespace orbalis::host {
namespace {

namespace fs = std::filesystem;

class FilePathSuiteTest : public ::testing::Test {
protected:
    void SetUp() override {
        Faults::Reset();
        std::string pattern = (fs::temp_directory_path() / "orbalis-paths-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder = pattern;
        ASSERT_EQ(paths.NewFilePath(&path), 0);
        ASSERT_EQ(paths.NewFilePath(&other), 0);
        ASSERT_EQ(strings.NewString(&text), 0);
    }
    void TearDown() override {
        paths.DisposeFilePath(path);
        paths.DisposeFilePath(other);
        strings.DisposeString(text);
        EXPECT_EQ(host.liveFilePaths, 0);
        EXPECT_EQ(host.liveStrings, 0);
        fs::remove_all(folder);
        Faults::Reset();
    }

    void Set(HostFilePath p, const std::string& utf8) { FilePathOf(p)->path = utf8; }
    std::string Get(HostFilePath p) { return FilePathOf(p)->path; }
    std::string Name(bool withExtension) {
        EXPECT_EQ(paths.GetFileName(path, withExtension, text), 0);
        return ToUtf8(*StringOf(text));
    }
    std::string Platform(HostFilePath p) {
        size_t length = 0;
        EXPECT_EQ(paths.GetPlatformPath(p, nullptr, 0, &length), 0);
        std::string bytes(length + 1, '\0');
        EXPECT_EQ(paths.GetPlatformPath(p, bytes.data(), bytes.size(), &length), 0);
        bytes.resize(length);
        return bytes;
    }

    Host host;
    const HostFilePathSuite& paths = FilePathSuite();
    const HostUnicodeStringSuite& strings = UnicodeStringSuite();
    HostFilePath path = nullptr;
    HostFilePath other = nullptr;
    HostString text = nullptr;
    fs::path folder;
};

TEST_F(FilePathSuiteTest, NamesWithAndWithoutTheirExtension) {
    Set(path, "/maps/東京/map.v2.ai");
    EXPECT_EQ(Name(true), "map.v2.ai");
    EXPECT_EQ(Name(false), "map.v2");
    Set(path, "/maps/.hidden");
    EXPECT_EQ(Name(false), ".hidden") << "a leading dot starts no extension";
    Set(path, "/maps/README");
    EXPECT_EQ(Name(false), "README");
    Set(path, "/maps/地図/");
    EXPECT_EQ(Name(true), "地図") << "a trailing slash still names the folder";
    Set(path, "");
    EXPECT_EQ(Name(true), "");
}

TEST_F(FilePathSuiteTest, TheParentIsTheFolderThatHoldsThePath) {
    Set(path, "/maps/東京/map.ai");
    ASSERT_EQ(paths.GetParent(path, other), 0);
    EXPECT_EQ(Get(other), "/maps/東京");
    Set(path, "/maps/東京/");
    ASSERT_EQ(paths.GetParent(path, other), 0);
    EXPECT_EQ(Get(other), "/maps");
    Set(path, "/");
    ASSERT_EQ(paths.GetParent(path, other), 0);
    EXPECT_EQ(Get(other), "");
    Set(path, "map.ai");
    ASSERT_EQ(paths.GetParent(path, other), 0);
    EXPECT_EQ(Get(other), "");
}

TEST_F(FilePathSuiteTest, ExistsTellsFilesFromFoldersAndFromNothing) {
    const fs::path file = folder / "レイヤー.txt";
    std::ofstream(file) << "x";
    HostBool exists = 2, isFolder = 2;
    Set(path, file.string());
    ASSERT_EQ(paths.Exists(path, &exists, &isFolder), 0);
    EXPECT_EQ(exists, 1);
    EXPECT_EQ(isFolder, 0);
    Set(path, folder.string());
    ASSERT_EQ(paths.Exists(path, &exists, &isFolder), 0);
    EXPECT_EQ(exists, 1);
    EXPECT_EQ(isFolder, 1);
    for (const std::string& missing :
         {(folder / "none.txt").string(), (file / "under-a-file").string(), std::string()}) {
        Set(path, missing);
        ASSERT_EQ(paths.Exists(path, &exists, nullptr), 0);
        EXPECT_EQ(exists, 0) << missing;
    }
    EXPECT_EQ(paths.Exists(path, nullptr, nullptr), kHostBadParameterErr);
}

TEST_F(FilePathSuiteTest, ThePlatformFormIsUtf8BothWays) {
    const std::string japanese = "/地図/レイヤー名.txt";
    ASSERT_EQ(paths.SetFromPlatformPath(path, japanese.data(), japanese.size()), 0);
    EXPECT_EQ(Get(path), japanese);
    EXPECT_EQ(Platform(path), japanese);

    // Bytes that are no UTF-8 name no file; the path keeps what it had.
    EXPECT_EQ(paths.SetFromPlatformPath(path, "/\x92\x6E.txt", 7), kHostEncodingErr);
    EXPECT_EQ(Get(path), japanese);
}

TEST_F(FilePathSuiteTest, TheDocumentsFileIsTheOneItWasReadFrom) {
    const HostDocumentSuite& documents = DocumentSuite();
    Set(path, "unchanged");
    EXPECT_EQ(documents.GetDocumentFileSpecification(path), kHostNoDocumentErr);

    host.OpenDocument(testing::NewDocument());
    EXPECT_EQ(documents.GetDocumentFileSpecification(path), kHostNotFoundErr);
    EXPECT_EQ(Get(path), "unchanged") << "a document without a file leaves the path alone";

    const fs::path file = folder / "地図.json";
    std::string error;
    ASSERT_TRUE(WriteDocumentFile(*host.document(), file.string(), &error)) << error;
    // Read through a relative name: the document's file path is still absolute.
    const fs::path before = fs::current_path();
    fs::current_path(folder);
    auto read = ReadDocumentFile("地図.json", {}, &error);
    fs::current_path(before);
    ASSERT_NE(read, nullptr) << error;
    host.OpenDocument(std::move(read));
    ASSERT_EQ(documents.GetDocumentFileSpecification(path), 0);
    EXPECT_EQ(Get(path), fs::canonical(file).string());

    Faults::FailOperation("GetDocumentFileSpecification", 1, kHostOutOfMemoryErr);
    EXPECT_EQ(documents.GetDocumentFileSpecification(path), kHostOutOfMemoryErr);
}

}  // namespace
}  // namespace orbalis::host
