// tests/draws/latest_draw_test.cpp -- the rolling tiles, the newest draw and the no-data
// message of the latest-draw display.
#include "app/latest_draw.h"

#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/shared_state.h"
#include "build_config.h"
#include "platform/codepage.h"
#include "platform/event_wait.h"
#include "tests/support/plate.h"
#include "tests/support/recording_view.h"

namespace {

using Digits = std::vector<int>;

// Tile pictures whose byte length tells the numeral: slot d holds 10 + d bytes.
Bytes TileOf(int d) {
  return Bytes(static_cast<std::size_t>(10 + d), static_cast<char>('0' + d));
}

void StoreHistoryWithNewest(const std::string& newest, std::size_t size) {
  DrawHistory history;
  for (std::size_t i = 0; i < size; ++i) {
    history.periodIds.push_back("P" + std::to_string(i));
    history.drawNumbers.push_back(i == 0 ? newest : "55555");
  }
  StoreDrawHistory(history);
}

class LatestDrawTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitSharedState();
    DigitImages images;
    for (int d = 0; d < 10; ++d) images[static_cast<std::size_t>(d)] = TileOf(d);
    StoreDigitImages(images);
    SetMainView(&view);
  }
  void TearDown() override {
    SetEventWaitHooksForTest({});
    SetMainView(nullptr);
    InitSharedState();
  }

  // Every frame placed so far, as the numerals of its five tiles, from the log.
  std::vector<Digits> PlacedFrames() const {
    std::vector<Digits> frames;
    Digits frame;
    for (const std::string& line : view.LogStartingWith("SetTemplatePicture ")) {
      frame.push_back(std::stoi(line.substr(19)) - 10);
      if (frame.size() == 5) {
        frames.push_back(frame);
        frame.clear();
      }
    }
    return frames;
  }

  // The tiles now on the plate, left to right, as numerals; checks their places.
  Digits Plate() const {
    std::map<int, int> byLeft;
    for (const auto& [id, object] : view.BoxObjects()) {
      EXPECT_EQ(object.top, 6);
      EXPECT_TRUE(object.visible);
      EXPECT_EQ(byLeft.count(object.left), 0u) << "two tiles at " << object.left;
      byLeft[object.left] = static_cast<int>(object.picture.size()) - 10;
    }
    return DigitsLeftToRight(byLeft);
  }

  RecordingView view;
};

const std::vector<Digits> kOneRollingCycle = {{1, 9, 3, 2, 2}, {3, 7, 7, 3, 4}, {2, 1, 9, 1, 5},
                                              {7, 5, 6, 0, 8}, {5, 2, 8, 9, 9}, {0, 4, 1, 5, 3}};

TEST_F(LatestDrawTest, ShowsTheNewestDrawAtOnceWhenDataIsReady) {
  struct Case {
    const char* newest;
    Digits shown;
  };
  const Case cases[] = {
      {"40719", {4, 0, 7, 1, 9}},
      {"", {0, 0, 0, 0, 0}},  // a refresh whose ids and numbers did not pair
      {"4a7", {4, 0, 7, 0, 0}},
  };
  int waits = 0;
  SetEventWaitHooksForTest({nullptr, [&](int) { ++waits; }});
  for (const Case& c : cases) {
    view.ClearLog();
    StoreHistoryWithNewest(c.newest, 50);
    dataReady = true;
    ShowLatestDraw();
    EXPECT_EQ(PlacedFrames(), std::vector<Digits>{c.shown}) << c.newest;
    EXPECT_EQ(Plate(), c.shown) << c.newest;
    EXPECT_EQ(view.LogStartingWith("SetLabelText"),
              (std::vector<std::string>{"SetLabelText 透明标签3 请稍后，获取开奖数据中",
                                        "SetLabelText 透明标签3 "}));
  }
  EXPECT_EQ(waits, 0);
  EXPECT_EQ(view.BoxObjects().size(), 5u) << "each place replaces its tile";
}

TEST_F(LatestDrawTest, EachPlaceIsReplacedInTurn) {
  PlaceDigits(1, 2, 3, 4, 5);
  view.ClearLog();
  PlaceDigits(6, 7, 8, 9, 0);
  std::vector<std::string> expected;
  for (int k = 0; k < 5; ++k) {
    const int oldId = k + 1;
    const int newId = k + 6;
    expected.push_back("SetTemplatePicture " + std::to_string(10 + (6 + k) % 10));
    expected.push_back("DestroyBoxObject " + std::to_string(oldId));
    expected.push_back("CreateBoxObject " + std::to_string(2 + 60 * k) + " 6 1 -> " +
                       std::to_string(newId));
    expected.push_back("SetBoxObjectVisible " + std::to_string(newId) + " 1");
  }
  EXPECT_EQ(view.Log(), expected);
}

TEST_F(LatestDrawTest, TooShortAHistoryShowsTheNoDataMessage) {
  const std::string message =
      "开奖数据未成功获取，请确保能联网" + std::string(build_config::kNoDataDomain);
  for (std::size_t size : {0u, 49u}) {
    view.ClearLog();
    StoreHistoryWithNewest("40719", size);
    dataReady = true;
    ShowLatestDraw();
    EXPECT_EQ(view.Log(), (std::vector<std::string>{"SetLabelText 透明标签3 请稍后，获取开奖数据中",
                                                    "SetLabelText 透明标签3 ",
                                                    "ShowMessage 0 信息： " + message}))
        << size;
  }
}

TEST_F(LatestDrawTest, RollsWholeCyclesUntilDataIsReady) {
  // The history arrives during the second frame of the second cycle: that cycle still runs
  // to its end before the newest draw is shown.
  int waits = 0;
  std::vector<int> waitLengths;
  SetEventWaitHooksForTest({nullptr, [&](int ms) {
                              waitLengths.push_back(ms);
                              if (++waits == 8) {
                                StoreHistoryWithNewest("40719", 120);
                                dataReady = true;
                              }
                            }});
  ShowLatestDraw();
  std::vector<Digits> expected = kOneRollingCycle;
  expected.insert(expected.end(), kOneRollingCycle.begin(), kOneRollingCycle.end());
  expected.push_back({4, 0, 7, 1, 9});
  EXPECT_EQ(PlacedFrames(), expected);
  EXPECT_EQ(waitLengths, std::vector<int>(12, 100));
  EXPECT_EQ(view.LabelText(Control::透明标签3), "");
}

TEST_F(LatestDrawTest, AFailedFirstRefreshLeavesTheLastFrameAndTheMessage) {
  SetEventWaitHooksForTest({nullptr, [&](int) {
                              StoreDrawHistory({});
                              dataReady = true;
                            }});
  ShowLatestDraw();
  EXPECT_EQ(PlacedFrames(), kOneRollingCycle);
  EXPECT_EQ(Plate(), (Digits{0, 4, 1, 5, 3}));
  ASSERT_EQ(view.Messages().size(), 1u);
  EXPECT_EQ(view.Messages()[0].style, 0);
}

TEST_F(LatestDrawTest, TwoDisplaysRollTogetherAndSettleOnTheNewestDraw) {
  // Both start while data is awaited; the waits are short but real, so their places
  // interleave unless PlaceDigits keeps them apart.
  std::mutex mutex;
  std::map<std::thread::id, int> waitsByThread;
  std::atomic<int> totalWaits{0};
  SetEventWaitHooksForTest({nullptr, [&](int) {
                              {
                                std::lock_guard<std::mutex> lock(mutex);
                                ++waitsByThread[std::this_thread::get_id()];
                              }
                              if (++totalWaits == 240) {
                                StoreHistoryWithNewest("40719", 60);
                                dataReady = true;
                              }
                              std::this_thread::sleep_for(std::chrono::microseconds(50));
                            }});
  std::thread first(ShowLatestDraw);
  std::thread second(ShowLatestDraw);
  first.join();
  second.join();
  ASSERT_EQ(waitsByThread.size(), 2u);
  for (const auto& [thread, waits] : waitsByThread) {
    EXPECT_GE(waits, 6);
    EXPECT_EQ(waits % 6, 0) << "a cycle once begun shows all six frames";
  }
  EXPECT_EQ(view.BoxObjects().size(), 5u) << "no stray tile stays on the plate";
  EXPECT_EQ(Plate(), (Digits{4, 0, 7, 1, 9}));
}

}  // namespace
