// tests/draws/refresh_drawd_test.cpp -- whole refreshes with the real fetcher against the
// bundled server on loopback, the display included.
#include <gtest/gtest.h>

#include <unistd.h>
#include <atomic>
#include <filesystem>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "app/latest_draw.h"
#include "app/shared_state.h"
#include "build_config.h"
#include "draws/refresh.h"
#include "net/web_fetcher.h"
#include "plans/plan_buttons.h"
#include "platform/codepage.h"
#include "platform/event_wait.h"
#include "tests/support/draws_drawd.h"
#include "tests/support/draws_pages.h"
#include "tests/support/recording_view.h"

namespace {

const std::string kTarget =
    "/ajaxHTTP/gamedraw/GetOpenNumber.aspx?sPass=7D3E0C9A61F2B84E5A0D7C3F916E2B48"
    "&idMode=8&iType=2&iCount=1";

constexpr Control kHistoryLists[] = {Control::超级列表框1, Control::超级列表框2,
                                     Control::超级列表框3};

// The ids and numbers of a drawd page, read with a pattern of its own rather than the
// program's extraction.
DrawHistory ReadPage(const std::string& page) {
  static const std::regex row(
      "<td>(\\d{11})</td><td>\\d\\d:\\d\\d</td><td class='redball first'>(\\d)"
      "</td><td class='redball'>(\\d)</td><td class='redball'>(\\d)"
      "</td><td class='redball'>(\\d)</td><td class='redball'>(\\d)</td>");
  DrawHistory history;
  for (auto it = std::sregex_iterator(page.begin(), page.end(), row); it != std::sregex_iterator();
       ++it) {
    const std::smatch& m = *it;
    history.periodIds.push_back(m[1]);
    history.drawNumbers.push_back(m[2].str() + m[3].str() + m[4].str() + m[5].str() + m[6].str());
  }
  return history;
}

class RefreshDrawdTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitSharedState();
    DigitImages images;
    for (int d = 0; d < 10; ++d) images[static_cast<std::size_t>(d)] = Bytes(10 + d, 'x');
    StoreDigitImages(images);
    SetMainView(&view);
    for (Control button : kPlanButtonLockOrder) view.SetButtonEnabled(button, false);
    // The display runs for real, on threads this test joins before the view goes away.
    SetDisplayStarterForTest([this] { displays.emplace_back(ShowLatestDraw); });
    SetEventWaitHooksForTest({nullptr, [](int) { std::this_thread::yield(); }});
  }
  void TearDown() override {
    dataReady = true;  // lets a display still rolling come to its end
    for (std::thread& t : displays) t.join();
    SetDisplayStarterForTest(nullptr);
    SetPageFetcherForTest(nullptr);
    SetEventWaitHooksForTest({});
    SetMainView(nullptr);
    InitSharedState();
  }

  // Sends the refresh's request to base instead of the build's endpoint host.
  void FetchFrom(const std::string& base) {
    SetPageFetcherForTest([base](const std::string& url) {
      const std::string configured = build_config::kDrawsBaseUrl;
      EXPECT_EQ(url.rfind(configured, 0), 0u) << url;
      return FetchPageText(base + url.substr(configured.size()));
    });
  }

  void JoinDisplays() {
    for (std::thread& t : displays) t.join();
    displays.clear();
  }

  // The numerals on the plate, left to right (tile d has 10 + d bytes).
  std::vector<int> Plate() const {
    std::map<int, int> byLeft;
    for (const auto& [id, object] : view.BoxObjects()) {
      byLeft[object.left] = static_cast<int>(object.picture.size()) - 10;
    }
    std::vector<int> digits;
    for (const auto& [left, digit] : byLeft) digits.push_back(digit);
    return digits;
  }

  RecordingView view;
  std::vector<std::thread> displays;
};

TEST_F(RefreshDrawdTest, OneRefreshFillsEverythingFromTheServer) {
  const std::string log =
      (std::filesystem::temp_directory_path() / ("drawd_refresh_" + std::to_string(getpid())))
          .string();
  std::filesystem::remove(log);
  DrawdProcess server({"--now", "2024-03-05 10:20:45", "--log", log});
  ASSERT_GT(server.Port(), 0) << "drawd did not start: " << DrawdPath();
  const DrawHistory page = ReadPage(RawHttpRequest(server.Port(), "GET", kTarget).body);
  ASSERT_EQ(page.periodIds.size(), 120u);
  FetchFrom(server.BaseUrl());

  RefreshCycle();

  auto history = LoadDrawHistory();
  EXPECT_EQ(history->periodIds, page.periodIds);
  EXPECT_EQ(history->drawNumbers, page.drawNumbers);
  EXPECT_TRUE(dataReady);
  for (Control list : kHistoryLists) {
    auto rows = view.Rows(list);
    ASSERT_EQ(rows.size(), 120u) << ControlName(list);
    for (std::size_t i = 0; i < rows.size(); ++i) EXPECT_EQ(rows[i][0], page.periodIds[i]);
  }
  // The newest draw, 20240305027, is 9 2 5 5 6; the oldest listed, 20240304028, 0 6 6 7 8.
  const std::vector<std::string> newest = {"20240305027", "92556  T  27", "9",  "2", "5", "5",
                                           "6",           "大",           "单", "龙"};
  const auto drawList = view.Rows(Control::超级列表框1);
  std::vector<std::string> firstRow;
  for (const std::string& cell : drawList[0]) firstRow.push_back(GbkToUtf8(cell));
  EXPECT_EQ(firstRow, newest);
  EXPECT_EQ(GbkToUtf8(view.Cell(Control::超级列表框2, 0, 6)), "27  大");
  EXPECT_EQ(GbkToUtf8(view.Cell(Control::超级列表框3, 0, 2)), "2  双");
  for (Control button : kPlanButtonLockOrder)
    EXPECT_TRUE(view.ButtonEnabled(button)) << ControlName(button);

  JoinDisplays();
  EXPECT_EQ(Plate(), (std::vector<int>{9, 2, 5, 5, 6}));
  EXPECT_TRUE(view.Messages().empty());

  RefreshCycle();
  for (Control list : kHistoryLists) EXPECT_EQ(view.Rows(list).size(), 120u) << ControlName(list);
  // The test's own request, then one per refresh, each to the endpoint's path and query.
  EXPECT_EQ(ReadLines(log), std::vector<std::string>(3, "10:20:45 GET " + kTarget + " 200"));
  std::filesystem::remove(log);
}

TEST_F(RefreshDrawdTest, ServerDownLeavesEmptyTablesAndTheDisplayReportsIt) {
  std::string base;
  {
    DrawdProcess server({});
    ASSERT_GT(server.Port(), 0);
    base = server.BaseUrl();
  }  // stopped: nothing listens on its port now
  // The fetch fails at once; it waits until the display has begun to roll, as it would
  // behind a real connection attempt.
  std::atomic<bool> rolling{false};
  SetEventWaitHooksForTest({nullptr, [&](int) {
                              rolling = true;
                              std::this_thread::yield();
                            }});
  SetPageFetcherForTest([&](const std::string& url) {
    while (!rolling) std::this_thread::yield();
    return FetchPageText(base + url.substr(std::string(build_config::kDrawsBaseUrl).size()));
  });
  std::thread::id messageThread;
  view.OnMessage(
      [&](const RecordingView::Message&) { messageThread = std::this_thread::get_id(); });

  RefreshCycle();
  JoinDisplays();

  for (Control list : kHistoryLists) EXPECT_TRUE(view.Rows(list).empty()) << ControlName(list);
  EXPECT_TRUE(LoadDrawHistory()->periodIds.empty());
  EXPECT_TRUE(LoadDrawHistory()->drawNumbers.empty());
  EXPECT_TRUE(dataReady);
  for (Control button : kPlanButtonLockOrder)
    EXPECT_TRUE(view.ButtonEnabled(button)) << ControlName(button);
  ASSERT_EQ(view.Messages().size(), 1u);
  EXPECT_EQ(GbkToUtf8(view.Messages()[0].text),
            "开奖数据未成功获取，请确保能联网" + std::string(build_config::kNoDataDomain));
  EXPECT_NE(messageThread, std::this_thread::get_id()) << "shown from the display's thread";
  EXPECT_EQ(Plate(), (std::vector<int>{0, 4, 1, 5, 3})) << "the last rolling frame stays";
}

TEST_F(RefreshDrawdTest, AnExtraNumberOutsideTheRowsShowsZeroTiles) {
  // Two refreshes: the display of the second reads the unpaired history of the first.
  std::vector<std::pair<std::string, std::string>> rows;
  for (int i = 0; i < 60; ++i) rows.emplace_back("P" + std::to_string(i), "40719");
  SetPageFetcherForTest(
      [&](const std::string&) { return DrawsResultsPage(rows) + "<b>12345</b>"; });
  RefreshCycle();
  JoinDisplays();
  EXPECT_EQ(LoadDrawHistory()->periodIds.size(), 60u);
  EXPECT_EQ(LoadDrawHistory()->drawNumbers, std::vector<std::string>(61, ""));
  for (Control list : kHistoryLists) EXPECT_TRUE(view.Rows(list).empty());
  EXPECT_EQ(Plate(), (std::vector<int>{0, 0, 0, 0, 0}));
}

}  // namespace
