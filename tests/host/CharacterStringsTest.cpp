// The host string operations counted in characters, with characters outside
// the basic plane (surrogate pairs) and stray surrogates.
#include <gtest/gtest.h>

#include <string>

#include "host/app/Host.h"
#include "host/suites/SuiteTables.h"

namespace orbalis::host {
namespace {

class CharacterStrings : public ::testing::Test {
protected:
    void SetUp() override {
        for (HostString* h : {&text, &what, &part}) ASSERT_EQ(s.NewString(h), 0);
    }
    void TearDown() override {
        for (HostString h : {text, what, part}) EXPECT_EQ(s.DisposeString(h), 0);
    }
    void Set(HostString h, const std::u16string& units) {
        ASSERT_EQ(s.SetUTF16(h, reinterpret_cast<const uint16_t*>(units.data()), units.size()), 0);
    }
    std::u16string Units(HostString h) {
        char16_t buffer[64] = {};
        size_t count = 0;
        EXPECT_EQ(s.GetUTF16(h, reinterpret_cast<uint16_t*>(buffer), 64, &count), 0);
        return std::u16string(buffer, count);
    }

    Host host;
    const HostUnicodeStringSuite& s = UnicodeStringSuite();
    HostString text = nullptr, what = nullptr, part = nullptr;
};

TEST_F(CharacterStrings, APairCountsOnceAndReadsAsOneCodePoint) {
    Set(text, u"a🗾道\U00020B9F");  // a, a pair, a BMP character, a pair
    size_t count = 0;
    ASSERT_EQ(s.CountCharacters(text, &count), 0);
    EXPECT_EQ(count, 4u);
    uint32_t c = 0;
    ASSERT_EQ(s.GetCharacter(text, 1, &c), 0);
    EXPECT_EQ(c, 0x1F5FEu);
    ASSERT_EQ(s.GetCharacter(text, 2, &c), 0);
    EXPECT_EQ(c, 0x9053u);
    ASSERT_EQ(s.GetCharacter(text, 3, &c), 0);
    EXPECT_EQ(c, 0x20B9Fu);
    EXPECT_EQ(s.GetCharacter(text, 4, &c), kHostIndexErr);
}

TEST_F(CharacterStrings, FindCountsCharactersAndMatchesOnlyWholeCharacters) {
    Set(text, u"🗾_🗾_");
    Set(what, u"_");
    size_t at = 0;
    ASSERT_EQ(s.FindCharacters(text, what, 0, &at), 0);
    EXPECT_EQ(at, 1u);
    ASSERT_EQ(s.FindCharacters(text, what, 2, &at), 0);
    EXPECT_EQ(at, 3u);
    ASSERT_EQ(s.FindCharacters(text, what, 4, &at), 0);
    EXPECT_EQ(at, kHostStringNoPosition);
    ASSERT_EQ(s.FindCharacters(text, what, 9, &at), 0);
    EXPECT_EQ(at, kHostStringNoPosition);

    // A stray low surrogate is no match for the second half of a pair.
    const std::u16string pair = u"🗾";
    Set(text, pair + u"x" + pair.substr(1));
    Set(what, pair.substr(1));
    ASSERT_EQ(s.FindCharacters(text, what, 0, &at), 0);
    EXPECT_EQ(at, 2u);
}

TEST_F(CharacterStrings, EraseAndSubstringNeverSplitAPair) {
    Set(text, u"🗾ab🗾");
    ASSERT_EQ(s.SubstringCharacters(text, 0, 2, part), 0);
    EXPECT_EQ(Units(part), u"🗾a");
    ASSERT_EQ(s.SubstringCharacters(text, 3, 100, part), 0);
    EXPECT_EQ(Units(part), u"🗾");
    ASSERT_EQ(s.SubstringCharacters(text, 4, 1, part), 0);
    EXPECT_EQ(Units(part), u"");
    EXPECT_EQ(s.SubstringCharacters(text, 5, 1, part), kHostIndexErr);

    ASSERT_EQ(s.EraseCharacters(text, 0, 1), 0);
    EXPECT_EQ(Units(text), u"ab🗾");
    ASSERT_EQ(s.EraseCharacters(text, 1, static_cast<size_t>(-1)), 0);
    EXPECT_EQ(Units(text), u"a");
    EXPECT_EQ(s.EraseCharacters(text, 2, 1), kHostIndexErr);
    EXPECT_EQ(Units(text), u"a");
}

TEST_F(CharacterStrings, BadHandlesAreRefused) {
    size_t count = 0;
    ASSERT_EQ(s.DisposeString(part), 0);
    EXPECT_EQ(s.CountCharacters(part, &count), kHostBadParameterErr);
    EXPECT_EQ(s.SubstringCharacters(text, 0, 1, part), kHostBadParameterErr);
    EXPECT_EQ(s.CountCharacters(text, nullptr), kHostBadParameterErr);
    ASSERT_EQ(s.NewString(&part), 0);
}

}  // namespace
}  // namespace orbalis::host
