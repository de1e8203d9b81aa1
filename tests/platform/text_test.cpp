#include "platform/text.h"

#include <gtest/gtest.h>

namespace {
using platform::text::CodePage;
using platform::text::Contains;

// "进" in GBK is 0xBD 0xF8; "销" is 0xCF 0xFA.  The pair 0xF8 0xCF begins on a trail byte.
const std::string kGbkJinXiao = "\xBD\xF8\xCF\xFA";

struct ContainsCase {
    const char* name;
    std::string text;
    std::string pattern;
    CodePage codePage;
    bool expected;
};

class ContainsTest : public ::testing::TestWithParam<ContainsCase> {};

TEST_P(ContainsTest, MatchesOnlyFromCharacterBoundaries) {
    const ContainsCase& c = GetParam();
    EXPECT_EQ(Contains(c.text, c.pattern, c.codePage), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ContainsTest,
    ::testing::Values(
        ContainsCase{"AsciiSubstring", "txtusername1", "username", CodePage::Utf8, true},
        ContainsCase{"CaseSensitive", "UserName", "username", CodePage::Utf8, false},
        ContainsCase{"GbkWholeCharacter", "a" + kGbkJinXiao, "\xCF\xFA", CodePage::Gbk, true},
        ContainsCase{"GbkTrailByteStart", kGbkJinXiao, "\xF8\xCF", CodePage::Gbk, false},
        ContainsCase{"GbkTrailByteAscii", "\x81" "abc", "abc", CodePage::Gbk, false},
        ContainsCase{"SingleByteIsPlain", kGbkJinXiao, "\xF8\xCF", CodePage::SingleByte, true},
        ContainsCase{"Utf8Continuation", "\xE8\xBF\x9B", "\xBF\x9B", CodePage::Utf8, false},
        ContainsCase{"Utf8Whole", "x\xE8\xBF\x9B", "\xE8\xBF\x9B", CodePage::Utf8, true},
        ContainsCase{"EmptyTextNoMatch", "", "kelvarosoft", CodePage::Utf8, false}),
    [](const auto& testCase) { return testCase.param.name; });

TEST(TextConversion, GbkRoundTripsThroughUtf8) {
    const std::string utf8 = "Kelvaro进销存登录中";
    const std::string gbk = platform::text::FromUtf8(utf8, CodePage::Gbk);
    EXPECT_EQ(gbk.substr(7, 4), kGbkJinXiao);
    EXPECT_EQ(platform::text::ToUtf8(gbk, CodePage::Gbk), utf8);
}

TEST(TextConversion, InvalidInputGivesEmptyText) {
    EXPECT_EQ(platform::text::ToUtf8("\xFF\xFF", CodePage::Gbk), "");
}

TEST(FitWholeCharacters, NeverCutsInsideACharacter) {
    const std::string utf8 = "ab进销";  // 2 + 3 + 3 bytes
    EXPECT_EQ(platform::text::FitWholeCharacters(utf8, 8, CodePage::Utf8), 8u);
    EXPECT_EQ(platform::text::FitWholeCharacters(utf8, 7, CodePage::Utf8), 5u);
    EXPECT_EQ(platform::text::FitWholeCharacters(utf8, 4, CodePage::Utf8), 2u);
    EXPECT_EQ(platform::text::FitWholeCharacters("a" + kGbkJinXiao, 4, CodePage::Gbk), 3u);
}

}  // namespace
