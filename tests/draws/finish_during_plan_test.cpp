// tests/draws/finish_during_plan_test.cpp -- a refresh that ends inside a plan run leaves
// the plan buttons to that run.
#include <gtest/gtest.h>

#include <unistd.h>
#include <filesystem>
#include <string>
#include <vector>

#include "app/shared_state.h"
#include "draws/refresh.h"
#include "plans/plan_buttons.h"
#include "platform/profile.h"
#include "tests/support/recording_view.h"

namespace {

TEST(FinishRefreshDuringAPlanRun, LeavesTheButtonsToTheRunningPlan) {
  InitSharedState();
  RecordingView view;
  SetMainView(&view);
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("draws_plan_" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  SetSettingsFolderForTest([folder] { return folder.string(); });
  SetDisplayStarterForTest([] {});
  SetPageFetcherForTest([](const std::string&) { return std::string(); });

  // With no history the plan run reports the missing data; a timer refresh handled at that
  // moment runs and ends inside the run.
  std::size_t refreshStart = 0;
  std::size_t refreshEnd = 0;
  view.OnMessage([&](const RecordingView::Message&) {
    if (refreshStart != 0) return;
    refreshStart = view.Log().size();
    RefreshCycle();
    refreshEnd = view.Log().size();
  });
  OnPlanButtonClick(3);

  ASSERT_GT(refreshStart, 0u) << "the plan run showed no message";
  const std::vector<std::string> log = view.Log();
  std::vector<std::string> enabledInside;
  for (std::size_t i = refreshStart; i < refreshEnd; ++i) {
    if (log[i].rfind("SetButtonEnabled", 0) == 0 && log[i].back() == '1') {
      enabledInside.push_back(log[i]);
    }
  }
  EXPECT_EQ(enabledInside, std::vector<std::string>{});
  // The refresh's RunCurrentPlan waited for the running plan and then ran it once more,
  // and the run enabled all ten buttons when it ended.
  EXPECT_EQ(view.LogStartingWith("SetLabelVisible 透明标签2 1").size(), 2u);
  for (Control button : kPlanButtonLockOrder) EXPECT_TRUE(view.ButtonEnabled(button));
  EXPECT_FALSE(PlanRunInProgress());

  SetPageFetcherForTest(nullptr);
  SetDisplayStarterForTest(nullptr);
  SetSettingsFolderForTest(nullptr);
  SetMainView(nullptr);
  InitSharedState();
  std::filesystem::remove_all(folder);
}

}  // namespace
