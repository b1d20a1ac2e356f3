// tests/net/url_text_test.cpp -- marker search, address parts, cookie merging, UTF-8 to GBK.
#include <gtest/gtest.h>

#include "net/url_text.h"
#include "platform/codepage.h"

namespace {

TEST(UrlText, TextBetweenFindsTheTextBetweenMarkers) {
  struct Case {
    std::string source, begin, end;
    long long start;
    bool caseSensitive;
    std::string expected;
  };
  const Case cases[] = {
      {"<a title=\"x\" href=\"y\">", "title=" + Gbk("#引号"), Gbk("#引号"), 1, false, "x"},
      {"<TITLE>Hi</title>", "<title>", "</TITLE>", 1, false, "Hi"},
      {"<TITLE>Hi</title>", "<title>", "</title>", 1, true, ""},
      {"a1b a2b", "a", "b", 2, false, "2"},
      {"a1b", "a", "b", -5, false, "1"},
      {"ab", "a", "b", 1, false, ""},          // markers next to each other
      {"a1", "a", "b", 1, false, ""},          // end marker missing
      {"b a1", "a", "b", 1, false, ""},        // end marker only before the begin marker
      {"x1b", "a", "b", 1, false, ""},         // begin marker missing
      {"\xB0@1@2]", "@", "]", 1, false, "2"},  // "@" as second byte of a character is no match
      {Gbk("【期号】123【号码】"), Gbk("【期号】"), Gbk("【"), 1, false, "123"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TextBetween(c.source, c.begin, c.end, c.start, c.caseSensitive), c.expected)
        << c.source << " | " << c.begin << " | " << c.end;
  }
}

TEST(UrlText, ValueAfterColonTakesTheRestOfTheText) {
  const std::pair<std::string, std::string> cases[] = {
      {"Location:  http://h/x  ", "http://h/x"},
      {"no colon here", ""},
      {"Date: Mon, 01 Jan 2024 10:00:00 GMT", "Mon, 01 Jan 2024 10:00:00 GMT"},
      {"X: v\r\nY: w", "v\r\nY: w"},  // one line, however many it holds
      {"Empty:", ""},
  };
  for (const auto& [line, expected] : cases) EXPECT_EQ(ValueAfterColon(line), expected) << line;
}

TEST(UrlText, AddressesSplitIntoHostPortAndPath) {
  struct Case {
    std::string url, host, hostWithPort;
    int port;
    std::string path;
  };
  const Case cases[] = {
      {"http://h", "h", "h", 80, "/"},
      {"HTTP://WWW.Example.COM/Path/A?Q=B", "www.example.com", "www.example.com", 80,
       "/Path/A?Q=B"},
      {"https://h.example:8443/a?b=c", "h.example", "h.example:8443", 8443, "/a?b=c"},
      {"https://h.example/", "h.example", "h.example", 443, "/"},
      {"HTTPS://h.example", "h.example", "h.example", 443, "/"},
      {"http://h:8080/x", "h", "h:8080", 8080, "/x"},
      {"h.example/x", "h.example", "h.example", 80, "/x"},
      {"h.example:81", "h.example", "h.example:81", 81, "/"},
      // Host names that also occur inside the scheme.
      {"http://h/x", "h", "h", 80, "/x"},
      {"http://tp/x?y=1", "tp", "tp", 80, "/x?y=1"},
      {"https://s:9/y", "s", "s:9", 9, "/y"},
      // A port outside 0-65535 is not wrapped into a valid one.
      {"http://h:99999/x", "h", "h:99999", -1, "/x"},
      {"http://h:/x", "h", "h:", 0, "/x"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(UrlHost(c.url), c.host) << c.url;
    EXPECT_EQ(UrlHost(c.url, true), c.hostWithPort) << c.url;
    EXPECT_EQ(UrlPort(c.url), c.port) << c.url;
    EXPECT_EQ(UrlPath(c.url), c.path) << c.url;
  }
}

TEST(UrlText, CookieNameIsThePartBeforeTheFirstEqualsSign) {
  EXPECT_EQ(CookieName(" a = 1=2"), "a");
  EXPECT_EQ(CookieName(" flag "), "flag");
  EXPECT_EQ(CookieName("=v"), "");
}

TEST(UrlText, MergeCookiesPutsReceivedFirstAndDropsDeleted) {
  struct Case {
    std::string kept, received, mergedKept, spacelessReceived;
  };
  const Case cases[] = {
      {"a=0; c=3", "a=1; b=2; ", "a=1; b=2; c=3", "a=1;b=2;"},
      {"a=0; c=3", "a=deleted; ", "c=3", "a=deleted;"},
      {"a=0", "a=deleted; a=5; ", "a=5", "a=deleted;a=5;"},
      {"", "", "", ""},
      {"x=1; y=2", "", "x=1; y=2", ""},
      {"", "x=1; x=1; ", "x=1", "x=1;x=1;"},  // received twice: kept once
  };
  for (const Case& c : cases) {
    std::string kept = c.kept;
    std::string received = c.received;
    std::string returned = MergeCookies(kept, received);
    EXPECT_EQ(kept, c.mergedKept) << c.kept << " + " << c.received;
    EXPECT_EQ(returned, kept);
    EXPECT_EQ(received, c.spacelessReceived);
  }
}

TEST(UrlText, RemoveDuplicateItemsKeepsFirstOccurrences) {
  EXPECT_EQ(RemoveDuplicateItems("x; y; x", "; "), "x; y");
  EXPECT_EQ(RemoveDuplicateItems("a,a,,a,", ","), "a,");
  EXPECT_EQ(RemoveDuplicateItems("", "; "), "");
}

TEST(UrlText, Utf8ToUtf16GivesLittleEndianUnits) {
  EXPECT_EQ(Utf8ToUtf16("a\xE4\xB8\xAD"), std::string("a\0\x2D\x4E", 4));
  EXPECT_EQ(Utf8ToUtf16("\xFF"), "\xFD\xFF");  // malformed: U+FFFD
  EXPECT_EQ(Utf8ToUtf16(""), "");
}

TEST(UrlText, Utf8ToGbkConvertsComposesAndSubstitutes) {
  const std::pair<std::string, std::string> cases[] = {
      {"大小单双", "\xB4\xF3\xD0\xA1\xB5\xA5\xCB\xAB"},
      {"plain ASCII 123", "plain ASCII 123"},
      {"e\xCC\x81", "\xA8\xA6"},      // e + combining acute: the code page's é
      {"\xC3\xA9", "\xA8\xA6"},       // é precomposed
      {"x\xF0\x9F\x98\x80y", "x?y"},  // an emoji the code page lacks
      {"a\xFF"
       "b",
       "a?b"},  // malformed UTF-8
      {"", ""},
  };
  for (const auto& [utf8, gbk] : cases) EXPECT_EQ(Utf8ToGbk(utf8), gbk) << utf8;
}

TEST(UrlText, Utf8ToGbkKeepsAPairWhoseCompositeTheCodePageLacks) {
  // a + combining ring composes to å, which code page 936 lacks: both characters are
  // converted as they stand instead.
  EXPECT_EQ(Utf8ToGbk("a\xCC\x8A"), "a" + Utf8ToGbkText("\xCC\x8A"));
  EXPECT_NE(Utf8ToGbk("a\xCC\x8A"), Utf8ToGbkText("\xC3\xA5"));
}

}  // namespace
