// tests/draws/refresh_test.cpp -- one refresh from a page to the tables, the history and the
// buttons, and refreshes kept from overlapping. Pages come in through the refresh's seam.
#include "draws/refresh.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/shared_state.h"
#include "build_config.h"
#include "platform/codepage.h"
#include "tests/support/draws_pages.h"
#include "tests/support/recording_view.h"

namespace {

const std::vector<std::string> kDisableFour = {
    "SetButtonEnabled 按钮_个位大小 0", "SetButtonEnabled 按钮_十位大小 0",
    "SetButtonEnabled 按钮_个位单双 0", "SetButtonEnabled 按钮_十位单双 0"};
const std::vector<std::string> kEnableTen = {
    "SetButtonEnabled 按钮_个位大小 1", "SetButtonEnabled 按钮_十位大小 1",
    "SetButtonEnabled 按钮_个位单双 1", "SetButtonEnabled 按钮_十位单双 1",
    "SetButtonEnabled 按钮_百位大小 1", "SetButtonEnabled 按钮_百位单双 1",
    "SetButtonEnabled 按钮_千位大小 1", "SetButtonEnabled 按钮_千位单双 1",
    "SetButtonEnabled 按钮_万位大小 1", "SetButtonEnabled 按钮_万位单双 1"};
const std::vector<std::string> kClearThree = {"ListClear 超级列表框1", "ListClear 超级列表框2",
                                              "ListClear 超级列表框3"};

std::vector<std::string> Join(std::initializer_list<std::vector<std::string>> parts) {
  std::vector<std::string> all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

class RefreshTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitSharedState();
    SetMainView(&view);
    SetPageFetcherForTest([this](const std::string& url) {
      std::string page;
      {
        std::lock_guard<std::mutex> lock(mutex);
        urls.push_back(url);
        page = pages.empty() ? std::string() : pages.front();
        if (pages.size() > 1) pages.erase(pages.begin());
      }
      if (onFetch) onFetch();
      return page;
    });
    // The display runs in tests of its own; here only its start is recorded, as the length
    // of the view's log at that moment.
    SetDisplayStarterForTest([this] {
      std::lock_guard<std::mutex> lock(mutex);
      displayStartedAt.push_back(view.Log().size());
    });
  }
  void TearDown() override {
    SetPageFetcherForTest(nullptr);
    SetDisplayStarterForTest(nullptr);
    SetMainView(nullptr);
    InitSharedState();
  }

  // The log without the cell texts, which the table tests cover.
  std::vector<std::string> LogWithoutCells() const {
    std::vector<std::string> lines = view.Log();
    lines.erase(std::remove_if(lines.begin(), lines.end(),
                               [](const std::string& l) { return l.rfind("ListSetCell", 0) == 0; }),
                lines.end());
    return lines;
  }

  RecordingView view;
  std::mutex mutex;
  std::vector<std::string> pages;  // served in turn; the last one stays
  std::vector<std::string> urls;
  std::vector<std::size_t> displayStartedAt;
  std::function<void()> onFetch;
};

TEST_F(RefreshTest, FillsTablesAndHistoryInResponseOrder) {
  pages = {DrawsResultsPage({{"20240305027", "40719"},
                             {" \xA1\xA1"
                              "20240305026 ",
                              "12345"},
                             {"20240305025", "00000"}})};
  RefreshCycle();

  EXPECT_EQ(urls,
            std::vector<std::string>{std::string(build_config::kDrawsBaseUrl) +
                                     "/ajaxHTTP/gamedraw/GetOpenNumber.aspx?sPass="
                                     "7D3E0C9A61F2B84E5A0D7C3F916E2B48&idMode=8&iType=2&iCount=1"});
  EXPECT_EQ(displayStartedAt, std::vector<std::size_t>{0}) << "the display starts first";
  std::vector<std::string> rows;
  for (const char* id : {"20240305027", "20240305026", "20240305025"}) {
    for (const char* list : {"超级列表框1", "超级列表框2", "超级列表框3"}) {
      rows.push_back(std::string("ListInsertRow ") + list + " " + std::to_string(rows.size() / 3) +
                     " " + id);
    }
  }
  EXPECT_EQ(LogWithoutCells(), Join({kDisableFour, kClearThree, rows, kEnableTen}));
  EXPECT_EQ(GbkToUtf8(view.Cell(Control::超级列表框1, 1, 1)), "12345  T  15");
  EXPECT_EQ(GbkToUtf8(view.Cell(Control::超级列表框3, 2, 6)), "0  双");

  auto history = LoadDrawHistory();
  EXPECT_EQ(history->periodIds,
            (std::vector<std::string>{"20240305027", "20240305026", "20240305025"}));
  EXPECT_EQ(history->drawNumbers, (std::vector<std::string>{"40719", "12345", "00000"}));
  EXPECT_TRUE(dataReady);
}

TEST_F(RefreshTest, FailedFetchStoresAnEmptyHistoryAndStillFinishes) {
  // Rows from an earlier refresh must not survive a failed one.
  pages = {DrawsResultsPage({{"20240305027", "40719"}}), ""};
  RefreshCycle();
  view.ClearLog();
  RefreshCycle();
  EXPECT_EQ(view.Log(), Join({kDisableFour, kClearThree, kEnableTen}));
  EXPECT_TRUE(view.Rows(Control::超级列表框1).empty());
  EXPECT_TRUE(LoadDrawHistory()->periodIds.empty());
  EXPECT_TRUE(LoadDrawHistory()->drawNumbers.empty());
  EXPECT_TRUE(dataReady);
}

TEST_F(RefreshTest, UnpairedIdsAndNumbersLeaveTheTablesEmpty) {
  // One five-digit run outside the rows: one more number match than ids.
  pages = {DrawsResultsPage({{"20240305027", "40719"}, {"20240305026", "12345"}}) +
           "<p>Jackpot <b>12345</b></p>"};
  RefreshCycle();
  EXPECT_EQ(view.Log(), Join({kDisableFour, kClearThree, kEnableTen}));
  auto history = LoadDrawHistory();
  EXPECT_EQ(history->periodIds, (std::vector<std::string>{"20240305027", "20240305026"}));
  EXPECT_EQ(history->drawNumbers, (std::vector<std::string>{"", "", ""}));
  EXPECT_TRUE(dataReady);
}

TEST_F(RefreshTest, ASecondRefreshReplacesEverything) {
  pages = {DrawsResultsPage({{"A1", "11111"}, {"A2", "22222"}, {"A3", "33333"}}),
           DrawsResultsPage({{"B1", "44444"}, {"A1", "11111"}})};
  RefreshCycle();
  RefreshCycle();
  for (Control list : {Control::超级列表框1, Control::超级列表框2, Control::超级列表框3}) {
    ASSERT_EQ(view.Rows(list).size(), 2u) << ControlName(list);
    EXPECT_EQ(view.Cell(list, 0, 0), "B1");
    EXPECT_EQ(view.Cell(list, 1, 0), "A1");
  }
  EXPECT_EQ(LoadDrawHistory()->periodIds, (std::vector<std::string>{"B1", "A1"}));
  EXPECT_EQ(LoadDrawHistory()->drawNumbers, (std::vector<std::string>{"44444", "11111"}));
}

TEST_F(RefreshTest, RequestsDuringARefreshOnItsOwnThreadRunItOnceMore) {
  // A timer tick handled inside a running refresh (while a plan run lets events run) asks
  // for two more; neither nests, and the running refresh runs exactly once more.
  pages = {DrawsResultsPage({{"A1", "11111"}}), DrawsResultsPage({{"B1", "22222"}})};
  int fetches = 0;
  int depth = 0;
  int deepest = 0;
  onFetch = [&] {
    ++fetches;
    deepest = std::max(deepest, ++depth);
    if (fetches == 1) {
      RefreshCycle();
      RefreshCycle();
    }
    --depth;
  };
  RefreshCycle();
  EXPECT_EQ(fetches, 2);
  EXPECT_EQ(deepest, 1);
  EXPECT_EQ(displayStartedAt.size(), 2u);
  EXPECT_EQ(LoadDrawHistory()->periodIds, std::vector<std::string>{"B1"});
  RefreshCycle();
  EXPECT_EQ(fetches, 3) << "a later request runs normally";
}

TEST_F(RefreshTest, RequestsFromAnotherThreadNeitherWaitNorRunBeside) {
  pages = {DrawsResultsPage({{"A1", "11111"}})};
  std::mutex gateMutex;
  std::condition_variable gate;
  bool open = false;
  bool firstFetchStarted = false;
  std::atomic<int> fetches{0};
  std::atomic<int> running{0};
  std::atomic<int> mostAtOnce{0};
  onFetch = [&] {
    int now = ++running;
    int seen = mostAtOnce.load();
    while (now > seen && !mostAtOnce.compare_exchange_weak(seen, now)) {
    }
    ++fetches;
    std::unique_lock<std::mutex> lock(gateMutex);
    firstFetchStarted = true;
    gate.notify_all();
    gate.wait(lock, [&] { return open; });
    --running;
  };
  // The start-up refresh on a worker, held inside its fetch.
  std::thread worker([] { RefreshCycle(); });
  {
    std::unique_lock<std::mutex> lock(gateMutex);
    gate.wait(lock, [&] { return firstFetchStarted; });
  }
  // Two timer refreshes on this thread return at once: the gate is still shut.
  RefreshCycle();
  RefreshCycle();
  EXPECT_EQ(fetches.load(), 1);
  {
    std::lock_guard<std::mutex> lock(gateMutex);
    open = true;
  }
  gate.notify_all();
  worker.join();
  EXPECT_EQ(fetches.load(), 2);
  EXPECT_EQ(mostAtOnce.load(), 1);
}

}  // namespace
