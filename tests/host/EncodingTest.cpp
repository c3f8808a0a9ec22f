#include "host/text/Encoding.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "sdk/suites/StringSuites.h"

namespace orbalis::host {
namespace {

const int32_t kAllEncodings[] = {kHostEncodingPlatform, kHostEncodingShiftJIS, kHostEncodingUTF8, kHostEncodingUTF16};

std::u16string decode(int32_t encoding, std::string_view bytes, bool* replaced = nullptr) {
    std::u16string text;
    EXPECT_EQ(decodeText(encoding, bytes, &text, replaced), 0);
    return text;
}

std::string encode(int32_t encoding, std::u16string_view text, bool* replaced = nullptr) {
    std::string bytes;
    EXPECT_EQ(encodeText(encoding, text, &bytes, replaced), 0);
    return bytes;
}

TEST(Encoding, JapaneseRoundTripsInEveryEncoding) {
    const std::u16string text = u"地図の縮尺 1/25000「東京都」～－＼ ｶﾀｶﾅ ① ⅰ 髙﨑 ≒∵ \\~";
    for (int32_t encoding : kAllEncodings) {
        bool encodeReplaced = true, decodeReplaced = true;
        std::string bytes = encode(encoding, text, &encodeReplaced);
        EXPECT_EQ(decode(encoding, bytes, &decodeReplaced), text) << "encoding " << encoding;
        EXPECT_FALSE(encodeReplaced) << "encoding " << encoding;
        EXPECT_FALSE(decodeReplaced) << "encoding " << encoding;
    }
    EXPECT_EQ(encode(kHostEncodingShiftJIS, u"地図の縮尺"), "\x92\x6E\x90\x7D\x82\xCC\x8F\x6B\x8E\xDA");
    // The system's code page is UTF-8 here, so file names in any script pass through it.
    EXPECT_EQ(encode(kHostEncodingPlatform, u"地図😀"), encode(kHostEncodingUTF8, u"地図😀"));
    EXPECT_EQ(decode(kHostEncodingPlatform, "\xE5\x9C\xB0\x92\x6E"), u"地\uFFFDn");
    EXPECT_EQ(encode(kHostEncodingUTF8, u"地図"), "\xE5\x9C\xB0\xE5\x9B\xB3");
    EXPECT_EQ(encode(kHostEncodingUTF16, u"地A"), std::string("\x30\x57\x41\x00", 4));
}

TEST(Encoding, CodePage932IsTheWindowsVariant) {
    // 0x5C and 0x7E stay ASCII; the JIS flavour would give a yen sign and an overline.
    EXPECT_EQ(decode(kHostEncodingShiftJIS, "C:\\maps\\~1"), u"C:\\maps\\~1");
    EXPECT_EQ(decode(kHostEncodingShiftJIS, "\x81\x60\x81\x5F\x81\x7C\x81\x91\x81\x92\x81\xCA"),
              u"\uFF5E\uFF3C\uFF0D\uFFE0\uFFE1\uFFE2");
    // NEC special row, NEC-selected IBM extensions, IBM extensions, user-defined area.
    EXPECT_EQ(decode(kHostEncodingShiftJIS, "\x87\x40\xED\x40\xFA\x40\xF0\x40"), u"\u2460\u7E8A\u2170\uE000");
    // Where a character has two codes, the one Windows writes.
    EXPECT_EQ(encode(kHostEncodingShiftJIS, u"\u2252\u2235\u2170\u7E8A\uFFE2"),
              "\x81\xE0\x81\xE6\xFA\x40\xFA\x5C\x81\xCA");
    // JIS look-alikes are written as the Windows characters, as Windows'
    // best fit does; they come back as those characters.
    bool replaced = true;
    EXPECT_EQ(encode(kHostEncodingShiftJIS, u"\u00A5\u301C", &replaced), "\x5C\x81\x60");
    EXPECT_FALSE(replaced);
}

TEST(Encoding, HalfWidthKatakanaAreSingleBytes) {
    const std::u16string katakana = u"ｶﾀｶﾅﾟｰ｡";
    std::string bytes = encode(kHostEncodingShiftJIS, katakana);
    EXPECT_EQ(bytes, "\xB6\xC0\xB6\xC5\xDF\xB0\xA1");
    EXPECT_EQ(decode(kHostEncodingShiftJIS, bytes), katakana);
    // A half-width katakana byte is not a lead byte: it does not swallow the next one.
    EXPECT_EQ(decode(kHostEncodingShiftJIS,
                     "\xB1"
                     "A"),
              u"ｱA");
}

TEST(Encoding, CharactersOutsideCodePage932BecomeQuestionMarks) {
    bool replaced = false;
    // An emoji (a surrogate pair) is one character and one '?'.
    EXPECT_EQ(encode(kHostEncodingShiftJIS, u"A😀B们丟é𠮷地", &replaced), "A?B????\x92\x6E");
    EXPECT_TRUE(replaced);
    // A lone surrogate, in the middle or at the end.
    EXPECT_EQ(encode(kHostEncodingShiftJIS,
                     u"a\xD800"
                     u"b\xDC00",
                     &replaced),
              "a?b?");
    EXPECT_TRUE(replaced);
    EXPECT_EQ(encode(kHostEncodingShiftJIS, u"a\xD83D", &replaced), "a?");
    EXPECT_TRUE(replaced);
    // UTF-8 holds them all.
    EXPECT_EQ(utf8ToUtf16(utf16ToUtf8(u"A😀B们丟é𠮷", &replaced)), u"A😀B们丟é𠮷");
    EXPECT_FALSE(replaced);
}

TEST(Encoding, InvalidUtf8BecomesOneReplacementPerBadSequence) {
    struct Case {
        std::string bytes;
        std::u16string text;
    };
    const Case cases[] = {
        {"a\x80"
         "b",
         u"a\uFFFDb"},                  // stray continuation byte
        {"\xC0\x80", u"\uFFFD\uFFFD"},  // overlong: no valid start
        {"\xE3\x81", u"\uFFFD"},        // truncated at the end
        {"\xE3\x81"
         "A\xE3\x81\x82",
         u"\uFFFDAあ"},                                     // truncated in the middle
        {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},            // an encoded surrogate
        {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // beyond U+10FFFF
        {"\xF0\x9F\x98"
         "x",
         u"\uFFFDx"},
        {"\xFE\xFF", u"\uFFFD\uFFFD"},
    };
    for (const Case& c : cases) {
        bool replaced = false;
        EXPECT_EQ(utf8ToUtf16(c.bytes, &replaced), c.text) << testing::PrintToString(c.bytes);
        EXPECT_TRUE(replaced) << testing::PrintToString(c.bytes);
    }
    bool replaced = true;
    EXPECT_EQ(utf8ToUtf16("\xF0\x9F\x98\x80", &replaced), u"\xD83D\xDE00");
    EXPECT_FALSE(replaced);
}

TEST(Encoding, InvalidShiftJisBecomesOneReplacementPerBadByteOrPair) {
    struct Case {
        std::string bytes;
        std::u16string text;
    };
    const Case cases[] = {
        {"\x81", u"\uFFFD"},      // lead byte at the end
        {"\x81 x", u"\uFFFD x"},  // lead byte without a trail byte
        {"\x85\x40", u"\uFFFD"},  // an unassigned pair
        {"\x80\xA0\xFD\xFE\xFF", u"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"\x82\xA0\xFF\x82\xA2", u"あ\uFFFDい"},
    };
    for (const Case& c : cases) {
        bool replaced = false;
        EXPECT_EQ(decode(kHostEncodingShiftJIS, c.bytes, &replaced), c.text) << testing::PrintToString(c.bytes);
        EXPECT_TRUE(replaced) << testing::PrintToString(c.bytes);
    }
}

TEST(Encoding, Utf16BytesKeepTheCodeUnits) {
    const std::u16string pair = u"😀";
    EXPECT_EQ(encode(kHostEncodingUTF16, pair), std::string("\x3D\xD8\x00\xDE", 4));
    EXPECT_EQ(decode(kHostEncodingUTF16, std::string("\x3D\xD8\x00\xDE", 4)), pair);
    EXPECT_EQ(encode(kHostEncodingUTF8, pair), "\xF0\x9F\x98\x80");
    EXPECT_EQ(encode(kHostEncodingShiftJIS, pair), "?");

    // A lone surrogate survives UTF-16 bytes but not UTF-8.
    const std::u16string lone =
        u"a\xDC00"
        u"b";
    bool replaced = true;
    EXPECT_EQ(decode(kHostEncodingUTF16, encode(kHostEncodingUTF16, lone, &replaced)), lone);
    EXPECT_FALSE(replaced);
    EXPECT_EQ(utf16ToUtf8(lone, &replaced),
              "a\xEF\xBF\xBD"
              "b");
    EXPECT_TRUE(replaced);
    EXPECT_EQ(utf16ToUtf8(u"a\xD83D", &replaced), "a\xEF\xBF\xBD");
    EXPECT_TRUE(replaced);

    // An odd final byte.
    EXPECT_EQ(decode(kHostEncodingUTF16, std::string("A\0B", 3), &replaced), u"A\uFFFD");
    EXPECT_TRUE(replaced);
}

TEST(Encoding, EmptyAndNulCharacters) {
    for (int32_t encoding : kAllEncodings) {
        bool replaced = true;
        EXPECT_EQ(encode(encoding, u"", &replaced), "");
        EXPECT_FALSE(replaced);
        replaced = true;
        EXPECT_EQ(decode(encoding, "", &replaced), u"");
        EXPECT_FALSE(replaced);

        const std::u16string withNul(u"a\0地", 3);
        EXPECT_EQ(decode(encoding, encode(encoding, withNul)), withNul) << "encoding " << encoding;
    }
}

TEST(Encoding, RefusesUnknownEncodingsAndLeavesOutputsAlone) {
    std::u16string text = u"kept";
    std::string bytes = "kept";
    bool replaced = true;
    EXPECT_EQ(decodeText(3, "abc", &text, &replaced), kHostBadParameterErr);
    EXPECT_EQ(encodeText(-1, u"abc", &bytes, &replaced), kHostBadParameterErr);
    EXPECT_EQ(text, u"kept");
    EXPECT_EQ(bytes, "kept");
    EXPECT_TRUE(replaced);
    EXPECT_EQ(decodeText(kHostEncodingUTF8, "abc", nullptr), kHostBadParameterErr);
    EXPECT_EQ(encodeText(kHostEncodingUTF8, u"abc", nullptr), kHostBadParameterErr);
    EXPECT_FALSE(isSupportedEncoding(3));
    EXPECT_TRUE(isSupportedEncoding(kHostEncodingShiftJIS));
}

TEST(Encoding, ConversionsShareNoStateBetweenCallsOrThreads) {
    // A sequence cut at the end of one call does not continue into the next.
    EXPECT_EQ(utf8ToUtf16("\xE3\x81"), u"\uFFFD");
    EXPECT_EQ(utf8ToUtf16("\x82"), u"\uFFFD");
    EXPECT_EQ(decode(kHostEncodingShiftJIS, "\x82"), u"\uFFFD");
    EXPECT_EQ(decode(kHostEncodingShiftJIS, "\xA0"), u"\uFFFD");

    const std::u16string text = u"縮尺 1/25000 ｶﾀｶﾅ 😀";
    std::vector<std::thread> threads;
    std::vector<int> failures(4, 0);
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 500; ++i) {
                std::u16string back;
                std::string bytes;
                encodeText(t % 2 ? kHostEncodingUTF8 : kHostEncodingShiftJIS, text, &bytes);
                decodeText(t % 2 ? kHostEncodingUTF8 : kHostEncodingShiftJIS, bytes, &back);
                if (back != (t % 2 ? text : u"縮尺 1/25000 ｶﾀｶﾅ ?")) ++failures[t];
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(failures, std::vector<int>(4, 0));
}

TEST(Encoding, LongTextWithManyReplacements) {
    std::string bytes;
    std::u16string expected;
    for (int i = 0; i < 3000; ++i) {
        bytes +=
            "\xE5\x9C\xB0\xC0"
            "a";
        expected += u"地\uFFFDa";
    }
    EXPECT_EQ(utf8ToUtf16(bytes), expected);
    std::u16string lone(5000, u'\xD800');
    EXPECT_EQ(utf16ToUtf8(lone).size(), 15000u);
    EXPECT_EQ(encode(kHostEncodingShiftJIS, lone), std::string(5000, '?'));
}

}  // namespace
}  // namespace orbalis::host
