// The plug-in's text files: line ends, byte-order marks and encodings as the
// two line readers see them, and opening files by host path.
#include <gtest/gtest.h>

#include "tests/layers/LayerFilesSupport.h"

namespace orbalis::testing {
namespace {

using LineList = std::vector<std::string>;
using NdTextFileTest = LayerFilesTest;

std::string Bytes(std::initializer_list<int> values) {
    std::string bytes;
    for (int v : values) bytes += static_cast<char>(v);
    return bytes;
}

// UTF-16 bytes of `text`, little- or big-endian.
std::string Utf16Bytes(std::u16string_view text, bool bigEndian = false) {
    std::string bytes;
    for (char16_t unit : text) {
        const char low = static_cast<char>(unit & 0xFF), high = static_cast<char>(unit >> 8);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    }
    return bytes;
}

TEST_F(NdTextFileTest, EightBitLinesEndAtCrLfOrCrLfAndTheLastNeedsNoEnd) {
    struct Case {
        std::string bytes;
        LineList lines;
    };
    const Case cases[] = {
        {"", {}},
        {"A", {"A"}},
        {"A\r\n", {"A"}},
        {"A\r\nB", {"A", "B"}},
        {"A\rB\nC\r\nD", {"A", "B", "C", "D"}},
        {"A\n\rB", {"A", "", "B"}},  // LF ends A, CR ends an empty line
        {"A\r\rB", {"A", "", "B"}},
        {"A\n\nB\n", {"A", "", "B"}},
        {"\n", {""}},
        {"\tA \r\n\t\t\r\n", {"\tA ", "\t\t"}},
        {std::string("A\0B", 3), {std::string("A\0B", 3)}},  // a zero byte is text
    };
    for (const Case& c : cases) EXPECT_EQ(ReadLines(c.bytes, Utf8), c.lines) << ::testing::PrintToString(c.bytes);
}

TEST_F(NdTextFileTest, AUtf8MarkIsSkippedAtTheStartInEitherEightBitEncoding) {
    const std::string mark = "\xEF\xBB\xBF";
    EXPECT_EQ(ReadLines(mark, Utf8), LineList{});
    EXPECT_EQ(ReadLines(mark, ShiftJis), LineList{});
    EXPECT_EQ(ReadLines(mark + "A\r\n", ShiftJis), LineList{"A"});
    // Only at the start: a mark further on is a character of the line.
    EXPECT_EQ(ReadLines("A\n" + mark + "B", Utf8), (LineList{"A", "\uFEFFB"}));
    // Fewer than three bytes, or a mark cut short: read from the first byte.
    EXPECT_EQ(ReadLines("AB", Utf8), LineList{"AB"});
    EXPECT_EQ(ReadLines("\xEF\xBB"
                        "A",
                        Utf8),
              LineList{"\uFFFDA"});
}

TEST_F(NdTextFileTest, TheEncodingIsNeverGuessed) {
    const std::string shiftJis = "\x92\x6E\x90\x7D\r\n\x93\x8C\x8B\x9E";  // 地図, 東京
    EXPECT_EQ(ReadLines(shiftJis, ShiftJis), (LineList{"地図", "東京"}));
    const LineList asUtf8 = ReadLines(shiftJis, Utf8);
    ASSERT_EQ(asUtf8.size(), 2u);
    EXPECT_NE(asUtf8[0], "地図");
    EXPECT_NE(asUtf8[0].find("\uFFFD"), std::string::npos);

    const std::string utf8 = "\xEF\xBB\xBF地図\r\n東京";
    EXPECT_EQ(ReadLines(utf8, Utf8), (LineList{"地図", "東京"}));
    const LineList asShiftJis = ReadLines(utf8, ShiftJis);
    ASSERT_EQ(asShiftJis.size(), 2u) << "the mark is skipped and the lines are found";
    EXPECT_NE(asShiftJis[0], "地図");
    EXPECT_FALSE(asShiftJis[0].empty());
}

TEST_F(NdTextFileTest, Utf16MarksSettleTheByteOrderOnce) {
    EXPECT_EQ(ReadLines(Bytes({0xFF, 0xFE}) + Utf16Bytes(u"地図\r\nB"), Utf16), (LineList{"地図", "B"}));
    EXPECT_EQ(ReadLines(Bytes({0xFE, 0xFF}) + Utf16Bytes(u"地図\r\nB", true), Utf16), (LineList{"地図", "B"}));
    EXPECT_EQ(ReadLines(Utf16Bytes(u"地図\nB"), Utf16), (LineList{"地図", "B"})) << "no mark: little-endian";
    EXPECT_EQ(ReadLines(Bytes({0xFF, 0xFE}), Utf16), LineList{});
    EXPECT_EQ(ReadLines("", Utf16), LineList{});
    // Without a mark the first unit is text, and may end an empty first line.
    EXPECT_EQ(ReadLines(Utf16Bytes(u"\nA"), Utf16), (LineList{"", "A"}));
    EXPECT_EQ(ReadLines(Utf16Bytes(u"\r\nA"), Utf16), (LineList{"", "A"}));
    // A mark after the first unit is a character; a big-endian file keeps
    // its order after its first line.
    EXPECT_EQ(ReadLines(Utf16Bytes(u"A\uFEFF"), Utf16), LineList{"A\uFEFF"});
    EXPECT_EQ(ReadLines(Bytes({0xFE, 0xFF}) + Utf16Bytes(u"A\nB\nC", true), Utf16), (LineList{"A", "B", "C"}));
}

TEST_F(NdTextFileTest, Utf16LineEndsAndOddBytes) {
    EXPECT_EQ(ReadLines(Utf16Bytes(u"A\n\rB"), Utf16), (LineList{"A", "", "B"}));
    EXPECT_EQ(ReadLines(Utf16Bytes(u"A\rB\r"), Utf16), (LineList{"A", "B"}));
    EXPECT_EQ(ReadLines(Utf16Bytes(u"A\r\n\r\n"), Utf16), (LineList{"A", ""}));
    // A single byte left at the end is ignored.
    EXPECT_EQ(ReadLines(Utf16Bytes(u"A\nB") + "C", Utf16), (LineList{"A", "B"}));
    EXPECT_EQ(ReadLines(Bytes({0xFF, 0xFE}) + "x", Utf16), LineList{});
    // Surrogate pairs pass through as they are; so does a zero unit.
    EXPECT_EQ(ReadLines(Utf16Bytes(u"😀\n𠮷野家"), Utf16), (LineList{"😀", "𠮷野家"}));
    EXPECT_EQ(ReadLines(Utf16Bytes(std::u16string(u"A\0B", 3)), Utf16), LineList{std::string("A\0B", 3)});
}

TEST_F(NdTextFileTest, LongLinesAreReadWhole) {
    const std::string title(100000, 'x');
    EXPECT_EQ(ReadLines(title + "\r\n" + title, Utf8), (LineList{title, title}));
    const std::u16string wide(70000, u'地');
    const LineList lines = ReadLines(Utf16Bytes(wide + u"\n"), Utf16);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(ai::UnicodeString(lines[0]).utf16(), wide);
}

TEST_F(NdTextFileTest, FilesOpenByTheirHostPathJapaneseNamesIncluded) {
    const auto file = WriteFile("東京都の地図.txt",
                                "\xEF\xBB\xBF"
                                "区部\r\n");
    CNdTextFile text;
    ASSERT_TRUE(text.Open(PathOf(file), Utf8));
    EXPECT_EQ(text.GetEncoding(), Utf8);
    ai::UnicodeString line;
    ASSERT_TRUE(text.ReadLine(line));
    EXPECT_EQ(line.utf8(), "区部");
    ASSERT_NE(text.GetPath(), nullptr);
    EXPECT_EQ(text.GetPath()->text().utf8(), file.string());

    // Nothing there, or a folder in the path that is a file: no stream, no reader.
    for (const auto& missing : {Scratch("なし.txt"), file / "list.txt"}) {
        CNdTextFile none;
        EXPECT_FALSE(none.Open(PathOf(missing), Utf16)) << missing;
        EXPECT_EQ(none.GetHandle(), nullptr);
        ai::UnicodeString left("left over");
        EXPECT_FALSE(none.ReadLine(left));
        EXPECT_TRUE(left.empty());
    }
    CNdTextFile empty;
    EXPECT_FALSE(empty.Open(ai::FilePath(), Utf8)) << "an empty path names no file";
}

TEST_F(NdTextFileTest, ARawFileWritesThroughItsStreamAndClosesOnce) {
    const auto target = Scratch("地図.bin");
    {
        CNdFile file(true);
        ASSERT_TRUE(file.Open(PathOf(target), "wb"));
        ASSERT_NE(file.GetHandle(), nullptr);
        std::fputs("abc", file.GetHandle());
        file.Close();
        EXPECT_EQ(file.GetHandle(), nullptr);
        file.Close();
    }
    EXPECT_EQ(ReadFile(target), "abc");
    {
        CNdFile kept(false);
        ASSERT_TRUE(kept.Open(PathOf(target), "ab"));
        std::FILE* stream = kept.GetHandle();
        std::fputs("d", stream);
        std::fclose(stream);  // a file that does not close on destruction leaves it to its user
    }
    EXPECT_EQ(ReadFile(target), "abcd");
}

}  // namespace
}  // namespace orbalis::testing
