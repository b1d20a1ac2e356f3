// app/latest_draw.cpp -- the rolling tiles, the newest draw and the no-data message.
#include "app/latest_draw.h"

#include <array>
#include <mutex>
#include <string>

#include "app/main_view.h"
#include "app/shared_state.h"
#include "platform/codepage.h"
#include "platform/event_wait.h"

namespace {

// The patterns the tiles roll through while the first results are awaited.
constexpr int kRollingFrames[6][5] = {
    {1, 9, 3, 2, 2}, {3, 7, 7, 3, 4}, {2, 1, 9, 1, 5},
    {7, 5, 6, 0, 8}, {5, 2, 8, 9, 9}, {0, 4, 1, 5, 3},
};
constexpr int kFrameMilliseconds = 100;
constexpr std::size_t kMinimumHistory = 50;

// One PlaceDigits at a time: two displays may run at once, and interleaved places would
// create a tile whose identifier is overwritten before it is destroyed, leaving it on the
// plate for good. Only display threads take this lock, never the window's thread, so the
// view calls made under it (which may hand off to the window's thread) cannot deadlock.
std::mutex placeMutex;

// The value of the k-th character (0-based) of a draw number: 0 when missing or no digit.
int DigitAt(const std::string& number, std::size_t k) {
  if (k >= number.size()) return 0;
  char c = number[k];
  return (c >= '0' && c <= '9') ? c - '0' : 0;
}

}  // namespace

void ShowLatestDraw() {
  MainView& view = View();
  view.SetLabelText(Control::透明标签3, Gbk("请稍后，获取开奖数据中"));
  // dataReady is tested only before the first frame: a cycle once begun shows all six.
  while (!dataReady) {
    for (const auto& frame : kRollingFrames) {
      PlaceDigits(frame[0], frame[1], frame[2], frame[3], frame[4]);
      WaitLettingEventsRun(kFrameMilliseconds);
    }
  }
  view.SetLabelText(Control::透明标签3, std::string());

  std::shared_ptr<const DrawHistory> history = LoadDrawHistory();
  if (history->drawNumbers.size() < kMinimumHistory) {
    view.ShowMessage(NoDataMessage(), kMessageStylePlain);
    return;
  }
  const std::string& newest = history->drawNumbers.front();
  PlaceDigits(DigitAt(newest, 0), DigitAt(newest, 1), DigitAt(newest, 2), DigitAt(newest, 3),
              DigitAt(newest, 4));
}

void PlaceDigits(int d1, int d2, int d3, int d4, int d5) {
  const std::array<int, 5> digits = {d1, d2, d3, d4, d5};
  std::shared_ptr<const DigitImages> images = LoadDigitImages();
  MainView& view = View();
  std::lock_guard<std::mutex> lock(placeMutex);
  for (std::size_t k = 0; k < digits.size(); ++k) {
    view.SetTemplatePicture((*images)[static_cast<std::size_t>(digits[k])]);
    view.DestroyBoxObject(digitObjectIds[k]);
    digitObjectIds[k] = view.CreateBoxObject(2 + 60 * static_cast<int>(k), 6, true);
    view.SetBoxObjectVisible(digitObjectIds[k], true);
  }
}
