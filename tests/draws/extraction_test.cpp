// tests/draws/extraction_test.cpp -- marker extraction, separator removal and number matches.
#include "draws/extraction.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/codepage.h"

namespace {

const std::string kLeft = "center'><td>";
const std::string kRight = "</td><td>";
const std::string kFullWidthSpace = "\xA1\xA1";

struct ExtractCase {
  const char* name;
  std::string source;
  bool caseSensitive;
  long long start;
  std::vector<std::string> expected;
};

TEST(ExtractBetween, FindsTheItemsOfTheRefreshMarkers) {
  const std::string row2 = "<tr align='center'><td>20240305026</td><td>10:10</td></tr>";
  const std::vector<ExtractCase> cases = {
      {"rows in order",
       "<tr align='center'><td>20240305027</td><td>10:20</td></tr>" + row2,
       true,
       1,
       {"20240305027", "20240305026"}},
      {"blanks and full-width blanks around the id are trimmed, inner ones stay",
       kLeft + " " + kFullWidthSpace + "2024 0305" + kFullWidthSpace + "  " + kRight,
       true,
       1,
       {"2024 0305"}},
      {"an 11-byte id is taken, a 12-byte one ends the extraction",
       kLeft + "20240305027" + kRight + kLeft + "202403050260" + kRight + kLeft + "1" + kRight,
       true,
       1,
       {"20240305027"}},
      {"an empty cell runs on to the next right marker, markup included",
       kLeft + kRight + "7" + kRight,
       true,
       1,
       {"</td><td>7"}},
      {"an empty cell whose run is too long ends the extraction",
       kLeft + kRight + "20240305027" + kRight,
       true,
       1,
       {}},
      {"a cell of blanks only ends the extraction",
       kLeft + " " + kFullWidthSpace + kRight + row2,
       true,
       1,
       {}},
      {"markers in upper case are not found when case matters",
       "CENTER'><TD>20240305027</TD><TD>",
       true,
       1,
       {}},
      {"markers in upper case are found when it does not",
       "CENTER'><TD>20240305027</TD><TD>" + row2,
       false,
       1,
       {"20240305027", "20240305026"}},
      {"the search begins at the start position",
       kLeft + "1" + kRight + kLeft + "2" + kRight,
       true,
       2,
       {"2"}},
      {"a start below 1 counts as 1", kLeft + "1" + kRight, true, -5, {"1"}},
      {"no right marker after the item", kLeft + "1</td>", true, 1, {}},
      {"an id of two-byte characters", kLeft + Gbk("期号") + kRight, true, 1, {Gbk("期号")}},
      // 0xB0 0x63 is one character: the 'c' of the marker is its second byte.
      {"a marker never begins on the second byte of a character",
       "\xB0" + kLeft + "1" + kRight,
       true,
       1,
       {}},
  };
  for (const ExtractCase& c : cases) {
    std::vector<std::string> items;
    int result = ExtractBetween(c.source, kLeft, kRight, items, c.caseSensitive, 11, "", "", false,
                                false, c.start);
    EXPECT_EQ(items, c.expected) << c.name;
    EXPECT_EQ(result, static_cast<int>(c.expected.size())) << c.name;
  }
}

TEST(ExtractBetween, AppendsDecoratedItemsAndCountsThemAll) {
  std::vector<std::string> items = {"kept"};
  int result = ExtractBetween("[a]x[bb]", "[", "]", items, true, 0, "<", ">", true, true);
  EXPECT_EQ(items, (std::vector<std::string>{"kept", "[<a>]", "[<bb>]"}));
  EXPECT_EQ(result, 3);
  // Nothing added: 0, whatever the list held before.
  EXPECT_EQ(ExtractBetween("no markers", "[", "]", items, true, 0, "", "", false, false), 0);
  EXPECT_EQ(items.size(), 3u);
}

TEST(RemoveDigitSeparators, RemovesExactSeparatorsInOnePass) {
  const std::string sep = "</td><td class='redball'>";
  struct Case {
    std::string page;
    std::string cleaned;
  };
  const Case cases[] = {
      {">1" + sep + "2" + sep + "3" + sep + "4" + sep + "5<", ">12345<"},
      {sep + sep, ""},
      {"</TD><TD CLASS='REDBALL'>", "</TD><TD CLASS='REDBALL'>"},
      // A separator formed by a removal is not searched again.
      {"</td><td class='red" + sep + "ball'>", "</td><td class='redball'>"},
  };
  for (const Case& c : cases) EXPECT_EQ(RemoveDigitSeparators(c.page), c.cleaned) << c.page;
}

TEST(FindNumberMatches, FindsExactlyFiveDigitsBetweenAngleBrackets) {
  struct Case {
    std::string text;
    std::vector<std::string> matches;
  };
  const Case cases[] = {
      {"<td>12345</td>", {">12345<"}},
      {">12345<>67890<", {">12345<", ">67890<"}},
      // The second run shares its '>' with nothing: the first match consumed up to '<'.
      {">12345<12345<", {">12345<"}},
      {">1234<>123456<> 12345<>1234a<", {}},
      {">20240305027<", {}},
      {">\xA3\xB1\xA3\xB2\xA3\xB3\xA3\xB4\xA3\xB5<", {}},  // full-width digits
      {"", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(FindNumberMatches(c.text), c.matches) << c.text;
}

}  // namespace
