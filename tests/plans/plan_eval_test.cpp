// tests/plans/plan_eval_test.cpp -- scoring patterns against the 50 newest draws, plan table rows.
#include <gtest/gtest.h>

#include "build_config.h"
#include "plans/plan_eval.h"
#include "tests/plans/plan_test_support.h"

namespace {

using plan_test::G;
using plan_test::HistoryOf;
using plan_test::NumbersFromHitsAndMisses;
using plan_test::NumbersFromOnesDigits;
using plan_test::PeriodsEndingAt;

class PlanEval : public plan_test::PlanTest {};

constexpr int kOnes = 5;
constexpr int kBigSmall = 1;
constexpr int kOddEven = 0;

TEST(PlanSymbols, SplitsHalfWidthCharacters) {
  struct Case {
    std::string text;
    std::vector<std::string> symbols;
  } cases[] = {
      {G("大小单双"), {G("大"), G("小"), G("单"), G("双")}},
      {"a" + G("大Ｂ　"), {"a", G("大"), "B", " "}},  // full-width forms become one byte
      {G("大") + "\xB4", {G("大"), "\xB4"}},          // a lone lead byte at the end
      {"", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(SplitSymbols(c.text), c.symbols) << GbkToUtf8(c.text);
}

TEST(PlanSymbols, PeriodNumberReadsDigitsOfTheLastThreeCharacters) {
  const std::pair<std::string, int> cases[] = {
      {"20240101023", 23}, {"20240101120", 120}, {"999", 999},        {"7", 7}, {"", 0},
      {"2024-ab", 0},      {"12-5", 2},          {"2024-01", 0},  // no sign
      {"x+12", 0},         {"1 12", 12},         {G("期０２３"), 23},
  };
  for (const auto& [id, number] : cases) EXPECT_EQ(PeriodNumber(id), number) << GbkToUtf8(id);
}

// Oldest first: a hit on the first draw, two misses, a hit, then misses only.
TEST_F(PlanEval, DisplayListsHitsOldestFirstThenThePrediction) {
  std::string digits = "5129" + std::string(46, '0');
  StoreDrawHistory(HistoryOf(PeriodsEndingAt(120), NumbersFromOnesDigits(digits)));
  view.ListInsertRow(Control::超级列表框4, -1, "old");

  EXPECT_EQ(EvaluatePlan(G("大"), true, kOnes, kBigSmall), 5);
  EXPECT_EQ(PlanRows(), (std::vector<std::string>{
                            "1|【第071期】 12345  个位【大】 1期中",
                            "2|【第074期】 12349  个位【大】 3期中",
                            "3|【第121期】 预测【大】  ",
                        }));
}

TEST_F(PlanEval, ScoreOnlyEvaluationLeavesTheNumberedPredictionRowAlone) {
  std::string digits = "5129" + std::string(46, '0');
  StoreDrawHistory(HistoryOf(PeriodsEndingAt(120), NumbersFromOnesDigits(digits)));
  view.ListInsertRow(Control::超级列表框4, -1, "old");

  EXPECT_EQ(EvaluatePlan(G("大"), false, kOnes, kBigSmall), 5);
  EXPECT_EQ(PlanRows(), (std::vector<std::string>{"3|【第121期】 预测【大】  "}));
}

TEST_F(PlanEval, ScoreIsTheLongestStretchOnlyFromThirtyOneHits) {
  auto repeat = [](const std::string& piece, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += piece;
    return out;
  };
  const struct {
    const char* what;
    std::string oldestFirst;
    int score;
  } cases[] = {
      {"30 hits, never two misses in a row", repeat("HM", 20) + repeat("H", 10), 5},
      {"31 hits, longest stretch 3", "HMMH" + repeat("MH", 17) + repeat("H", 12), 3},
      {"31 hits, trailing misses do not count", repeat("H", 31) + repeat("M", 19), 1},
      {"32 hits, longest stretch 4", "MMMH" + repeat("H", 31) + repeat("M", 15), 4},
      {"50 hits", repeat("H", 50), 1},
      {"no hit", repeat("M", 50), 5},
  };
  for (const auto& c : cases) {
    ASSERT_EQ(c.oldestFirst.size(), 50u) << c.what;
    StoreDrawHistory(HistoryOf(PeriodsEndingAt(120), NumbersFromHitsAndMisses(c.oldestFirst)));
    EXPECT_EQ(EvaluatePlan(G("大"), false, kOnes, kBigSmall), c.score) << c.what;
  }
}

// Each position's digit cycles 0-9 while the other positions hold its complement, so a
// plan reading the wrong place hits the wrong draws.
TEST_F(PlanEval, OneSymbolPatternHitsExactlyTheDrawsOfThatSymbol) {
  const struct {
    const char* symbol;
    int attribute;
    std::string hitDigits;
  } cases[] = {{"大", kBigSmall, "56789"},
               {"小", kBigSmall, "01234"},
               {"单", kOddEven, "13579"},
               {"双", kOddEven, "02468"}};
  for (int position = 1; position <= 5; ++position) {
    std::vector<std::string> numbers;
    for (int i = 0; i < 50; ++i) {
      int digit = i % 10;
      std::string number(5, static_cast<char>('0' + 9 - digit));
      number[static_cast<std::size_t>(position) - 1] = static_cast<char>('0' + digit);
      numbers.push_back(number);
    }
    StoreDrawHistory(HistoryOf(PeriodsEndingAt(120), numbers));
    for (const auto& c : cases) {
      EvaluatePlan(G(c.symbol), true, position, c.attribute);
      auto rows = view.Rows(Control::超级列表框4);
      ASSERT_EQ(rows.size(), 26u) << c.symbol << " at " << position;  // 25 hits, 1 prediction
      for (std::size_t r = 0; r + 1 < rows.size(); ++r) {
        // The number stands after "【第nnn期】 ".
        std::string cell = rows[r].at(1);
        char digit = cell[G("【第071期】 ").size() + static_cast<std::size_t>(position) - 1];
        EXPECT_NE(c.hitDigits.find(digit), std::string::npos) << c.symbol << " at " << position;
      }
    }
  }
}

// A pattern of 50 distinct symbols shows which symbol the prediction takes.
TEST_F(PlanEval, PredictionLabelAndSymbolComeFromTheNextPeriodNumber) {
  const std::string pattern = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMN";
  const struct {
    int newest;
    const char* label;
    char symbol;  // S[(next mod 50) + 1]
  } cases[] = {
      {8, "009", '9'},   {98, "099", 'N'}, {99, "100", '0'},
      {119, "001", 'k'},  // the symbol of 120, not of 001
      {120, "121", 'l'}, {0, "001", '1'},  {999, "1000", '0'},
  };
  for (const auto& c : cases) {
    std::vector<int> periods(50, 0);
    periods[0] = c.newest;
    StoreDrawHistory(HistoryOf(periods, std::vector<std::string>(50, "00000")));
    EvaluatePlan(pattern, false, kOnes, kBigSmall);
    EXPECT_EQ(PlanRows(), (std::vector<std::string>{"1|【第" + std::string(c.label) +
                                                    "期】 预测【" + c.symbol + "】  "}))
        << c.newest;
  }
}

TEST_F(PlanEval, HitRowShowsTheIdsLastThreeCharactersAndTheNumberAsGiven) {
  DrawHistory history = HistoryOf(PeriodsEndingAt(120), std::vector<std::string>(50, "00000"));
  history.periodIds[49] = G("期号Ａ05");  // the oldest draw: its symbol comes from "Ａ05", 0
  history.drawNumbers[49] = "7";          // 个位 is missing, so it reads 0: 小
  StoreDrawHistory(history);
  EvaluatePlan(G("小大"), true, kOnes, kBigSmall);
  ASSERT_FALSE(view.Rows(Control::超级列表框4).empty());
  EXPECT_EQ(PlanRows().front(), "1|【第Ａ05期】 7  个位【小】 1期中");
}

TEST_F(PlanEval, MissingOrUnpairedHistoryShowsTheMessageAndScoresFive) {
  const struct {
    const char* what;
    std::size_t ids;
    std::size_t numbers;
  } cases[] = {
      {"empty", 0, 0},
      {"49 draws", 49, 49},
      {"50 numbers, 49 ids", 49, 50},
      {"51 numbers, 50 ids", 50, 51},
      {"50 numbers, 60 ids", 60, 50},
  };
  for (const auto& c : cases) {
    DrawHistory history;
    history.periodIds.assign(c.ids, "20240101050");
    history.drawNumbers.assign(c.numbers, "99999");
    StoreDrawHistory(history);
    view.ListClear(Control::超级列表框4);
    view.ListInsertRow(Control::超级列表框4, -1, "kept");
    std::size_t messagesBefore = view.Messages().size();

    bool dataMissing = false;
    EXPECT_EQ(EvaluatePlan(G("大"), true, kOnes, kBigSmall, &dataMissing), 5) << c.what;
    EXPECT_TRUE(dataMissing) << c.what;
    EXPECT_EQ(view.Rows(Control::超级列表框4).size(), 1u) << c.what;
    EXPECT_EQ(view.Cell(Control::超级列表框4, 0, 0), "kept") << c.what;
    auto messages = view.Messages();
    ASSERT_EQ(messages.size(), messagesBefore + 1) << c.what;
    EXPECT_EQ(messages.back().text,
              G("开奖数据未成功获取，请确保能联网") + build_config::kNoDataDomain);
    EXPECT_EQ(messages.back().style, 0);
    EXPECT_EQ(messages.back().caption, G("信息："));
  }
}

TEST_F(PlanEval, PairedHistoryReportsNoMissingDataAndOnlyReadsTheNewestFifty) {
  // Draws past the 50th would all be hits; they must not count.
  std::vector<std::string> numbers(50, "00000");
  numbers.resize(80, "99999");
  StoreDrawHistory(HistoryOf(PeriodsEndingAt(120, 80), numbers));
  bool dataMissing = true;
  EXPECT_EQ(EvaluatePlan(G("大"), false, kOnes, kBigSmall, &dataMissing), 5);
  EXPECT_FALSE(dataMissing);
  EXPECT_TRUE(view.Messages().empty());
  EXPECT_EQ(PlanRows(), (std::vector<std::string>{"1|【第121期】 预测【大】  "}));
}

TEST_F(PlanEval, EmptyPatternNeverHits) {
  StoreDrawHistory(HistoryOf(PeriodsEndingAt(120), std::vector<std::string>(50, "99999")));
  EXPECT_EQ(EvaluatePlan("", true, kOnes, kBigSmall), 5);
  EXPECT_EQ(PlanRows(), (std::vector<std::string>{"1|【第121期】 预测【】  "}));
}

}  // namespace
