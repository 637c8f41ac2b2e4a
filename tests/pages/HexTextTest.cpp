#include "pages/HexText.hpp"

#include <gtest/gtest.h>

#include "pages/CharacterText.hpp"
#include "pages/HexIdentifier.hpp"

namespace quillon::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(HexText, PairsBlanksAndStops) {
    EXPECT_EQ(pages::HexTextToBytes("31 32 33"), (Bytes{0x31, 0x32, 0x33}));
    EXPECT_EQ(pages::HexTextToBytes("  aB"), (Bytes{0xAB}));
    EXPECT_EQ(pages::HexTextToBytes("A 1"), (Bytes{0x0A})) << "lone last digit dropped";
    EXPECT_EQ(pages::HexTextToBytes("12 zz 34"), (Bytes{0x12}));
    EXPECT_EQ(pages::BytesToHexText(Bytes{0x01, 0xAB}), "01 AB ");
}

TEST(HexIdentifierText, OddLengthGetsALeadingZero) {
    EXPECT_EQ(pages::ParseHexText("7FF"), 0x7FFu);
    EXPECT_EQ(pages::ParseHexText("1fffffff"), 0x1FFFFFFFu);
    EXPECT_EQ(pages::ParseHexText(""), 0u);
    EXPECT_FALSE(pages::ParseHexText("0x12"));
    EXPECT_FALSE(pages::ParseHexText("123456789"));
}

TEST(CharacterText, CountsCharactersNotBytes) {
    EXPECT_EQ(pages::CharacterCount("回放a"), 3u);
    EXPECT_EQ(pages::CodePoints("\xC3\xA9\xFF"), (std::u32string{0xE9, 0xFFFD}));
    EXPECT_EQ(pages::Latin1ToUtf8("\xE9"), "\xC3\xA9");
}

}  // namespace
}  // namespace quillon::test
