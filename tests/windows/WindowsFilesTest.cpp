// The Windows branch of the host's file handling and text conversions, run
// under Wine (or Windows): replacing an existing file, the exclusive
// temporary, UTF-8 paths through the program's code page, and code page 932.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "host/io/DocumentFiles.h"
#include "host/io/ReplaceFile.h"
#include "host/text/Encoding.h"
#include "host/win32/Driver.h"
#include "host/windows/SystemCalls.h"
#include "sdk/suites/StringSuites.h"

namespace orbalis::host {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream contents;
    contents << in.rdbuf();
    return contents.str();
}

class WindowsFilesTest : public testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / fs::path(u8"orbalis-地図-test");
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    std::set<std::string> Names() const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir_)) names.insert(entry.path().filename().string());
        return names;
    }
    fs::path dir_;
};

TEST_F(WindowsFilesTest, AnExistingFileIsReplacedAndNoTemporaryStays) {
    const fs::path target = dir_ / fs::path(u8"レイヤー.txt");
    { std::ofstream(target, std::ios::binary) << "old contents, longer than the new"; }
    ASSERT_EQ(ReplaceFile(target.string(), "new", 0666), 0);
    EXPECT_EQ(ReadAll(target), "new");
    EXPECT_EQ(Names(), std::set<std::string>{target.filename().string()});
    // Again over the file just written: rename alone would refuse here.
    ASSERT_EQ(ReplaceFile(target.string(), "newer", 0666), 0);
    EXPECT_EQ(ReadAll(target), "newer");
}

TEST_F(WindowsFilesTest, AFailedWriteLeavesWhatWasThereAndNoTemporary) {
    const fs::path target = dir_ / "kept.json";
    { std::ofstream(target, std::ios::binary) << "old"; }
    // A folder where the file should go cannot be replaced by a file: the
    // error comes back, the folder and the old file stay, nothing else is left.
    // (Wine replaces a read-only file where Windows refuses, so that case is
    // not tried here.)
    const fs::path folder = dir_ / "folder";
    fs::create_directory(folder);
    EXPECT_NE(ReplaceFile(folder.string(), "new", 0666), 0);
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_EQ(ReadAll(target), "old");
    EXPECT_EQ(Names(), (std::set<std::string>{"folder", "kept.json"}));
    // A folder that is not there: the error, and nothing made.
    EXPECT_NE(ReplaceFile((dir_ / "missing" / "x.json").string(), "new", 0666), 0);
    EXPECT_EQ(Names(), (std::set<std::string>{"folder", "kept.json"}));
}

TEST_F(WindowsFilesTest, DocumentsAreWrittenThroughTheCarefulReplacement) {
    const fs::path target = dir_ / fs::path(u8"地図.json");
    std::string error;
    ASSERT_TRUE(WriteFileAtomically(target.string(), "{}", &error)) << error;
    ASSERT_TRUE(WriteFileAtomically(target.string(), "{\"a\":1}", &error)) << error;
    EXPECT_EQ(ReadAll(target), "{\"a\":1}");
    EXPECT_FALSE(WriteFileAtomically((dir_ / "no" / "x.json").string(), "{}", &error));
    EXPECT_NE(error, "");
}

TEST(WindowsCodePages, TheProgramsMultibyteCodePageIsUtf8) {
    EXPECT_EQ(GetACP(), 65001u);
    std::string bytes;
    ASSERT_EQ(encodeText(kHostEncodingPlatform, u"地図😀", &bytes), 0);
    EXPECT_EQ(bytes, "\xE5\x9C\xB0\xE5\x9B\xB3\xF0\x9F\x98\x80");
}

TEST(WindowsCodePages, ShiftJisIsCodePage932WithItsReplacements) {
    std::string bytes;
    bool replaced = true;
    ASSERT_EQ(encodeText(kHostEncodingShiftJIS, u"地図の縮尺\\~", &bytes, &replaced), 0);
    EXPECT_EQ(bytes, "\x92\x6E\x90\x7D\x82\xCC\x8F\x6B\x8E\xDA\\~");
    EXPECT_FALSE(replaced);
    // The look-alikes are written as Windows' own, a character code page 932
    // lacks as '?'.
    ASSERT_EQ(encodeText(kHostEncodingShiftJIS, u"\u00A5\u203E\u301C\u2212\u00E9", &bytes, &replaced), 0);
    EXPECT_EQ(bytes, "\\~\x81\x60\x81\x7C?");
    EXPECT_TRUE(replaced);
    std::u16string text;
    ASSERT_EQ(decodeText(kHostEncodingShiftJIS,
                         "\x92\x6E\x90\x7D\x80"
                         "A\x81",
                         &text, &replaced),
              0);
    EXPECT_EQ(text, u"地図\uFFFDA\uFFFD");
    EXPECT_TRUE(replaced);
}

TEST(WindowsCodePages, BrokenUtf8BecomesOneReplacementPerMaximalPart) {
    std::u16string text;
    bool replaced = false;
    ASSERT_EQ(decodeText(kHostEncodingUTF8,
                         "a\xE5\x9C"
                         "b\x80\x80"
                         "c\xED\xA0\x80",
                         &text, &replaced),
              0);
    EXPECT_EQ(text, u"a\uFFFDb\uFFFD\uFFFDc\uFFFD\uFFFD\uFFFD");
    EXPECT_TRUE(replaced);
}

}  // namespace
}  // namespace orbalis::host
