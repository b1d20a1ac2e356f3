// tests/plans/plan_store_test.cpp -- the random draw, generation, the settings file and clearing.
#include <gtest/gtest.h>

#include "plans/plan_eval.h"
#include "plans/plan_store.h"
#include "tests/plans/plan_test_support.h"

namespace {

using plan_test::G;
using plan_test::HistoryOf;
using plan_test::PeriodsEndingAt;
using plan_test::ReadFile;
using plan_test::WriteFile;

class PlanStore : public plan_test::PlanTest {
 protected:
  // Every symbol of value is one of the two.
  static bool OnlySymbols(const std::string& value, const char* a, const char* b) {
    for (const std::string& symbol : SplitSymbols(value)) {
      if (symbol != G(a) && symbol != G(b)) return false;
    }
    return true;
  }
};

TEST_F(PlanStore, RandomDrawReseedsFromUptimePlusCounter) {
  const struct {
    std::uint32_t ticks;
    std::uint32_t counter;
    int draw;
    std::uint32_t counterAfter;  // counter + 100 + (seed mod 256), wrapping
  } cases[] = {
      {1, 0, 2, 101},             // seed 1: generator output 41
      {0, 1, 2, 102},             // the same seed from the counter
      {0xFFFFFFFFu, 2, 2, 103},   // the seed wraps to 1
      {0, 0, 19, 100},            // seed 0: output 38
      {0x12345678u, 0, 10, 220},  // output 13289
      {5, 0xFFFFFFF0u, 3, 329},   // the counter wraps
  };
  for (const auto& c : cases) {
    SetTickCountForTest([ticks = c.ticks] { return ticks; });
    SetDrawCounterForTest(c.counter);
    EXPECT_EQ(RandomDraw(), c.draw) << c.ticks << " + " << c.counter;
    EXPECT_EQ(DrawCounterForTest(), c.counterAfter) << c.ticks << " + " << c.counter;
  }
}

TEST_F(PlanStore, StorePathIsTheSettingsFolderPlusTheFileName) {
  EXPECT_EQ(PlanStorePath(), StoreFile().string());
  SetSettingsFolderForTest([] { return std::string("/somewhere/"); });
  EXPECT_EQ(PlanStorePath(), "/somewhere/syst.tb");
  SetSettingsFolderForTest([] { return std::string(); });
  EXPECT_EQ(PlanStorePath(), "syst.tb");
}

TEST_F(PlanStore, FirstRunGeneratesStoresAndShowsSecondRunReadsItBack) {
  StoreDrawHistory(plan_test::VariedHistory());
  RunPlan(G("十位正则大小"), 4, 1);

  std::string stored = Stored("十位正则大小");
  ASSERT_EQ(stored.size(), 100u);
  EXPECT_TRUE(OnlySymbols(stored, "大", "小"));
  EXPECT_LE(EvaluatePlan(stored, false, 4, 1), 3);
  int tries = eventRuns;
  EXPECT_GT(tries, 0);

  // The table shows the stored pattern: the same rows a display of it gives.
  RunPlan(G("十位正则大小"), 4, 1);
  std::vector<std::string> shown = PlanRows();
  EXPECT_GE(shown.size(), 32u);  // at least 31 hits, and the prediction
  EvaluatePlan(stored, true, 4, 1);
  EXPECT_EQ(PlanRows(), shown);

  // The second run drew nothing and let no events run: it did not generate.
  std::uint32_t counter = DrawCounterForTest();
  std::string file = ReadFile(StoreFile());
  RunPlan(G("十位正则大小"), 4, 1);
  EXPECT_EQ(DrawCounterForTest(), counter);
  EXPECT_EQ(eventRuns, tries);
  EXPECT_EQ(ReadFile(StoreFile()), file);
}

TEST_F(PlanStore, OddEvenPlanStoresOnlyOddAndEven) {
  StoreDrawHistory(plan_test::VariedHistory());
  RunPlan(G("万位正则单双"), 1, 0);
  std::string stored = Stored("万位正则单双");
  ASSERT_EQ(stored.size(), 100u);
  EXPECT_TRUE(OnlySymbols(stored, "单", "双"));
  EXPECT_LE(EvaluatePlan(stored, false, 1, 0), 3);
}

TEST_F(PlanStore, StoredPatternOfAnyLengthIsShownAsItIs) {
  StoreDrawHistory(plan_test::VariedHistory());
  std::string thirty;
  for (int i = 0; i < 30; ++i) thirty += G(i % 3 ? "小" : "大");
  std::string content =
      "; hand-edited\r\n[" + G("计划") + "]\r\n" + G("个位正则大小") + "=" + thirty + "\r\n";
  WriteFile(StoreFile(), content);

  RunPlan(G("个位正则大小"), 5, 1);
  EXPECT_EQ(ReadFile(StoreFile()), content);
  EXPECT_EQ(DrawCounterForTest(), 0u);
  std::vector<std::string> shown = PlanRows();
  EvaluatePlan(thirty, true, 5, 1);
  EXPECT_EQ(PlanRows(), shown);
}

TEST_F(PlanStore, ClearWritesTheTenKeysEmptyInItsOrder) {
  RunPlan(G("个位正则大小"), 5, 1);  // no history: nothing stored, no file
  ASSERT_FALSE(std::filesystem::exists(StoreFile()));
  OnClearPlansClick();
  EXPECT_EQ(GbkToUtf8(ReadFile(StoreFile())),
            "[计划]\n万位正则单双=\n千位正则单双=\n百位正则单双=\n十位正则单双=\n个位正则单双=\n"
            "万位正则大小=\n千位正则大小=\n百位正则大小=\n十位正则大小=\n个位正则大小=\n");
}

TEST_F(PlanStore, ClearKeepsEverythingElseAndTheTable) {
  std::string pattern(100, 'x');
  std::string content = "# settings\r\n[" + G("其他") + "]\r\n" + G("个位正则大小") +
                        "=keep\r\n\r\n[" + G("计划") + "]\r\n" + G("个位正则大小") + "=" + pattern +
                        "\r\nnote=also kept\r\n" + G("万位正则单双") + "=" + pattern + "\r\n";
  WriteFile(StoreFile(), content);
  view.ListInsertRow(Control::超级列表框4, -1, "last plan");
  currentPlanKind = 3;
  view.ClearLog();

  OnClearPlansClick();
  std::string expected = "# settings\r\n[" + G("其他") + "]\r\n" + G("个位正则大小") +
                         "=keep\r\n\r\n[" + G("计划") + "]\r\n" + G("个位正则大小") +
                         "=\r\nnote=also kept\r\n" + G("万位正则单双") + "=\r\n";
  for (const char* key : {"千位正则单双", "百位正则单双", "十位正则单双", "个位正则单双",
                          "万位正则大小", "千位正则大小", "百位正则大小", "十位正则大小"}) {
    expected += G(key) + "=\r\n";
  }
  EXPECT_EQ(ReadFile(StoreFile()), expected);
  EXPECT_TRUE(view.Log().empty());
  EXPECT_EQ(currentPlanKind, 3);
  EXPECT_EQ(view.Rows(Control::超级列表框4).size(), 1u);
}

TEST_F(PlanStore, ClearedPlanIsGeneratedAgain) {
  StoreDrawHistory(plan_test::VariedHistory());
  WriteFile(StoreFile(), "[" + G("计划") + "]\n" + G("个位正则大小") + "=" + G("大") + "\n");
  OnClearPlansClick();
  RunPlan(G("个位正则大小"), 5, 1);
  EXPECT_EQ(Stored("个位正则大小").size(), 100u);
}

TEST_F(PlanStore, GenerationWithoutDataStopsAfterOneEvaluation) {
  DrawHistory history;
  history.periodIds.assign(49, "20240101001");
  history.drawNumbers.assign(49, "12345");
  StoreDrawHistory(history);
  view.ListInsertRow(Control::超级列表框4, -1, "kept");

  for (int i = 0; i < 50; ++i) RandomDraw();
  const std::uint32_t afterOnePattern = DrawCounterForTest();
  SetDrawCounterForTest(0);

  RunPlan(G("个位正则大小"), 5, 1);
  EXPECT_EQ(view.Messages().size(), 1u);
  EXPECT_EQ(DrawCounterForTest(), afterOnePattern);
  EXPECT_EQ(eventRuns, 0);
  EXPECT_FALSE(std::filesystem::exists(StoreFile()));
  EXPECT_EQ(view.Rows(Control::超级列表框4).size(), 1u);
  EXPECT_EQ(view.Cell(Control::超级列表框4, 0, 0), "kept");
}

// 50 ids with one period number: every draw gets the same symbol, and with 25 大 and 25 小
// no pattern reaches 31 hits.
TEST_F(PlanStore, GenerationGivesUpOnAHistoryNoPatternCanFit) {
  std::vector<std::string> numbers;
  for (int i = 0; i < 50; ++i) numbers.push_back(i % 2 ? "00009" : "00000");
  StoreDrawHistory(HistoryOf(std::vector<int>(50, 7), numbers));
  SetMainView(nullptr);  // thousands of evaluations: keep the recording view's log out of it
  SetGenerationTryLimitForTest(5000);

  RunPlan(G("个位正则大小"), 5, 1);
  SetGenerationTryLimitForTest(0);
  EXPECT_EQ(eventRuns, 5000);
  EXPECT_FALSE(std::filesystem::exists(StoreFile()));
}

}  // namespace
