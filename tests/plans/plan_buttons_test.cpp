// tests/plans/plan_buttons_test.cpp -- the plan buttons: locking, busy label, deferred re-runs.
#include <gtest/gtest.h>

#include <thread>

#include "plans/plan_buttons.h"
#include "tests/plans/plan_test_support.h"

namespace {

using plan_test::G;
using plan_test::HistoryOf;
using plan_test::PeriodsEndingAt;

class PlanButtons : public plan_test::PlanTest {
 protected:
  void SetUp() override {
    PlanTest::SetUp();
    StoreDrawHistory(HistoryOf(PeriodsEndingAt(120), std::vector<std::string>(50, "13579")));
  }

  // Stores a one-symbol pattern for every plan, so that runs show tables without generating.
  void StoreAllPlans() {
    std::string content = "[" + G("计划") + "]\n";
    for (const PlanKind& row : kPlanKinds) {
      content += G(row.key) + "=" + G(row.attribute == 1 ? "大" : "单") + "\n";
    }
    plan_test::WriteFile(StoreFile(), content);
  }

  std::vector<std::string> LockLines(const char* state) const {
    std::vector<std::string> lines;
    for (const char* name : {"个位大小", "十位大小", "个位单双", "十位单双", "百位大小", "百位单双",
                             "千位大小", "千位单双", "万位大小", "万位单双"}) {
      lines.push_back(std::string("SetButtonEnabled 按钮_") + name + " " + state);
    }
    return lines;
  }

  // The log without the plan table's rows.
  std::vector<std::string> ButtonAndLabelLog() const {
    std::vector<std::string> lines;
    for (const std::string& line : view.Log()) {
      if (line.rfind("SetButtonEnabled", 0) == 0 || line.rfind("SetLabelVisible", 0) == 0) {
        lines.push_back(line);
      }
    }
    return lines;
  }

  std::vector<std::string> OneRunLog() const {
    std::vector<std::string> expected = LockLines("0");
    expected.push_back("SetLabelVisible 透明标签2 1");
    expected.push_back("SetLabelVisible 透明标签2 0");
    for (const std::string& line : LockLines("1")) expected.push_back(line);
    return expected;
  }
};

TEST_F(PlanButtons, ClickLocksShowsRunsHidesAndUnlocksInOrder) {
  StoreAllPlans();
  OnPlanButtonClick(3);
  EXPECT_EQ(currentPlanKind, 3);
  std::vector<std::string> log = view.Log();
  ASSERT_EQ(log.size(), 10 + 1 + 1 + 2 * 51 + 1 + 10u);
  EXPECT_EQ(std::vector<std::string>(log.begin(), log.begin() + 11), [&] {
    auto lines = LockLines("0");
    lines.push_back("SetLabelVisible 透明标签2 1");
    return lines;
  }());
  EXPECT_EQ(log[11], "ListClear 超级列表框4");
  EXPECT_EQ(std::vector<std::string>(log.end() - 11, log.end()), [&] {
    std::vector<std::string> lines{"SetLabelVisible 透明标签2 0"};
    for (const std::string& line : LockLines("1")) lines.push_back(line);
    return lines;
  }());
  // 十位 is the fourth digit: every draw's 7 is 大, so all 50 periods hit.
  EXPECT_EQ(GbkToUtf8(view.Cell(Control::超级列表框4, 0, 1)),
            "【第071期】 13579  十位【大】 1期中");
  EXPECT_FALSE(view.LabelVisible(Control::透明标签2));
  EXPECT_TRUE(view.ButtonEnabled(Control::按钮3));
}

// Each kind runs its own key, position and attribute. Every draw is 55555 (大 and 单), and
// each key stores its symbol followed by a letter of its own: even periods hit and name the
// position, and the prediction for the odd period 121 shows the key's letter.
TEST_F(PlanButtons, EachKindRunsItsOwnPlan) {
  StoreDrawHistory(HistoryOf(PeriodsEndingAt(120), std::vector<std::string>(50, "55555")));
  std::string content = "[" + G("计划") + "]\n";
  for (const PlanKind& row : kPlanKinds) {
    char letter = static_cast<char>('a' + row.kind);
    content += G(row.key) + "=" + G(row.attribute == 1 ? "大" : "单") + letter + "\n";
  }
  plan_test::WriteFile(StoreFile(), content);

  const std::string positions[] = {"", "万位", "千位", "百位", "十位", "个位"};
  for (const PlanKind& row : kPlanKinds) {
    OnPlanButtonClick(row.kind);
    EXPECT_EQ(currentPlanKind, row.kind);
    const std::string& position = positions[row.position];
    std::string attribute = row.attribute == 1 ? "大小" : "单双";
    EXPECT_EQ(std::string(row.key), position + "正则" + attribute);
    EXPECT_EQ(std::string(row.caption), position + attribute + "正则计划");
    EXPECT_EQ(std::string(ControlName(row.button)), "按钮_" + position + attribute);

    std::vector<std::string> rows = PlanRows();
    ASSERT_EQ(rows.size(), 26u) << row.kind;
    std::string symbol = row.attribute == 1 ? "大" : "单";
    EXPECT_NE(rows.front().find(position + "【" + symbol + "】"), std::string::npos)
        << row.kind << ": " << rows.front();
    EXPECT_NE(rows.back().find(std::string("预测【") + static_cast<char>('a' + row.kind)),
              std::string::npos)
        << row.kind << ": " << rows.back();
  }
}

TEST_F(PlanButtons, RunCurrentPlanRepeatsTheLastChoiceOrDoesNothing) {
  StoreAllPlans();
  RunCurrentPlan();
  EXPECT_TRUE(view.Log().empty());

  OnPlanButtonClick(6);
  view.ClearLog();
  RunCurrentPlan();
  EXPECT_EQ(currentPlanKind, 6);
  EXPECT_EQ(ButtonAndLabelLog(), OneRunLog());
  EXPECT_NE(GbkToUtf8(view.Cell(Control::超级列表框4, 0, 1)).find("百位【单】"), std::string::npos);
}

// Two refreshes end while the plan generates: the plan is not run inside the running one,
// and runs once more after it, reading the pattern the generation stored.
TEST_F(PlanButtons, RunCurrentPlanDuringAGenerationRunsOnceAfterIt) {
  StoreDrawHistory(plan_test::VariedHistory());
  bool inProgressSeen = false;
  int nestedCalls = 0;
  onEvents = [&] {
    inProgressSeen = PlanRunInProgress();
    if (nestedCalls++ < 2) RunCurrentPlan();
  };

  OnPlanButtonClick(1);
  EXPECT_TRUE(inProgressSeen);
  EXPECT_FALSE(PlanRunInProgress());
  std::vector<std::string> twoRuns = OneRunLog();
  for (const std::string& line : OneRunLog()) twoRuns.push_back(line);
  EXPECT_EQ(ButtonAndLabelLog(), twoRuns);
  EXPECT_EQ(Stored("个位正则大小").size(), 100u);
}

TEST_F(PlanButtons, ClickDuringARunRunsTheNewChoiceAfterwards) {
  StoreDrawHistory(plan_test::VariedHistory());
  bool clicked = false;
  onEvents = [&] {
    if (!clicked) {
      clicked = true;
      OnPlanButtonClick(10);
    }
  };
  OnPlanButtonClick(1);
  EXPECT_EQ(currentPlanKind, 10);
  EXPECT_EQ(view.LogStartingWith("SetLabelVisible").size(), 4u);
  EXPECT_EQ(Stored("个位正则大小").size(), 100u);
  EXPECT_EQ(Stored("万位正则单双").size(), 100u);  // the second run generated kind 10
}

TEST_F(PlanButtons, RunFromAnotherThreadWaitsForTheRunningOne) {
  StoreDrawHistory(plan_test::VariedHistory());
  bool started = false;
  onEvents = [&] {
    if (started) return;
    started = true;
    std::thread other([] { RunCurrentPlan(); });  // a refresh thread finishing meanwhile
    other.join();                                 // it only leaves its request behind
  };
  OnPlanButtonClick(2);
  EXPECT_EQ(view.LogStartingWith("SetLabelVisible").size(), 4u);
  EXPECT_FALSE(PlanRunInProgress());
}

}  // namespace
