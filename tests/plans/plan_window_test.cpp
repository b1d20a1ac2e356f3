// tests/plans/plan_window_test.cpp -- plan buttons in the real window, offscreen.
#include <gtest/gtest.h>

#include <QAbstractButton>

#include "app/main_window.h"
#include "app/report_list.h"
#include "plans/plan_buttons.h"
#include "plans/plan_store.h"
#include "tests/plans/plan_test_support.h"

namespace {

using plan_test::G;

// The window's own plan handlers; no start-up sequence and no timer-driven refresh.
class PlanWindow : public plan_test::PlanTest {
 protected:
  void SetUp() override {
    PlanTest::SetUp();
    WindowHandlers handlers = WindowHandlers::Program();
    handlers.created = [] {};
    handlers.timerTick = [] {};
    window = std::make_unique<MainWindow>(handlers);
    window->Create();
  }
  void TearDown() override {
    window.reset();
    PlanTest::TearDown();
  }

  void Click(Control button) {
    auto* widget = static_cast<QAbstractButton*>(window->ControlWidget(button));
    ASSERT_TRUE(widget->isEnabled());
    widget->click();
  }
  QString Cell(int row, int column) {
    return window->List(Control::超级列表框4)->Rows().Text(row, column);
  }

  std::unique_ptr<MainWindow> window;
};

TEST_F(PlanWindow, ClickGeneratesStoresAndShowsAPlan) {
  StoreDrawHistory(plan_test::VariedHistory());
  Click(Control::按钮_个位大小);

  std::string stored = Stored("个位正则大小");
  ASSERT_EQ(stored.size(), 100u);
  EXPECT_GT(eventRuns, 0);
  const int rows = window->List(Control::超级列表框4)->Rows().rowCount();
  EXPECT_GE(rows, 32);  // at least 31 hits and the prediction
  EXPECT_EQ(Cell(rows - 1, 0), QString::number(rows));
  EXPECT_TRUE(Cell(rows - 1, 1).startsWith(QString::fromUtf8("【第121期】 预测【")));
  EXPECT_TRUE(Cell(0, 1).contains(QString::fromUtf8("个位【")));
  EXPECT_EQ(currentPlanKind, 1);
  for (Control button : kPlanButtonLockOrder) {
    EXPECT_TRUE(window->ControlWidget(button)->isEnabled()) << ControlName(button);
  }

  // The clear button empties the store; the table stays.
  Click(Control::按钮3);
  EXPECT_EQ(Stored("个位正则大小"), "");
  EXPECT_EQ(window->List(Control::超级列表框4)->Rows().rowCount(), rows);
}

}  // namespace
