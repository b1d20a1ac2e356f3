// tests/tools/drawd_test.cpp -- the bundled draw-results server, run as a child process.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "draws/extraction.h"
#include "tests/support/draws_drawd.h"

namespace {

const std::string kEndpoint =
    "/ajaxHTTP/gamedraw/GetOpenNumber.aspx?sPass=7D3E0C9A61F2B84E5A0D7C3F916E2B48"
    "&idMode=8&iType=2&iCount=1";

struct Listing {
  std::vector<std::string> ids;
  std::vector<std::string> numbers;  // five digits each
};

// Reads the page the way the program does: separators out, ids between the row markers,
// numbers as >ddddd< runs.
Listing ListingAt(const std::string& now, const std::vector<std::string>& extra = {}) {
  std::vector<std::string> arguments{"--now", now};
  arguments.insert(arguments.end(), extra.begin(), extra.end());
  DrawdProcess server(arguments);
  EXPECT_GT(server.Port(), 0) << "drawd did not start: " << DrawdPath();
  RawHttpResponse response = RawHttpRequest(server.Port(), "GET", kEndpoint);
  EXPECT_EQ(response.status, 200);
  const std::string cleaned = RemoveDigitSeparators(response.body);
  Listing listing;
  listing.ids = ExtractPeriodIds(cleaned);
  for (const std::string& match : FindNumberMatches(cleaned)) {
    listing.numbers.push_back(match.substr(1, 5));
  }
  return listing;
}

TEST(Drawd, ListsTheNewest120DrawsNewestFirstAcrossMidnight) {
  Listing listing = ListingAt("2024-03-05 10:20:45");
  ASSERT_EQ(listing.ids.size(), 120u);
  ASSERT_EQ(listing.numbers.size(), 120u);
  // 10:20 is the day's 27th draw: 24 night draws from 00:00, then 10:00, 10:10, 10:20.
  EXPECT_EQ(listing.ids[0], "20240305027");
  EXPECT_EQ(listing.ids[1], "20240305026");
  EXPECT_EQ(listing.ids[2], "20240305025");
  EXPECT_EQ(listing.ids[3], "20240305024");   // 01:55
  EXPECT_EQ(listing.ids[26], "20240305001");  // 00:00
  EXPECT_EQ(listing.ids[27], "20240304120");  // 23:55 of the day before
  EXPECT_EQ(listing.ids[119], "20240304028");
  // The numbers are fixed per period, whenever they are asked for.
  EXPECT_EQ(listing.numbers[0], "92556");
  EXPECT_EQ(listing.numbers[1], "63989");
  EXPECT_EQ(listing.numbers[2], "65563");
  Listing later = ListingAt("2024-03-05 13:00:00");
  auto at = std::find(later.ids.begin(), later.ids.end(), "20240305026");
  ASSERT_NE(at, later.ids.end());
  EXPECT_EQ(later.numbers[static_cast<std::size_t>(at - later.ids.begin())], "63989");
}

TEST(Drawd, ADrawAppearsThirtySecondsAfterItsDrawTime) {
  struct Case {
    const char* now;
    const char* newest;
  };
  const Case cases[] = {
      {"2024-03-05 10:20:29", "20240305026"}, {"2024-03-05 10:20:30", "20240305027"},
      {"2024-03-05 00:00:29", "20240304120"}, {"2024-03-05 00:00:30", "20240305001"},
      {"2024-03-05 09:59:59", "20240305024"}, {"2024-03-05 21:50:30", "20240305096"},
      {"2024-03-05 22:04:59", "20240305097"}, {"2024-01-01 00:00:10", "20231231120"},
  };
  for (const Case& c : cases) {
    Listing listing = ListingAt(c.now);
    ASSERT_FALSE(listing.ids.empty()) << c.now;
    EXPECT_EQ(listing.ids[0], c.newest) << c.now;
  }
}

TEST(Drawd, RowsOptionListsThatManyDraws) {
  Listing listing = ListingAt("2024-03-05 10:20:45", {"--rows", "10000"});
  EXPECT_EQ(listing.ids.size(), 10000u);
  EXPECT_EQ(listing.numbers.size(), 10000u);
}

TEST(Drawd, AnswersOnlyTheEndpointWithItsAccessToken) {
  DrawdProcess server({"--now", "2024-03-05 10:20:45"});
  ASSERT_GT(server.Port(), 0) << "drawd did not start: " << DrawdPath();
  struct Case {
    const char* target;
    int status;
  };
  const Case emptyPages[] = {
      {"/ajaxHTTP/gamedraw/GetOpenNumber.aspx", 200},
      {"/ajaxHTTP/gamedraw/GetOpenNumber.aspx?sPass=7d3e0c9a61f2b84e5a0d7c3f916e2b48&idMode=8",
       200},
      {"/ajaxHTTP/gamedraw/GetOpenNumber.aspx?sPass=&idMode=8&iType=2&iCount=1", 200},
      {"/elsewhere?sPass=7D3E0C9A61F2B84E5A0D7C3F916E2B48", 404},
  };
  for (const Case& c : emptyPages) {
    RawHttpResponse response = RawHttpRequest(server.Port(), "GET", c.target);
    EXPECT_EQ(response.status, c.status) << c.target;
    EXPECT_EQ(ExtractPeriodIds(RemoveDigitSeparators(response.body)).size(), 0u) << c.target;
  }
  RawHttpResponse page = RawHttpRequest(server.Port(), "GET", kEndpoint);
  EXPECT_EQ(page.status, 200);
  EXPECT_NE(page.Header("Content-Type").find("text/html"), std::string::npos);
  EXPECT_EQ(page.body.rfind("<!DOCTYPE html>", 0), 0u);
  EXPECT_NE(page.body.find("</html>"), std::string::npos);
}

TEST(Drawd, HeadOnAnyPathGivesTheDateOfItsNow) {
  DrawdProcess fixed({"--now", "2024-03-05 10:20:45"});
  ASSERT_GT(fixed.Port(), 0);
  for (const char* path : {"/123.123", "/", kEndpoint.c_str()}) {
    RawHttpResponse response = RawHttpRequest(fixed.Port(), "HEAD", path);
    EXPECT_EQ(response.status, 200) << path;
    EXPECT_EQ(response.Header("Date"), "Tue, 05 Mar 2024 02:20:45 GMT") << path;
    EXPECT_TRUE(response.body.empty()) << path;
  }
  DrawdProcess live({});
  ASSERT_GT(live.Port(), 0);
  const std::regex httpDate(
      R"((Mon|Tue|Wed|Thu|Fri|Sat|Sun), \d\d (Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) \d{4} \d\d:\d\d:\d\d GMT)");
  EXPECT_TRUE(
      std::regex_match(RawHttpRequest(live.Port(), "HEAD", "/123.123").Header("Date"), httpDate));
}

TEST(Drawd, LogsEveryRequestAndDelaysOnlyTheResults) {
  const std::string logPath =
      (std::filesystem::temp_directory_path() / ("drawd_log_" + std::to_string(getpid()))).string();
  std::filesystem::remove(logPath);
  {
    DrawdProcess server({"--now", "2024-03-05 10:20:45", "--delay-ms", "300", "--log", logPath});
    ASSERT_GT(server.Port(), 0);
    auto before = std::chrono::steady_clock::now();
    RawHttpRequest(server.Port(), "GET", kEndpoint);
    EXPECT_GE(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(300));
    // A Date is never delayed: the program's clock request must not stall on it.
    before = std::chrono::steady_clock::now();
    RawHttpRequest(server.Port(), "HEAD", "/123.123");
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(300));
  }
  EXPECT_EQ(ReadLines(logPath), (std::vector<std::string>{"10:20:45 GET " + kEndpoint + " 200",
                                                          "10:20:45 HEAD /123.123 200"}));
  std::filesystem::remove(logPath);
}

TEST(Drawd, RefusesMalformedOptions) {
  const std::vector<std::vector<std::string>> cases = {
      {"--port", "x"},
      {"--port", "70000"},
      {"--port"},
      {"--now", "2024-02-30 10:00:00"},
      {"--now", "2024-03-05"},
      {"--delay-ms", "-1"},
      {"--rows", "many"},
      {"--verbose", "1"},
  };
  for (const auto& arguments : cases) {
    EXPECT_EQ(RunDrawdToExit(arguments), 2) << arguments[0];
  }
}

}  // namespace
