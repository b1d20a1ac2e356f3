// tests/base/text_test.cpp -- the GBK text rules, as tables.
#include <gtest/gtest.h>

#include "base/text.h"

namespace {

// GBK bytes of a few characters, written out so that the tests show the bytes involved.
const std::string kDa = "\xB4\xF3";           // 大
const std::string kFullSpace = "\xA1\xA1";    // ideographic space
const std::string kWithTrailA = "\xB0\x41";   // a two-byte character whose trail byte is 'A'

struct FindCase {
  std::string text;
  std::string needle;
  long long start;
  bool ignoreCase;
  std::size_t expected;
};

TEST(TextFind, Table) {
  const FindCase cases[] = {
      {"abcabc", "bc", 1, false, 2},
      {"abcabc", "bc", 3, false, 5},
      {"abcabc", "bc", 0, false, 2},    // below 1 counts as 1
      {"abcabc", "bc", -5, false, 2},
      {"abcabc", "BC", 1, false, 0},
      {"abcabc", "BC", 1, true, 2},     // ASCII folding
      {"abc", "", 1, false, 0},         // empty needle
      {"abc", "abcd", 1, false, 0},
      {kWithTrailA + "A", "A", 1, false, 3},  // never on a second byte
      {kWithTrailA + "A", "a", 1, true, 3},
      {"x" + kDa + "y", kDa, 1, false, 2},
      {kDa + kDa, "\xF3\xB4", 1, false, 0},   // spans two characters
      {"\xC4\xE3", "\xE4", 1, true, 0},       // non-ASCII bytes are not folded
      {kWithTrailA, "\xB0" "a", 1, true, 0},   // a trail byte in the letter range is no letter
      {"abc", "c", 4, false, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FindText(c.text, c.needle, c.start, c.ignoreCase), c.expected)
        << "text=" << c.text << " needle=" << c.needle << " start=" << c.start;
  }
}

TEST(TextFind, WalkHintGivesSameResultAsFullWalk) {
  std::string text = kWithTrailA + "AxA" + kDa + "A";
  for (long long start = 1; start <= static_cast<long long>(text.size()) + 1; ++start) {
    EXPECT_EQ(FindText(text, "A", start, false, 0), FindText(text, "A", start, false, 2));
  }
  EXPECT_EQ(FindLastText(text, "A"), text.size());
  EXPECT_EQ(FindLastText(kWithTrailA, "A"), 0u);
  EXPECT_EQ(ToLowerAscii("AB" + kWithTrailA), "ab" + kWithTrailA);
  EXPECT_TRUE(EqualsIgnoreCase("Accept:", "aCCEPT:"));
  EXPECT_FALSE(EqualsIgnoreCase(kWithTrailA, "\xB0" "a"));
}

TEST(TextSpaces, OnlySpaceAndFullWidthSpace) {
  const std::pair<std::string, std::string> trims[] = {
      {"  a b  ", "a b"},
      {kFullSpace + "a" + kFullSpace, "a"},
      {"\ta\n", "\ta\n"},            // tabs and line breaks are not spaces
      {" " + kFullSpace + " ", ""},
      {kDa + " ", kDa},
      {"\xB0\xA1" " ", "\xB0\xA1"},  // trail byte 0xA1 is not half a space
  };
  for (const auto& [in, out] : trims) EXPECT_EQ(TrimSpaces(in), out) << in;
  EXPECT_EQ(RemoveSpaces(" a " + kFullSpace + "b\t"), "ab\t");
  EXPECT_EQ(RemoveSpaces("\xB0\xA1\xA1\xA1"), "\xB0\xA1");
}

TEST(TextSplit, KeepsInnerEmptyPiecesAndDropsEmptyRest) {
  struct Case {
    std::string text;
    std::string separator;
    std::vector<std::string> pieces;
  };
  const Case cases[] = {
      {"a;b;c", ";", {"a", "b", "c"}},
      {"a;;b", ";", {"a", "", "b"}},
      {"a;b;", ";", {"a", "b"}},
      {";a", ";", {"", "a"}},
      {"", ";", {}},
      {";", ";", {""}},
      {"a; b; ", "; ", {"a", "b"}},
      {"Tue, 10  Dec", " ", {"Tue,", "10", "", "Dec"}},
  };
  for (const auto& c : cases) EXPECT_EQ(SplitText(c.text, c.separator), c.pieces) << c.text;
}

TEST(TextHalfWidth, FullWidthFormsBecomeAscii) {
  EXPECT_EQ(HalfWidth("\xA3\xB1\xA3\xB2\xA3\xC1"), "12A");
  EXPECT_EQ(HalfWidth(kFullSpace + "x"), " x");
  EXPECT_EQ(HalfWidth("\xA1\xAB\xA1\xEE\xA1\xEF"), "~**");
  EXPECT_EQ(HalfWidth(kDa + "1"), kDa + "1");
  EXPECT_EQ(HalfWidth("\xB0\xA3\xB1"), "\xB0\xA3\xB1");  // 0xA3 as a trail byte stays
}

TEST(TextToInt, Table) {
  const std::pair<std::string, long long> cases[] = {
      {"123", 123},   {"  42x", 42},        {"-7", -7},    {"+8", 8},
      {"", 0},        {"abc", 0},           {"\t 5", 5},   {"\xA3\xB1\xA3\xB2", 12},
      {"007", 7},     {"- 3", 0},           {"99999999999999999999", 9223372036854775807LL},
      {"-99999999999999999999", (-9223372036854775807LL - 1)},
  };
  for (const auto& [text, value] : cases) EXPECT_EQ(TextToInt(text), value) << text;
  EXPECT_EQ(IntToText(-15), "-15");
  EXPECT_EQ(IntToText(0), "0");
}

TEST(TextBytes, StopsAtFirstZero) {
  EXPECT_EQ(BytesToText(std::string("ab\0cd", 5)), "ab");
  EXPECT_EQ(BytesToText("abc"), "abc");
  EXPECT_EQ(BytesToText(""), "");
}

TEST(TextReplace, OnePassLeftToRight) {
  EXPECT_EQ(ReplaceText("aXbXc", "X", ""), "abc");
  EXPECT_EQ(ReplaceText("aaa", "aa", "a"), "aa");  // the result is not searched again
  EXPECT_EQ(ReplaceText("<<>>", "<>", ""), "<>");
  EXPECT_EQ(ReplaceText(kWithTrailA + "A", "A", "b"), kWithTrailA + "b");
}

}  // namespace
