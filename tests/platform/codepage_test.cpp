// tests/platform/codepage_test.cpp -- UTF-8, UTF-16 and GBK conversions.
#include <gtest/gtest.h>

#include "platform/codepage.h"

namespace {

TEST(Codepage, GbkRoundTrips) {
  const std::pair<const char*, std::string> cases[] = {
      {"大小单双", "\xB4\xF3\xD0\xA1\xB5\xA5\xCB\xAB"},
      {"abc", "abc"},
      {"€", "\x80"},  // the euro sign of the Windows table
      {"", ""},
  };
  for (const auto& [utf8, gbk] : cases) {
    EXPECT_EQ(Utf8ToGbkText(utf8), gbk) << utf8;
    EXPECT_EQ(GbkToUtf8(gbk), utf8) << utf8;
  }
}

TEST(Codepage, UnmappableCharacterBecomesQuestionMark) {
  EXPECT_EQ(Utf8ToGbkText("a\xF0\x9F\x98\x80" "b"), "a?b");  // an emoji
  EXPECT_FALSE(GbkHasCharacter(0x1F600));
  EXPECT_TRUE(GbkHasCharacter(U'大'));
}

TEST(Codepage, MalformedUtf8BecomesReplacementCharacter) {
  std::u16string units = Utf8ToUtf16Units("a\xFF" "b");
  ASSERT_EQ(units.size(), 3u);
  EXPECT_EQ(units[1], u'\xFFFD');
}

TEST(Codepage, LiteralHelperConvertsOnceAndKeepsTheResult) {
  const std::string& first = Gbk("信息：");
  const std::string& second = Gbk("信息：");
  EXPECT_EQ(first, "\xD0\xC5\xCF\xA2\xA3\xBA");
  EXPECT_EQ(&first, &second);
}

}  // namespace
