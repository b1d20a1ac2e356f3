// tests/draws/history_tables_test.cpp -- the rows of the three history tables and the close
// of a refresh.
#include "draws/history_tables.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/shared_state.h"
#include "platform/codepage.h"
#include "tests/support/recording_view.h"

namespace {

using Row = std::vector<std::string>;

class HistoryTablesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitSharedState();
    SetMainView(&view);
  }
  void TearDown() override { SetMainView(nullptr); }

  // The rows of a list as UTF-8.
  std::vector<Row> RowsOf(Control list) const {
    std::vector<Row> rows;
    for (const Row& row : view.Rows(list)) {
      Row utf8;
      for (const std::string& cell : row) utf8.push_back(GbkToUtf8(cell));
      rows.push_back(utf8);
    }
    return rows;
  }

  RecordingView view;
};

std::array<std::string, 5> Digits(const std::string& number) {
  return {number.substr(0, 1), number.substr(1, 1), number.substr(2, 1), number.substr(3, 1),
          number.substr(4, 1)};
}

TEST_F(HistoryTablesTest, CellTextsOfOneRow) {
  struct Case {
    const char* number;
    Row drawList;
    Row sizeTable;
    Row parityTable;
  };
  const Case cases[] = {
      {"12345",
       {"P", "12345  T  15", "1", "2", "3", "4", "5", "小", "单", "虎"},
       {"P", "1  小", "2  小", "3  小", "4  小", "5  大", "15  小"},
       {"P", "1  单", "2  双", "3  单", "4  双", "5  单", "15  单"}},
      {"00000",
       {"P", "00000  T  0", "0", "0", "0", "0", "0", "小", "双", "和"},
       {"P", "0  小", "0  小", "0  小", "0  小", "0  小", "0  小"},
       {"P", "0  双", "0  双", "0  双", "0  双", "0  双", "0  双"}},
      {"99999",
       {"P", "99999  T  45", "9", "9", "9", "9", "9", "大", "单", "和"},
       {"P", "9  大", "9  大", "9  大", "9  大", "9  大", "45  大"},
       {"P", "9  单", "9  单", "9  单", "9  单", "9  单", "45  单"}},
      {"94450",  // sum 22: the highest small sum
       {"P", "94450  T  22", "9", "4", "4", "5", "0", "小", "双", "龙"},
       {"P", "9  大", "4  小", "4  小", "5  大", "0  小", "22  小"},
       {"P", "9  单", "4  双", "4  双", "5  单", "0  双", "22  双"}},
      {"05549",  // sum 23: the lowest big sum
       {"P", "05549  T  23", "0", "5", "5", "4", "9", "大", "单", "虎"},
       {"P", "0  小", "5  大", "5  大", "4  小", "9  大", "23  大"},
       {"P", "0  双", "5  单", "5  单", "4  双", "9  单", "23  单"}},
  };
  for (const Case& c : cases) {
    ClearHistoryTables();
    FillHistoryRow(1, "P", Digits(c.number));
    EXPECT_EQ(RowsOf(Control::超级列表框1), std::vector<Row>{c.drawList}) << c.number;
    EXPECT_EQ(RowsOf(Control::超级列表框2), std::vector<Row>{c.sizeTable}) << c.number;
    EXPECT_EQ(RowsOf(Control::超级列表框3), std::vector<Row>{c.parityTable}) << c.number;
  }
}

TEST_F(HistoryTablesTest, RowsAreInsertedAtTheirPositionAndFilledInColumnOrder) {
  ClearHistoryTables();
  FillHistoryRow(1, "20240305027", Digits("12345"));
  view.ClearLog();
  FillHistoryRow(2, "20240305026", Digits("67890"));
  const std::vector<std::string> expected = {
      "ListInsertRow 超级列表框1 1 20240305026", "ListSetCell 超级列表框1 1 1 67890  T  30",
      "ListSetCell 超级列表框1 1 2 6",           "ListSetCell 超级列表框1 1 3 7",
      "ListSetCell 超级列表框1 1 4 8",           "ListSetCell 超级列表框1 1 5 9",
      "ListSetCell 超级列表框1 1 6 0",           "ListSetCell 超级列表框1 1 7 大",
      "ListSetCell 超级列表框1 1 8 双",          "ListSetCell 超级列表框1 1 9 龙",
      "ListInsertRow 超级列表框2 1 20240305026", "ListSetCell 超级列表框2 1 1 6  大",
      "ListSetCell 超级列表框2 1 2 7  大",       "ListSetCell 超级列表框2 1 3 8  大",
      "ListSetCell 超级列表框2 1 4 9  大",       "ListSetCell 超级列表框2 1 5 0  小",
      "ListSetCell 超级列表框2 1 6 30  大",      "ListInsertRow 超级列表框3 1 20240305026",
      "ListSetCell 超级列表框3 1 1 6  双",       "ListSetCell 超级列表框3 1 2 7  单",
      "ListSetCell 超级列表框3 1 3 8  双",       "ListSetCell 超级列表框3 1 4 9  单",
      "ListSetCell 超级列表框3 1 5 0  双",       "ListSetCell 超级列表框3 1 6 30  双",
  };
  EXPECT_EQ(view.Log(), expected);
  EXPECT_EQ(view.Rows(Control::超级列表框1).size(), 2u);
  EXPECT_EQ(view.Cell(Control::超级列表框1, 0, 0), "20240305027");
}

TEST_F(HistoryTablesTest, ClearEmptiesTheThreeTablesInOrder) {
  FillHistoryRow(1, "A", Digits("12345"));
  view.ClearLog();
  ClearHistoryTables();
  EXPECT_EQ(view.Log(), (std::vector<std::string>{"ListClear 超级列表框1", "ListClear 超级列表框2",
                                                  "ListClear 超级列表框3"}));
  for (Control list : {Control::超级列表框1, Control::超级列表框2, Control::超级列表框3}) {
    EXPECT_TRUE(view.Rows(list).empty()) << ControlName(list);
  }
}

TEST_F(HistoryTablesTest, FinishEnablesTheTenPlanButtonsAndRunsNoPlanBeforeOneIsChosen) {
  for (Control button : {Control::按钮_个位大小, Control::按钮_万位单双}) {
    view.SetButtonEnabled(button, false);
  }
  view.ClearLog();
  FinishRefresh();
  const std::vector<std::string> expected = {
      "SetButtonEnabled 按钮_个位大小 1", "SetButtonEnabled 按钮_十位大小 1",
      "SetButtonEnabled 按钮_个位单双 1", "SetButtonEnabled 按钮_十位单双 1",
      "SetButtonEnabled 按钮_百位大小 1", "SetButtonEnabled 按钮_百位单双 1",
      "SetButtonEnabled 按钮_千位大小 1", "SetButtonEnabled 按钮_千位单双 1",
      "SetButtonEnabled 按钮_万位大小 1", "SetButtonEnabled 按钮_万位单双 1",
  };
  EXPECT_EQ(view.Log(), expected);
}

}  // namespace
