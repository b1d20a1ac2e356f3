// tests/plans/plan_test_support.h -- histories, a settings folder and seams for the plan tests.
#pragma once

#include <gtest/gtest.h>

#include <stdlib.h>

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "app/shared_state.h"
#include "plans/plan_store.h"
#include "platform/clock.h"
#include "platform/codepage.h"
#include "platform/event_wait.h"
#include "platform/profile.h"
#include "tests/support/recording_view.h"

namespace plan_test {

// GBK from a UTF-8 test text.
inline std::string G(const std::string& utf8) {
  return Utf8ToGbkText(utf8);
}

// A history of newest-first draws whose ids end in the given three-digit period numbers.
inline DrawHistory HistoryOf(const std::vector<int>& periodsNewestFirst,
                             const std::vector<std::string>& numbersNewestFirst) {
  DrawHistory history;
  for (int period : periodsNewestFirst) {
    std::string digits = std::to_string(1000 + period).substr(1);
    history.periodIds.push_back("20240101" + digits);
  }
  history.drawNumbers = numbersNewestFirst;
  return history;
}

// Consecutive periods, newest first, ending with newest.
inline std::vector<int> PeriodsEndingAt(int newest, int count = 50) {
  std::vector<int> periods;
  for (int i = 0; i < count; ++i) periods.push_back(newest - i);
  return periods;
}

// Draw numbers from the 个位 digit of each draw, given oldest first (as the walk reads
// them) and returned newest first.
inline std::vector<std::string> NumbersFromOnesDigits(const std::string& oldestFirst) {
  std::vector<std::string> numbers;
  for (auto it = oldestFirst.rbegin(); it != oldestFirst.rend(); ++it) {
    numbers.push_back(std::string("1234") + *it);
  }
  return numbers;
}

// 'H' (个位 9, 大) and 'M' (个位 0, 小), oldest first: with the pattern "大" in a 个位 大小
// plan every H is a hit and every M a miss.
inline std::vector<std::string> NumbersFromHitsAndMisses(const std::string& oldestFirst) {
  std::string digits;
  for (char c : oldestFirst) digits += (c == 'H' ? '9' : '0');
  return NumbersFromOnesDigits(digits);
}

// 50 draws of pseudo-random digits ending at period 120. The plan generator's draws are
// strongly correlated, so how many tries a plan needs depends much on the history: from a
// draw counter of 0 this one accepts 个位大小 after 6 tries, 个位单双 after 7, 十位大小
// after 202 and 万位单双 after 11 (5 when it follows 个位大小).
inline DrawHistory VariedHistory() {
  std::vector<std::string> numbers;
  std::uint32_t state = 18;
  for (int i = 0; i < 50; ++i) {
    std::string number;
    for (int d = 0; d < 5; ++d) {
      state = state * 1103515245u + 12345u;
      number += static_cast<char>('0' + (state >> 16) % 10);
    }
    numbers.push_back(number);
  }
  return HistoryOf(PeriodsEndingAt(120), numbers);
}

inline std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

inline void WriteFile(const std::filesystem::path& path, const std::string& content) {
  std::ofstream(path, std::ios::binary) << content;
}

// A fresh temporary folder, removed at the end of the test.
class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tallyrune-plans-XXXXXX");
    path_ = ::mkdtemp(pattern.data());
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// Installs a recording view, a settings folder of its own, a fixed uptime counter and a
// counter of event runs; restores everything afterwards.
class PlanTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitSharedState();
    SetMainView(&view);
    std::string folder = settings.path().string();
    SetSettingsFolderForTest([folder] { return folder; });
    SetTickCountForTest([] { return 0u; });
    SetDrawCounterForTest(0);
    SetEventWaitHooksForTest({[this] {
                                ++eventRuns;
                                if (onEvents) onEvents();
                              },
                              nullptr});
  }
  void TearDown() override {
    SetEventWaitHooksForTest({});
    SetTickCountForTest(nullptr);
    SetSettingsFolderForTest(nullptr);
    SetMainView(nullptr);
    InitSharedState();
  }

  std::filesystem::path StoreFile() const { return settings.path() / "syst.tb"; }
  std::string Stored(const char* keyUtf8) const {
    return ReadProfileString(StoreFile().string(), G("计划"), G(keyUtf8));
  }

  // Rows of the plan table as UTF-8 "number|text".
  std::vector<std::string> PlanRows() const {
    std::vector<std::string> rows;
    for (const auto& row : view.Rows(Control::超级列表框4)) {
      rows.push_back(GbkToUtf8(row.at(0)) + "|" + (row.size() > 1 ? GbkToUtf8(row[1]) : ""));
    }
    return rows;
  }

  RecordingView view;
  TempFolder settings;
  std::atomic<int> eventRuns{0};
  std::function<void()> onEvents;  // runs inside every LetEventsRun
};

}  // namespace plan_test
