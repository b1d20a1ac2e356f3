// tests/draws/refresh_window_test.cpp -- refreshes from the bundled server into the real
// window offscreen, from the window's thread and from a worker, the display included.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCoreApplication>
#include <QMessageBox>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/animation_box.h"
#include "app/latest_draw.h"
#include "app/main_window.h"
#include "app/qt_text.h"
#include "app/report_list.h"
#include "app/shared_state.h"
#include "assets/assets.h"
#include "build_config.h"
#include "draws/refresh.h"
#include "net/web_fetcher.h"
#include "plans/plan_buttons.h"
#include "platform/codepage.h"
#include "platform/event_wait.h"
#include "tests/support/draws_drawd.h"
#include "tests/support/plate.h"

namespace {

using namespace std::chrono_literals;

constexpr Control kHistoryLists[] = {Control::超级列表框1, Control::超级列表框2,
                                     Control::超级列表框3};

// Runs the window's events until done() holds, for at most ten seconds.
bool PumpUntil(const std::function<bool()>& done) {
  const auto deadline = std::chrono::steady_clock::now() + 10s;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    std::this_thread::sleep_for(1ms);
  }
  return true;
}

class RefreshWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitSharedState();
    DigitImages images;
    for (int d = 0; d < 10; ++d) {
      const std::string name = "digit" + std::to_string(d) + ".png";
      images[static_cast<std::size_t>(d)] = LoadAsset(name.c_str());
    }
    StoreDigitImages(images);
    window = std::make_unique<MainWindow>(WindowHandlers{});
    window->Create();
    window->show();
    for (Control button : kPlanButtonLockOrder)
      window->WindowView().SetButtonEnabled(button, false);
    // Each display runs on a thread of its own, which the test joins before the window goes.
    SetDisplayStarterForTest([this] {
      ++displaysStarted;
      displays.emplace_back([this] {
        ShowLatestDraw();
        ++displaysEnded;
      });
    });
  }
  void TearDown() override {
    dataReady = true;
    for (QMessageBox* box : window->OpenMessages()) box->close();
    EXPECT_TRUE(PumpUntil([this] { return displaysEnded == displaysStarted; }));
    for (std::thread& t : displays) t.join();
    SetDisplayStarterForTest(nullptr);
    SetPageFetcherForTest(nullptr);
    SetEventWaitHooksForTest({});
    window->close();
    window.reset();
    InitSharedState();
  }

  void FetchFrom(const std::string& base) {
    SetPageFetcherForTest([base](const std::string& url) {
      return FetchPageText(base + url.substr(std::string(build_config::kDrawsBaseUrl).size()));
    });
  }

  // Runs one refresh on the window's thread or on a worker, until the window has applied
  // all of it.
  void Refresh(bool onWorker) {
    if (!onWorker) {
      RefreshCycle();
      return;
    }
    std::atomic<bool> done{false};
    std::thread worker([&] {
      RefreshCycle();
      done = true;
    });
    EXPECT_TRUE(PumpUntil([&] { return done && window->WindowView().QueuedCount() == 0; }));
    worker.join();
  }

  QString Cell(Control list, int row, int column) const {
    return window->List(list)->Rows().Text(row, column);
  }

  // The tiles on the plate, left to right, as numerals found by comparing pictures.
  std::vector<int> Plate() const {
    std::vector<QImage> tiles;
    for (int d = 0; d < 10; ++d) {
      const std::string name = "digit" + std::to_string(d) + ".png";
      tiles.push_back(QImageFromPng(LoadAsset(name.c_str())));
    }
    std::map<int, int> byLeft;
    for (const auto& [id, object] : window->Box()->Objects()) {
      int numeral = -1;
      for (int d = 0; d < 10; ++d) {
        if (object.picture == tiles[static_cast<std::size_t>(d)]) numeral = d;
      }
      EXPECT_EQ(object.top, 6);
      EXPECT_TRUE(object.visible);
      byLeft[object.left] = numeral;
    }
    return DigitsLeftToRight(byLeft);
  }

  std::unique_ptr<MainWindow> window;
  std::vector<std::thread> displays;
  std::atomic<int> displaysStarted{0};
  std::atomic<int> displaysEnded{0};
};

TEST_F(RefreshWindowTest, OneRefreshFillsTheWindowFromEitherThread) {
  DrawdProcess server({"--now", "2024-03-05 10:20:45"});
  ASSERT_GT(server.Port(), 0) << "drawd did not start: " << DrawdPath();
  FetchFrom(server.BaseUrl());
  for (bool onWorker : {false, true}) {
    SCOPED_TRACE(onWorker ? "on a worker" : "on the window's thread");
    Refresh(onWorker);
    Refresh(onWorker);  // a second refresh replaces the rows, it does not add to them
    for (Control list : kHistoryLists) {
      EXPECT_EQ(window->List(list)->Rows().rowCount(), 120) << ControlName(list);
    }
    const auto history = LoadDrawHistory();
    ASSERT_EQ(history->periodIds.size(), 120u);
    EXPECT_EQ(history->periodIds.front(), "20240305027");
    EXPECT_EQ(history->drawNumbers.front(), "92556");
    EXPECT_EQ(history->periodIds.back(), "20240304028");
    EXPECT_EQ(Cell(Control::超级列表框1, 0, 0), "20240305027");
    EXPECT_EQ(Cell(Control::超级列表框1, 0, 1), "92556  T  27");
    EXPECT_EQ(Cell(Control::超级列表框1, 0, 9), QString::fromUtf8("龙"));
    EXPECT_EQ(Cell(Control::超级列表框2, 0, 6), QString::fromUtf8("27  大"));
    EXPECT_EQ(Cell(Control::超级列表框3, 119, 0), "20240304028");
    EXPECT_TRUE(dataReady);
    for (Control button : kPlanButtonLockOrder) {
      EXPECT_TRUE(window->ControlWidget(button)->isEnabled()) << ControlName(button);
    }
    ASSERT_TRUE(PumpUntil([this] { return displaysEnded == displaysStarted; }));
    EXPECT_EQ(Plate(), (std::vector<int>{9, 2, 5, 5, 6}));
  }
}

TEST_F(RefreshWindowTest, ServerDownShowsTheMessageWhileTheWindowResponds) {
  std::string base;
  {
    DrawdProcess server({});
    ASSERT_GT(server.Port(), 0);
    base = server.BaseUrl();
  }
  // As at start-up: the refresh runs on a worker, and its fetch fails only once the
  // display has begun to roll.
  std::atomic<bool> rolling{false};
  SetEventWaitHooksForTest({nullptr, [&](int) {
                              rolling = true;
                              std::this_thread::sleep_for(1ms);
                            }});
  SetPageFetcherForTest([&](const std::string& url) {
    while (!rolling) std::this_thread::sleep_for(1ms);
    return FetchPageText(base + url.substr(std::string(build_config::kDrawsBaseUrl).size()));
  });
  Refresh(true);

  for (Control list : kHistoryLists) EXPECT_EQ(window->List(list)->Rows().rowCount(), 0);
  EXPECT_TRUE(LoadDrawHistory()->drawNumbers.empty());
  EXPECT_TRUE(dataReady);
  for (Control button : kPlanButtonLockOrder)
    EXPECT_TRUE(window->ControlWidget(button)->isEnabled());

  ASSERT_TRUE(PumpUntil([this] { return !window->OpenMessages().empty(); }));
  QMessageBox* box = window->OpenMessages().front();
  EXPECT_EQ(box->text(), QString::fromUtf8("开奖数据未成功获取，请确保能联网") +
                             QString::fromUtf8(build_config::kNoDataDomain));
  // The display's thread waits for the box; the window's thread goes on handling events.
  bool responded = false;
  QTimer::singleShot(0, [&] { responded = true; });
  EXPECT_TRUE(PumpUntil([&] { return responded; }));
  EXPECT_EQ(displaysEnded.load(), 0);
  box->close();
  EXPECT_TRUE(PumpUntil([this] { return displaysEnded == displaysStarted; }));
  EXPECT_EQ(Plate(), (std::vector<int>{0, 4, 1, 5, 3}));
}

}  // namespace
